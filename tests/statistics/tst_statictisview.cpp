// The statistics window driven through its widgets and its chart, over label tables written by
// the day view's save.
#include "app/clock.h"
#include "app/database.h"
#include "statistics/drilldownbarseries.h"
#include "statistics/drilldownchart.h"
#include "statistics/statictisview.h"
#include "tests/statistics/labelseed.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"
#include "tests/support/widgetfinder.h"

#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace QtCharts;

namespace {

DrilldownChart *shownChart(statictisView *view)
{
    auto *chartView = findByName<QChartView>(view, "chartView");
    return chartView ? qobject_cast<DrilldownChart *>(chartView->chart()) : nullptr;
}

// What the chart shows: "title|categories|value axis maximum|label=values ...".
QString describe(DrilldownChart *chart)
{
    if (!chart || !chart->currentSeries())
        return "<no chart>";
    QStringList sets;
    const auto barSets = chart->currentSeries()->barSets();
    for (QBarSet *set : barSets) {
        QStringList values;
        for (int i = 0; i < set->count(); ++i)
            values.append(QString::number(set->at(i)));
        sets.append(set->label() + '=' + values.join(','));
    }
    return QStringList{chart->title(), chart->categoryAxis()->categories().join(','),
                       QString::number(chart->valueAxis()->max()), sets.join(' ')}
        .join('|');
}

// Presses (and releases) a mouse button on the middle of a stacked bar of the shown series; -1
// picks the first bar that has a height.
void clickBar(statictisView *view, int index, Qt::MouseButton button)
{
    DrilldownChart *chart = shownChart(view);
    DrilldownBarSeries *series = chart->currentSeries();
    const auto barSets = series->barSets();
    const auto height = [&barSets](int i) {
        qreal sum = 0;
        for (QBarSet *set : barSets)
            sum += set->at(i);
        return sum;
    };
    for (int i = 0; index < 0 && i < series->categories().size(); ++i) {
        if (height(i) > 0)
            index = i;
    }
    const qreal total = height(index);
    const QPointF inChart = chart->mapToPosition(QPointF(index, total / 2), series);
    auto *chartView = findByName<QChartView>(view, "chartView");
    const QPoint at = chartView->mapFromScene(chart->mapToScene(inChart));
    QTest::mouseClick(chartView->viewport(), button, Qt::NoModifier, at);
    QCoreApplication::processEvents();
}

} // namespace

class TestStatictisView : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<PromptScript> prompts;
    std::unique_ptr<QWidget> history;
    std::unique_ptr<statictisView> view;
    QSqlDatabase db;

    void seed(const QString &script)
    {
        for (const QString &line : script.split('|', Qt::SkipEmptyParts)) {
            const QDate day = QDate::fromString(line.section(' ', 0, 0), "yyyy.MM.dd");
            QVERIFY(labelseed::saveDay(db, day, line.section(' ', 1)));
        }
    }

    void pressOk(const QString &start, const QString &end)
    {
        view->setDateRange(start, end);
        findByName<QPushButton>(view.get(), "okButton")->click();
        // Bars stand still for the mouse: no animation, and a layout that places them at once.
        if (DrilldownChart *chart = shownChart(view.get())) {
            chart->setAnimationOptions(QChart::NoAnimation);
            auto *chartView = findByName<QChartView>(view.get(), "chartView");
            chartView->resize(chartView->size() + QSize(1, 1));
            chartView->resize(chartView->size() - QSize(1, 1));
            QTest::qWait(20);
        }
    }

private slots:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        prompts = std::make_unique<PromptScript>();
        Database::connect(&db);
        history = std::make_unique<QWidget>();
        view = std::make_unique<statictisView>(nullptr, history.get());
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }
    void cleanup()
    {
        view.reset();
        history.reset();
        db = QSqlDatabase();
        prompts.reset();
        env.reset();
    }

    void presets_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("range");

        const QDate monday(2026, 12, 7);
        const QDate january(2026, 1, 3); // Saturday of week 1 (Thursday 1st to Sunday 4th)
        const QDate sunday(2026, 2, 15);
        const struct {
            QDate today;
            const char *entry;
            const char *range;
        } rows[] = {
            {monday, "今天", "2026.12.07"},
            {monday, "昨天", "2026.12.06"},
            {monday, "本周", "2026.12.07"},
            {monday, "上周", "2026.12.01至2026.12.06"}, // week 1 starts on Tuesday the 1st
            {monday, "本月", "2026.12.01至2026.12.07"},
            {monday, "上月", "2026.11.01至2026.11.30"},
            {monday, "本季度", "2026.10.01至2026.12.07"},
            {monday, "上季度", "2026.07.01至2026.09.30"},
            {monday, "今年", "2026.01.01至2026.12.07"},
            {monday, "去年", "2025.01.01至2025.12.31"},
            {monday, "近一周", "2026.12.01至2026.12.07"},
            {monday, "近一月", "2026.11.07至2026.12.07"},
            {monday, "近一年", "2025.12.08至2026.12.07"},
            {january, "本周", "2026.01.01至2026.01.03"},
            {january, "上周", "2025.12.29至2025.12.31"}, // December's last week, cut at the 31st
            {january, "上月", "2025.12.01至2025.12.31"},
            {january, "本季度", "2026.01.01至2026.01.03"},
            {january, "上季度", "2025.10.01至2025.12.31"},
            {QDate(2024, 3, 1), "近一年", "2023.03.03至2024.03.01"}, // across a leap day
            {sunday, "本周", "2026.02.09至2026.02.15"},
            {sunday, "上周", "2026.02.02至2026.02.08"},
            {sunday, "近一月", "2026.01.16至2026.02.15"},
        };
        for (const auto &row : rows) {
            QTest::addRow("%s %s", qPrintable(row.today.toString("yyyy.MM.dd")), row.entry)
                << row.today << QString::fromUtf8(row.entry) << QString::fromUtf8(row.range);
        }
    }

    void presets()
    {
        QFETCH(QDate, today);
        QFETCH(QString, entry);
        QFETCH(QString, range);
        Clock::setToday(today);
        auto *combo = findByName<QComboBox>(view.get(), "dateComboBox");
        QCOMPARE(combo->count(), 14);
        QCOMPARE(combo->currentIndex(), -1);
        combo->setCurrentIndex(combo->findText(entry));
        QCOMPARE(findByName<QLabel>(view.get(), "rangeLabel")->text(), range);
        const QStringList ends = range.split("至");
        QCOMPARE(view->startDate(), ends.first());
        QCOMPARE(view->endDate(), ends.last());
    }

    void customEntryLeavesTheRangeAndClearsTheChoice()
    {
        auto *combo = findByName<QComboBox>(view.get(), "dateComboBox");
        combo->setCurrentIndex(combo->findText("今天"));
        combo->setCurrentIndex(combo->findText("自定义..."));
        QCOMPARE(combo->currentIndex(), -1);
        QCOMPARE(view->startDate(), QString("2026.12.07"));
    }

    void okButton_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("chart");

        QTest::newRow("years after each other") << "2021.01.01"
                                                << "2020.12.31"
                                                << "年份前后顺序不对。"
                                                << "<no chart>";
        QTest::newRow("months after each other") << "2020.05.01"
                                                 << "2020.04.30"
                                                 << "月份前后顺序不对。"
                                                 << "<no chart>";
        QTest::newRow("days after each other") << "2020.05.03"
                                               << "2020.05.02"
                                               << "日期前后顺序不对。"
                                               << "<no chart>";
        QTest::newRow("no range chosen: a chart without bars") << ""
                                                               << ""
                                                               << "您输入的年份不适用。"
                                                               << "0月|0|1440|";
        QTest::newRow("a single day: one bar") << "2020.10.14"
                                               << "2020.10.14"
                                               << ""
                                               << "10月|14|1440|学习=90";
    }

    void okButton()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, message);
        QFETCH(QString, chart);
        seed("2020.10.14 学习=90");
        pressOk(start, end);
        QCOMPARE(prompts->messages(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(describe(shownChart(view.get())), chart);
    }

    // Left clicks go down the path of bars, right presses come back up; a right press on the
    // top series and a left click on a day bar change nothing.
    void drillDown_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QList<int>>("path");
        QTest::addColumn<QStringList>("shown"); // top series first

        const QString turn = "2020.12.30 学习=60|2020.12.31 学习=30|2021.01.02 运动=90";
        QTest::newRow("years: into December")
            << turn << "2020.12.30"
            << "2021.01.02" << QList<int>{0, 0, 0}
            << QStringList{"2020年 - 2021年|2020年,2021年|90|学习=90,0 运动=0,90",
                           "2020年|12月|90|学习=90",
                           "12月|第5周(2020.12.30-2020.12.31)|10080|学习=90",
                           "第5周(2020.12.30-2020.12.31)|周三,周四|1440|学习=60,30"};
        QTest::newRow("years: into January")
            << turn << "2020.12.30"
            << "2021.01.02" << QList<int>{1, 0, 0}
            << QStringList{"2020年 - 2021年|2020年,2021年|90|学习=90,0 运动=0,90",
                           "2021年|1月|90|运动=90",
                           "1月|第1周(2021.01.01-2021.01.02)|10080|运动=90",
                           "第1周(2021.01.01-2021.01.02)|周五,周六|1440|运动=0,90"};
        QTest::newRow("months: a week of one day")
            << "2020.02.20 学习=30|2020.03.01 运动=120|2020.03.03 学习=15"
            << "2020.02.15"
            << "2020.03.03" << QList<int>{1, 0}
            << QStringList{"2020年|2月,3月|44640|学习=30,15 运动=0,120",
                           "3月|第1周(2020.03.01),第2周(2020.03.02-2020.03.03)|10080|运动=120,0 "
                           "学习=0,15",
                           "第1周(2020.03.01)|周日|1440|运动=120"};
        QTest::newRow("days: no drilling")
            << "2020.10.14 学习=90"
            << "2020.10.13"
            << "2020.10.14" << QList<int>{1} << QStringList{"10月|13,14|1440|学习=0,90"};
    }

    void drillDown()
    {
        QFETCH(QString, script);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QList<int>, path);
        QFETCH(QStringList, shown);
        seed(script);
        pressOk(start, end);
        QCOMPARE(findByName<QChartView>(view.get(), "chartView")->geometry(),
                 QRect(40, 130, 1920 - 80, 1040 - 150));
        QCOMPARE(describe(shownChart(view.get())), shown.first());

        for (int level = 0; level < path.size(); ++level) {
            clickBar(view.get(), path.at(level), Qt::LeftButton);
            QCOMPARE(describe(shownChart(view.get())), shown.value(level + 1, shown.last()));
        }
        for (int level = shown.size() - 1; level > 0; --level) {
            clickBar(view.get(), -1, Qt::RightButton);
            QCOMPARE(describe(shownChart(view.get())), shown.at(level - 1));
        }
        clickBar(view.get(), -1, Qt::RightButton);
        QCOMPARE(describe(shownChart(view.get())), shown.first());
    }

    void hoverShowsLabelAndHours()
    {
        seed("2020.10.14 学习=90;运动=20");
        pressOk("2020.10.14", "2020.10.14");
        DrilldownBarSeries *series = shownChart(view.get())->currentSeries();
        QBarSet *study = series->barSets().at(0);
        QBarSet *sport = series->barSets().at(1);

        emit series->hovered(true, 0, study);
        auto *name = findByName<QLabel>(view.get(), "hoverNameLabel");
        auto *hours = findByName<QLabel>(view.get(), "hoverHoursLabel");
        QVERIFY(name && hours);
        QCOMPARE(name->text(), QString("学习"));
        QCOMPARE(hours->text(), QString("1.5小时"));
        QCOMPARE(name->geometry(), QRect(1920 / 2 - 28, 100, 200, 25));
        QCOMPARE(hours->geometry(), QRect(1920 / 2 - 28, 120, 200, 25));
        QCOMPARE(hours->styleSheet(), "color: " + study->color().name());
        QVERIFY(hours->isVisible());

        // Entering the next segment before leaving the first keeps one pair of labels.
        emit series->hovered(true, 0, sport);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(view->findChildren<QLabel *>("hoverHoursLabel").size(), 1);
        QCOMPARE(findByName<QLabel>(view.get(), "hoverHoursLabel")->text(),
                 QString("0.333333小时"));

        emit series->hovered(false, 0, sport);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!findByName<QLabel>(view.get(), "hoverNameLabel"));
        QVERIFY(!findByName<QLabel>(view.get(), "hoverHoursLabel"));
    }

    // A new OK replaces the chart, and the labels of a segment hovered on the old one go too.
    void newChartReplacesTheOld()
    {
        seed("2020.10.14 学习=90");
        pressOk("2020.10.14", "2020.10.14");
        DrilldownBarSeries *series = shownChart(view.get())->currentSeries();
        emit series->hovered(true, 0, series->barSets().at(0));
        pressOk("2020.10.01", "2020.10.31");
        QCOMPARE(view->findChildren<QChartView *>().size(), 1);
        QVERIFY(!findByName<QLabel>(view.get(), "hoverNameLabel"));
        QVERIFY(describe(shownChart(view.get())).startsWith("10月|1,2,3,"));
    }

    void backButtonReturnsToHistory()
    {
        findByName<QPushButton>(view.get(), "backButton")->click();
        QVERIFY(history->isVisible());
        QVERIFY(!view->isVisible());
    }
};

QTEST_MAIN(TestStatictisView)
#include "tst_statictisview.moc"

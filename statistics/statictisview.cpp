#include "statistics/statictisview.h"

#include "app/clock.h"
#include "app/database.h"
#include "app/desktop.h"
#include "app/logging.h"
#include "app/prompt.h"
#include "app/windowhandover.h"
#include "history/selectdate.h"
#include "statistics/drilldownbarseries.h"
#include "statistics/drilldownchart.h"
#include "statistics/statisticsquery.h"
#include "statistics/weekcalendar.h"

#include <QBarSet>
#include <QChartView>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLegend>
#include <QMouseEvent>
#include <QPushButton>

using namespace QtCharts;

namespace {
const QString dateFormat = QStringLiteral("yyyy.MM.dd");
const int monthMaximum = 44640; // 31 days
const int weekMaximum = 10080;  // 7 days
const int dayMaximum = 1440;

QString weekdayName(const QDate &date)
{
    static const QStringList names = {QStringLiteral("周一"), QStringLiteral("周二"),
                                      QStringLiteral("周三"), QStringLiteral("周四"),
                                      QStringLiteral("周五"), QStringLiteral("周六"),
                                      QStringLiteral("周日")};
    return date.isValid() ? names.at(date.dayOfWeek() - 1) : QString();
}

void appendBars(const LabelBars &bars, DrilldownBarSeries *series)
{
    for (int i = 0; i < bars.labels.size(); ++i) {
        auto *set = new QBarSet(bars.labels.at(i));
        for (int value : bars.values.at(i))
            set->append(value);
        series->append(set);
    }
}
} // namespace

statictisView::statictisView(QWidget *parent, QWidget *returnView)
    : QWidget(parent), m_returnView(returnView)
{
    Database::connect(&m_db);
    m_query = std::make_unique<StatisticsQuery>(m_db);

    const QRect screen = Desktop::availableGeometry();
    const int w = screen.width();
    const int h = screen.height();
    setGeometry(screen);
    setMouseTracking(true);

    m_backButton =
        new QPushButton(QIcon(QStringLiteral(":/icon/back.png")), QStringLiteral("返回"), this);
    m_backButton->setObjectName(QStringLiteral("backButton"));
    m_backButton->setGeometry(40, 20, w / 18, h / 20);
    connect(m_backButton, &QPushButton::clicked, this, &statictisView::onBackButtonClicked);

    m_titleButton = new QPushButton(QStringLiteral("已用时间统计"), this);
    m_titleButton->setObjectName(QStringLiteral("titleButton"));
    m_titleButton->setGeometry(5 * (w / 18), 20, 10 * (w / 18), h / 20);

    m_dateLabel = new QLabel(QStringLiteral("选择日期:"), this);
    m_dateLabel->setObjectName(QStringLiteral("dateLabel"));
    const int labelWidth = m_dateLabel->sizeHint().width();
    m_dateLabel->setGeometry(40, 80, labelWidth, h / 25);

    m_dateComboBox = new QComboBox(this);
    m_dateComboBox->setObjectName(QStringLiteral("dateComboBox"));
    m_dateComboBox->addItems(
        {QStringLiteral("今天"), QStringLiteral("昨天"), QStringLiteral("本周"),
         QStringLiteral("上周"), QStringLiteral("本月"), QStringLiteral("上月"),
         QStringLiteral("本季度"), QStringLiteral("上季度"), QStringLiteral("今年"),
         QStringLiteral("去年"), QStringLiteral("近一周"), QStringLiteral("近一月"),
         QStringLiteral("近一年"), QStringLiteral("自定义...")});
    m_dateComboBox->setCurrentIndex(-1);
    int x = 40 + labelWidth;
    m_dateComboBox->setGeometry(x, 80, w / 15, h / 25);
    connect(m_dateComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &statictisView::onDateComboBoxIndexChanged);

    m_rangeLabel = new QLabel(this);
    m_rangeLabel->setObjectName(QStringLiteral("rangeLabel"));
    x += w / 15;
    m_rangeLabel->setGeometry(x, 80, w / 8, h / 25);

    m_okButton = new QPushButton(QStringLiteral("确定"), this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    x += w / 8;
    m_okButton->setGeometry(x, 80, w / 18, h / 25);
    connect(m_okButton, &QPushButton::clicked, this, &statictisView::onOkButtonClicked);
}

statictisView::~statictisView() = default;

void statictisView::setDateRange(const QString &start, const QString &end)
{
    m_startDate = start;
    m_endDate = end;
    m_rangeLabel->setText(start == end ? start : start + QStringLiteral("至") + end);
}

void statictisView::onDateComboBoxIndexChanged(int index)
{
    if (index < 0)
        return;
    const QDate today = Clock::today();
    QDate start = today;
    QDate end = today;
    switch (index) {
    case 0: // 今天
        break;
    case 1: // 昨天
        start = end = today.addDays(-1);
        break;
    case 2: // 本周: weeks start on Monday or on the 1st of the month
        start = QDate(today.year(), today.month(), WeekCalendar::firstDayOfWeek(today));
        break;
    case 3: { // 上周: the week ending the day before this week began, cut at its month
        end = QDate(today.year(), today.month(), WeekCalendar::firstDayOfWeek(today)).addDays(-1);
        start = QDate(end.year(), end.month(), WeekCalendar::firstDayOfWeek(end));
        break;
    }
    case 4: // 本月
        start = QDate(today.year(), today.month(), 1);
        break;
    case 5: // 上月
        start = QDate(today.year(), today.month(), 1).addMonths(-1);
        end = QDate(today.year(), today.month(), 1).addDays(-1);
        break;
    case 6: // 本季度
        start = QDate(today.year(), (today.month() - 1) / 3 * 3 + 1, 1);
        break;
    case 7: { // 上季度
        const QDate quarter(today.year(), (today.month() - 1) / 3 * 3 + 1, 1);
        start = quarter.addMonths(-3);
        end = quarter.addDays(-1);
        break;
    }
    case 8: // 今年
        start = QDate(today.year(), 1, 1);
        break;
    case 9: // 去年
        start = QDate(today.year() - 1, 1, 1);
        end = QDate(today.year() - 1, 12, 31);
        break;
    case 10: // 近一周
        start = today.addDays(-6);
        break;
    case 11: // 近一月
        start = today.addDays(-30);
        break;
    case 12: // 近一年
        start = today.addDays(-364);
        break;
    default: {
        // 自定义...: the date dialog in its statistics role sets the range.
        auto *dialog = new selectDate(this, 0);
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->show();
        m_dateComboBox->setCurrentIndex(-1);
        return;
    }
    }
    setDateRange(start.toString(dateFormat), end.toString(dateFormat));
}

void statictisView::onBackButtonClicked()
{
    WindowHandOver::handOver(this, m_returnView, 40);
}

void statictisView::onOkButtonClicked()
{
    const StatisticsQuery::Day start = StatisticsQuery::parse(m_startDate);
    const StatisticsQuery::Day end = StatisticsQuery::parse(m_endDate);
    const QString title = QStringLiteral("提示");
    if (start.year > end.year) {
        Prompt::warning(this, title, QStringLiteral("年份前后顺序不对。"));
        return;
    }
    if (start.year == end.year && start.month > end.month) {
        Prompt::warning(this, title, QStringLiteral("月份前后顺序不对。"));
        return;
    }
    if (start.year == end.year && start.month == end.month && start.day > end.day) {
        Prompt::warning(this, title, QStringLiteral("日期前后顺序不对。"));
        return;
    }
    buildChart();
}

void statictisView::buildChart()
{
    m_query->setRange(m_startDate, m_endDate);
    const StatisticsQuery::Day start = m_query->start();
    const StatisticsQuery::Day end = m_query->end();
    const bool yearsMode = start.year < end.year;
    if (!yearsMode) {
        QString yearText = m_startDate.left(4);
        if (yearText.startsWith(QLatin1Char('-')))
            yearText.remove(0, 1);
        bool ok = false;
        yearText.toInt(&ok);
        if (!ok)
            Prompt::warning(this, QStringLiteral("提示"), QStringLiteral("您输入的年份不适用。"));
    }

    auto *chart = new DrilldownChart;
    chart->setAnimationOptions(QChart::SeriesAnimations);
    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->categoryAxis()->setGridLineVisible(false);

    DrilldownBarSeries *top = nullptr;
    if (yearsMode) {
        top = buildYearsSeries(chart, start.year, end.year);
    } else if (start.month < end.month) {
        top = buildMonthsSeries(chart, start.year, monthMaximum);
    } else {
        QStringList categories;
        for (int day = start.day; day <= end.day; ++day)
            categories.append(QString::number(day));
        top = new DrilldownBarSeries(categories, dayMaximum, chart, this);
        top->setName(QStringLiteral("%1月").arg(start.month));
        fillDayBarsOfMonth(start.year, start.month, top);
        connectSeries(chart, top, nullptr);
    }

    // The previous chart goes with its view; its hover labels go with its series.
    delete m_chartView;
    const QRect screen = Desktop::availableGeometry();
    m_chartView = new QChartView(chart, this);
    m_chartView->setObjectName(QStringLiteral("chartView"));
    m_chartView->setGeometry(40, 130, screen.width() - 80, screen.height() - 150);
    m_chartView->viewport()->installEventFilter(this);
    chart->showSeries(top);
    m_chartView->show();
}

DrilldownBarSeries *statictisView::buildYearsSeries(DrilldownChart *chart, int startYear,
                                                    int endYear)
{
    QStringList categories;
    int maximum = 0;
    for (int year = startYear; year <= endYear; ++year) {
        categories.append(QStringLiteral("%1年").arg(year));
        const int sum = yearMinutesInRange(year);
        logLine(QStringLiteral("%1 year sum is %2").arg(year).arg(sum));
        maximum = qMax(maximum, sum);
    }
    auto *top = new DrilldownBarSeries(categories, maximum, chart, this);
    top->setName(QStringLiteral("%1年 - %2年").arg(startYear).arg(endYear));
    appendBars(m_query->yearBars(), top);
    for (int year = startYear; year <= endYear; ++year) {
        int monthMax = 0;
        for (int month : m_query->monthsOfYear(year))
            monthMax = qMax(monthMax, monthMinutesInRange(year, month));
        top->setDrilldownSeries(year - startYear, buildMonthsSeries(chart, year, monthMax, top));
    }
    connectSeries(chart, top, nullptr);
    return top;
}

DrilldownBarSeries *statictisView::buildMonthsSeries(DrilldownChart *chart, int year, int maximum,
                                                     DrilldownBarSeries *parent)
{
    const QVector<int> months = m_query->monthsOfYear(year);
    QStringList categories;
    for (int month : months)
        categories.append(QStringLiteral("%1月").arg(month));
    auto *series = new DrilldownBarSeries(categories, maximum, chart, this);
    series->setName(QStringLiteral("%1年").arg(year));
    fillMonthBarsOfYear(year, categories, series);

    for (int monthIndex = 0; monthIndex < months.size(); ++monthIndex) {
        const int month = months.at(monthIndex);
        const QVector<int> weeks = m_query->weeksOfMonth(year, month);
        QStringList weekCategories;
        for (int week : weeks) {
            const QVector<int> days = m_query->daysOfWeek(year, month, week);
            const QString first = QDate(year, month, days.value(0)).toString(dateFormat);
            const QString last =
                QDate(year, month, days.value(days.size() - 1)).toString(dateFormat);
            weekCategories.append(first == last
                                      ? QStringLiteral("第%1周(%2)").arg(week).arg(first)
                                      : QStringLiteral("第%1周(%2-%3)").arg(week).arg(first, last));
        }
        auto *weekSeries = new DrilldownBarSeries(weekCategories, weekMaximum, chart, this);
        weekSeries->setName(categories.at(monthIndex));
        fillWeekBarsOfMonth(year, monthIndex, weekSeries);
        series->setDrilldownSeries(monthIndex, weekSeries);

        for (int weekIndex = 0; weekIndex < weeks.size(); ++weekIndex) {
            QStringList dayCategories;
            for (int day : m_query->daysOfWeek(year, month, weeks.at(weekIndex)))
                dayCategories.append(weekdayName(QDate(year, month, day)));
            auto *daySeries = new DrilldownBarSeries(dayCategories, dayMaximum, chart, this);
            daySeries->setName(weekCategories.at(weekIndex));
            fillDayBarsOfWeek(year, monthIndex, weekIndex, daySeries);
            weekSeries->setDrilldownSeries(weekIndex, daySeries);
            connectSeries(chart, daySeries, weekSeries);
        }
        connectSeries(chart, weekSeries, series);
    }
    connectSeries(chart, series, parent);
    return series;
}

void statictisView::connectSeries(DrilldownChart *chart, DrilldownBarSeries *series,
                                  DrilldownBarSeries *parentSeries)
{
    series->setLabelsVisible(true);
    connect(series, &QAbstractBarSeries::clicked, chart, &DrilldownChart::handleClicked);
    if (parentSeries) {
        // Queued, so the pressed bar finishes its own mouse handling before it is taken away.
        connect(
            series, &QAbstractBarSeries::pressed, chart,
            [this, chart, series, parentSeries]() {
                if (m_lastPressedButton == Qt::RightButton && chart->currentSeries() == series)
                    chart->showSeries(parentSeries);
            },
            Qt::QueuedConnection);
    }
    connect(series, &QAbstractBarSeries::hovered, series,
            [series](bool status, int index, QBarSet *barset) {
                series->onBarHovered(status, index, barset);
                if (status)
                    series->showHoverLabels();
            });
}

bool statictisView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
        m_lastPressedButton = static_cast<QMouseEvent *>(event)->button();
    return QWidget::eventFilter(watched, event);
}

int statictisView::monthMinutesInRange(int year, int month)
{
    return m_query->monthMinutesInRange(year, month);
}

int statictisView::yearMinutesInRange(int year)
{
    return m_query->yearMinutesInRange(year);
}

void statictisView::fillMonthBarsOfYear(int year, const QStringList &categories,
                                        DrilldownBarSeries *series)
{
    QVector<int> months;
    for (QString category : categories)
        months.append(category.remove(QStringLiteral("月")).toInt());
    appendBars(m_query->monthBarsOfYear(year, months), series);
}

void statictisView::fillWeekBarsOfMonth(int year, int monthIndex, DrilldownBarSeries *series)
{
    const int month = m_query->monthsOfYear(year).value(monthIndex);
    appendBars(m_query->weekBarsOfMonth(year, month), series);
}

void statictisView::fillDayBarsOfWeek(int year, int monthIndex, int weekIndex,
                                      DrilldownBarSeries *series)
{
    const int month = m_query->monthsOfYear(year).value(monthIndex);
    const int week = m_query->weeksOfMonth(year, month).value(weekIndex);
    appendBars(m_query->dayBarsOfWeek(year, month, week), series);
}

void statictisView::fillDayBarsOfMonth(int year, int month, DrilldownBarSeries *series)
{
    appendBars(m_query->dayBarsOfMonth(year, month), series);
}

int statictisView::weekCountInMonth(int year, int month)
{
    return WeekCalendar::weekCountInMonth(year, month);
}

int statictisView::daysInWeekOfMonth(int year, int month, int week)
{
    return WeekCalendar::daysInWeekOfMonth(year, month, week);
}

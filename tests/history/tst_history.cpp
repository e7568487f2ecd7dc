// The history view, the date dialog and the exports, driven through their widgets; exported
// files are read back with poppler's pdfinfo and pdftotext and byte for byte.
#include "app/database.h"
#include "history/dayexport.h"
#include "history/exportdocument.h"
#include "history/historyview.h"
#include "history/selectdate.h"
#include "richtext/customtextedit.h"
#include "schedule/orvaneview.h"
#include "schedule/templatestore.h"
#include "statistics/statictisview.h"
#include "tests/history/historyseed.h"
#include "tests/support/logcapture.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"
#include "tests/support/widgetfinder.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QtTest>

using namespace HistorySeed;

namespace {
const QString pdfFilter = QStringLiteral("Portable Document Format(*.pdf)");
const QString textFilter = QStringLiteral("Text files(*.txt)");

void settle()
{
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}

QString heading(const QDate &date)
{
    return date.toString(Qt::TextDate);
}

QStringList dateLabels(historyView *view)
{
    QStringList texts;
    const auto labels = view->content()->findChildren<QLabel *>(QStringLiteral("dateLabel"));
    for (QLabel *label : labels)
        texts.append(label->text());
    return texts;
}

// Scrolls from top to bottom a page at a time, as a reader would.
void scrollThrough(historyView *view)
{
    QScrollBar *bar = view->scrollArea()->verticalScrollBar();
    for (int value = 0;; value += bar->pageStep()) {
        bar->setValue(value);
        settle();
        if (value >= bar->maximum())
            break;
    }
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>")
            .arg(program, QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// pdftotext output with blank lines and the page breaks' form feeds dropped.
QStringList pdfLines(const QString &file)
{
    QStringList lines;
    const QStringList raw =
        run(QStringLiteral("pdftotext"), {file, QStringLiteral("-")}).split(QLatin1Char('\n'));
    for (QString line : raw) {
        line.remove(QLatin1Char('\f'));
        if (!line.trimmed().isEmpty())
            lines.append(line.trimmed());
    }
    return lines;
}

// Lines as one text without blanks: the PDF wraps long lines anywhere in Chinese text,
// pdftotext spaces blanks as it sees fit, and it reads some CJK glyphs back as their
// compatibility forms (KANGXI RADICAL SUN for 日).
QString flowed(const QStringList &lines)
{
    return lines.join(QString())
        .normalized(QString::NormalizationForm_KC)
        .remove(QRegularExpression(QStringLiteral("\\s")));
}

QString pdfInfo(const QString &file, const QString &field)
{
    const QStringList lines = run(QStringLiteral("pdfinfo"), {file}).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.startsWith(field + QLatin1Char(':')))
            return line.mid(field.size() + 1).trimmed();
    }
    return QString();
}

QByteArray readAll(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The files of a folder, hidden ones included (a left-over partial PDF would be one).
QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

struct World {
    TestEnvironment env;
    PromptScript prompts;
    QSqlDatabase db;
    QWidget dayView;
    World() { Database::connect(&db); }
    // A history view as the date dialog makes it: a window of the day view.
    historyView *open(const QString &start, const QString &end)
    {
        auto *view = new historyView(&dayView, &dayView, start, end);
        view->show();
        settle();
        return view;
    }
    QString file(const QString &name) const { return env.workDir() + QLatin1Char('/') + name; }
};

struct ExportChoice {
    QString start = QStringLiteral("2026.12.07");
    QString end = QStringLiteral("2026.12.07");
    bool taskList = false;
    int orientationIndex = 0; // 纵向, 横向
    int sizeIndex = 0;        // A4 .. A0
};

// Opens the export dialog from the view, fills it in as a person would and confirms.
void exportThrough(historyView *view, const ExportChoice &choice)
{
    QTest::mouseClick(findByName<QPushButton>(view, QStringLiteral("exportButton")),
                      Qt::LeftButton);
    auto *dialog = findTopLevel<selectDate>();
    QVERIFY(dialog);
    QCOMPARE(dialog->role(), selectDate::ExportRole);
    QVERIFY(dialog->isModal());
    for (const auto &[name, text] :
         {std::pair{"startLineEdit", choice.start}, std::pair{"stopLineEdit", choice.end}}) {
        auto *edit = findByName<QLineEdit>(dialog, QString::fromLatin1(name));
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    if (choice.taskList)
        QTest::mouseClick(findByName<QCheckBox>(dialog, QStringLiteral("taskListCheckBox")),
                          Qt::LeftButton);
    for (const auto &[name, steps] : {std::pair{"pageOrientationComboBox", choice.orientationIndex},
                                      std::pair{"pageSizeComboBox", choice.sizeIndex}}) {
        auto *box = findByName<QComboBox>(dialog, QString::fromLatin1(name));
        for (int i = 0; i < steps; ++i)
            QTest::keyClick(box, Qt::Key_Down);
    }
    QTest::mouseClick(findByName<QPushButton>(dialog, QStringLiteral("okButton")), Qt::LeftButton);
    settle();
}

// One saved day with every kind of row, and one task: the fixture of the content checks.
void seedSmallDay(QSqlDatabase db)
{
    QVERIFY(saveDay(db, dayTable(QDate(2026, 12, 7)),
                    {{"09:00--10:00", "读书", "读完"}, {"", "散步", ""}},
                    {summaryText("今日总结", "不错"), summaryScore("效率", "7")}));
    QVERIFY(
        saveTasks(db, {{"写报告", "2026-12-01", "2026-12-31", "重要", "紧急", 3, 50, "工作；"}}));
}
} // namespace

class TestHistory : public QObject {
    Q_OBJECT

private slots:
    void dayWalk_data();
    void dayWalk();
    void recordsAndSummary_data();
    void recordsAndSummary();
    void editorsMadeWhenScrolledTo();
    void historyRoleOpensAndReplaces();
    void dateDialogCalendarsAndCancel();
    void statisticsOverHistory();
    void pdfPages_data();
    void pdfPages();
    void pdfContents_data();
    void pdfContents();
    void textFileBytes_data();
    void textFileBytes();
    void bareNameTakesFilterType_data();
    void bareNameTakesFilterType();
    void unwritableTarget_data();
    void unwritableTarget();
    void tableListUnreadable();
    void hostileTextsSurvive();
    void pdfHtmlKeepsEditorStyles();
    void walkTakesDayTablesOnly_data();
    void walkTakesDayTablesOnly();
};

void TestHistory::dayWalk_data()
{
    QTest::addColumn<QStringList>("tables");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QStringList>("labels");
    const QDate d1230(2020, 12, 30), d1231(2020, 12, 31), d0101(2021, 1, 1), d0102(2021, 1, 2);
    const QStringList yearEnd = {dayTable(QDate(2020, 12, 29)),
                                 dayTable(d0102),
                                 dayTable(d1230),
                                 dayTable(d0101),
                                 dayTable(d1231),
                                 dayTable(QDate(2021, 1, 3))};
    QTest::newRow("year end, four days in order")
        << yearEnd << "2020.12.30"
        << "2021.01.02"
        << QStringList{heading(d1230), heading(d1231), heading(d0101), heading(d0102)};
    QTest::newRow("days without tables add nothing")
        << QStringList{dayTable(d1230), dayTable(d0102)} << "2020.12.30"
        << "2021.01.02" << QStringList{heading(d1230), heading(d0102)};
    QTest::newRow("two templates, a date label each")
        << QStringList{dayTable(d1230, "B模板"), dayTable(d1230, "A模板")} << "2020.12.30"
        << "2020.12.30" << QStringList{heading(d1230), heading(d1230)};
    QTest::newRow("end before start") << yearEnd << "2021.01.02"
                                      << "2020.12.30" << QStringList();
    QTest::newRow("not a date") << yearEnd << "2020.12.3x"
                                << "2021.01.02" << QStringList();
}

void TestHistory::dayWalk()
{
    QFETCH(QStringList, tables);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QStringList, labels);
    World world;
    for (const QString &table : tables)
        QVERIFY(saveDay(world.db, table, {{"08:00--09:00", table, ""}}));
    LogCapture log;
    std::unique_ptr<historyView> view(world.open(start, end));
    QCOMPARE(dateLabels(view.get()), labels);
    QCOMPARE(view->scheduleCount(), labels.size());
    QCOMPARE(log.startingWith("schedule list: ").size(), labels.size());
}

void TestHistory::recordsAndSummary_data()
{
    QTest::addColumn<QString>("score");
    QTest::addColumn<int>("shown");
    QTest::newRow("7") << "7" << 7;
    QTest::newRow("not a number") << "x" << 0;
    QTest::newRow("above the range") << "12" << 10;
}

void TestHistory::recordsAndSummary()
{
    QFETCH(QString, score);
    QFETCH(int, shown);
    World world;
    QVERIFY(saveDay(world.db, dayTable(QDate(2026, 12, 7)),
                    {{"09:00--10:00", "读书", "读完"}, {"", "散步", ""}},
                    {summaryText("今日总结", "不错"), summaryScore("效率", score)}));
    std::unique_ptr<historyView> view(world.open("2026.12.07", "2026.12.07"));
    QWidget *content = view->content();

    QCOMPARE(findByName<QLabel>(content, "timeLabel_0")->text(), QString("09:00--10:00"));
    QCOMPARE(findByName<QLabel>(content, "timeLabel_1")->text(), QString());
    const QList<std::pair<QString, QString>> editors = {{"textEdit_0", "计划：\n读书"},
                                                        {"textEditResult_0", "结果：\n读完"},
                                                        {"textEdit_1", "计划：\n散步"},
                                                        {"textEditResult_1", "结果："},
                                                        {"textEditSummary_0", "不错"}};
    for (const auto &[name, text] : editors) {
        auto *editor = findByName<CustomTextEdit>(content, name);
        QVERIFY2(editor, qPrintable(name));
        QCOMPARE(editor->toPlainText(), text);
        QVERIFY(editor->isReadOnly());
        QCOMPARE(editor->height(), name.startsWith("textEditSummary") ? 80 : 100);
    }
    auto *spin = findByName<QSpinBox>(content, "scoreSpinBox_1");
    QCOMPARE(spin->value(), shown);
    QVERIFY(!spin->isEnabled());
    QStringList texts;
    for (QLabel *label : content->findChildren<QLabel *>())
        texts.append(label->text());
    QVERIFY(texts.contains("今日总结"));
    QVERIFY(texts.contains("效率"));
    QVERIFY(texts.contains("分"));
    // Only the summary score row hugs the right edge.
    QVERIFY(spin->mapTo(content, QPoint()).x() > content->width() / 2);
}

void TestHistory::editorsMadeWhenScrolledTo()
{
    World world;
    const QDate first(2026, 10, 1);
    QList<Record> records;
    for (int i = 0; i < 10; ++i)
        records.append({QString("%1:00--%1:30").arg(10 + i), QString("计划%1").arg(i), "完成"});
    for (int day = 0; day < 40; ++day)
        QVERIFY(saveDay(world.db, dayTable(first.addDays(day)), records));
    std::unique_ptr<historyView> view(world.open("2026.10.01", "2026.11.09"));
    QCOMPARE(view->scheduleCount(), 40);
    QVERIFY(view->scheduleBuilt(0));
    QVERIFY(!view->scheduleBuilt(39));
    const int madeAtFirst = view->content()->findChildren<CustomTextEdit *>().size();
    QVERIFY(madeAtFirst > 0 && madeAtFirst < 40 * 20);
    const int maximum = view->scrollArea()->verticalScrollBar()->maximum();

    scrollThrough(view.get());
    for (int i = 0; i < 40; ++i)
        QVERIFY2(view->scheduleBuilt(i), qPrintable(QString::number(i)));
    QCOMPARE(view->content()->findChildren<CustomTextEdit *>().size(), 40 * 20);
    // The places kept the editors' heights: nothing below moved when they were made.
    QCOMPARE(view->scrollArea()->verticalScrollBar()->maximum(), maximum);
    const auto last = view->content()->findChildren<CustomTextEdit *>("textEdit_9");
    QCOMPARE(last.size(), 40);
    QCOMPARE(last.last()->toPlainText(), QString("计划：\n计划9"));
    QVERIFY(last.last()->isVisible());
}

void TestHistory::historyRoleOpensAndReplaces()
{
    World world;
    TemplateStore::createBuiltInTemplates();
    QVERIFY(saveDay(world.db, dayTable(QDate(2026, 12, 6)), {{"", "a", "b"}}));
    orvaneView day(nullptr, nullptr, QString(), QString());
    day.show();
    QPointer<historyView> previous;
    QPointer<selectDate> previousExport;
    for (const QString start : {"2026.12.06", "2026.12.01"}) {
        QPushButton *history = nullptr;
        for (QPushButton *button : day.findChildren<QPushButton *>())
            history = button->text() == "历史记录" ? button : history;
        QVERIFY(history && history->isEnabled());
        QTest::mouseClick(history, Qt::LeftButton);
        auto *dialog = findTopLevel<selectDate>();
        QVERIFY(dialog);
        QCOMPARE(dialog->role(), selectDate::HistoryRole);
        QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
        QVERIFY(day.isVisible());
        QVERIFY(!findByName<QWidget>(dialog, "taskListCheckBox"));
        auto *edit = findByName<QLineEdit>(dialog, "startLineEdit");
        edit->clear();
        QTest::keyClicks(edit, start);
        QTest::mouseClick(findByName<QPushButton>(dialog, "okButton"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        settle();

        historyView *view = historyView::current();
        QVERIFY(view && view != previous);
        QVERIFY(view->isVisible());
        QVERIFY(!day.isVisible());
        QCOMPARE(view->startText(), start);
        QCOMPARE(view->endText(), QString("2026.12.07"));
        // The day view made today's schedule when it opened.
        QCOMPARE(dateLabels(view),
                 QStringList({heading(QDate(2026, 12, 6)), heading(QDate(2026, 12, 7))}));
        // The history shown before is gone, with the export dialog it had opened.
        QVERIFY(!previous);
        QVERIFY(!previousExport);

        QTest::mouseClick(findByName<QPushButton>(view, "exportButton"), Qt::LeftButton);
        previousExport = findTopLevel<selectDate>();
        QVERIFY(previousExport);
        previousExport->hide();
        QTest::mouseClick(findByName<QPushButton>(view, "backButton"), Qt::LeftButton);
        QVERIFY(day.isVisible());
        QVERIFY(!view->isVisible());
        previous = view;
    }
    QVERIFY(world.prompts.messages().isEmpty());
}

void TestHistory::dateDialogCalendarsAndCancel()
{
    World world;
    std::unique_ptr<historyView> view(world.open("2026.12.07", "2026.12.07"));
    QTest::mouseClick(findByName<QPushButton>(view.get(), "exportButton"), Qt::LeftButton);
    QPointer<selectDate> dialog = findTopLevel<selectDate>();
    QVERIFY(dialog);
    for (const QString edit : {"startLineEdit", "stopLineEdit"})
        QCOMPARE(findByName<QLineEdit>(dialog, edit)->text(), QString("2026.12.07"));
    for (const QString name : {"taskListCheckBox", "pageOrientationComboBox", "pageSizeComboBox"})
        QVERIFY2(findByName<QWidget>(dialog, name), qPrintable(name));

    const QList<std::tuple<QString, QString, QString, QDate>> rows = {
        {"startButton", "startCalendar", "startLineEdit", QDate(2026, 11, 3)},
        {"stopButton", "stopCalendar", "stopLineEdit", QDate(2026, 12, 24)}};
    for (const auto &[button, calendarName, edit, date] : rows) {
        QTest::mouseClick(findByName<QPushButton>(dialog, button), Qt::LeftButton);
        auto *calendar = findByName<QCalendarWidget>(dialog, calendarName);
        QVERIFY(calendar && calendar->isVisible());
        calendar->setSelectedDate(date);
        emit calendar->clicked(date);
        QCOMPARE(findByName<QLineEdit>(dialog, edit)->text(), date.toString("yyyy.MM.dd"));
        QVERIFY(!calendar->isVisible());
    }
    QTest::mouseClick(findByName<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!dialog);
    QVERIFY(view->isVisible());
    QVERIFY(world.prompts.requests().isEmpty());
}

void TestHistory::statisticsOverHistory()
{
    World world;
    std::unique_ptr<historyView> view(world.open("2026.12.07", "2026.12.07"));
    QPointer<statictisView> previous;
    for (int round = 0; round < 2; ++round) {
        QTest::mouseClick(findByName<QPushButton>(view.get(), "statictisButton"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        auto *statistics = findTopLevel<statictisView>();
        QVERIFY(statistics);
        QVERIFY(statistics->isWindow());
        QCOMPARE(statistics->windowModality(), Qt::ApplicationModal);
        QVERIFY(!view->isVisible());
        // Each press builds a new statistics view; the one before is not kept.
        QVERIFY(!previous);
        previous = statistics;

        auto *range = findByName<QComboBox>(statistics, "dateComboBox");
        range->setCurrentIndex(range->count() - 1); // 自定义...
        QCOMPARE(range->currentIndex(), -1);
        auto *dialog = findTopLevel<selectDate>();
        QVERIFY(dialog);
        QCOMPARE(dialog->role(), selectDate::StatisticsRole);
        QVERIFY(!findByName<QWidget>(dialog, "pageSizeComboBox"));
        auto *start = findByName<QLineEdit>(dialog, "startLineEdit");
        start->clear();
        QTest::keyClicks(start, round == 0 ? "2026.11.01" : "2026.12.07");
        QTest::mouseClick(findByName<QPushButton>(dialog, "okButton"), Qt::LeftButton);
        QCOMPARE(statistics->startDate(), QString(round == 0 ? "2026.11.01" : "2026.12.07"));
        QCOMPARE(statistics->endDate(), QString("2026.12.07"));
        QCOMPARE(findByName<QLabel>(statistics, "rangeLabel")->text(),
                 QString(round == 0 ? "2026.11.01至2026.12.07" : "2026.12.07"));

        QTest::mouseClick(findByName<QPushButton>(statistics, "backButton"), Qt::LeftButton);
        QVERIFY(view->isVisible());
        QVERIFY(!statistics->isVisible());
    }
    // The statistics view goes with its history.
    view.reset();
    QVERIFY(!previous);
}

void TestHistory::pdfPages_data()
{
    QTest::addColumn<int>("orientationIndex");
    QTest::addColumn<int>("sizeIndex");
    QTest::addColumn<QString>("pageSize");
    QTest::newRow("default A4 portrait") << 0 << 0 << "595 x 842 pts (A4)";
    QTest::newRow("A0 landscape") << 1 << 4 << "3370 x 2384 pts (A0)";
    QTest::newRow("A3 landscape") << 1 << 1 << "1191 x 842 pts (A3)";
}

void TestHistory::pdfPages()
{
    QFETCH(int, orientationIndex);
    QFETCH(int, sizeIndex);
    QFETCH(QString, pageSize);
    World world;
    seedSmallDay(world.db);
    std::unique_ptr<historyView> view(world.open("2026.12.07", "2026.12.07"));
    const QString file = world.file("天.pdf");
    world.prompts.answerSaveFile(file, pdfFilter);
    ExportChoice choice;
    choice.orientationIndex = orientationIndex;
    choice.sizeIndex = sizeIndex;
    exportThrough(view.get(), choice);
    QCOMPARE(world.prompts.requests().first().title, QString("Save File"));
    QCOMPARE(world.prompts.requests().first().filter, pdfFilter + ";;" + textFilter);
    QCOMPARE(world.prompts.messages(), QStringList{"已导出到：" + file});
    QCOMPARE(pdfInfo(file, "Page size"), pageSize);
    QCOMPARE(filesIn(world.env.workDir()), QStringList({"KDdatabase.db", "天.pdf"}));
    QVERIFY(!findByName<QWidget>(view.get(), "exportProgressBar")->isVisible());
}

void TestHistory::pdfContents_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("taskList");
    QTest::addColumn<QStringList>("lines");
    const QStringList sunday = {heading(QDate(2026, 12, 6)), "计划：", "早起", "结果：", "迟了"};
    const QStringList mondayA = {heading(QDate(2026, 12, 7)),
                                 "09:00--10:00",
                                 "计划：",
                                 "读书",
                                 "结果：",
                                 "读完",
                                 "计划：",
                                 "散步",
                                 "结果：",
                                 "今日总结:",
                                 "不错",
                                 "效率:7"};
    const QStringList mondayB = {heading(QDate(2026, 12, 7)), "计划：", "乙计划", "结果："};
    const QStringList tasks = {
        "清单总库", "内容:", "写报告",
        "开始日期：2026-12-01 截止日期：2026-12-31 重要性：重要 紧急度：紧急 优先级：3 进度：50 "
        "标签：工作；"};
    QTest::newRow("two days, two templates in name order")
        << "2026.12.06"
        << "2026.12.07" << false << sunday + mondayB + mondayA;
    QTest::newRow("with the task list") << "2026.12.07"
                                        << "2026.12.07" << true << mondayB + mondayA + tasks;
    QTest::newRow("no schedule in range, task list only") << "2026.11.01"
                                                          << "2026.11.30" << true << tasks;
}

void TestHistory::pdfContents()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(bool, taskList);
    QFETCH(QStringList, lines);
    World world;
    seedSmallDay(world.db);
    QVERIFY(saveDay(world.db, dayTable(QDate(2026, 12, 7), "乙"), {{"", "乙计划", ""}}));
    QVERIFY(saveDay(world.db, dayTable(QDate(2026, 12, 6)), {{"", "早起", "迟了"}}));
    QVERIFY(saveDay(world.db, dayTable(QDate(2026, 12, 8)), {{"", "明天", ""}}));
    std::unique_ptr<historyView> view(world.open("2026.12.07", "2026.12.07"));
    const QString file = world.file("out.pdf");
    world.prompts.answerSaveFile(file, pdfFilter);
    ExportChoice choice;
    choice.start = start;
    choice.end = end;
    choice.taskList = taskList;
    exportThrough(view.get(), choice);
    // A printed document numbers its pages at the foot.
    QCOMPARE(flowed(pdfLines(file)), flowed(lines + QStringList{"1"}));
}

void TestHistory::textFileBytes_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("taskList");
    QTest::addColumn<QByteArray>("added");
    const QByteArray day = "\nMon Dec 7 2026\n"
                           "09:00--10:00\n计划：读书\n结果：读完\n"
                           "计划：散步\n结果：\n"
                           "今日总结: 不错\n效率: 7\n";
    const QByteArray tasks = "清单总库\n内容:写报告\n"
                             "开始日期：2026-12-01  截止日期：2026-12-31  重要性：重要  "
                             "紧急度：紧急  优先级：3  进度：50  标签：工作；\n";
    QTest::newRow("day only") << "2026.12.07" << false << day;
    QTest::newRow("day and task list") << "2026.12.07" << true << day + tasks;
    QTest::newRow("no schedule, task list only") << "2026.12.08" << true << tasks;
    QTest::newRow("nothing at all") << "2026.12.08" << false << QByteArray();
}

void TestHistory::textFileBytes()
{
    QFETCH(QString, start);
    QFETCH(bool, taskList);
    QFETCH(QByteArray, added);
    World world;
    seedSmallDay(world.db);
    std::unique_ptr<historyView> view(world.open("2026.12.07", "2026.12.07"));
    for (const QByteArray &before : {QByteArray(), QByteArray("旧内容\n")}) {
        const QString file = world.file(before.isEmpty() ? "new.txt" : "old.txt");
        if (!before.isEmpty()) {
            QFile old(file);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(before);
        }
        world.prompts.answerSaveFile(file, textFilter);
        ExportChoice choice;
        choice.start = start;
        choice.end = "2026.12.08";
        choice.taskList = taskList;
        exportThrough(view.get(), choice);
        QCOMPARE(readAll(file), before + added);
    }
}

void TestHistory::bareNameTakesFilterType_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("written");
    QTest::newRow("pdf filter") << pdfFilter << "report.pdf";
    QTest::newRow("text filter") << textFilter << "report.txt";
}

void TestHistory::bareNameTakesFilterType()
{
    QFETCH(QString, filter);
    QFETCH(QString, written);
    World world;
    seedSmallDay(world.db);
    std::unique_ptr<historyView> view(world.open("2026.12.07", "2026.12.07"));
    world.prompts.answerSaveFile(world.file("report"), filter);
    exportThrough(view.get(), ExportChoice());
    QCOMPARE(filesIn(world.env.workDir()), QStringList({"KDdatabase.db", written}));
    QCOMPARE(world.prompts.messages(), QStringList{"已导出到：" + world.file(written)});
    if (written.endsWith(".pdf"))
        QCOMPARE(pdfInfo(world.file(written), "Pages"), QString("1"));
    else
        QVERIFY(readAll(world.file(written)).startsWith("\nMon Dec 7 2026\n"));
}

void TestHistory::unwritableTarget_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("log");
    QTest::newRow("pdf in a missing folder") << "missing/out.pdf"
                                             << "pdf file open failed!";
    QTest::newRow("text in a missing folder") << "missing/out.txt"
                                              << "file open failed!";
    QTest::newRow("pdf over a folder") << "taken.pdf"
                                       << "pdf replace failed!";
    QTest::newRow("text into a folder") << "taken.txt"
                                        << "file open failed!";
}

void TestHistory::unwritableTarget()
{
    QFETCH(QString, name);
    QFETCH(QString, log);
    World world;
    seedSmallDay(world.db);
    QVERIFY(QDir(world.env.workDir()).mkdir("taken.pdf"));
    QVERIFY(QDir(world.env.workDir()).mkdir("taken.txt"));
    std::unique_ptr<historyView> view(world.open("2026.12.07", "2026.12.07"));
    LogCapture capture;
    world.prompts.answerSaveFile(world.file(name), pdfFilter);
    exportThrough(view.get(), ExportChoice());
    QCOMPARE(world.prompts.messages(), QStringList{"无法写入文件，导出失败：" + world.file(name)});
    QVERIFY2(!capture.startingWith(log).isEmpty(), qPrintable(capture.lines().join('\n')));
    // Nothing is left behind, not even a partial PDF.
    QCOMPARE(filesIn(world.env.workDir()), QStringList{"KDdatabase.db"});
    QVERIFY(!QFile::exists(world.file("missing")));
}

void TestHistory::tableListUnreadable()
{
    World world;
    seedSmallDay(world.db);
    std::unique_ptr<historyView> view(world.open("2026.12.07", "2026.12.07"));
    world.db.close();
    LogCapture capture;
    world.prompts.answerSaveFile(world.file("out.txt"), textFilter);
    exportThrough(view.get(), ExportChoice());
    QVERIFY(capture.contains("select all tables failed!"));
    QCOMPARE(world.prompts.messages(), QStringList{"无法读取日程列表，没有导出任何内容。"});
    QVERIFY(!QFile::exists(world.file("out.txt")));
}

void TestHistory::hostileTextsSurvive()
{
    World world;
    const QString hostile = "它说\"不\" & '好' <b>x</b> 😀";
    QVERIFY(saveDay(world.db, dayTable(QDate(2026, 12, 7), "模'板\""), {{"", hostile, hostile}},
                    {summaryText("<i>名</i>&", hostile), summaryScore("分<数>", "5")}));
    QVERIFY(saveTasks(world.db, {{hostile, "<2026>", "&", "'", "\"", 1, 2, "<标签>；"}}));
    std::unique_ptr<historyView> view(world.open("2026.12.07", "2026.12.07"));
    QCOMPARE(findByName<CustomTextEdit>(view->content(), "textEdit_0")->toPlainText(),
             "计划：\n" + hostile);

    world.prompts.answerSaveFile(world.file("h.txt"), textFilter);
    ExportChoice choice;
    choice.taskList = true;
    exportThrough(view.get(), choice);
    const QString text = QString::fromUtf8(readAll(world.file("h.txt")));
    for (const QString &expected :
         QStringList{"计划：" + hostile, "结果：" + hostile, "<i>名</i>&: " + hostile, "分<数>: 5",
                     "内容:" + hostile,
                     QString("开始日期：<2026>  截止日期：&  重要性：'  紧急度：\"  "
                             "优先级：1  进度：2  标签：<标签>；")})
        QVERIFY2(text.contains(expected + "\n"), qPrintable(expected));

    world.prompts.answerSaveFile(world.file("h.pdf"), pdfFilter);
    exportThrough(view.get(), choice);
    const QString pdf = flowed(pdfLines(world.file("h.pdf")));
    // The emoji has no glyph in the PDF's fonts on every machine; everything else must survive.
    const QString printable = QString(hostile).remove("😀").trimmed();
    for (const QString &expected : QStringList{
             "计划：" + printable, "结果：" + printable, "<i>名</i>&:" + printable, "分<数>:5",
             "开始日期：<2026>截止日期：&重要性：'紧急度：\"", "标签：<标签>；"}) {
        const QString wanted = flowed({expected});
        QVERIFY2(pdf.contains(wanted), qPrintable(wanted + " in " + pdf));
    }
}

void TestHistory::pdfHtmlKeepsEditorStyles()
{
    World world;
    const QString table = dayTable(QDate(2026, 12, 7));
    QVERIFY(saveDay(world.db, table, {{"", "读书", "读完"}, {"", "散步", "走了"}}));
    QTextDocument typed;
    typed.setDefaultFont(QFont("Noto Sans CJK SC", 20));
    QTextCursor typing(&typed);
    typing.insertText("大字");
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    typing.insertText("粗", bold);
    typing.insertList(QTextListFormat::ListDisc);
    typing.insertText("  两个空格", QTextCharFormat());
    QSqlQuery update(world.db);
    QVERIFY(update.prepare(QString("update \"%1\" set plan = ? where manualIndex = 0").arg(table)));
    update.addBindValue(Database::escapeRichText(typed.toHtml()));
    QVERIFY(update.exec());

    DayExport exporter = ExportDocument::dayExport(world.db);
    const QString html = exporter.document(exporter.dayHtml(table));
    // The editor's style sheet lives on in its paragraphs, not once per text.
    QCOMPARE(html.count("<style"), 0);
    QTextDocument printed;
    printed.setHtml(html);
    QTextCursor found = printed.find("大字");
    QVERIFY(!found.isNull());
    QCOMPARE(found.charFormat().font().pointSize(), 20);
    found = printed.find("粗");
    QCOMPARE(found.charFormat().fontWeight(), int(QFont::Bold));
    QVERIFY(printed.find("  两个空格").block().textList());
    QVERIFY(printed.toPlainText().contains("计划：\n散步"));
}

void TestHistory::walkTakesDayTablesOnly_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("taken");
    QTest::newRow("range bounds kept")
        << QStringList{"Day20261205a", "Day20261206a",        "Day20261207a",
                       "Day20261207b", "Day20261208a",        "labelDuration_Day20261206a",
                       "star",         "summary_Day20261206a"}
        << QStringList{"Day20261206a", "Day20261207a", "Day20261207b"};
    QTest::newRow("an earlier table of another kind neither ends nor joins")
        << QStringList{"ABC99999999", "Calendar2026120", "Day20261206a"}
        << QStringList{"Day20261206a"};
    QTest::newRow("a bare day name without template is no schedule")
        << QStringList{"Day20261206", "Day2026120x7", "Day20261207a"}
        << QStringList{"Day20261207a"};
}

void TestHistory::walkTakesDayTablesOnly()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, taken);
    QCOMPARE(DayExport::tablesInRange(names, "20261206", "20261207"), taken);
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestHistory test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_history.moc"

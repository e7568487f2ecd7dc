// CSV and iCalendar exports read back by other programs: Python's csv module and Debian's
// python3-icalendar (through /usr/bin/python3, where Debian's modules are).
#include "openexport/icalwriter.h"
#include "openexport/openexport.h"
#include "schedule/daystore.h"
#include "tests/backup/backupseed.h"
#include "tests/support/testenvironment.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

using namespace BackupSeed;

namespace {
const QString python = QStringLiteral("/usr/bin/python3");

const char csvReader[] = R"(
import csv, json, sys
with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:
    print(json.dumps(list(csv.reader(f))))
)";

const char icalReader[] = R"(
import json, sys
from icalendar import Calendar
cal = Calendar.from_ical(open(sys.argv[1], 'rb').read())
def cats(c):
    v = c.get('categories')
    return [str(x) for x in v.cats] if v is not None else []
out = {'events': [], 'todos': []}
for c in cal.walk('VEVENT'):
    out['events'].append({'uid': str(c.get('uid')),
        'start': c.decoded('dtstart').isoformat(),
        'end': c.decoded('dtend').isoformat() if c.get('dtend') is not None else '',
        'summary': str(c.get('summary')), 'description': str(c.get('description', '')),
        'categories': cats(c)})
for c in cal.walk('VTODO'):
    out['todos'].append({'summary': str(c.get('summary')),
        'description': str(c.get('description', '')),
        'due': c.decoded('due').isoformat(),
        'start': c.decoded('dtstart').isoformat() if c.get('dtstart') is not None else '',
        'priority': int(c.get('priority', 0)), 'percent': int(c.get('percent-complete')),
        'status': str(c.get('status')), 'categories': cats(c)})
print(json.dumps(out))
)";

// Runs a reader on a file and returns what it printed as JSON; fails the test on any error.
QJsonDocument readBack(const char *script, const QString &file)
{
    QProcess process;
    process.start(python, {QStringLiteral("-c"), QString::fromUtf8(script), file});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning("%s", process.readAllStandardError().constData());
        return QJsonDocument();
    }
    return QJsonDocument::fromJson(process.readAllStandardOutput());
}

QStringList row(const QJsonDocument &rows, int index)
{
    QStringList fields;
    const QJsonArray array = rows.array().at(index).toArray();
    for (const QJsonValue &value : array)
        fields.append(value.toString());
    return fields;
}

QSqlDatabase connection()
{
    QSqlDatabase db;
    Database::connect(&db);
    return db;
}

const QString day7 = DayStore::dayName(QDate(2026, 12, 7)) + QStringLiteral("空时刻表");
} // namespace

class OpenExportTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void csvKeepsHostileTexts_data();
    void csvKeepsHostileTexts();
    void labelMinutesPerDay();
    void calendarEvents_data();
    void calendarEvents();
    void calendarTodos();
    void unwritableFile();
};

void OpenExportTest::initTestCase()
{
    QProcess probe;
    probe.start(python, {QStringLiteral("-c"), QStringLiteral("import icalendar")});
    QVERIFY2(probe.waitForFinished(60000) && probe.exitCode() == 0,
             "python3-icalendar is missing (scripts/install-deps installs it)");
}

void OpenExportTest::csvKeepsHostileTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("quotes") << "他说\"好\"，\"\"空\"\"";
    QTest::newRow("commas") << "a,b,,c,";
    QTest::newRow("line breaks") << "第一行\n第二行\n\n第四行";
    QTest::newRow("emoji") << "完成 ✅ 😀👨‍👩‍👧";
    QTest::newRow("apostrophe and markup") << "it's <b>not</b> & %1 %10";
    QTest::newRow("leading and trailing blanks") << "  缩进 ";
    QTest::newRow("everything") << "\"开头, \n结尾\"";
}

void OpenExportTest::csvKeepsHostileTexts()
{
    QFETCH(QString, text);
    TestEnvironment env;
    QSqlDatabase db = connection();
    QVERIFY(addTasks(db, {{text, QStringLiteral("2026-12-01"), QStringLiteral("2026-12-31"), 50, 20,
                           text + QStringLiteral("；")}}));
    QVERIFY(addDay(db, day7, {{QStringLiteral("08:00--09:00"), text, text, text, 60}}));

    OpenExport exporter(db);
    const QString tasks = env.workDir() + QStringLiteral("/tasks.csv");
    const OpenExport::Result taskResult = exporter.tasksCsv(tasks);
    QVERIFY(taskResult.written);
    QCOMPARE(taskResult.rows, 1);
    QFile raw(tasks);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QVERIFY(raw.readAll().startsWith("\xEF\xBB\xBF"));

    const QJsonDocument taskRows = readBack(csvReader, tasks);
    QCOMPARE(taskRows.array().size(), 2);
    QCOMPARE(row(taskRows, 0).first(), QStringLiteral("序号"));
    QCOMPARE(row(taskRows, 1), (QStringList{QStringLiteral("1"), text, QStringLiteral("2026-12-01"),
                                            QStringLiteral("2026-12-31"), QStringLiteral("重要"),
                                            QStringLiteral("紧急"), QStringLiteral("50"),
                                            QStringLiteral("20"), text + QStringLiteral("；")}));

    const QString records = env.workDir() + QStringLiteral("/records.csv");
    const OpenExport::Result recordResult =
        exporter.recordsCsv(QDate(2026, 12, 1), QDate(2026, 12, 31), records);
    QVERIFY(recordResult.written);
    const QJsonDocument recordRows = readBack(csvReader, records);
    QCOMPARE(recordRows.array().size(), 2);
    QCOMPARE(row(recordRows, 0),
             (QStringList{QStringLiteral("日期"), QStringLiteral("日程表"), QStringLiteral("时间"),
                          QStringLiteral("计划"), QStringLiteral("标签"), QStringLiteral("结果")}));
    QCOMPARE(row(recordRows, 1),
             (QStringList{QStringLiteral("2026-12-07"), QStringLiteral("空时刻表"),
                          QStringLiteral("08:00--09:00"), text, text, text}));
}

void OpenExportTest::labelMinutesPerDay()
{
    TestEnvironment env;
    QSqlDatabase db = connection();
    // Two schedules on the 7th add up per label; a day outside the range and the empty-label
    // caption stay out.
    QVERIFY(addDay(
        db, day7,
        {{QStringLiteral("08:00--09:00"), QStringLiteral("a"), QStringLiteral("读书"), {}, 60},
         {QStringLiteral("09:00--09:30"), QStringLiteral("b"), QStringLiteral("类别标签"), {}, 30},
         {QStringLiteral("10:00--12:00"), QStringLiteral("c"), QStringLiteral("工作"), {}, 120}}));
    QVERIFY(addDay(
        db, DayStore::dayName(QDate(2026, 12, 7)) + QStringLiteral("第二"),
        {{QStringLiteral("20:00--20:45"), QStringLiteral("d"), QStringLiteral("读书"), {}, 45}}));
    QVERIFY(addDay(
        db, DayStore::dayName(QDate(2026, 12, 8)) + QStringLiteral("空时刻表"),
        {{QStringLiteral("07:00--07:10"), QStringLiteral("e"), QStringLiteral("跑步"), {}, 10}}));
    QVERIFY(addDay(
        db, DayStore::dayName(QDate(2026, 12, 9)) + QStringLiteral("空时刻表"),
        {{QStringLiteral("07:00--08:00"), QStringLiteral("f"), QStringLiteral("跑步"), {}, 60}}));
    const QString file = env.workDir() + QStringLiteral("/minutes.csv");
    const OpenExport::Result result =
        OpenExport(db).labelMinutesCsv(QDate(2026, 12, 7), QDate(2026, 12, 8), file);
    QVERIFY(result.written);
    QCOMPARE(result.rows, 3);
    const QJsonDocument rows = readBack(csvReader, file);
    QCOMPARE(rows.array().size(), 4);
    QCOMPARE(row(rows, 1), (QStringList{"2026-12-07", "读书", "105"}));
    QCOMPARE(row(rows, 2), (QStringList{"2026-12-07", "工作", "120"}));
    QCOMPARE(row(rows, 3), (QStringList{"2026-12-08", "跑步", "10"}));
}

void OpenExportTest::calendarEvents_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("plan");
    QTest::addColumn<QString>("start"); // empty: left out
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("summary");

    const QString longPlan = QString(40, QChar(0x8BA1)) + QStringLiteral(", 分号; 反斜杠\\ 完");
    QTest::newRow("plain span") << "08:00--09:30"
                                << "晨读"
                                << "2026-12-07T08:00:00"
                                << "2026-12-07T09:30:00"
                                << "晨读";
    QTest::newRow("one-digit hour") << "9:05--10:00"
                                    << "开会"
                                    << "2026-12-07T09:05:00"
                                    << "2026-12-07T10:00:00"
                                    << "开会";
    QTest::newRow("past midnight") << "23:00--01:00"
                                   << "夜班"
                                   << "2026-12-07T23:00:00"
                                   << "2026-12-08T01:00:00"
                                   << "夜班";
    QTest::newRow("until midnight") << "22:00--24:00"
                                    << "读书"
                                    << "2026-12-07T22:00:00"
                                    << "2026-12-08T00:00:00"
                                    << "读书";
    QTest::newRow("no length") << "10:00--10:00"
                               << "提醒"
                               << "2026-12-07T10:00:00"
                               << ""
                               << "提醒";
    QTest::newRow("long text folded") << "12:00--13:00" << longPlan << "2026-12-07T12:00:00"
                                      << "2026-12-07T13:00:00" << longPlan;
    QTest::newRow("two lines: summary is the first") << "14:00--15:00"
                                                     << "标题\n细节, 更多"
                                                     << "2026-12-07T14:00:00"
                                                     << "2026-12-07T15:00:00"
                                                     << "标题";
    QTest::newRow("empty time") << ""
                                << "无时间"
                                << ""
                                << ""
                                << "";
    QTest::newRow("not a time") << "上午"
                                << "随便"
                                << ""
                                << ""
                                << "";
    QTest::newRow("hour out of range") << "25:00--26:00"
                                       << "错"
                                       << ""
                                       << ""
                                       << "";
}

void OpenExportTest::calendarEvents()
{
    QFETCH(QString, time);
    QFETCH(QString, plan);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, summary);
    TestEnvironment env;
    QSqlDatabase db = connection();
    QVERIFY(addDay(
        db, day7,
        {{time, plan, QStringLiteral("工作"), QStringLiteral("结果\"好\""), 0},
         {QStringLiteral("18:00--19:00"), QStringLiteral("晚饭"), QString(), QString(), 0}}));
    const QString file = env.workDir() + QStringLiteral("/day.ics");
    const OpenExport::Result result =
        OpenExport(db).calendar(QDate(2026, 12, 7), QDate(2026, 12, 7), file);
    QVERIFY(result.written);
    QCOMPARE(result.rows, start.isEmpty() ? 1 : 2);
    QCOMPARE(result.skipped, start.isEmpty() ? 1 : 0);

    QFile raw(file);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = raw.readAll().split('\n');
    for (const QByteArray &line : lines)
        QVERIFY2(line.size() <= 76, line.constData()); // 75 octets and the CR

    const QJsonObject parsed = readBack(icalReader, file).object();
    const QJsonArray events = parsed.value(QStringLiteral("events")).toArray();
    QCOMPARE(events.size(), result.rows);
    const QJsonObject supper = events.last().toObject();
    QCOMPARE(supper.value(QStringLiteral("summary")).toString(), QStringLiteral("晚饭"));
    QCOMPARE(supper.value(QStringLiteral("categories")).toArray().size(), 0);
    if (start.isEmpty())
        return;
    const QJsonObject event = events.first().toObject();
    QCOMPARE(event.value(QStringLiteral("start")).toString(), start);
    QCOMPARE(event.value(QStringLiteral("end")).toString(), end);
    QCOMPARE(event.value(QStringLiteral("summary")).toString(), summary);
    QCOMPARE(event.value(QStringLiteral("description")).toString(),
             QStringLiteral("计划：") + plan + QStringLiteral("\n结果：结果\"好\""));
    QCOMPARE(event.value(QStringLiteral("categories")).toArray().first().toString(),
             QStringLiteral("工作"));
    QVERIFY(event.value(QStringLiteral("uid")).toString() !=
            supper.value(QStringLiteral("uid")).toString());
}

void OpenExportTest::calendarTodos()
{
    TestEnvironment env;
    QSqlDatabase db = connection();
    QVERIFY(addTasks(
        db, {{QStringLiteral("交报告\n附录, 表格"), QStringLiteral("2026-12-01"),
              QStringLiteral("2026-12-20"), 100, 40, QStringLiteral("工作；写作；")},
             {QStringLiteral("没有截止日期"), QString(), QString(), 10, 0, {}},
             {QStringLiteral("随手写的日期"), QString(), QStringLiteral("下周"), 10, 0, {}},
             {QStringLiteral("做完了"),
              QStringLiteral("2026-12-30"),
              QStringLiteral("2026-12-05"),
              0,
              100,
              {}}}));
    const QString file = env.workDir() + QStringLiteral("/tasks.ics");
    // The range holds no day: only to-dos.
    const OpenExport::Result result =
        OpenExport(db).calendar(QDate(2027, 1, 1), QDate(2027, 1, 2), file);
    QVERIFY(result.written);
    QCOMPARE(result.rows, 0);
    QCOMPARE(result.todos, 2);
    QCOMPARE(result.skipped, 1); // "下周" is no date
    const QJsonArray todos =
        readBack(icalReader, file).object().value(QStringLiteral("todos")).toArray();
    QCOMPARE(todos.size(), 2);
    const QJsonObject report = todos.at(0).toObject();
    QCOMPARE(report.value(QStringLiteral("summary")).toString(), QStringLiteral("交报告"));
    QCOMPARE(report.value(QStringLiteral("description")).toString(),
             QStringLiteral("交报告\n附录, 表格"));
    QCOMPARE(report.value(QStringLiteral("due")).toString(), QStringLiteral("2026-12-20"));
    QCOMPARE(report.value(QStringLiteral("start")).toString(), QStringLiteral("2026-12-01"));
    QCOMPARE(report.value(QStringLiteral("priority")).toInt(), 1);
    QCOMPARE(report.value(QStringLiteral("percent")).toInt(), 40);
    QCOMPARE(report.value(QStringLiteral("status")).toString(), QStringLiteral("IN-PROCESS"));
    QCOMPARE(report.value(QStringLiteral("categories")).toArray(),
             (QJsonArray{QStringLiteral("工作"), QStringLiteral("写作")}));
    const QJsonObject done = todos.at(1).toObject();
    QCOMPARE(done.value(QStringLiteral("priority")).toInt(), 0); // unset
    QCOMPARE(done.value(QStringLiteral("percent")).toInt(), 100);
    QCOMPARE(done.value(QStringLiteral("status")).toString(), QStringLiteral("COMPLETED"));
    // A start after the due date is left out rather than written as a broken to-do.
    QCOMPARE(done.value(QStringLiteral("start")).toString(), QString());
}

void OpenExportTest::unwritableFile()
{
    TestEnvironment env;
    QSqlDatabase db = connection();
    QVERIFY(addTasks(db, {{QStringLiteral("x"), {}, {}, 0, 0, {}}}));
    const QString file = env.workDir() + QStringLiteral("/no such folder/tasks.csv");
    QVERIFY(!OpenExport(db).tasksCsv(file).written);
    QVERIFY(!QFileInfo::exists(file));
}

QTEST_GUILESS_MAIN(OpenExportTest)
#include "tst_openexport.moc"

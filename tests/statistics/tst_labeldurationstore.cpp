// The label tables of saved days and their week, month and year totals, in a real database
// file, read back over a separate connection.
#include "tests/statistics/tst_labeldurationstore.h"

#include "app/database.h"
#include "statistics/labeldurationstore.h"
#include "statistics/weekcalendar.h"
#include "tests/support/logcapture.h"
#include "tests/support/testenvironment.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

namespace {
const QString dayCreateSql = QStringLiteral(
    "create table %1(id int PRIMARY KEY, manualIndex int, time TEXT,plan TEXT,label TEXT, "
    "result TEXT, createDate TEXT, planHeight INT, resultHeight INT, isSchedule INT)");
const QString defaultTemplate = QStringLiteral("空时刻表");

struct Record {
    QString time; // "hh:mm--hh:mm" or empty
    QString label;
};

QString dayTableName(const QDate &date, const QString &templat = defaultTemplate)
{
    return QStringLiteral("Day") + date.toString(QStringLiteral("yyyyMMdd")) + templat;
}

// What the day view does: store the records, then, in one transaction, rebuild the day's label
// table from the durations of its rows and run the aggregate check.
struct Planner {
    QSqlDatabase db;
    LabelDurationStore *store = nullptr;
    Planner()
    {
        Database::connect(&db);
        store = new LabelDurationStore(db);
    }
    ~Planner() { delete store; }

    bool save(const QDate &date, const QList<Record> &records,
              const QString &templat = defaultTemplate)
    {
        const QString table = dayTableName(date, templat);
        const QString quoted = Database::quoteIdentifier(table);
        QSqlQuery query(db);
        if (!store->checkTableExistOrNot(table)) {
            if (!query.exec(dayCreateSql.arg(quoted)) ||
                !query.exec(LabelDurationStore::createDayLabelSql.arg(
                    Database::quoteIdentifier(WeekCalendar::dayLabelTableName(table)))))
                qWarning() << query.lastError().text();
        }
        query.exec(QStringLiteral("delete from ") + quoted);
        QVector<int> durations;
        for (int i = 0; i < records.size(); ++i) {
            query.prepare(QStringLiteral("insert into %1(manualIndex, time, label) values(?, ?, ?)")
                              .arg(quoted));
            query.addBindValue(i);
            query.addBindValue(records.at(i).time);
            query.addBindValue(records.at(i).label);
            query.exec();
            const QString caption = records.at(i).label.isEmpty()
                                        ? LabelDurationStore::labelPlaceholder
                                        : QStringLiteral("标签:") + records.at(i).label;
            durations.append(LabelDurationStore::recordDuration(
                records.at(i).time.left(5), records.at(i).time.mid(7), caption));
        }
        db.transaction();
        const bool ok = store->rebuildDayLabelTable(table, durations, date) &&
                        store->checkLabelDurationStatistic(date);
        if (ok)
            db.commit();
        else
            db.rollback();
        return ok;
    }

    // One record of `minutes` minutes from 09:00 under the label.
    bool saveOne(const QDate &date, const QString &label, int minutes = 60)
    {
        const QString end = QTime(9, 0).addSecs(minutes * 60).toString(QStringLiteral("hh:mm"));
        return save(date, {{QStringLiteral("09:00--") + end, label}});
    }
};

// "label=minutes" of every row in id order, or "<missing>".
QStringList rows(TestEnvironment &env, const QString &table)
{
    QSqlQuery query(env.checkConnection());
    if (!query.exec(QStringLiteral("select labelName, labelDuration from %1 order by id")
                        .arg(Database::quoteIdentifier(table))))
        return {QStringLiteral("<missing>")};
    QStringList result;
    while (query.next())
        result.append(query.value(0).toString() + QLatin1Char('=') + query.value(1).toString());
    return result;
}

// The column part of a table's create text (SQLite keeps the rest in its own spelling).
QString createText(TestEnvironment &env, const QString &table)
{
    QSqlQuery query(env.checkConnection());
    query.prepare(QStringLiteral("select sql from sqlite_master where name = ?"));
    query.addBindValue(table);
    query.exec();
    if (!query.next())
        return QString();
    const QString text = query.value(0).toString();
    return text.mid(text.indexOf('('));
}

QStringList aggregateTables(TestEnvironment &env)
{
    QSqlQuery query(env.checkConnection());
    query.exec(QStringLiteral("select name from sqlite_master where type = 'table' and name like "
                              "'labelDuration%' and name not like 'labelDuration_Day%' "
                              "order by name"));
    QStringList names;
    while (query.next())
        names.append(query.value(0).toString());
    return names;
}

QString typed(const QString &)
{
    return "(id int PRIMARY KEY, labelName TEXT, labelDuration INT, createDate TEXT)";
}

QString untyped(const QString &)
{
    return "(id, labelName, labelDuration, createDate)";
}

QList<QDate> days(const QDate &first, const QDate &last)
{
    QList<QDate> list;
    for (QDate day = first; day <= last; day = day.addDays(1))
        list.append(day);
    return list;
}
} // namespace

void TestLabelDurationStore::recordDuration_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("minutes");

    QTest::newRow("forward") << "22:00"
                             << "23:30"
                             << "标签:学习" << 90;
    QTest::newRow("reversed, no wrap past midnight") << "23:30"
                                                     << "22:00"
                                                     << "标签:学习" << 90;
    QTest::newRow("quarter hours") << "08:30"
                                   << "09:45"
                                   << "标签:abc.." << 75;
    QTest::newRow("placeholder caption") << "09:00"
                                         << "10:00"
                                         << "类别标签" << 0;
    QTest::newRow("empty start") << ""
                                 << "10:00"
                                 << "标签:学习" << 0;
    QTest::newRow("empty end") << "09:00"
                               << ""
                               << "标签:学习" << 0;
    QTest::newRow("equal times") << "00:00"
                                 << "00:00"
                                 << "标签:学习" << 0;
    QTest::newRow("unreadable time") << "9h"
                                     << "10:00"
                                     << "标签:学习" << 0;
}

void TestLabelDurationStore::recordDuration()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, caption);
    QFETCH(int, minutes);
    QCOMPARE(LabelDurationStore::recordDuration(from, to, caption), minutes);
}

void TestLabelDurationStore::dayTableHoldsOneRowPerRecord()
{
    TestEnvironment env;
    Planner planner;
    LogCapture log;
    const QDate date(2020, 10, 14);
    QVERIFY(planner.save(
        date,
        {{"09:00--10:00", "学习"}, {"10:00--11:00", ""}, {"23:30--22:00", "学习"}, {"", "运动"}}));

    const QString table = "labelDuration_Day20201014空时刻表";
    QCOMPARE(rows(env, table), QStringList({"学习=60", "=0", "学习=90", "运动=0"}));
    QCOMPARE(createText(env, table), typed(table));
    QSqlQuery query(env.checkConnection());
    QVERIFY(query.exec("select distinct createDate from " + Database::quoteIdentifier(table)));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), QString("20201014"));
    QVERIFY(!query.next());

    QVERIFY(log.contains("labelList.size() is 4"));
    QVERIFY(log.contains("select_sql_query.value(SCHEDULE_TABLE_LABEL).toString() is 运动"));
    QVERIFY(log.contains("drop label table succeed!"));
    QVERIFY(log.contains("create label table succeed!"));
    QCOMPARE(log.count("update label succeed!"), 4);
}

void TestLabelDurationStore::closingDays_data()
{
    QTest::addColumn<QList<QDate>>("saved");
    QTest::addColumn<QStringList>("tables"); // every aggregate table afterwards
    QTest::addColumn<QStringList>("untypedOnes");
    QTest::addColumn<int>("lastMinutes"); // in each of them

    QTest::newRow("first Sunday closes week 1 from day 1")
        << days(QDate(2020, 9, 30), QDate(2020, 10, 4)) // 30 September is not in it
        << QStringList(
               {"labelDuration_202009", "labelDuration_202009week5", "labelDuration_202010week1"})
        << QStringList({"labelDuration_202009", "labelDuration_202009week5"}) << 4 * 60;
    QTest::newRow("month starting on a Sunday: week 1 is that day")
        << days(QDate(2020, 3, 1), QDate(2020, 3, 1)) << QStringList({"labelDuration_202003week1"})
        << QStringList() << 60;
    QTest::newRow("Sunday on day 8 or later: the seven days before")
        << days(QDate(2020, 10, 4), QDate(2020, 10, 11))
        << QStringList({"labelDuration_202010week1", "labelDuration_202010week2"})
        << QStringList({"labelDuration_202010week2"}) << 7 * 60;
    QTest::newRow("month end on a Monday: partial week, then month")
        << days(QDate(2021, 5, 31), QDate(2021, 5, 31))
        << QStringList({"labelDuration_202105", "labelDuration_202105week6"})
        << QStringList({"labelDuration_202105", "labelDuration_202105week6"}) << 60;
    QTest::newRow("month end on a Sunday: week and month")
        << days(QDate(2021, 2, 22), QDate(2021, 2, 28))
        << QStringList({"labelDuration_202102", "labelDuration_202102week4"})
        << QStringList({"labelDuration_202102", "labelDuration_202102week4"}) << 7 * 60;
    QDate sundayBeforeOurEra(-5, 3, 1);
    while (sundayBeforeOurEra.dayOfWeek() != Qt::Sunday)
        sundayBeforeOurEra = sundayBeforeOurEra.addDays(1);
    QTest::newRow("negative year in the table name")
        << days(QDate(-5, 3, 1), sundayBeforeOurEra) << QStringList({"labelDuration_-000503week1"})
        << QStringList() << sundayBeforeOurEra.day() * 60;
    QTest::newRow("31 December: week, month and year")
        << days(QDate(2020, 12, 28), QDate(2020, 12, 31))
        << QStringList({"labelDuration_2020", "labelDuration_202012", "labelDuration_202012week5"})
        << QStringList({"labelDuration_2020", "labelDuration_202012", "labelDuration_202012week5"})
        << 4 * 60;
}

// Each saved day has one hour under "阅读"; the last table of the list closes over the days
// that belong to it only.
void TestLabelDurationStore::closingDays()
{
    QFETCH(QList<QDate>, saved);
    QFETCH(QStringList, tables);
    QFETCH(QStringList, untypedOnes);
    QFETCH(int, lastMinutes);

    TestEnvironment env;
    Planner planner;
    for (const QDate &day : saved)
        QVERIFY(planner.saveOne(day, "阅读"));

    QCOMPARE(aggregateTables(env), tables);
    const QString last = tables.last();
    QCOMPARE(rows(env, last), QStringList({QString("阅读=%1").arg(lastMinutes)}));
    for (const QString &table : tables)
        QCOMPARE(createText(env, table),
                 untypedOnes.contains(table) ? untyped(table) : typed(table));
    QSqlQuery query(env.checkConnection());
    QVERIFY(query.exec("select createDate from " + Database::quoteIdentifier(last)));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), saved.last().toString("yyyyMMdd"));
}

void TestLabelDurationStore::openWeekWritesOnlyDayTable()
{
    TestEnvironment env;
    Planner planner;
    for (const QDate &day : days(QDate(2020, 10, 12), QDate(2020, 10, 14)))
        QVERIFY(planner.saveOne(day, "阅读"));
    QCOMPARE(aggregateTables(env), QStringList());
}

void TestLabelDurationStore::resavedDayRefreshesClosedTotals_data()
{
    QTest::addColumn<QDate>("resaved");
    QTest::addColumn<bool>("closeMonthAndYear");
    QTest::addColumn<QStringList>("expected"); // "table=minutes of 阅读" after the second save

    QTest::newRow("Wednesday of a closed week, month open")
        << QDate(2020, 10, 14) << false
        << QStringList({"labelDuration_202010week3=540", "labelDuration_202010=<missing>",
                        "labelDuration_2020=<missing>"});
    QTest::newRow("Wednesday of a closed week, month and year closed")
        << QDate(2020, 10, 14) << true
        << QStringList({"labelDuration_202010week3=540", "labelDuration_202010=600",
                        "labelDuration_2020=660"});
    QTest::newRow("Sunday closing the week again, month and year closed")
        << QDate(2020, 10, 18) << true
        << QStringList({"labelDuration_202010week3=540", "labelDuration_202010=600",
                        "labelDuration_2020=660"});
    QTest::newRow("day of a week never closed inside a closed month")
        << QDate(2020, 10, 7) << true
        << QStringList({"labelDuration_202010week2=<missing>", "labelDuration_202010=660",
                        "labelDuration_2020=720"});
    QTest::newRow("day of a month never closed inside a closed year")
        << QDate(2020, 11, 4) << true
        << QStringList({"labelDuration_202011=<missing>", "labelDuration_2020=720"});
}

// Week 3 of October 2020 (12 to 18) is saved with an hour a day; with the month and year closed,
// 31 October and 31 December add an hour each. Then one day is saved again with three hours.
void TestLabelDurationStore::resavedDayRefreshesClosedTotals()
{
    QFETCH(QDate, resaved);
    QFETCH(bool, closeMonthAndYear);
    QFETCH(QStringList, expected);

    TestEnvironment env;
    Planner planner;
    for (const QDate &day : days(QDate(2020, 10, 12), QDate(2020, 10, 18)))
        QVERIFY(planner.saveOne(day, "阅读"));
    if (closeMonthAndYear) {
        QVERIFY(planner.saveOne(QDate(2020, 10, 31), "阅读"));
        QVERIFY(planner.saveOne(QDate(2020, 12, 31), "阅读"));
    }
    QVERIFY(planner.saveOne(resaved, "阅读", 180));

    for (const QString &entry : expected) {
        const QString table = entry.section('=', 0, 0);
        const QString minutes = entry.section('=', 1);
        const QStringList expectedRows =
            minutes == "<missing>" ? QStringList({minutes}) : QStringList({"阅读=" + minutes});
        QCOMPARE(rows(env, table), expectedRows);
    }
}

void TestLabelDurationStore::labelsMergeByExactNameInFirstSeenOrder()
{
    TestEnvironment env;
    Planner planner;
    const QList<Record> monday = {{"09:00--10:00", "Read"},
                                  {"10:00--10:30", "read"},
                                  {"11:00--12:00", "Read"},
                                  {"12:00--13:00", ""}};
    const QList<Record> later = {{"09:00--09:10", "写作"}, {"09:00--09:20", "read"}};
    QVERIFY(planner.save(QDate(2020, 10, 5), monday));
    for (const QDate &day : days(QDate(2020, 10, 6), QDate(2020, 10, 11)))
        QVERIFY(planner.save(day, later));

    QCOMPARE(rows(env, "labelDuration_202010week2"),
             QStringList({"Read=120", "read=150", "=0", "写作=60"}));
}

void TestLabelDurationStore::anyLabelAndTemplateText_data()
{
    QTest::addColumn<QString>("templat");
    QTest::addColumn<QString>("label");

    QTest::newRow("apostrophes") << "O'Brien 计划"
                                 << "it's";
    QTest::newRow("double quotes and blanks") << "a \"b\" c"
                                              << "say \"hi\"";
    QTest::newRow("placeholders in the label") << "周计划"
                                               << "%1 %2 %5";
    QTest::newRow("statement in the label") << "x); drop table y;--"
                                            << "'); drop table z;--";
}

void TestLabelDurationStore::anyLabelAndTemplateText()
{
    QFETCH(QString, templat);
    QFETCH(QString, label);

    TestEnvironment env;
    Planner planner;
    LogCapture log;
    const QDate sunday(2020, 10, 11);
    for (const QDate &day : days(QDate(2020, 10, 5), sunday))
        QVERIFY(planner.save(day, {{"09:00--10:00", label}}, templat));

    QCOMPARE(rows(env, WeekCalendar::dayLabelTableName(dayTableName(sunday, templat))),
             QStringList({label + "=60"}));
    QCOMPARE(rows(env, "labelDuration_202010week2"), QStringList({label + "=420"}));
    QVERIFY(log.startingWith("update label failed!").isEmpty());
    QVERIFY(log.startingWith("insert label_week").isEmpty());
}

void TestLabelDurationStore::unreadableDayTableKeepsOldLabels()
{
    TestEnvironment env;
    Planner planner;
    const QDate date(2020, 10, 14);
    QVERIFY(planner.saveOne(date, "阅读"));
    QSqlQuery query(planner.db);
    QVERIFY(query.exec("drop table " + Database::quoteIdentifier(dayTableName(date))));

    LogCapture log;
    QVERIFY(!planner.store->rebuildDayLabelTable(dayTableName(date), {30}, date));
    QCOMPARE(rows(env, "labelDuration_Day20201014空时刻表"), QStringList({"阅读=60"}));
}

// A week table name taken by a view cannot be rebuilt: the save reports it, and the caller's
// rollback leaves the day's label table as it was before.
void TestLabelDurationStore::failedStatementIsReportedAndRollsBack()
{
    TestEnvironment env;
    Planner planner;
    const QDate sunday(2020, 10, 11);
    QVERIFY(planner.saveOne(sunday, "阅读"));
    QSqlQuery query(planner.db);
    QVERIFY(query.exec("drop table labelDuration_202010week2"));
    QVERIFY(query.exec("create view labelDuration_202010week2 as select 1"));

    LogCapture log;
    QVERIFY(!planner.saveOne(sunday, "写作", 30));
    QVERIFY(!log.startingWith("create label_week_2 failed!").isEmpty());
    QCOMPARE(rows(env, "labelDuration_Day20201011空时刻表"), QStringList({"阅读=60"}));
}

void TestLabelDurationStore::deletedScheduleLeavesTheTotals()
{
    TestEnvironment env;
    Planner planner;
    for (const QDate &day : days(QDate(2020, 10, 12), QDate(2020, 10, 18)))
        QVERIFY(planner.saveOne(day, "阅读"));
    const QDate wednesday(2020, 10, 14);
    QVERIFY(planner.save(wednesday, {{"13:00--13:30", "写作"}}, "周计划"));
    QVERIFY(planner.saveOne(QDate(2020, 10, 31), "阅读"));
    QCOMPARE(rows(env, "labelDuration_202010"), QStringList({"阅读=480", "写作=30"}));

    const QString removed = dayTableName(wednesday, "周计划");
    QSqlQuery query(planner.db);
    QVERIFY(query.exec("drop table " + Database::quoteIdentifier(removed)));
    planner.db.transaction();
    QVERIFY(planner.store->removeScheduleLabels(removed, wednesday));
    QVERIFY(planner.db.commit());

    QCOMPARE(rows(env, WeekCalendar::dayLabelTableName(removed)), QStringList({"<missing>"}));
    QCOMPARE(rows(env, "labelDuration_202010week3"), QStringList({"阅读=420"}));
    QCOMPARE(rows(env, "labelDuration_202010"), QStringList({"阅读=480"}));
    QCOMPARE(rows(env, "labelDuration_2020"), QStringList({"<missing>"}));
}

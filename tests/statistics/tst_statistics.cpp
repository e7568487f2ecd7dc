// Week arithmetic, and the label tables of saved days with their week, month and year totals in
// a real database file, read back over a separate connection.
#include "app/database.h"
#include "schedule/daytables.h"
#include "schedule/planlabels.h"
#include "statistics/labeldurationstore.h"
#include "statistics/weekcalendar.h"
#include "tests/support/logcapture.h"
#include "tests/support/testenvironment.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

namespace {

QString dayTableName(const QDate &date, const QString &templat = QStringLiteral("空时刻表"))
{
    return QStringLiteral("Day") + date.toString(QStringLiteral("yyyyMMdd")) + templat;
}

QList<QDate> days(const QDate &first, const QDate &last)
{
    QList<QDate> list;
    for (QDate day = first; day <= last; day = day.addDays(1))
        list.append(day);
    return list;
}
} // namespace

class TestStatistics : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    QSqlDatabase db;
    std::unique_ptr<LabelDurationStore> store;

    // What the day view does: store the records ("hh:mm--hh:mm" and label), then, in one
    // transaction, rebuild the day's label table from the durations of its rows and run the
    // aggregate check.
    bool save(const QDate &date, const QList<QStringList> &records,
              const QString &templat = QStringLiteral("空时刻表"))
    {
        const QString quoted = Database::quoteIdentifier(dayTableName(date, templat));
        QSqlQuery query(db);
        // Fails harmlessly when the day was saved before.
        query.exec("create table " + quoted +
                   "(id int PRIMARY KEY, manualIndex int, time TEXT, plan TEXT, label TEXT)");
        query.exec("delete from " + quoted);
        query.prepare("insert into " + quoted + "(manualIndex, time, label) values(?, ?, ?)");
        QVector<int> durations;
        for (const QStringList &record : records) {
            query.addBindValue(durations.size());
            query.addBindValue(record.at(0));
            query.addBindValue(record.at(1));
            query.exec();
            const QString caption =
                record.at(1).isEmpty() ? PlanLabels::placeholder : "标签:" + record.at(1);
            durations.append(LabelDurationStore::recordDuration(record.at(0).left(5),
                                                                record.at(0).mid(7), caption));
        }
        db.transaction();
        const bool ok = store->rebuildDayLabelTable(dayTableName(date, templat), durations, date) &&
                        store->checkLabelDurationStatistic(date);
        ok ? db.commit() : db.rollback();
        return ok;
    }
    // One record of `minutes` minutes from 09:00 under the label.
    bool saveOne(const QDate &date, const QString &label, int minutes = 60)
    {
        return save(date,
                    {{"09:00--" + QTime(9, 0).addSecs(minutes * 60).toString("hh:mm"), label}});
    }
    // One column of a query's rows, joined by blanks; "<missing>" when the query fails.
    QString column(const QString &sql)
    {
        QSqlQuery query(env->checkConnection());
        QStringList values;
        if (!query.exec(sql))
            values.append("<missing>");
        while (query.next())
            values.append(query.value(0).toString());
        return values.join(' ');
    }
    // "label=minutes" of every row of a label table in id order.
    QString rows(const QString &table)
    {
        return column("select labelName || '=' || labelDuration from " +
                      Database::quoteIdentifier(table) + " order by id");
    }
    // The label tables matching a glob pattern, without "labelDuration_", in name order; "*"
    // marks those created without column types.
    QString tables(const QString &pattern)
    {
        return column("select substr(name, 15) || case substr(sql, instr(sql, '(')) when '(id int "
                      "PRIMARY KEY, labelName TEXT, labelDuration INT, createDate TEXT)' then '' "
                      "when '(id, labelName, labelDuration, createDate)' then '*' else '?' end "
                      "from sqlite_master where type = 'table' and name glob '" +
                      pattern + "' order by name");
    }

private slots:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        Database::connect(&db);
        store = std::make_unique<LabelDurationStore>(db);
    }
    void cleanup()
    {
        store.reset();
        db = QSqlDatabase();
        env.reset();
    }

    // Each month of six years against an independent rule: week 1 starts on the 1st and every
    // later week on a Monday, each running to the day before the next start.
    void weeksOfMonths()
    {
        for (int year = 2019; year <= 2024; ++year) {
            for (int month = 1; month <= 12; ++month) {
                const int length = QDate(year, month, 1).daysInMonth();
                QList<int> starts{1};
                for (int day = 2; day <= length; ++day) {
                    if (QDate(year, month, day).dayOfWeek() == Qt::Monday)
                        starts.append(day);
                }
                starts.append(length + 1);
                const int weeks = starts.size() - 1;
                QCOMPARE(WeekCalendar::weekCountInMonth(year, month), weeks);
                QCOMPARE(WeekCalendar::firstDayOfWeekNumber(year, month, weeks + 1), 0);
                for (int week = 1; week <= weeks; ++week) {
                    const int first = starts.at(week - 1);
                    const int last = starts.at(week) - 1;
                    QCOMPARE(WeekCalendar::firstDayOfWeekNumber(year, month, week), first);
                    QCOMPARE(WeekCalendar::daysInWeekOfMonth(year, month, week), last - first + 1);
                    for (int day = first; day <= last; ++day) {
                        const QDate date(year, month, day);
                        QCOMPARE(WeekCalendar::weekOfMonth(date), week);
                        QCOMPARE(WeekCalendar::firstDayOfWeek(date), first);
                        QCOMPARE(WeekCalendar::lastDayOfWeek(date), last);
                    }
                }
            }
        }
        QCOMPARE(LabelDurationStore::weekCountInMonth(2021, 2), 4); // Monday 1st to Sunday 28th
        QCOMPARE(LabelDurationStore::weekCountInMonth(2020, 10), 5);
        QCOMPARE(LabelDurationStore::weekCountInMonth(2020, 3), 6); // starts on a Sunday
        QCOMPARE(WeekCalendar::weekOfMonth(QDate(2020, 3, 1)), 1);
        QCOMPARE(WeekCalendar::weekCountInMonth(2021, 13), 0);
    }

    void tableNames()
    {
        QCOMPARE(WeekCalendar::weekTableName(2020, 10, 3), QString("labelDuration_202010week3"));
        QCOMPARE(WeekCalendar::monthTableName(987, 3), QString("labelDuration_098703"));
        QCOMPARE(WeekCalendar::yearTableName(7), QString("labelDuration_0007"));
        QCOMPARE(WeekCalendar::yearTableName(-120), QString("labelDuration_-0120"));
        QCOMPARE(WeekCalendar::dayLabelTablePrefix(QDate(2020, 10, 1)),
                 QString("labelDuration_Day20201001"));
        // The date of a negative year as the day tables spell it.
        QCOMPARE(WeekCalendar::dateText(QDate(-5, 3, 5)), QDate(-5, 3, 5).toString("yyyyMMdd"));
    }

    void recordDuration()
    {
        const QString study = QStringLiteral("标签:学习");
        QCOMPARE(LabelDurationStore::recordDuration("22:00", "23:30", study), 90);
        QCOMPARE(LabelDurationStore::recordDuration("23:30", "22:00", study), 90); // no wrap
        QCOMPARE(LabelDurationStore::recordDuration("09:00", "10:00", "类别标签"), 0);
        QCOMPARE(LabelDurationStore::recordDuration("09:00", "", study), 0);
        QCOMPARE(LabelDurationStore::recordDuration("9h", "10:00", study), 0);
    }

    void dayTableHoldsOneRowPerRecord()
    {
        LogCapture log;
        QVERIFY(save(QDate(2020, 10, 14), {{"09:00--10:00", "学习"},
                                           {"10:00--11:00", ""},
                                           {"23:30--22:00", "学习"},
                                           {"", "运动"}}));
        const QString table = "labelDuration_Day20201014空时刻表";
        QCOMPARE(rows(table), QString("学习=60 =0 学习=90 运动=0"));
        QCOMPARE(tables("labelDuration_Day*"), QString("Day20201014空时刻表"));
        QCOMPARE(column("select distinct createDate from " + Database::quoteIdentifier(table)),
                 QString("20201014"));
        QVERIFY(log.contains("labelList.size() is 4"));
        QCOMPARE(log.count("update label succeed!"), 4);
    }

    void closingDays_data()
    {
        QTest::addColumn<QList<QDate>>("saved");
        QTest::addColumn<QString>("tables");  // every total table afterwards
        QTest::addColumn<int>("lastMinutes"); // in the last of them

        QTest::newRow("days of an open week: no totals")
            << days(QDate(2020, 10, 12), QDate(2020, 10, 14)) << QString() << 0;
        QTest::newRow("first Sunday closes week 1 from day 1, not 30 September")
            << days(QDate(2020, 9, 30), QDate(2020, 10, 4))
            << QString("202009* 202009week5* 202010week1") << 4 * 60;
        QTest::newRow("month starting on a Sunday: week 1 is that day")
            << days(QDate(2020, 3, 1), QDate(2020, 3, 1)) << QString("202003week1") << 60;
        QTest::newRow("Sunday on day 8 or later: the seven days before")
            << days(QDate(2020, 10, 4), QDate(2020, 10, 11)) << QString("202010week1 202010week2*")
            << 7 * 60;
        QTest::newRow("month end on a Monday: partial week, then month")
            << days(QDate(2021, 5, 31), QDate(2021, 5, 31)) << QString("202105* 202105week6*")
            << 60;
        QTest::newRow("month end on a Sunday: week and month")
            << days(QDate(2021, 2, 22), QDate(2021, 2, 28)) << QString("202102* 202102week4*")
            << 7 * 60;
        QDate sunday(-5, 3, 1);
        while (sunday.dayOfWeek() != Qt::Sunday)
            sunday = sunday.addDays(1);
        QTest::newRow("negative year in the table name")
            << days(QDate(-5, 3, 1), sunday) << QString("-000503week1") << sunday.day() * 60;
        QTest::newRow("31 December: week, month and year")
            << days(QDate(2020, 12, 28), QDate(2020, 12, 31))
            << QString("2020* 202012* 202012week5*") << 4 * 60;
    }

    // Each saved day has one hour under "阅读"; the last table of the list closes over the days
    // that belong to it only.
    void closingDays()
    {
        QFETCH(QList<QDate>, saved);
        QFETCH(QString, tables);
        QFETCH(int, lastMinutes);

        for (const QDate &day : saved)
            QVERIFY(saveOne(day, "阅读"));
        QCOMPARE(this->tables("labelDuration_[0-9-]*"), tables);
        if (tables.isEmpty())
            return;
        const QString last = "labelDuration_" + tables.section(' ', -1).remove('*');
        QCOMPARE(rows(last), QString("阅读=%1").arg(lastMinutes));
        QCOMPARE(column("select createDate from " + Database::quoteIdentifier(last)),
                 saved.last().toString("yyyyMMdd"));
    }

    void resavedDayRefreshesClosedTotals_data()
    {
        QTest::addColumn<QDate>("resaved");
        QTest::addColumn<bool>("closeMonthAndYear");
        QTest::addColumn<QString>("expected"); // "table=minutes of 阅读" after the second save

        const QString closedWeek("202010week3=540 202010=600 2020=660");
        QTest::newRow("Wednesday of a closed week, month open")
            << QDate(2020, 10, 14) << false
            << QString("202010week3=540 202010=<missing> 2020=<missing>");
        QTest::newRow("Wednesday of a closed week, month and year closed")
            << QDate(2020, 10, 14) << true << closedWeek;
        QTest::newRow("Sunday closing the week again, month and year closed")
            << QDate(2020, 10, 18) << true << closedWeek;
        QTest::newRow("day of a week never closed inside a closed month")
            << QDate(2020, 10, 7) << true << QString("202010week2=<missing> 202010=660 2020=720");
        QTest::newRow("day of a month never closed inside a closed year")
            << QDate(2020, 11, 4) << true << QString("202011=<missing> 2020=720");
    }

    // Week 3 of October 2020 (12 to 18) is saved with an hour a day; with the month and year
    // closed, 31 October and 31 December add an hour each. Then one day is saved again with
    // three hours.
    void resavedDayRefreshesClosedTotals()
    {
        QFETCH(QDate, resaved);
        QFETCH(bool, closeMonthAndYear);
        QFETCH(QString, expected);

        for (const QDate &day : days(QDate(2020, 10, 12), QDate(2020, 10, 18)))
            QVERIFY(saveOne(day, "阅读"));
        if (closeMonthAndYear) {
            QVERIFY(saveOne(QDate(2020, 10, 31), "阅读"));
            QVERIFY(saveOne(QDate(2020, 12, 31), "阅读"));
        }
        QVERIFY(saveOne(resaved, "阅读", 180));
        for (const QString &entry : expected.split(' ')) {
            const QString minutes = entry.section('=', 1);
            QCOMPARE(rows("labelDuration_" + entry.section('=', 0, 0)),
                     minutes == "<missing>" ? minutes : "阅读=" + minutes);
        }
    }

    // Labels are told apart by their exact text (case too) and listed in the order first met;
    // quotes, placeholders and statements in a label or a template name are kept as text.
    void labelsKeepTheirExactText()
    {
        const QString templat = "O'Brien \"计划\" x); drop table y;--";
        QVERIFY(save(QDate(2020, 10, 5),
                     {{"09:00--10:00", "it's"},
                      {"10:00--10:30", "It's"},
                      {"11:00--12:00", "it's"},
                      {"12:00--13:00", ""}},
                     templat));
        const QDate sunday(2020, 10, 11);
        for (const QDate &day : days(QDate(2020, 10, 6), sunday))
            QVERIFY(save(day, {{"09:00--09:10", "say \"%1\""}, {"09:00--09:20", "It's"}}, templat));
        QCOMPARE(rows(DayTables::labelTableName(dayTableName(sunday, templat))),
                 QString("say \"%1\"=10 It's=20"));
        QCOMPARE(rows("labelDuration_202010week2"), QString("it's=120 It's=150 =0 say \"%1\"=60"));
    }

    // A week table name taken by a view cannot be rebuilt: the save reports it, and the caller's
    // rollback leaves the day's label table as it was. Nor does a day table that cannot be read
    // empty it.
    void failuresKeepTheOldLabels()
    {
        const QDate sunday(2020, 10, 11);
        const QString dayLabels = "labelDuration_Day20201011空时刻表";
        QVERIFY(saveOne(sunday, "阅读"));
        QSqlQuery query(db);
        QVERIFY(query.exec("drop table labelDuration_202010week2"));
        QVERIFY(query.exec("create view labelDuration_202010week2 as select 1"));
        LogCapture log;
        QVERIFY(!saveOne(sunday, "写作", 30));
        QVERIFY(!log.startingWith("create label_week_2 failed!").isEmpty());
        QCOMPARE(rows(dayLabels), QString("阅读=60"));

        QVERIFY(query.exec("drop table " + Database::quoteIdentifier(dayTableName(sunday))));
        QVERIFY(!store->rebuildDayLabelTable(dayTableName(sunday), {30}, sunday));
        QCOMPARE(rows(dayLabels), QString("阅读=60"));
    }

    void totalsListDaysInDateOrder_data()
    {
        // Each save: "yyyy-MM-dd template label", one hour, in the order the schedules are made.
        QTest::addColumn<QStringList>("saves");
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("expected");

        QTest::newRow("Sunday closing a later week")
            << QStringList{"2020-10-19 甲 下周", "2020-10-14 乙 写作", "2020-10-13 甲 阅读",
                           "2020-10-11 甲 上周", "2020-10-14 甲 运动", "2020-10-18 甲 家务"}
            << "202010week3"
            << "阅读=60 写作=60 运动=60 家务=60";
        QTest::newRow("first Sunday closing week 1")
            << QStringList{"2020-10-03 乙 写作", "2020-10-01 甲 阅读", "2020-10-03 甲 运动",
                           "2020-09-30 甲 九月", "2020-10-04 甲 家务"}
            << "202010week1"
            << "阅读=60 写作=60 运动=60 家务=60";
        QTest::newRow("year counting the days of a month never closed")
            << QStringList{"2020-11-20 乙 写作", "2020-11-03 甲 阅读", "2020-11-20 甲 写作",
                           "2020-12-31 甲 家务"}
            << "2020"
            << "阅读=60 写作=120 家务=60";
    }

    // A total lists its labels in the order first met going through the days in date order,
    // and a day's schedules in the order the schema lists them, whatever order the days were
    // made in; days outside the total's range are not counted.
    void totalsListDaysInDateOrder()
    {
        QFETCH(QStringList, saves);
        QFETCH(QString, total);
        QFETCH(QString, expected);
        for (const QString &entry : saves) {
            const QStringList parts = entry.split(' ');
            QVERIFY(save(QDate::fromString(parts.at(0), Qt::ISODate),
                         {{"09:00--10:00", parts.at(2)}}, parts.at(1)));
        }
        QCOMPARE(rows("labelDuration_" + total), expected);
    }

    // Every week, month and year total after a history of saves and re-saves holds what a
    // rebuild from the day tables alone gives: each total dropped, then every saved date's
    // closing check run again in date order.
    void totalsEqualAFullRebuild()
    {
        const QStringList labels = {"阅读", "写作", "运动", "家务"};
        QList<QDate> saved;
        const auto saveDay = [&](const QDate &date, int variant) {
            for (int t = 0; t < 2; ++t) {
                const QString templat = t == 0 ? "甲" : "乙";
                const int minutes = 10 + (date.day() * 7 + variant * 13 + t * 5) % 50;
                const QString end = QTime(9, 0).addSecs(minutes * 60).toString("hh:mm");
                if (!save(date,
                          {{"09:00--" + end, labels.at((date.day() + variant + t) % 4)},
                           {"10:00--10:30", labels.at((date.day() + t) % 3)}},
                          templat))
                    return false;
            }
            if (!saved.contains(date))
                saved.append(date);
            return true;
        };
        for (const QDate &day : days(QDate(2020, 9, 21), QDate(2020, 11, 10)))
            QVERIFY(saveDay(day, 0));
        QVERIFY(saveDay(QDate(2020, 12, 31), 0));
        // A closed week, month and year; the Sunday closing a week; a month's last day; a day
        // of a month never closed inside a closed year.
        for (const QDate &day : {QDate(2020, 10, 14), QDate(2020, 10, 18), QDate(2020, 10, 31),
                                 QDate(2020, 11, 4), QDate(2020, 9, 30)})
            QVERIFY(saveDay(day, 1));

        const QString totals = tables("labelDuration_[0-9-]*").remove('*');
        QVERIFY(totals.contains("2020 ") && totals.contains("202010 "));
        const auto contents = [&] {
            QStringList all;
            for (const QString &table : totals.split(' '))
                all.append(table + ": " + rows("labelDuration_" + table));
            return all;
        };
        const QStringList incremental = contents();

        for (const QString &table : totals.split(' '))
            QVERIFY(QSqlQuery(db).exec("drop table " +
                                       Database::quoteIdentifier("labelDuration_" + table)));
        std::sort(saved.begin(), saved.end());
        for (const QDate &date : saved) {
            db.transaction();
            QVERIFY(store->checkLabelDurationStatistic(date));
            QVERIFY(db.commit());
        }
        QCOMPARE(tables("labelDuration_[0-9-]*").remove('*'), totals);
        QCOMPARE(contents(), incremental);
    }

    void deletedScheduleLeavesTheTotals()
    {
        for (const QDate &day : days(QDate(2020, 10, 12), QDate(2020, 10, 18)))
            QVERIFY(saveOne(day, "阅读"));
        const QDate wednesday(2020, 10, 14);
        QVERIFY(save(wednesday, {{"13:00--13:30", "写作"}}, "周计划"));
        QVERIFY(saveOne(QDate(2020, 10, 31), "阅读"));
        QCOMPARE(rows("labelDuration_202010"), QString("阅读=480 写作=30"));

        const QString removed = dayTableName(wednesday, "周计划");
        QVERIFY(QSqlQuery(db).exec("drop table " + Database::quoteIdentifier(removed)));
        db.transaction();
        QVERIFY(store->removeScheduleLabels(removed, wednesday));
        QVERIFY(db.commit());

        QCOMPARE(rows(DayTables::labelTableName(removed)), QString("<missing>"));
        QCOMPARE(rows("labelDuration_202010week3"), QString("阅读=420"));
        QCOMPARE(rows("labelDuration_202010"), QString("阅读=480"));
        QCOMPARE(rows("labelDuration_2020"), QString("<missing>"));
    }
};

QTEST_GUILESS_MAIN(TestStatistics)
#include "tst_statistics.moc"

// Week numbers, week bounds and the date texts of the label tables.
#include "tests/statistics/tst_weekcalendar.h"

#include "statistics/weekcalendar.h"

#include <QtTest>

void TestWeekCalendar::weekOfDate_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("week");
    QTest::addColumn<int>("firstDay");
    QTest::addColumn<int>("lastDay");

    QTest::newRow("month starting on a Sunday") << QDate(2020, 3, 1) << 1 << 1 << 1;
    QTest::newRow("Monday after it") << QDate(2020, 3, 2) << 2 << 2 << 8;
    QTest::newRow("first day, a Thursday") << QDate(2020, 10, 1) << 1 << 1 << 4;
    QTest::newRow("first Sunday") << QDate(2020, 10, 4) << 1 << 1 << 4;
    QTest::newRow("Wednesday inside") << QDate(2020, 10, 14) << 3 << 12 << 18;
    QTest::newRow("month end on a Saturday") << QDate(2020, 10, 31) << 5 << 26 << 31;
    QTest::newRow("month end on a Sunday") << QDate(2021, 2, 28) << 4 << 22 << 28;
    QTest::newRow("31 December, a Thursday") << QDate(2020, 12, 31) << 5 << 28 << 31;
    QTest::newRow("month end on a Monday") << QDate(2021, 5, 31) << 6 << 31 << 31;
}

void TestWeekCalendar::weekOfDate()
{
    QFETCH(QDate, date);
    QFETCH(int, week);
    QFETCH(int, firstDay);
    QFETCH(int, lastDay);
    QCOMPARE(WeekCalendar::weekOfMonth(date), week);
    QCOMPARE(WeekCalendar::firstDayOfWeek(date), firstDay);
    QCOMPARE(WeekCalendar::lastDayOfWeek(date), lastDay);
    QCOMPARE(WeekCalendar::firstDayOfWeekNumber(date.year(), date.month(), week), firstDay);
    QCOMPARE(WeekCalendar::daysInWeekOfMonth(date.year(), date.month(), week),
             lastDay - firstDay + 1);
}

void TestWeekCalendar::weekCountInMonth_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("weeks");

    QTest::newRow("February 2021, Monday to Sunday") << 2021 << 2 << 4;
    QTest::newRow("October 2020") << 2020 << 10 << 5;
    QTest::newRow("March 2020, starts on a Sunday") << 2020 << 3 << 6;
    QTest::newRow("May 2021, ends on a Monday") << 2021 << 5 << 6;
    QTest::newRow("no such month") << 2021 << 13 << 0;
}

void TestWeekCalendar::weekCountInMonth()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, weeks);
    QCOMPARE(WeekCalendar::weekCountInMonth(year, month), weeks);
    QCOMPARE(WeekCalendar::firstDayOfWeekNumber(year, month, weeks + 1), 0);
}

// Every day lies in exactly the numbered week that the week number of the day names, so the
// queries that walk weeks by number and the save that names a day's week agree.
void TestWeekCalendar::numberedWeeksCoverEachMonthOnce()
{
    for (int year = 2019; year <= 2024; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const int weeks = WeekCalendar::weekCountInMonth(year, month);
            int covered = 0;
            for (int week = 1; week <= weeks; ++week) {
                const int first = WeekCalendar::firstDayOfWeekNumber(year, month, week);
                const int length = WeekCalendar::daysInWeekOfMonth(year, month, week);
                QVERIFY(length >= 1 && length <= 7);
                QCOMPARE(first, covered + 1);
                for (int day = first; day < first + length; ++day)
                    QCOMPARE(WeekCalendar::weekOfMonth(QDate(year, month, day)), week);
                covered += length;
                if (week < weeks)
                    QCOMPARE(QDate(year, month, covered).dayOfWeek(), int(Qt::Sunday));
            }
            QCOMPARE(covered, QDate(year, month, 1).daysInMonth());
        }
    }
}

void TestWeekCalendar::tableNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");

    QTest::newRow("week") << WeekCalendar::weekTableName(2020, 10, 3)
                          << "labelDuration_202010week3";
    QTest::newRow("month") << WeekCalendar::monthTableName(2020, 3) << "labelDuration_202003";
    QTest::newRow("year") << WeekCalendar::yearTableName(2020) << "labelDuration_2020";
    QTest::newRow("year below 10") << WeekCalendar::yearTableName(7) << "labelDuration_0007";
    QTest::newRow("year below 1000")
        << WeekCalendar::monthTableName(987, 12) << "labelDuration_098712";
    QTest::newRow("negative year") << WeekCalendar::yearTableName(-5) << "labelDuration_-0005";
    QTest::newRow("negative year below -99")
        << WeekCalendar::yearTableName(-120) << "labelDuration_-0120";
    QTest::newRow("five-digit year") << WeekCalendar::yearText(12345) << "12345";
    QTest::newRow("day prefix") << WeekCalendar::dayLabelTablePrefix(QDate(2020, 10, 1))
                                << "labelDuration_Day20201001";
    QTest::newRow("date of a negative year, as day tables spell it")
        << WeekCalendar::dateText(QDate(-5, 3, 5)) << QDate(-5, 3, 5).toString("yyyyMMdd");
    QTest::newRow("day label table") << WeekCalendar::dayLabelTableName("Day20201001空时刻表")
                                     << "labelDuration_Day20201001空时刻表";
}

void TestWeekCalendar::tableNames()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(name, expected);
}

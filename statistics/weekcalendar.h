#ifndef ORVANE_STATISTICS_WEEKCALENDAR_H
#define ORVANE_STATISTICS_WEEKCALENDAR_H

#include <QDate>
#include <QString>

// Weeks of a month run Monday to Sunday and are cut at the month's ends, so the first and the
// last week of a month may be short. Week W of a day is 1 plus the number of Sundays before it
// in the month. The same arithmetic names the label tables and answers the statistics queries.
class WeekCalendar {
public:
    // Week number (1-based) of a date within its month; 0 for an invalid date.
    static int weekOfMonth(const QDate &date);
    // Number of weeks of a month; a month whose last day is a Sunday starts no extra week.
    // 0 for a month that does not exist.
    static int weekCountInMonth(int year, int month);
    // First and last day (day of month) of the date's week, inside the date's month.
    static int firstDayOfWeek(const QDate &date);
    static int lastDayOfWeek(const QDate &date);
    // First day and length of week number `week` of a month; 0 outside 1..weekCountInMonth.
    static int firstDayOfWeekNumber(int year, int month, int week);
    static int daysInWeekOfMonth(int year, int month, int week);

    static bool isLastDayOfMonth(const QDate &date);
    static bool isLastDayOfYear(const QDate &date);

    // Texts inside table names: four-digit years (a negative year keeps its minus sign before
    // the four digits), two-digit months and days.
    static QString yearText(int year);
    static QString monthText(int month);
    static QString dayText(int day);
    // The date as yyyyMMdd with the year rule above (createDate of the duration rows).
    static QString dateText(const QDate &date);
    // Common start of the label tables of every schedule of one day.
    static QString dayLabelTablePrefix(const QDate &date);
    static QString weekTableName(int year, int month, int week);
    static QString monthTableName(int year, int month);
    static QString yearTableName(int year);

private:
    // Day of month of the first Sunday; 0 for an invalid month.
    static int firstSunday(int year, int month);
};

#endif

#include "statistics/weekcalendar.h"

#include <QtGlobal>

namespace {
const QString labelPrefix = QStringLiteral("labelDuration_");

QString twoDigits(int value)
{
    return value < 10 ? QStringLiteral("0%1").arg(value) : QString::number(value);
}
} // namespace

int WeekCalendar::firstSunday(int year, int month)
{
    const QDate first(year, month, 1);
    if (!first.isValid())
        return 0;
    return 1 + (7 - first.dayOfWeek()) % 7;
}

int WeekCalendar::weekOfMonth(const QDate &date)
{
    if (!date.isValid())
        return 0;
    const int sunday = firstSunday(date.year(), date.month());
    const int before = date.day() - 1;
    return 1 + (before >= sunday ? (before - sunday) / 7 + 1 : 0);
}

int WeekCalendar::weekCountInMonth(int year, int month)
{
    const QDate first(year, month, 1);
    if (!first.isValid())
        return 0;
    return weekOfMonth(QDate(year, month, first.daysInMonth()));
}

int WeekCalendar::firstDayOfWeek(const QDate &date)
{
    return qMax(1, date.day() - date.dayOfWeek() + 1);
}

int WeekCalendar::lastDayOfWeek(const QDate &date)
{
    return qMin(date.daysInMonth(), date.day() - date.dayOfWeek() + 7);
}

int WeekCalendar::firstDayOfWeekNumber(int year, int month, int week)
{
    if (week < 1 || week > weekCountInMonth(year, month))
        return 0;
    return week == 1 ? 1 : firstSunday(year, month) + 7 * (week - 2) + 1;
}

int WeekCalendar::daysInWeekOfMonth(int year, int month, int week)
{
    const int first = firstDayOfWeekNumber(year, month, week);
    if (first == 0)
        return 0;
    return lastDayOfWeek(QDate(year, month, first)) - first + 1;
}

bool WeekCalendar::isLastDayOfMonth(const QDate &date)
{
    return date.isValid() && date.day() == date.daysInMonth();
}

bool WeekCalendar::isLastDayOfYear(const QDate &date)
{
    return date.isValid() && date.month() == 12 && date.day() == 31;
}

QString WeekCalendar::yearText(int year)
{
    const QString digits = QString::number(qAbs(year)).rightJustified(4, QLatin1Char('0'));
    return year < 0 ? QLatin1Char('-') + digits : digits;
}

QString WeekCalendar::monthText(int month)
{
    return twoDigits(month);
}

QString WeekCalendar::dayText(int day)
{
    return twoDigits(day);
}

QString WeekCalendar::dateText(const QDate &date)
{
    return yearText(date.year()) + monthText(date.month()) + dayText(date.day());
}

QString WeekCalendar::dayLabelTablePrefix(const QDate &date)
{
    return labelPrefix + QStringLiteral("Day") + dateText(date);
}

QString WeekCalendar::weekTableName(int year, int month, int week)
{
    return labelPrefix + yearText(year) + monthText(month) + QStringLiteral("week") +
           QString::number(week);
}

QString WeekCalendar::monthTableName(int year, int month)
{
    return labelPrefix + yearText(year) + monthText(month);
}

QString WeekCalendar::yearTableName(int year)
{
    return labelPrefix + yearText(year);
}

#include "statistics/statisticsquery.h"

#include "app/database.h"
#include "app/logging.h"
#include "statistics/weekcalendar.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
// SQLite refuses compound selects of more than 500 terms by default.
const int batchSize = 400;
const QString dayPrefix = QStringLiteral("labelduration_day");

// A bin that yielded no row still stands for its category.
LabelList finished(LabelList list)
{
    if (list.isEmpty())
        list.add(QString(), 0);
    return list;
}

int lastDayOf(int year, int month)
{
    const QDate first(year, month, 1);
    return first.isValid() ? first.daysInMonth() : 31;
}

// The day a label table belongs to, when its name is one the per-day pattern
// "labelDuration_Day" + yyyyMMdd + "%" finds (LIKE: letters in any case, "_" any character).
bool dayOfTable(const QString &name, int *year, int *month, int *day)
{
    if (name.size() < dayPrefix.size() + 8)
        return false;
    for (int i = 0; i < dayPrefix.size(); ++i) {
        const QChar c = name.at(i);
        if (i != 13 && (c.unicode() > 127 || c.toLower() != dayPrefix.at(i)))
            return false;
    }
    const bool negative = name.at(dayPrefix.size()) == QLatin1Char('-');
    const QString text = name.mid(dayPrefix.size(), negative ? 9 : 8);
    const int at = negative ? 1 : 0;
    bool yearOk = false, monthOk = false, dayOk = false;
    *year = text.mid(at, 4).toInt(&yearOk) * (negative ? -1 : 1);
    *month = text.mid(at + 4, 2).toInt(&monthOk);
    *day = text.mid(at + 6, 2).toInt(&dayOk);
    const QDate date(*year, *month, *day);
    return yearOk && monthOk && dayOk && date.isValid() && WeekCalendar::dateText(date) == text;
}

// The bookkeeping's tables have labelName and labelDuration as second and third column; only
// such tables can share one compound select by column name and still read the same values as a
// plain "select *" of each.
bool batchable(const QString &createSql)
{
    const int open = createSql.indexOf(QLatin1Char('('));
    const QStringList columns = createSql.mid(open + 1).split(QLatin1Char(','));
    if (open < 0 || columns.size() < 3)
        return false;
    const auto named = [&columns](int i, const QString &name) {
        return columns.at(i)
                   .trimmed()
                   .section(QLatin1Char(' '), 0, 0)
                   .compare(name, Qt::CaseInsensitive) == 0;
    };
    return named(1, QStringLiteral("labelName")) && named(2, QStringLiteral("labelDuration"));
}
} // namespace

StatisticsQuery::StatisticsQuery(const QSqlDatabase &db) : m_db(db) {}

StatisticsQuery::Day StatisticsQuery::parse(const QString &text)
{
    return Day{text.mid(0, 4).toInt(), text.mid(5, 2).toInt(), text.mid(8, 2).toInt()};
}

void StatisticsQuery::setRange(const QString &start, const QString &end)
{
    m_start = parse(start);
    m_end = parse(end);
    m_loaded = false;
    m_statements = 0;
    m_days.clear();
    m_aggregates.clear();
}

qint64 StatisticsQuery::key(int year, int month, int day)
{
    return qint64(year) * 10000 + month * 100 + day;
}

bool StatisticsQuery::inRange(int year, int month, int day) const
{
    const qint64 k = key(year, month, day);
    return k >= key(m_start.year, m_start.month, m_start.day) &&
           k <= key(m_end.year, m_end.month, m_end.day);
}

bool StatisticsQuery::containsEnd(int year, int month, int firstDay, int lastDay) const
{
    const qint64 first = key(year, month, firstDay);
    const qint64 last = key(year, month, lastDay);
    const qint64 start = key(m_start.year, m_start.month, m_start.day);
    const qint64 end = key(m_end.year, m_end.month, m_end.day);
    return (start >= first && start <= last) || (end >= first && end <= last);
}

bool StatisticsQuery::exec(QSqlQuery &query, const QString &statement)
{
    ++m_statements;
    if (query.exec(statement))
        return true;
    logLine(statement + QStringLiteral(" query failed!"), query.lastError().text());
    return false;
}

QVector<int> StatisticsQuery::monthsOfYear(int year) const
{
    int first = 1, last = 12;
    if (year == m_start.year)
        first = m_start.month;
    if (year == m_end.year)
        last = m_end.month;
    QVector<int> months;
    if (year < m_start.year || year > m_end.year)
        return months;
    for (int month = first; month <= last; ++month)
        months.append(month);
    return months;
}

QVector<int> StatisticsQuery::weeksOfMonth(int year, int month) const
{
    int first = 1;
    int last = WeekCalendar::weekCountInMonth(year, month);
    if (year == m_start.year && month == m_start.month)
        first = WeekCalendar::weekOfMonth(QDate(year, month, m_start.day));
    if (year == m_end.year && month == m_end.month)
        last = WeekCalendar::weekOfMonth(QDate(year, month, m_end.day));
    QVector<int> weeks;
    for (int week = qMax(first, 1); week <= last; ++week)
        weeks.append(week);
    return weeks;
}

QVector<int> StatisticsQuery::daysOfWeek(int year, int month, int week) const
{
    const int first = WeekCalendar::firstDayOfWeekNumber(year, month, week);
    const int count = WeekCalendar::daysInWeekOfMonth(year, month, week);
    QVector<int> days;
    for (int day = first; day < first + count; ++day) {
        if (inRange(year, month, day))
            days.append(day);
    }
    return days;
}

QStringList StatisticsQuery::neededAggregates() const
{
    QStringList names;
    for (int year = m_start.year; year <= m_end.year; ++year) {
        if (year > m_start.year && year < m_end.year)
            names.append(WeekCalendar::yearTableName(year));
        for (int month : monthsOfYear(year)) {
            if (!containsEnd(year, month, 1, lastDayOf(year, month)))
                names.append(WeekCalendar::monthTableName(year, month));
            for (int week : weeksOfMonth(year, month)) {
                const int first = WeekCalendar::firstDayOfWeekNumber(year, month, week);
                const int last = first + WeekCalendar::daysInWeekOfMonth(year, month, week) - 1;
                if (!containsEnd(year, month, first, last))
                    names.append(WeekCalendar::weekTableName(year, month, week));
            }
        }
    }
    return names;
}

void StatisticsQuery::load()
{
    if (m_loaded)
        return;
    m_loaded = true;

    // One listing finds every label table: the days of the range and the totals it reads.
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!exec(query, QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type='table' AND "
                                    "name like 'labelDuration%'")))
        return;
    QStringList tables;
    QVector<bool> together;
    QVector<qint64> dayKeys;
    QHash<QString, QPair<QString, bool>> totals; // by lower-case name
    while (query.next()) {
        const QString name = query.value(0).toString();
        const bool canBatch = batchable(query.value(1).toString());
        int year = 0, month = 0, day = 0;
        if (dayOfTable(name, &year, &month, &day)) {
            if (inRange(year, month, day)) {
                tables.append(name);
                together.append(canBatch);
                dayKeys.append(key(year, month, day));
            }
        } else {
            totals.insert(name.toLower(), {name, canBatch});
        }
    }
    query.finish();

    QStringList totalKeys;
    for (const QString &name : neededAggregates()) {
        const QString lower = name.toLower();
        if (totals.contains(lower) && !totalKeys.contains(lower)) {
            totalKeys.append(lower);
            tables.append(totals.value(lower).first);
            together.append(totals.value(lower).second);
        }
    }

    QVector<LabelList> lists;
    readTables(tables, together, &lists);
    for (int i = 0; i < dayKeys.size(); ++i)
        m_days[dayKeys.at(i)].add(lists.at(i));
    for (int i = 0; i < totalKeys.size(); ++i)
        m_aggregates.insert(totalKeys.at(i), lists.at(dayKeys.size() + i));
}

void StatisticsQuery::readTables(const QStringList &tables, const QVector<bool> &together,
                                 QVector<LabelList> *lists)
{
    lists->fill(LabelList(), tables.size());
    QVector<int> batch;
    QVector<int> single;
    for (int i = 0; i < tables.size(); ++i)
        (together.at(i) ? batch : single).append(i);
    for (int first = 0; first < batch.size(); first += batchSize) {
        const QVector<int> part = batch.mid(first, batchSize);
        if (!readBatch(tables, part, lists))
            single += part;
    }
    for (int i : single) {
        (*lists)[i] = LabelList();
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        if (!exec(query,
                  QStringLiteral("select * from ") + Database::quoteIdentifier(tables.at(i))))
            continue;
        while (query.next())
            (*lists)[i].add(query.value(1).toString(), query.value(2).toInt());
    }
}

bool StatisticsQuery::readBatch(const QStringList &tables, const QVector<int> &indexes,
                                QVector<LabelList> *lists)
{
    QStringList selects;
    for (int i : indexes) {
        selects.append(QStringLiteral("SELECT %1, labelName, labelDuration FROM %2")
                           .arg(i)
                           .arg(Database::quoteIdentifier(tables.at(i))));
    }
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    ++m_statements;
    if (!query.exec(selects.join(QStringLiteral(" UNION ALL ")))) {
        // Read one by one then, so that only a broken table is lost.
        logLine(QStringLiteral("batched label select failed!"), query.lastError().text());
        return false;
    }
    while (query.next()) {
        const int index = query.value(0).toInt();
        (*lists)[index].add(query.value(1).toString(), query.value(2).toInt());
    }
    return true;
}

LabelList StatisticsQuery::dayBin(int year, int month, int day)
{
    load();
    return finished(m_days.value(key(year, month, day)));
}

LabelList StatisticsQuery::daysBin(int year, int month, int firstDay, int lastDay)
{
    load();
    LabelList list;
    for (int day = firstDay; day <= lastDay; ++day) {
        if (inRange(year, month, day))
            list.add(m_days.value(key(year, month, day)));
    }
    return list;
}

LabelList StatisticsQuery::aggregateBin(const QString &tableName, bool *found)
{
    load();
    const auto it = m_aggregates.constFind(tableName.toLower());
    *found = it != m_aggregates.constEnd();
    if (!*found)
        logLine(tableName + QStringLiteral(" was never closed, read from its parts"));
    return *found ? it.value() : LabelList();
}

LabelList StatisticsQuery::weekBin(int year, int month, int week)
{
    const int first = WeekCalendar::firstDayOfWeekNumber(year, month, week);
    const int last = first + WeekCalendar::daysInWeekOfMonth(year, month, week) - 1;
    bool found = false;
    if (!containsEnd(year, month, first, last)) {
        const LabelList total =
            aggregateBin(WeekCalendar::weekTableName(year, month, week), &found);
        if (found)
            return finished(total);
    }
    return finished(daysBin(year, month, first, last));
}

LabelList StatisticsQuery::monthBin(int year, int month)
{
    const int last = lastDayOf(year, month);
    bool found = false;
    if (!containsEnd(year, month, 1, last)) {
        const LabelList total = aggregateBin(WeekCalendar::monthTableName(year, month), &found);
        if (found)
            return finished(total);
    }
    return finished(daysBin(year, month, 1, last));
}

LabelList StatisticsQuery::yearBin(int year)
{
    bool found = false;
    if (year > m_start.year && year < m_end.year) {
        const LabelList total = aggregateBin(WeekCalendar::yearTableName(year), &found);
        if (found)
            return finished(total);
    }
    // First and last years from their days; a year never closed from its months.
    LabelList list;
    for (int month : monthsOfYear(year)) {
        if (year > m_start.year && year < m_end.year)
            list.add(monthBin(year, month));
        else
            list.add(daysBin(year, month, 1, lastDayOf(year, month)));
    }
    return finished(list);
}

int StatisticsQuery::monthMinutesInRange(int year, int month)
{
    const int total = daysBin(year, month, 1, lastDayOf(year, month)).totalMinutes();
    logLine(QStringLiteral("sum duration is %1").arg(total));
    return total;
}

int StatisticsQuery::yearMinutesInRange(int year)
{
    if (year > m_start.year && year < m_end.year) {
        bool found = false;
        const LabelList total = aggregateBin(WeekCalendar::yearTableName(year), &found);
        if (found)
            return total.totalMinutes();
    }
    int sum = 0;
    for (int month : monthsOfYear(year))
        sum += monthMinutesInRange(year, month);
    return sum;
}

LabelBars StatisticsQuery::bars(const QVector<LabelList> &bins)
{
    LabelList names;
    for (const LabelList &bin : bins)
        names.add(bin);
    LabelBars result;
    for (const LabelDuration &entry : names.entries()) {
        if (entry.name.isEmpty())
            continue;
        QVector<int> values;
        values.reserve(bins.size());
        for (const LabelList &bin : bins)
            values.append(bin.minutesOf(entry.name));
        result.labels.append(entry.name);
        result.values.append(values);
    }
    return result;
}

LabelBars StatisticsQuery::yearBars()
{
    QVector<LabelList> bins;
    for (int year = m_start.year; year <= m_end.year; ++year)
        bins.append(yearBin(year));
    return bars(bins);
}

LabelBars StatisticsQuery::monthBarsOfYear(int year, const QVector<int> &months)
{
    QVector<LabelList> bins;
    for (int month : months)
        bins.append(monthBin(year, month));
    logLine(QStringLiteral("labelDurationStructListList.size() final is %1").arg(bins.size()));
    return bars(bins);
}

LabelBars StatisticsQuery::weekBarsOfMonth(int year, int month)
{
    QVector<LabelList> bins;
    for (int week : weeksOfMonth(year, month))
        bins.append(weekBin(year, month, week));
    return bars(bins);
}

LabelBars StatisticsQuery::dayBarsOfWeek(int year, int month, int week)
{
    QVector<LabelList> bins;
    for (int day : daysOfWeek(year, month, week))
        bins.append(dayBin(year, month, day));
    return bars(bins);
}

LabelBars StatisticsQuery::dayBarsOfMonth(int year, int month)
{
    QVector<LabelList> bins;
    for (int day = m_start.day; day <= m_end.day; ++day)
        bins.append(dayBin(year, month, day));
    return bars(bins);
}

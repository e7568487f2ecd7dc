#include "statistics/labeldurationstore.h"

#include "app/database.h"
#include "app/logging.h"
#include "app/sql.h"
#include "schedule/daytables.h"
#include "schedule/planlabels.h"
#include "statistics/weekcalendar.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTime>
#include <QVariant>

const QString LabelDurationStore::createTypedSql = QStringLiteral(
    "create table %1(id int PRIMARY KEY, labelName TEXT, labelDuration INT, createDate TEXT)");
const QString LabelDurationStore::createUntypedSql =
    QStringLiteral("create table %1(id, labelName, labelDuration, createDate)");
const QString LabelDurationStore::insertSql = QStringLiteral(
    "insert into %1(id, labelName, labelDuration, createDate) values(%2, '%3', %4, '%5')");

namespace {
const int labelColumn = 4; // label column of a day table
// A week closed on a later Sunday or at the month's end has no blank before its date value.
const QString laterWeekInsertSql = QStringLiteral(
    "insert into %1(id, labelName, labelDuration, createDate) values(%2, '%3', %4,'%5')");
const QString dayTablesSql =
    QStringLiteral("SELECT * FROM sqlite_master WHERE type='table' AND name like '%1%'");

// Table names are quoted everywhere: a template name may hold any character, and a negative
// year puts a minus sign into the date-named tables.
QString quoted(const QString &tableName)
{
    return Database::quoteIdentifier(tableName);
}

// All values in one arg() call, so that a label containing "%2" is not substituted again.
QString insertStatement(const QString &tableName, int id, const QString &label, int minutes,
                        const QDate &date, const QString &format = LabelDurationStore::insertSql)
{
    return format.arg(quoted(tableName), QString::number(id), Database::escapeText(label),
                      QString::number(minutes), WeekCalendar::dateText(date));
}
} // namespace

LabelDurationStore::LabelDurationStore(const QSqlDatabase &db) : m_db(db) {}

int LabelDurationStore::recordDuration(const QString &fromText, const QString &toText,
                                       const QString &labelCaption)
{
    if (fromText.isEmpty() || toText.isEmpty() || labelCaption == PlanLabels::placeholder)
        return 0;
    const QTime start = QTime::fromString(fromText, QStringLiteral("hh:mm"));
    const QTime end = QTime::fromString(toText, QStringLiteral("hh:mm"));
    if (!start.isValid() || !end.isValid())
        return 0;
    return qAbs(start.secsTo(end) / 60);
}

int LabelDurationStore::weekCountInMonth(int year, int month)
{
    return WeekCalendar::weekCountInMonth(year, month);
}

bool LabelDurationStore::exec(const QString &statement, QString *error)
{
    return Sql::run(m_db, statement, QString(), QString(), error);
}

bool LabelDurationStore::tableExists(const QString &tableName, bool *ok)
{
    const bool exists = Sql::tableExists(m_db, tableName, ok);
    if (!*ok)
        logLine(QStringLiteral("%1 check exist or not failed!").arg(tableName),
                m_db.lastError().text());
    return exists;
}

bool LabelDurationStore::checkTableExistOrNot(const QString &tableName)
{
    bool ok = false;
    return tableExists(tableName, &ok);
}

bool LabelDurationStore::readTable(const QString &tableName, LabelList *list, QString *error)
{
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("select * from ") + quoted(tableName))) {
        *error = query.lastError().text();
        return false;
    }
    while (query.next())
        list->add(query.value(1).toString(), query.value(2).toInt());
    return true;
}

LabelList LabelDurationStore::collectDays(int year, int month, int first, int last, bool verbose,
                                          bool *ok)
{
    LabelList list;
    const QDate monthStart(year, month, 1);
    if (!monthStart.isValid() || last < first)
        return list;
    // One look at the schema for the whole month, not one per day: the schema holds every
    // table of every day ever kept. A name matches a day's pattern exactly when it matches the
    // month's pattern (the day's without its two digits) and those two digits follow.
    const QString dayPrefix = WeekCalendar::dayLabelTablePrefix(monthStart);
    const int dayAt = dayPrefix.size() - 2;
    const QString sql = dayTablesSql.arg(dayPrefix.left(dayAt));
    QSqlQuery query(m_db);
    if (!query.exec(sql)) {
        if (verbose)
            logLine(QStringLiteral("%1 failed!").arg(sql), query.lastError().text());
        else
            logLine(QStringLiteral("select_label_day query failed!"), query.lastError().text());
        *ok = false;
        return list;
    }
    if (verbose)
        logLine(QStringLiteral("%1 succeed!").arg(sql));
    // Each day's tables in the order the schema lists them, days in date order.
    QVector<QStringList> tablesOfDay(last - first + 1);
    while (query.next()) {
        const QString table = query.value(2).toString();
        if (table.size() < dayAt + 2)
            continue;
        const ushort tens = table.at(dayAt).unicode();
        const ushort ones = table.at(dayAt + 1).unicode();
        if (tens < '0' || tens > '9' || ones < '0' || ones > '9')
            continue;
        const int day = (tens - '0') * 10 + (ones - '0');
        if (day >= first && day <= last)
            tablesOfDay[day - first].append(table);
    }
    for (int day = first; day <= last; ++day) {
        if (!QDate(year, month, day).isValid())
            continue;
        for (const QString &table : tablesOfDay.at(day - first)) {
            if (verbose)
                logLine(QStringLiteral("tableName is"), table);
            QString error;
            if (!readTable(table, &list, &error)) {
                logLine(QStringLiteral("select_label query failed!"), error);
                *ok = false;
            }
        }
    }
    return list;
}

bool LabelDurationStore::writeList(const QString &tableName, const LabelList &list,
                                   const QDate &date, const QString &insertFailed,
                                   const QString &insertFormat)
{
    bool ok = true;
    for (int i = 0; i < list.size(); ++i) {
        QString error;
        if (!exec(insertStatement(tableName, i, list.at(i).name, list.at(i).minutes, date,
                                  insertFormat),
                  &error)) {
            logLine(insertFailed, error);
            ok = false;
        }
    }
    return ok;
}

bool LabelDurationStore::rebuild(const QString &tableName, const QString &createSql,
                                 const LabelList &list, const QDate &date,
                                 const QString &dropFailed, const QString &createFailed,
                                 const QString &insertFailed, const QString &insertFormat)
{
    bool ok = true;
    QString error;
    if (tableExists(tableName, &ok) &&
        !exec(QStringLiteral("drop table ") + quoted(tableName), &error)) {
        logLine(dropFailed, error);
        ok = false;
    }
    if (!exec(createSql.arg(quoted(tableName)), &error)) {
        logLine(createFailed, error);
        ok = false;
    }
    return writeList(tableName, list, date, insertFailed, insertFormat) && ok;
}

bool LabelDurationStore::rebuildDayLabelTable(const QString &dayTableName,
                                              const QVector<int> &durations, const QDate &date)
{
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("select * from ") + quoted(dayTableName) +
                    QStringLiteral(" order by manualIndex"))) {
        // Without the labels the rebuild would empty the table; the old one stays.
        logLine(QStringLiteral("select label of %1 failed!").arg(dayTableName),
                query.lastError().text());
        return false;
    }
    QStringList labels;
    while (query.next()) {
        labels.append(query.value(labelColumn).toString());
        logLine(QStringLiteral("select_sql_query.value(SCHEDULE_TABLE_LABEL).toString() is"),
                labels.last());
    }
    logLine(QStringLiteral("labelList.size() is %1").arg(labels.size()));

    bool ok = true;
    const QString labelTable = DayTables::labelTableName(dayTableName);
    QString error;
    if (exec(QStringLiteral("drop table ") + quoted(labelTable), &error)) {
        logLine(QStringLiteral("drop label table succeed!"));
    } else {
        logLine(QStringLiteral("drop label table failed!"), error);
        // A table that was never there is no failure; one that stays is.
        bool checked = false;
        if (tableExists(labelTable, &checked) || !checked)
            ok = false;
    }
    if (exec(createTypedSql.arg(quoted(labelTable)), &error)) {
        logLine(QStringLiteral("create label table succeed!"));
    } else {
        logLine(QStringLiteral("create label table failed!"), error);
        ok = false;
    }
    for (int i = 0; i < labels.size(); ++i) {
        // Records past the ones the view drew (it stops at its record limit) have no duration.
        const int minutes = i < durations.size() ? durations.at(i) : 0;
        const QString statement = insertStatement(labelTable, i, labels.at(i), minutes, date);
        logLine(statement);
        if (exec(statement, &error)) {
            logLine(QStringLiteral("update label succeed!"));
        } else {
            logLine(QStringLiteral("update label failed!"), error);
            ok = false;
        }
    }
    return ok;
}

bool LabelDurationStore::closeFirstWeek(const QDate &date)
{
    bool ok = true;
    const LabelList list = collectDays(date.year(), date.month(), 1, date.day(), false, &ok);
    return rebuild(WeekCalendar::weekTableName(date.year(), date.month(), 1), createTypedSql, list,
                   date, QStringLiteral("drop label_week_1 failed!"),
                   QStringLiteral("create label_week_1 failed!"),
                   QStringLiteral("insert label_week_1 failed!")) &&
           ok;
}

bool LabelDurationStore::closeWeek(const QDate &date, int firstDay)
{
    bool ok = true;
    const LabelList list = collectDays(date.year(), date.month(), firstDay, date.day(), true, &ok);
    const int week = WeekCalendar::weekOfMonth(date);
    const QString table = WeekCalendar::weekTableName(date.year(), date.month(), week);
    return rebuild(table, createUntypedSql, list, date,
                   QStringLiteral("drop %1 failed!").arg(table),
                   QStringLiteral("create label_week_%1 failed!").arg(week),
                   QStringLiteral("insert label_week_%1 failed!").arg(week), laterWeekInsertSql) &&
           ok;
}

bool LabelDurationStore::rebuildMonth(const QDate &date, int weeks)
{
    const int year = date.year();
    const int month = date.month();
    bool ok = true;
    LabelList list;
    for (int week = 1; week <= weeks; ++week) {
        const QString weekTable = WeekCalendar::weekTableName(year, month, week);
        QString error;
        if (readTable(weekTable, &list, &error))
            continue;
        logLine(QStringLiteral("select label_week%1 failed!").arg(week), error);
        bool checked = false;
        if (tableExists(weekTable, &checked) || !checked) {
            ok = false;
            continue;
        }
        // A week whose Sunday was never saved has no table; its days still count.
        const int first = WeekCalendar::firstDayOfWeekNumber(year, month, week);
        const int last = first + WeekCalendar::daysInWeekOfMonth(year, month, week) - 1;
        list.add(collectDays(year, month, first, last, false, &ok));
    }
    const QString table = WeekCalendar::monthTableName(year, month);
    return rebuild(table, createUntypedSql, list, date,
                   QStringLiteral("drop %1 failed!").arg(table),
                   QStringLiteral("create label_month failed!"),
                   QStringLiteral("insert label_month failed!")) &&
           ok;
}

bool LabelDurationStore::rebuildYear(const QDate &date)
{
    const int year = date.year();
    bool ok = true;
    LabelList list;
    for (int month = 1; month <= 12; ++month) {
        const QString monthTable = WeekCalendar::monthTableName(year, month);
        QString error;
        if (readTable(monthTable, &list, &error))
            continue;
        logLine(QStringLiteral("select labelDuration_%1%2 failed!")
                    .arg(WeekCalendar::yearText(year), QString::number(month)),
                error);
        bool checked = false;
        if (tableExists(monthTable, &checked) || !checked) {
            ok = false;
            continue;
        }
        // A month whose last day was never saved has no table; its days still count.
        list.add(collectDays(year, month, 1, QDate(year, month, 1).daysInMonth(), false, &ok));
    }
    const QString table = WeekCalendar::yearTableName(year);
    return rebuild(table, createUntypedSql, list, date,
                   QStringLiteral("drop %1 failed!").arg(table),
                   QStringLiteral("create label_year failed!"),
                   QStringLiteral("insert label_year failed!")) &&
           ok;
}

bool LabelDurationStore::refreshMonthAndYear(const QDate &date, bool *monthDone, bool *yearDone)
{
    bool ok = true;
    bool checked = false;
    if (!*monthDone &&
        checkTableExistOrNot(WeekCalendar::monthTableName(date.year(), date.month()))) {
        ok = rebuildMonth(date, WeekCalendar::weekCountInMonth(date.year(), date.month())) && ok;
        *monthDone = true;
    }
    // The year is refreshed on its own: it also counts months that were never closed.
    if (!*yearDone && tableExists(WeekCalendar::yearTableName(date.year()), &checked)) {
        ok = rebuildYear(date) && ok;
        *yearDone = true;
    }
    return ok;
}

bool LabelDurationStore::updateYearMonthWeekLabelDuration(const QDate &date)
{
    if (!date.isValid())
        return false;
    bool ok = true;
    const LabelList list =
        collectDays(date.year(), date.month(), WeekCalendar::firstDayOfWeek(date),
                    WeekCalendar::lastDayOfWeek(date), false, &ok);
    const QString table =
        WeekCalendar::weekTableName(date.year(), date.month(), WeekCalendar::weekOfMonth(date));
    ok = rebuild(table, createTypedSql, list, date, QStringLiteral("drop %1 failed!").arg(table),
                 QStringLiteral("create label_week failed!"),
                 QStringLiteral("insert label_week failed!")) &&
         ok;
    bool monthDone = false;
    bool yearDone = false;
    return refreshMonthAndYear(date, &monthDone, &yearDone) && ok;
}

bool LabelDurationStore::checkLabelDurationStatistic(const QDate &date)
{
    if (!date.isValid())
        return false;
    const int day = date.day();
    const bool sunday = date.dayOfWeek() == Qt::Sunday;
    bool ok = true;
    bool monthDone = false;
    bool yearDone = false;

    // A day of a week closed before: the week and the totals above it are rebuilt.
    if (!sunday && checkTableExistOrNot(WeekCalendar::weekTableName(
                       date.year(), date.month(), WeekCalendar::weekOfMonth(date)))) {
        ok = updateYearMonthWeekLabelDuration(date) && ok;
        monthDone = true;
        yearDone = true;
    }
    if (sunday && day <= 7)
        ok = closeFirstWeek(date) && ok;
    else if (sunday)
        ok = closeWeek(date, day - 6) && ok;

    if (WeekCalendar::isLastDayOfMonth(date)) {
        if (!sunday)
            ok = closeWeek(date, WeekCalendar::firstDayOfWeek(date)) && ok;
        ok = rebuildMonth(date, WeekCalendar::weekOfMonth(date)) && ok;
        monthDone = true;
    }
    if (WeekCalendar::isLastDayOfYear(date)) {
        ok = rebuildYear(date) && ok;
        yearDone = true;
    }
    // A Sunday, or a day whose week was never closed, can still lie in a closed month or year.
    return refreshMonthAndYear(date, &monthDone, &yearDone) && ok;
}

bool LabelDurationStore::removeScheduleLabels(const QString &dayTableName, const QDate &date)
{
    bool ok = true;
    const QString labelTable = DayTables::labelTableName(dayTableName);
    bool checked = false;
    if (tableExists(labelTable, &checked)) {
        QString error;
        if (exec(QStringLiteral("drop table ") + quoted(labelTable), &error)) {
            logLine(QStringLiteral("drop label table succeed!"));
        } else {
            logLine(QStringLiteral("drop label table failed!"), error);
            ok = false;
        }
    }
    if (!checked || !date.isValid())
        return false;
    return refreshTotals(date) && ok;
}

bool LabelDurationStore::refreshTotals(const QDate &date)
{
    if (!date.isValid())
        return false;
    if (checkTableExistOrNot(WeekCalendar::weekTableName(date.year(), date.month(),
                                                         WeekCalendar::weekOfMonth(date))))
        return updateYearMonthWeekLabelDuration(date);
    bool monthDone = false;
    bool yearDone = false;
    return refreshMonthAndYear(date, &monthDone, &yearDone);
}

bool LabelDurationStore::hasDayLabels(const QString &dayTableName)
{
    const QString labelTable = DayTables::labelTableName(dayTableName);
    bool checked = false;
    if (!tableExists(labelTable, &checked))
        return false;
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("select count(*) from ") + quoted(labelTable)) ||
        !query.next()) {
        logLine(QStringLiteral("count label table failed!"), query.lastError().text());
        return false;
    }
    return query.value(0).toInt() > 0;
}

QList<TableSnapshot> LabelDurationStore::totalsOf(const QDate &date)
{
    QList<TableSnapshot> totals;
    if (!date.isValid())
        return totals;
    const QStringList names = {
        WeekCalendar::weekTableName(date.year(), date.month(), WeekCalendar::weekOfMonth(date)),
        WeekCalendar::monthTableName(date.year(), date.month()),
        WeekCalendar::yearTableName(date.year())};
    for (const QString &name : names) {
        const TableSnapshot total = TableSnapshot::read(m_db, name);
        if (!total.isEmpty())
            totals.append(total);
    }
    return totals;
}

bool LabelDurationStore::keepUnchangedTotals(const QList<TableSnapshot> &before)
{
    bool ok = true;
    for (const TableSnapshot &old : before) {
        bool read = false;
        const TableSnapshot now = TableSnapshot::read(m_db, old.name, &read);
        if (!read || now.isEmpty() || now.columns != old.columns ||
            now.rows.size() != old.rows.size())
            continue;
        // Rows hold the rowid first; the stamp is the createDate column.
        const int stamp = old.columns.indexOf(QStringLiteral("createDate")) + 1;
        bool same = true;
        for (int r = 0; same && r < old.rows.size(); ++r) {
            for (int c = 1; same && c < old.rows.at(r).size(); ++c)
                same = c == stamp || old.rows.at(r).at(c) == now.rows.at(r).at(c);
        }
        if (!same)
            continue;
        QString error;
        if (!exec(QStringLiteral("drop table ") + quoted(old.name), &error)) {
            logLine(QStringLiteral("drop %1 failed!").arg(old.name), error);
            ok = false;
            continue;
        }
        ok = old.write(m_db) && ok;
    }
    return ok;
}

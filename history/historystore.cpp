#include "history/historystore.h"

#include "schedule/daystore.h"

#include "app/database.h"
#include "app/logging.h"
#include "schedule/daytables.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

HistoryStore::HistoryStore(const QSqlDatabase &db) : m_db(db) {}

bool HistoryStore::isDayTable(const QString &name)
{
    if (name.size() <= DayTables::dayPrefixLength || !name.startsWith(QLatin1String("Day")))
        return false;
    for (int i = 3; i < DayTables::dayPrefixLength; ++i) {
        if (name.at(i) < QLatin1Char('0') || name.at(i) > QLatin1Char('9'))
            return false;
    }
    return true;
}

QDate HistoryStore::dateOf(const QString &dayTable)
{
    if (!isDayTable(dayTable))
        return QDate();
    return QDate::fromString(dayTable.mid(3, 8), QStringLiteral("yyyyMMdd"));
}

QDate HistoryStore::parseDisplayDate(const QString &text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 3)
        return QDate();
    bool okYear = false;
    bool okMonth = false;
    bool okDay = false;
    const int year = parts.at(0).toInt(&okYear);
    const int month = parts.at(1).toInt(&okMonth);
    const int day = parts.at(2).toInt(&okDay);
    if (!okYear || !okMonth || !okDay)
        return QDate();
    return QDate(year, month, day);
}

QStringList HistoryStore::dayTables(const QDate &date, bool *ok)
{
    const QString dayName = QStringLiteral("Day") + date.toString(QStringLiteral("yyyyMMdd"));
    QStringList names;
    QSqlQuery query(m_db);
    const bool ran =
        query.exec(QStringLiteral("SELECT * FROM sqlite_master WHERE type='table' AND name like "
                                  "'%1_%'")
                       .arg(dayName));
    if (ok)
        *ok = ran;
    if (!ran) {
        logLine(QStringLiteral("displayDayPlan() check_daily_table query failed!"));
        return names;
    }
    while (query.next()) {
        const QString name = query.value(2).toString();
        // LIKE ignores case and reads "_" as any character: keep this date's day tables only.
        if (name.isEmpty() || !name.startsWith(dayName) || !isDayTable(name))
            continue;
        logLine(QStringLiteral("schedule list: ") + name);
        names.append(name);
    }
    return names;
}

QList<HistoryTable> HistoryStore::range(const QDate &start, const QDate &end)
{
    QList<HistoryTable> tables;
    if (!start.isValid() || !end.isValid())
        return tables;
    for (QDate date = start; date <= end; date = date.addDays(1)) {
        const QStringList names = dayTables(date);
        for (const QString &name : names) {
            HistoryTable table;
            table.name = name;
            table.date = date;
            bool ok = false;
            table.records = records(name, &ok);
            // A table that cannot be read shows nothing, not even its date.
            if (!ok)
                continue;
            table.summary = summary(name);
            tables.append(table);
        }
    }
    return tables;
}

QList<ScheduleRecord> HistoryStore::readRecords(const QString &statement, bool *ok,
                                                const QString &failure, bool withError)
{
    QList<ScheduleRecord> rows;
    QSqlQuery query(m_db);
    const bool ran = query.exec(statement);
    if (ok)
        *ok = ran;
    if (!ran) {
        if (withError)
            logLine(failure, query.lastError().text());
        else
            logLine(failure);
        return rows;
    }
    while (query.next())
        rows.append(DayStore::recordFromRow(query));
    return rows;
}

QList<ScheduleRecord> HistoryStore::records(const QString &dayTable, bool *ok)
{
    return readRecords(QStringLiteral("select * from %1 order by manualIndex")
                           .arg(Database::quoteIdentifier(dayTable)),
                       ok, QStringLiteral("select * query from daily table failed"), true);
}

QList<SummaryItem> HistoryStore::summary(const QString &dayTable, bool *ok)
{
    return SummaryStore(m_db, dayTable).items(ok);
}

QStringList HistoryStore::allTables(bool *ok)
{
    QStringList names;
    QSqlQuery query(m_db);
    const bool ran = query.exec(
        QStringLiteral("select name from sqlite_master where type='table' order by name"));
    if (ok)
        *ok = ran;
    if (!ran) {
        logLine(QStringLiteral("select all tables failed!"));
        return names;
    }
    while (query.next())
        names.append(query.value(0).toString());
    return names;
}

QList<ScheduleRecord> HistoryStore::exportRecords(const QString &dayTable, bool *ok)
{
    const QString statement = QStringLiteral("select * from ") +
                              Database::quoteIdentifier(dayTable) +
                              QStringLiteral(" order by manualIndex");
    return readRecords(statement, ok, statement + QStringLiteral(" failed!"), false);
}

QList<SummaryItem> HistoryStore::exportSummary(const QString &dayTable, bool *ok)
{
    QList<SummaryItem> rows;
    const QString statement = QStringLiteral("select * from ") +
                              Database::quoteIdentifier(DayTables::summaryTableName(dayTable));
    QSqlQuery query(m_db);
    const bool ran = query.exec(statement);
    if (ok)
        *ok = ran;
    if (!ran) {
        logLine(statement + QStringLiteral(" failed!"));
        return rows;
    }
    while (query.next()) {
        SummaryItem item;
        item.id = query.value(0).toInt();
        item.type = query.value(1).toString();
        item.name = query.value(2).toString();
        item.detail = query.value(3).toString();
        item.height = query.value(4).toInt();
        rows.append(item);
    }
    return rows;
}

QList<TaskRecord> HistoryStore::tasks(bool *ok)
{
    QList<TaskRecord> rows;
    QSqlQuery query(m_db);
    const bool ran = query.exec(QStringLiteral("select * from star order by manualIndex"));
    if (ok)
        *ok = ran;
    if (!ran) {
        logLine(QStringLiteral("select star table failed!"));
        return rows;
    }
    while (query.next()) {
        TaskRecord task;
        task.id = query.value(0).toInt();
        task.manualIndex = query.value(1).toInt();
        task.content = query.value(2).toString();
        task.startDate = query.value(3).toString();
        task.stopDate = query.value(4).toString();
        task.importance = query.value(5).toString();
        task.emergency = query.value(6).toString();
        task.priority = query.value(7).toInt();
        task.progress = query.value(8).toInt();
        task.label = query.value(9).toString();
        task.height = query.value(10).toInt();
        rows.append(task);
    }
    return rows;
}

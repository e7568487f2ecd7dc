#ifndef ORVANE_SCHEDULE_DAYSTORE_H
#define ORVANE_SCHEDULE_DAYSTORE_H

#include "schedule/daytables.h"
#include "schedule/schedulerecord.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTime>

// The tables of a date's schedules: the day table ("Day" + yyyyMMdd + template name) with its
// records, its summary table and its label table. Every statement and its diagnostics live
// here; table names are quoted, values bound or escaped, so any template name or text works.
class DayStore {
public:
    enum TableState {
        TableCreateFailure = -1, // TABLE_CREATE_FAILURE
        ReadFailed = 0,
        HasContent = 1,
        Empty = 2,
        Missing = 3 // the day table does not exist yet
    };

    explicit DayStore(const QSqlDatabase &db);

    static QString dayName(const QDate &date); // "Day" + yyyyMMdd
    // "Day" + yyyyMMdd is always 11 characters; the template name is the rest.
    static QString templateOf(const QString &dayTable) { return dayTable.mid(11); }
    static QString summaryTable(const QString &dayTable)
    {
        return DayTables::summaryTableName(dayTable);
    }
    static QString labelTable(const QString &dayTable)
    {
        return DayTables::labelTableName(dayTable);
    }

    // Names of the date's day tables and of its Excel registries; false when a lookup failed.
    bool tablesOfDate(const QString &dayName, QStringList *dayTables, QStringList *registries);
    // Whether the table exists and has a record with a plan or a result (see TableState).
    TableState tableState(const QString &dayTable);
    // Creates the day table, its summary table and its label table; false on the first failure.
    bool createTables(const QString &dayTable);
    bool tableExists(const QString &table, bool *ok = nullptr);

    QList<ScheduleRecord> records(const QString &dayTable, bool *ok = nullptr);
    QStringList times(const QString &dayTable, bool *ok = nullptr);
    QString recordTime(const QString &dayTable, int index);

    bool updateRecord(const QString &dayTable, int manualIndex, const QString &time,
                      const QString &plan, const QString &result, int planHeight, int resultHeight);
    bool addRecord(const QString &dayTable, int index, bool above, bool timed,
                   const QTime &start = QTime(), const QTime &end = QTime());
    bool deleteRecord(const QString &dayTable, int index);
    // option 0 keeps both contents, 1 only the record at fromIndex, 2 only the other one.
    bool mergeRecords(const QString &dayTable, int fromIndex, int withIndex, int placeIndex,
                      int option, const QTime &start, const QTime &end);
    // kind 0 plan, 1 result (index = manualIndex), 2 summary text (index = summary row id).
    bool updateHeight(const QString &dayTable, int index, int kind, int newHeight);

    QString readLabel(const QString &dayTable, int index);
    bool writeLabel(const QString &dayTable, int index, const QString &label);

    // Drops a schedule of a date with its summary and label tables.
    bool dropSchedule(const QString &dayTable);

private:
    bool run(const QString &statement, const QString &failureLog,
             const QString &successLog = QString());
    bool shift(const QString &dayTable, const QString &condition, int index, int delta,
               const QString &failureLog);

    QSqlDatabase m_db;
};

#endif

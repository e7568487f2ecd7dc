#ifndef ORVANE_SCHEDULE_DAYSTORE_H
#define ORVANE_SCHEDULE_DAYSTORE_H

#include "app/tablesnapshot.h"
#include "schedule/daytables.h"
#include "schedule/schedulerecord.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
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

    // Which editor's height a change is for (the day view's editors number them this way).
    enum HeightOf { PlanHeight = 0, ResultHeight = 1, SummaryTextHeight = 2 };
    // What a merge of two records keeps of their plans and results.
    enum MergeKeep { KeepBoth = 0, KeepFirst = 1, KeepSecond = 2 };

    explicit DayStore(const QSqlDatabase &db);

    // Positions of the day table's columns in "select *" rows.
    enum Column {
        IdColumn,
        ManualIndexColumn,
        TimeColumn,
        PlanColumn,
        LabelColumn,
        ResultColumn,
        CreateDateColumn,
        PlanHeightColumn,
        ResultHeightColumn,
        IsScheduleColumn
    };
    // The record on the current row of a "select *" over a day table.
    static ScheduleRecord recordFromRow(const QSqlQuery &query);

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
    // KeepFirst keeps the contents of the record at fromIndex, KeepSecond the other one's.
    bool mergeRecords(const QString &dayTable, int fromIndex, int withIndex, int placeIndex,
                      MergeKeep keep, const QTime &start, const QTime &end);
    // index is the record's manualIndex, or the summary row id for SummaryTextHeight.
    bool updateHeight(const QString &dayTable, int index, HeightOf kind, int newHeight);

    QString readLabel(const QString &dayTable, int index);
    bool writeLabel(const QString &dayTable, int index, const QString &label);

    // Drops a schedule of a date with its summary and label tables.
    bool dropSchedule(const QString &dayTable);

    // Taking back a delete. The whole row of the record at index, every column in stored
    // order (empty when there is none; *ok false when the read failed).
    QVariantList recordRow(const QString &dayTable, int index, bool *ok = nullptr);
    // Puts such a row back at its manualIndex (or at the end when the day has fewer records
    // now), moving the later records one place down; one transaction.
    bool restoreRecord(const QString &dayTable, const QVariantList &row);
    // The day table, its summary table and its label table as they are (the missing ones
    // empty); false when one could not be read.
    bool readSchedule(const QString &dayTable, QList<TableSnapshot> *tables);
    // Creates dropped tables again with their rows; one transaction.
    bool restoreTables(const QList<TableSnapshot> &tables);

private:
    bool run(const QString &statement, const QString &failureLog,
             const QString &successLog = QString());
    bool shift(const QString &dayTable, const QString &condition, int index, int delta,
               const QString &failureLog);

    QSqlDatabase m_db;
};

#endif

#ifndef ORVANE_HISTORY_HISTORYSTORE_H
#define ORVANE_HISTORY_HISTORYSTORE_H

#include "schedule/schedulerecord.h"
#include "schedule/summarystore.h"
#include "tasklist/taskrecord.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// One schedule of one day as the history shows it: the day table with its records and the rows
// of its summary table.
struct HistoryTable {
    QString name; // "Day" + yyyyMMdd + template name
    QDate date;
    QList<ScheduleRecord> records;
    QList<SummaryItem> summary;
};

// Everything the history view and the export read: day tables, their summaries and the task
// list. It writes nothing. Table names are quoted, so any template name works.
class HistoryStore {
public:
    explicit HistoryStore(const QSqlDatabase &db);

    // Whether a name is a day table: "Day", eight digits, then a template name.
    static bool isDayTable(const QString &name);
    // The date in a day table's name (invalid when it is not a day table).
    static QDate dateOf(const QString &dayTable);
    // "yyyy.MM.dd" as the date dialog writes it; invalid for any other text.
    static QDate parseDisplayDate(const QString &text);

    // The day tables of a date, in the order the database lists them; false when the lookup
    // failed.
    QStringList dayTables(const QDate &date, bool *ok = nullptr);
    // Every day from start to end in calendar order; each of its tables with records and summary.
    // Days without tables contribute nothing; an end before the start gives nothing.
    QList<HistoryTable> range(const QDate &start, const QDate &end);

    // Records in display order and summary rows, with the history view's diagnostics.
    QList<ScheduleRecord> records(const QString &dayTable, bool *ok = nullptr);
    QList<SummaryItem> summary(const QString &dayTable, bool *ok = nullptr);

    // The export's reads, each failure logged as the statement followed by " failed!".
    QStringList allTables(bool *ok = nullptr); // in name order; "select all tables failed!"
    QList<ScheduleRecord> exportRecords(const QString &dayTable, bool *ok = nullptr);
    QList<SummaryItem> exportSummary(const QString &dayTable, bool *ok = nullptr);
    QList<TaskRecord>
    tasks(bool *ok = nullptr); // in manualIndex order; "select star table failed!"

private:
    QList<ScheduleRecord> readRecords(const QString &statement, bool *ok, const QString &failure,
                                      bool withError);

    QSqlDatabase m_db;
};

#endif

#ifndef ORVANE_STATISTICS_LABELDURATIONSTORE_H
#define ORVANE_STATISTICS_LABELDURATIONSTORE_H

#include "app/tablesnapshot.h"
#include "statistics/labellist.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

// Minutes per label: one table per saved schedule, and week, month and year totals that are
// closed when their last day is saved and refreshed when a day inside them changes.
//
// Transactions belong to the caller. The day view's save (and the schedule deletion) opens one
// transaction on the connection given here, calls these functions and commits when all of them
// returned true, or rolls back otherwise, so a half-written total never stays behind. Nothing
// here begins, commits or rolls back.
//
// Every function logs each failing statement and still runs the remaining ones; the result is
// false when any statement failed. A select on a total that was never closed is logged but is
// no failure.
class LabelDurationStore {
public:
    static const QString createTypedSql;   // a rebuilt day table, week 1, a refreshed week
    static const QString createUntypedSql; // months, years, weeks closed later in the month
    static const QString insertSql;        // table, id, name, minutes, yyyyMMdd

    explicit LabelDurationStore(const QSqlDatabase &db);

    // Minutes of one record: |secsTo(start, end)| / 60 of the two "hh:mm" texts, so a reversed
    // span counts its plain length. 0 when a time is empty or unreadable or the caption is the
    // placeholder.
    static int recordDuration(const QString &fromText, const QString &toText,
                              const QString &labelCaption);

    static int weekCountInMonth(int year, int month);

    // True when the table exists; false when it does not or the check failed (logged).
    bool checkTableExistOrNot(const QString &tableName);

    // Rebuilds "labelDuration_" + dayTableName: one row per record of the day table in display
    // order, the record's label with durations[i] (0 for records without a duration), dated
    // `date`. When the day table cannot be read the old label table is kept.
    bool rebuildDayLabelTable(const QString &dayTableName, const QVector<int> &durations,
                              const QDate &date);

    // After a day is saved: closes the week, month and year that `date` ends, and refreshes the
    // closed totals that contain it.
    bool checkLabelDurationStatistic(const QDate &date);

    // Rebuilds the week of `date`, then its month and its year where they were closed before.
    bool updateYearMonthWeekLabelDuration(const QDate &date);

    // After the schedule `dayTableName` of `date` was deleted: drops its label table and
    // refreshes the closed week, month and year that contain the date.
    bool removeScheduleLabels(const QString &dayTableName, const QDate &date);
    // Refreshes the closed week, month and year that contain `date` after one of its schedules
    // went or came back (what removeScheduleLabels does once the label table is gone).
    bool refreshTotals(const QDate &date);
    // Whether the schedule's minutes are counted: its label table holds rows, written by a save.
    // A day never saved (or without times) has none.
    bool hasDayLabels(const QString &dayTableName);

    // The closed week, month and year totals that contain `date`, as they are now (the ones
    // never closed are left out).
    QList<TableSnapshot> totalsOf(const QDate &date);
    // After the totals were recomputed for a delete taken back: a total that holds the same
    // minutes as in `before` and differs only in the date it was stamped with is written back
    // exactly as it was. One that differs (a day of it changed meanwhile) keeps the new sums.
    bool keepUnchangedTotals(const QList<TableSnapshot> &before);

private:
    bool exec(const QString &statement, QString *error = nullptr);
    bool tableExists(const QString &tableName, bool *ok);

    // Labels of the days first..last of one month, over every schedule of each day. `verbose`
    // adds the query and table-name lines written when a week is closed on a later Sunday.
    LabelList collectDays(int year, int month, int first, int last, bool verbose, bool *ok);
    // Adds the rows of one table; false (with the error) when its select failed.
    bool readTable(const QString &tableName, LabelList *list, QString *error);
    bool writeList(const QString &tableName, const LabelList &list, const QDate &date,
                   const QString &insertFailed, const QString &insertFormat = insertSql);
    bool rebuild(const QString &tableName, const QString &createSql, const LabelList &list,
                 const QDate &date, const QString &dropFailed, const QString &createFailed,
                 const QString &insertFailed, const QString &insertFormat = insertSql);

    bool closeFirstWeek(const QDate &date);
    bool closeWeek(const QDate &date, int firstDay);
    bool rebuildMonth(const QDate &date, int weeks);
    bool rebuildYear(const QDate &date);
    bool refreshMonthAndYear(const QDate &date, bool *monthDone, bool *yearDone);

    QSqlDatabase m_db;
};

#endif

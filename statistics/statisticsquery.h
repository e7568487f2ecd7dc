#ifndef ORVANE_STATISTICS_STATISTICSQUERY_H
#define ORVANE_STATISTICS_STATISTICSQUERY_H

#include "statistics/labellist.h"

#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

// The bars of one chart series: one row of values per label that is not empty, in the order the
// labels were first met over the bins, one value (minutes) per bin.
class QSqlQuery;

struct LabelBars {
    QStringList labels;
    QVector<QVector<int>> values;
};

// The read side of the label-duration tables for one date range ("yyyy.MM.dd" texts, read by
// character position; parts that do not parse count as 0).
//
// A bin (year, month, week, day) that holds the range's first or last day is summed from the
// day tables of its days inside the range; a bin wholly inside the range is read from its
// closed total, and from its days when that total was never written. A bin without any row
// holds one entry with an empty name and 0 minutes.
//
// Everything the range can ask for is read at the first question after setRange: one listing
// of the label tables and a few batched selects, instead of a lookup and a select per day.
// Later questions are answered from memory until the range changes.
class StatisticsQuery {
public:
    struct Day {
        int year = 0;
        int month = 0;
        int day = 0;
    };

    explicit StatisticsQuery(const QSqlDatabase &db);

    // Year, month and day of a "yyyy.MM.dd" text by character position; 0 where unreadable.
    static Day parse(const QString &text);

    void setRange(const QString &start, const QString &end);
    Day start() const { return m_start; }
    Day end() const { return m_end; }
    // Reads the tables now; later questions run no statement until the range changes.
    void load();
    // Statements run since the range was set.
    int statementCount() const { return m_statements; }

    // Labels of one day over every schedule of it, and of one closed total ("labelDuration_"
    // names); a missing table or a day outside the range yields an empty bin.
    LabelList dayBin(int year, int month, int day);
    LabelList weekBin(int year, int month, int week);
    LabelList monthBin(int year, int month);
    LabelList yearBin(int year);

    // Total minutes over the days of the month, or the part of the year, inside the range.
    int monthMinutesInRange(int year, int month);
    int yearMinutesInRange(int year);

    // The range's months of a year, weeks of a month and days of a week, in order.
    QVector<int> monthsOfYear(int year) const;
    QVector<int> weeksOfMonth(int year, int month) const;
    QVector<int> daysOfWeek(int year, int month, int week) const;

    LabelBars yearBars();
    LabelBars monthBarsOfYear(int year, const QVector<int> &months);
    LabelBars weekBarsOfMonth(int year, int month);
    LabelBars dayBarsOfWeek(int year, int month, int week);
    LabelBars dayBarsOfMonth(int year, int month);

    static LabelBars bars(const QVector<LabelList> &bins);

private:
    static qint64 key(int year, int month, int day);
    bool inRange(int year, int month, int day) const;
    bool containsEnd(int year, int month, int firstDay, int lastDay) const;
    LabelList daysBin(int year, int month, int firstDay, int lastDay);
    LabelList aggregateBin(const QString &tableName, bool *found);
    QStringList neededAggregates() const;
    // Rows of every table (labels in row order); tables marked `together` share compound
    // selects, the others are read one by one.
    void readTables(const QStringList &tables, const QVector<bool> &together,
                    QVector<LabelList> *lists);
    bool readBatch(const QStringList &tables, const QVector<int> &indexes,
                   QVector<LabelList> *lists);
    bool exec(QSqlQuery &query, const QString &statement);

    QSqlDatabase m_db;
    Day m_start;
    Day m_end;
    bool m_loaded = false;
    int m_statements = 0;
    // Labels of every day of the range that has a label table, and of the closed totals the
    // range reads (keyed by lower-case name, as SQLite compares table names).
    QHash<qint64, LabelList> m_days;
    QHash<QString, LabelList> m_aggregates;
};

#endif

#ifndef ORVANE_SCHEDULE_DAYTABLES_H
#define ORVANE_SCHEDULE_DAYTABLES_H

#include <QString>
#include <QTime>

// Create statements of the three tables every schedule of a date has. The texts are kept exactly
// as older databases were made with them (blanks included); %1 is the quoted table name.
class DayTables {
public:
    static inline const QString dayTableSql = QStringLiteral(
        "create table %1(id int PRIMARY KEY, manualIndex int, time TEXT,plan TEXT,label TEXT, "
        "result TEXT, createDate TEXT, planHeight INT, resultHeight INT, isSchedule INT)");
    static inline const QString summaryTableSql =
        QStringLiteral("create table %1(id int PRIMARY KEY, contentType TEXT, contentName TEXT, "
                       "contentDetail TEXT, height INT)");
    static inline const QString labelTableSql =
        QStringLiteral("create table %1(id int PRIMARY KEY, labelName TEXT, labelDuration INT)");

    // "Day" + yyyyMMdd: the fixed-length head of every day table name.
    static constexpr int dayPrefixLength = 11;

    static QString summaryTableName(const QString &dayTable)
    {
        return QStringLiteral("summary_") + dayTable;
    }
    static QString labelTableName(const QString &dayTable)
    {
        return QStringLiteral("labelDuration_") + dayTable;
    }
    static QString excelRegistryName(const QString &dayName, const QString &templateName)
    {
        return QStringLiteral("Excel_") + dayName + templateName;
    }
    // A record's time: two "hh:mm" texts joined by "--" (12 characters), or empty when either
    // end is missing.
    static QString timeSpan(const QString &start, const QString &end)
    {
        return start.isEmpty() || end.isEmpty() ? QString() : start + QStringLiteral("--") + end;
    }
    static QString timeSpan(const QTime &start, const QTime &end)
    {
        return timeSpan(start.toString(QStringLiteral("hh:mm")),
                        end.toString(QStringLiteral("hh:mm")));
    }
    static QString spanStart(const QString &span) { return span.left(5); }
    static QString spanEnd(const QString &span) { return span.right(5); }

    // "Day20240315" -> "2024-03-15", the createDate of records made from a template.
    static QString createDate(const QString &dayName)
    {
        return dayName.mid(3, 4) + QLatin1Char('-') + dayName.mid(7, 2) + QLatin1Char('-') +
               dayName.mid(9, 2);
    }
};

#endif

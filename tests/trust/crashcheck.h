#ifndef ORVANE_TESTS_TRUST_CRASHCHECK_H
#define ORVANE_TESTS_TRUST_CRASHCHECK_H

// What the crash driver and the test that kills it share: the days of the data, the markers
// written by each action, the program's start-up repairs, and the checks of the files after a
// kill.

#include "app/database.h"
#include "app/semicolonlist.h"
#include "app/settings.h"
#include "schedule/dayactions.h"
#include "schedule/daystore.h"
#include "schedule/summarystore.h"
#include "schedule/templatestore.h"
#include "schedule/templatexml.h"
#include "statistics/weekcalendar.h"
#include "tasklist/taskstore.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QSqlQuery>
#include <QStringList>

namespace CrashCheck {

// A month of saved days, so the month's weeks, the month and the year get closed.
inline const QDate firstDay{2026, 12, 1};
inline const QDate lastDay{2026, 12, 31};
inline int dayCount()
{
    return int(firstDay.daysTo(lastDay)) + 1;
}
inline QString dayTable(const QDate &date)
{
    return DayStore::dayName(date) + TemplateStore::emptyScheduleName;
}
// Dates opened for the first time, one per action.
inline QDate newDay(int marker)
{
    return QDate(2030, 1, 1).addDays(marker);
}
inline QString markerText(int marker)
{
    return QStringLiteral("mark%1x").arg(marker);
}
inline QString marked(int marker)
{
    return QStringLiteral("<p>") + markerText(marker) + QStringLiteral("</p>");
}

// What the program does when it starts and when it opens a date.
inline void startRepairs(QSqlDatabase db)
{
    TaskStore(db).repairCounter();
}
inline void openDate(QSqlDatabase db, const QString &table)
{
    DayActions(db).openSchedule(table, nullptr);
}

inline QStringList column(QSqlDatabase db, const QString &statement)
{
    QStringList values;
    QSqlQuery query(db);
    query.exec(statement);
    while (query.next())
        values.append(query.value(0).toString());
    return values;
}

inline int number(QSqlDatabase db, const QString &statement)
{
    return column(db, statement).value(0, QStringLiteral("-1")).toInt();
}

inline bool exists(QSqlDatabase db, const QString &table)
{
    return number(db, QStringLiteral("select count(*) from sqlite_master where type = 'table' and "
                                     "name = '%1'")
                          .arg(Database::escapeText(table))) == 1;
}

// Minutes per label of one label table, labels without minutes left out.
inline QMap<QString, int> minutes(QSqlDatabase db, const QString &table)
{
    QMap<QString, int> sums;
    QSqlQuery query(db);
    query.exec(QStringLiteral("select labelName, sum(labelDuration) from %1 group by labelName")
                   .arg(Database::quoteIdentifier(table)));
    while (query.next()) {
        if (query.value(1).toInt() != 0)
            sums[query.value(0).toString()] += query.value(1).toInt();
    }
    return sums;
}

inline QMap<QString, int> daysMinutes(QSqlDatabase db, const QStringList &dayLabelTables,
                                      const QDate &first, const QDate &last)
{
    QMap<QString, int> sums;
    for (const QString &table : dayLabelTables) {
        const QDate date = QDate::fromString(
            table.mid(QStringLiteral("labelDuration_Day").size(), 8), QStringLiteral("yyyyMMdd"));
        if (date < first || date > last)
            continue;
        const QMap<QString, int> day = minutes(db, table);
        for (auto it = day.cbegin(); it != day.cend(); ++it)
            sums[it.key()] += it.value();
    }
    return sums;
}

// The closed totals of the year of the saved days against the sums of their days.
inline QStringList totalProblems(QSqlDatabase db)
{
    QStringList problems;
    const QStringList days = column(
        db, QStringLiteral("select name from sqlite_master where name like 'labelDuration_Day%'"));
    auto compare = [&](const QString &table, const QDate &first, const QDate &last) {
        if (!exists(db, table))
            return;
        if (minutes(db, table) != daysMinutes(db, days, first, last))
            problems.append(table + QStringLiteral(" differs from the sum of its days"));
    };
    const int year = firstDay.year();
    for (int month = 1; month <= 12; ++month) {
        const QDate start(year, month, 1);
        for (int week = 1; week <= WeekCalendar::weekCountInMonth(year, month); ++week) {
            const int first = WeekCalendar::firstDayOfWeekNumber(year, month, week);
            const int length = WeekCalendar::daysInWeekOfMonth(year, month, week);
            compare(WeekCalendar::weekTableName(year, month, week), QDate(year, month, first),
                    QDate(year, month, first + length - 1));
        }
        compare(WeekCalendar::monthTableName(year, month), start,
                start.addDays(start.daysInMonth() - 1));
    }
    compare(WeekCalendar::yearTableName(year), QDate(year, 1, 1), QDate(year, 12, 31));
    return problems;
}

// The summary keys of the settings file against the summary table of each day.
inline QStringList summaryKeyProblems(QSqlDatabase db)
{
    QStringList problems;
    const QStringList tables =
        column(db, QStringLiteral("select name from sqlite_master where name like 'summary_Day%'"));
    for (const QString &table : tables) {
        const QString dayTable = table.mid(QStringLiteral("summary_").size());
        SummaryStore store(db, dayTable);
        if (!store.hasKeys())
            continue;
        const QString stored = store.readNames(SummaryStore::Scores);
        const QStringList rows =
            column(db, QStringLiteral("select contentName from %1 where contentType = "
                                      "'summaryScore' order by id")
                           .arg(Database::quoteIdentifier(table)));
        if (SemicolonList::split(stored, false) != rows || store.scoreCount() != rows.size())
            problems.append(table + QStringLiteral(": settings name ") + stored +
                            QStringLiteral(", table has ") + rows.join(QLatin1Char(',')));
    }
    return problems;
}

// The action cut by the kill, from its journal line "B <n> <kind> <details>", is wholly there
// or wholly absent. Markers are unique to one action, so "there" is easy to see.
inline QStringList cutActionProblems(QSqlDatabase db, const QString &line, int rowsNow)
{
    QStringList problems;
    const QStringList words = line.split(QLatin1Char(' '));
    const int marker = words.value(1).toInt();
    const QString kind = words.value(2);
    const QString mark = markerText(marker);
    auto markedRows = [&](const QString &table, const QString &columnName) {
        return number(db, QStringLiteral("select count(*) from %1 where instr(%2, '%3') > 0")
                              .arg(Database::quoteIdentifier(table), columnName, mark));
    };
    auto problem = [&](const QString &what) {
        problems.append(line + QStringLiteral(": ") + what);
    };
    if (kind == QLatin1String("tasks")) {
        const int rows = markedRows(QStringLiteral("star"), QStringLiteral("content"));
        const int meant = words.value(3).split(QLatin1Char(','), Qt::SkipEmptyParts).size();
        if (rows != 0 && rows != meant)
            problem(QStringLiteral("%1 of %2 rows saved").arg(rows).arg(meant));
    } else if (kind == QLatin1String("add")) {
        const int before = words.value(3).toInt();
        if (rowsNow != before && rowsNow != before + 1)
            problem(QStringLiteral("%1 rows").arg(rowsNow));
    } else if (kind == QLatin1String("delete")) {
        const int before = words.value(3).toInt();
        const int present = number(
            db, QStringLiteral("select count(*) from star where id = %1").arg(words.value(4)));
        if (!((rowsNow == before && present == 1) || (rowsNow == before - 1 && present == 0)))
            problem(QStringLiteral("%1 rows, the row %2 times").arg(rowsNow).arg(present));
    } else if (kind == QLatin1String("move")) {
        const int index = words.value(3).toInt();
        const int first = number(
            db, QStringLiteral("select manualIndex from star where id = %1").arg(words.value(4)));
        const int second = number(
            db, QStringLiteral("select manualIndex from star where id = %1").arg(words.value(5)));
        const bool before = first == index && second == index + 1;
        const bool after = first == index + 1 && second == index;
        if (!before && !after)
            problem(QStringLiteral("rows at %1 and %2").arg(first).arg(second));
    } else if (kind == QLatin1String("open")) {
        const QString table = words.value(3);
        const int made = int(exists(db, table)) + int(exists(db, DayStore::summaryTable(table))) +
                         int(exists(db, DayStore::labelTable(table)));
        if (made != 0 && made != 3)
            problem(QStringLiteral("%1 of its 3 tables").arg(made));
        if (made == 3 && number(db, QStringLiteral("select count(*) from %1")
                                        .arg(Database::quoteIdentifier(table))) !=
                             TemplateXml::emptySchedule().records.size())
            problem(QStringLiteral("records missing"));
    } else if (kind == QLatin1String("save") || kind == QLatin1String("record")) {
        const QString table = words.value(3);
        const int records = number(
            db, QStringLiteral("select count(*) from %1").arg(Database::quoteIdentifier(table)));
        const int saved = markedRows(table, QStringLiteral("plan"));
        if (kind == QLatin1String("save") && saved != 0 && saved != records)
            problem(QStringLiteral("%1 of %2 records saved").arg(saved).arg(records));
        if (kind == QLatin1String("record")) {
            // The edits go with the change: both there or neither.
            const bool changed = records != words.value(4).toInt();
            if (changed != (saved > 0))
                problem(QStringLiteral("%1 records, %2 saved").arg(records).arg(saved));
        }
    } else if (kind == QLatin1String("template")) {
        const QString path = TemplateStore::xmlTemplatePath(words.mid(3).join(QLatin1Char(' ')));
        QFile file(path);
        if (file.exists()) {
            file.open(QIODevice::ReadOnly);
            const TemplateXml::ReadResult read = TemplateXml::read(&file, path);
            if (!read.messages.isEmpty() || read.content.records.isEmpty())
                problem(QStringLiteral("half written template"));
        }
    }
    return problems;
}

// Everything a kill must not break. `cut` is the journal line of the action the kill cut, or
// empty when it fell between two actions.
inline QStringList problems(QSqlDatabase db, const QString &cut)
{
    QStringList found;
    const QString integrity = column(db, QStringLiteral("pragma integrity_check")).join(' ');
    if (integrity != QLatin1String("ok"))
        found.append(QStringLiteral("integrity_check: ") + integrity);

    const QStringList positions =
        column(db, QStringLiteral("select manualIndex from star order by manualIndex"));
    for (int i = 0; i < positions.size(); ++i) {
        if (positions.at(i).toInt() != i) {
            found.append(
                QStringLiteral("manualIndex %1 at position %2").arg(positions.at(i)).arg(i));
            break;
        }
    }
    found += totalProblems(db);
    if (!cut.isEmpty())
        found += cutActionProblems(db, cut, positions.size());

    Settings settings;
    if (settings.status() != QSettings::NoError)
        found.append(QStringLiteral("the settings file does not parse"));
    if (Settings::read(TaskStore::countKey, -1).toInt() != positions.size())
        found.append(QStringLiteral("mainViewItemCount %1 for %2 rows")
                         .arg(Settings::read(TaskStore::countKey, -1).toInt())
                         .arg(positions.size()));
    found += summaryKeyProblems(db);

    const QDir templates(TemplateStore::xmlTemplatePath(QStringLiteral("x")).section('/', 0, -2));
    for (const QString &name : templates.entryList({QStringLiteral("*.xml")}, QDir::Files)) {
        QFile file(templates.filePath(name));
        file.open(QIODevice::ReadOnly);
        if (!TemplateXml::read(&file, name).messages.isEmpty())
            found.append(QStringLiteral("template %1 does not read").arg(name));
    }
    return found;
}

} // namespace CrashCheck

#endif

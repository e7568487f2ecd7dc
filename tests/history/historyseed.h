#ifndef ORVANE_TESTS_HISTORY_HISTORYSEED_H
#define ORVANE_TESTS_HISTORY_HISTORYSEED_H

// Saved days and tasks as the day view and the task list store them, for the history tests and
// the history benchmark.
#include "app/database.h"
#include "schedule/daystore.h"
#include "schedule/summarystore.h"

#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QTextDocument>

namespace HistorySeed {

struct Record {
    QString time;
    QString plan; // plain text; stored as the editor's HTML
    QString result;
};

struct Task {
    QString content;
    QString startDate;
    QString stopDate;
    QString importance;
    QString emergency;
    int priority = 0;
    int progress = 0;
    QString label;
};

// The stored form of a text typed into an editor.
inline QString richText(const QString &plain)
{
    if (plain.isEmpty())
        return QString();
    QTextDocument document;
    document.setPlainText(plain);
    return Database::escapeRichText(document.toHtml());
}

inline QString dayTable(const QDate &date, const QString &templat = QStringLiteral("空时刻表"))
{
    return DayStore::dayName(date) + templat;
}

// Creates the day's three tables and fills the records and summary rows; false on any failure.
// Summary texts are given as plain text and stored as rich text; scores as given.
inline bool saveDay(QSqlDatabase db, const QString &table, const QList<Record> &records,
                    const QList<SummaryItem> &summary = {})
{
    if (!DayStore(db).createTables(table))
        return false;
    QSqlQuery query(db);
    query.prepare(QStringLiteral("insert into %1 values(?,?,?,?,?,?,?,?,?,?)")
                      .arg(Database::quoteIdentifier(table)));
    for (int i = 0; i < records.size(); ++i) {
        query.addBindValue(i);
        query.addBindValue(i);
        query.addBindValue(records.at(i).time);
        query.addBindValue(richText(records.at(i).plan));
        query.addBindValue(QString());
        query.addBindValue(richText(records.at(i).result));
        query.addBindValue(QString());
        query.addBindValue(100);
        query.addBindValue(100);
        query.addBindValue(records.at(i).time.isEmpty() ? 1 : 0);
        if (!query.exec())
            return false;
    }
    query.prepare(QStringLiteral("insert into %1 values(?,?,?,?,?)")
                      .arg(Database::quoteIdentifier(DayStore::summaryTable(table))));
    for (int i = 0; i < summary.size(); ++i) {
        const SummaryItem &item = summary.at(i);
        query.addBindValue(i);
        query.addBindValue(item.type);
        query.addBindValue(item.name);
        query.addBindValue(item.type == QLatin1String("summaryText") ? richText(item.detail)
                                                                     : item.detail);
        query.addBindValue(item.height > 0 ? item.height : 80);
        if (!query.exec())
            return false;
    }
    return true;
}

inline SummaryItem summaryText(const QString &name, const QString &text)
{
    SummaryItem item;
    item.type = QStringLiteral("summaryText");
    item.name = name;
    item.detail = text;
    return item;
}

inline SummaryItem summaryScore(const QString &name, const QString &score)
{
    SummaryItem item;
    item.type = QStringLiteral("summaryScore");
    item.name = name;
    item.detail = score;
    return item;
}

inline bool saveTasks(QSqlDatabase db, const QList<Task> &tasks)
{
    QSqlQuery query(db);
    if (!query.exec(Database::createTableSql))
        return false;
    query.prepare(Database::insertSql);
    for (int i = 0; i < tasks.size(); ++i) {
        const Task &task = tasks.at(i);
        query.addBindValue(i);
        query.addBindValue(i);
        query.addBindValue(richText(task.content));
        query.addBindValue(task.startDate);
        query.addBindValue(task.stopDate);
        query.addBindValue(task.importance);
        query.addBindValue(task.emergency);
        query.addBindValue(task.priority);
        query.addBindValue(task.progress);
        query.addBindValue(task.label);
        query.addBindValue(100);
        if (!query.exec())
            return false;
    }
    return true;
}

} // namespace HistorySeed

#endif

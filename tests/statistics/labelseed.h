#ifndef ORVANE_TESTS_STATISTICS_LABELSEED_H
#define ORVANE_TESTS_STATISTICS_LABELSEED_H

// Label tables for the statistics tests: days saved the way the day view saves them (records,
// then in one transaction the day's label table and the week, month and year check), and
// tables made by hand with the statements the bookkeeping itself uses.
#include "app/database.h"
#include "schedule/planlabels.h"
#include "statistics/labeldurationstore.h"

#include <QDate>
#include <QSqlQuery>
#include <QStringList>
#include <QTime>
#include <QVariant>

namespace labelseed {

// "学习=60;运动=30": label and minutes of each record in order; "=0" is a record without label.
inline QList<QPair<QString, int>> parseRecords(const QString &records)
{
    QList<QPair<QString, int>> list;
    const QStringList parts = records.split(';', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const int at = part.lastIndexOf('=');
        list.append({part.left(at), part.mid(at + 1).toInt()});
    }
    return list;
}

inline QString dayTableName(const QDate &date, const QString &templat)
{
    return QStringLiteral("Day") + date.toString(QStringLiteral("yyyyMMdd")) + templat;
}

// Saves one day's records, each starting at 00:00 and lasting its minutes (at most 1439), in one
// transaction as the day view does.
inline bool saveDay(QSqlDatabase db, const QDate &date, const QString &records,
                    const QString &templat = QStringLiteral("空时刻表"))
{
    const QString table = dayTableName(date, templat);
    const QString quoted = Database::quoteIdentifier(table);
    db.transaction();
    QSqlQuery query(db);
    query.exec("create table if not exists " + quoted +
               "(id int PRIMARY KEY, manualIndex int, time TEXT, plan TEXT, label TEXT)");
    query.exec("delete from " + quoted);
    QVector<int> durations;
    for (const auto &record : parseRecords(records)) {
        const QString to = QTime(0, 0).addSecs(record.second * 60).toString("hh:mm");
        query.prepare("insert into " + quoted + "(manualIndex, time, label) values(?, ?, ?)");
        query.addBindValue(durations.size());
        query.addBindValue("00:00--" + to);
        query.addBindValue(record.first);
        query.exec();
        const QString caption =
            record.first.isEmpty() ? PlanLabels::placeholder : "标签:" + record.first;
        durations.append(LabelDurationStore::recordDuration("00:00", to, caption));
    }
    LabelDurationStore store(db);
    const bool ok = store.rebuildDayLabelTable(table, durations, date) &&
                    store.checkLabelDurationStatistic(date);
    ok ? db.commit() : db.rollback();
    return ok;
}

// A label table written by hand (a total that differs from its days, a stray name), created
// with the untyped statement of the totals.
inline bool makeTable(QSqlDatabase db, const QString &name, const QString &records)
{
    QSqlQuery query(db);
    if (!query.exec(LabelDurationStore::createUntypedSql.arg(Database::quoteIdentifier(name))))
        return false;
    int id = 0;
    for (const auto &record : parseRecords(records)) {
        query.prepare("insert into " + Database::quoteIdentifier(name) +
                      "(id, labelName, labelDuration, createDate) values(?, ?, ?, '')");
        query.addBindValue(id++);
        query.addBindValue(record.first);
        query.addBindValue(record.second);
        if (!query.exec())
            return false;
    }
    return true;
}

} // namespace labelseed

#endif

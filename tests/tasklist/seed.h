#ifndef ORVANE_TESTS_TASKLIST_SEED_H
#define ORVANE_TESTS_TASKLIST_SEED_H

#include "app/database.h"
#include "tasklist/taskstore.h"

#include <QSqlQuery>
#include <QVariant>

// Puts n tasks "task 0" ... into the star table, as earlier sessions would have left them.
inline void seedTasks(int n, const QString &label = QString())
{
    QSqlDatabase db;
    Database::connect(&db);
    TaskStore store(db);
    store.ensureTable();
    for (int i = 0; i < n; ++i) {
        store.insert(i);
        TaskRecord task;
        task.manualIndex = i;
        task.content = QStringLiteral("task %1").arg(i);
        task.importance = QStringLiteral("不重要");
        task.emergency = QStringLiteral("紧急");
        task.label = label;
        store.save(task);
    }
}

// Puts the given tasks into the star table in list order (their manualIndex is their place).
inline void seedRecords(const QList<TaskRecord> &tasks)
{
    QSqlDatabase db;
    Database::connect(&db);
    TaskStore store(db);
    store.ensureTable();
    for (int i = 0; i < tasks.size(); ++i) {
        store.insert(i);
        TaskRecord task = tasks.at(i);
        task.manualIndex = i;
        store.save(task);
    }
}

inline TaskRecord task(const QString &content, int priority = 0, int progress = 0,
                       const QString &startDate = QString(), const QString &label = QString())
{
    TaskRecord t;
    t.content = content;
    t.priority = priority;
    t.progress = progress;
    t.startDate = startDate;
    t.label = label;
    t.importance = QStringLiteral("重要");
    t.emergency = QStringLiteral("紧急");
    return t;
}

inline QVariant cell(const QSqlDatabase &db, const QString &column, int manualIndex)
{
    QSqlQuery query(db);
    query.exec(
        QStringLiteral("select %1 from star where manualIndex = %2").arg(column).arg(manualIndex));
    return query.next() ? query.value(0) : QVariant();
}

#endif

#ifndef ORVANE_TASKLIST_TASKSTORE_H
#define ORVANE_TASKLIST_TASKSTORE_H

#include "tasklist/taskrecord.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

// Which tasks a list shows and in what order: the WHERE part built by FilterClause (empty, or
// " where ...") and the ORDER BY part built by SortClause (empty means the manual order).
struct TaskQuery {
    QString where;
    QString order;

    bool manualOrder() const;
    // The plain list: every task in manual order, with its move and delete buttons.
    bool plain() const { return where.isEmpty() && manualOrder(); }
};

// Every statement the task list sends to the star table, with its diagnostics. No widgets.
class TaskStore {
public:
    static const QString checkStarSql;
    static const QString countKey;    // "mainViewItemCount"
    static const QString manualOrder; // " order by manualIndex"
    static const QString positionIndexSql;

    // "select * from star" with the query's parts.
    static QString selectStatement(const TaskQuery &query);
    // The stored query of a group, as the group condition window writes it.
    static QString groupStatement(const QString &where, const QString &order);

    enum class DeleteResult { DeleteFailed, Deleted, RenumberFailed };

    explicit TaskStore(const QSqlDatabase &db);

    // Creates the star table when it is missing. False only when the creation failed.
    bool ensureTable();

    // The rows a list shows; a failure is logged and gives no rows.
    QList<TaskRecord> select(const TaskQuery &query, bool *ok = nullptr);
    // The task at one position (none when there is no such row).
    QList<TaskRecord> selectAt(int manualIndex);
    // Sum of (height + 80) over the rows a list shows: the height the list needs.
    int listHeight(const TaskQuery &query);

    // A group's stored query, run only when it is one select of the whole rows of star (the form
    // the group condition window writes). Anything else read from the settings file is logged
    // as a failed query and never executed.
    QList<TaskRecord> selectGroup(const QString &statement, bool *ok = nullptr);
    static bool isGroupQuery(const QString &statement);

    // The smallest id not below any stored id (0 for an empty table).
    int nextFreeId();
    // Appends a new, empty task with the given id. Returns false when the insert failed (in
    // practice: an unsaved empty task already exists, the content is unique). position, when
    // given, receives the new row's manualIndex.
    bool insert(int id, int *position = nullptr);
    bool save(const TaskRecord &task);
    // Saves several rows as one transaction (one write to disk instead of one per row); any
    // failure writes none of them.
    bool saveAll(const QList<TaskRecord> &tasks);
    bool saveLabel(int manualIndex, const QString &label);
    bool saveHeight(int manualIndex, int height);
    // Deletes the row at a position and closes the gap, in one transaction.
    DeleteResult remove(int manualIndex);
    // Puts a deleted task back, every column as it was, at its old position (or at the end when
    // the list has become shorter), moving the later rows one place down; one transaction. False
    // when it failed (for example another task now holds the same text): nothing changes then.
    bool restore(const TaskRecord &task);
    // Swaps a row with its neighbour above or below, in one transaction.
    bool moveUp(int manualIndex, int id);
    bool moveDown(int manualIndex, int id);

    // Rows in the table; -1 when it cannot be counted.
    int rowCount();
    // Sets the settings file's row counter to the table's row count when they disagree (a run
    // that ended between a commit and the counter's write, a settings file lost or copied): the
    // table wins. False when the table could not be counted.
    bool repairCounter();

    QSqlQuery &query() { return m_query; }

private:
    void ensurePositionIndex();
    QList<TaskRecord> run(const QString &statement, bool *ok);
    bool swap(int manualIndex, int neighbour, int id);
    // The fields after the content, in the column order of star: start date to height.
    void bindDetails(const TaskRecord &task);

    QSqlDatabase m_db;
    QSqlQuery m_query;
};

#endif

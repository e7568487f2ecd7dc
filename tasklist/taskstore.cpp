#include "tasklist/taskstore.h"

#include "app/database.h"
#include "app/logging.h"
#include "app/settings.h"
#include "app/sql.h"
#include "search/searchindex.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QVariant>

const QString TaskStore::checkStarSql =
    QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name = 'star'");
const QString TaskStore::countKey = QStringLiteral("mainViewItemCount");
const QString TaskStore::manualOrder = QStringLiteral(" order by manualIndex");
const QString TaskStore::positionIndexSql =
    QStringLiteral("create index if not exists star_manualIndex on star(manualIndex)");

bool TaskQuery::manualOrder() const
{
    return order.isEmpty() || order == TaskStore::manualOrder;
}

QString TaskStore::selectStatement(const TaskQuery &query)
{
    return Database::selectAllSql + query.where +
           (query.order.isEmpty() ? manualOrder : query.order);
}

QString TaskStore::groupStatement(const QString &where, const QString &order)
{
    return QStringLiteral("select * from star ") + where + order;
}

TaskStore::TaskStore(const QSqlDatabase &db) : m_db(db), m_query(db) {}

bool TaskStore::ensureTable()
{
    m_query.prepare(checkStarSql);
    // A file that cannot be read (damaged, not a database) is a failure, never "the table is
    // there": the caller tells the person, and nothing is written into the file.
    if (!m_query.exec() || !m_query.next()) {
        logLine(QStringLiteral("star table check failed!"), m_query.lastError().text());
        return false;
    }
    if (m_query.value(0).toInt() != 0) {
        logLine(QStringLiteral("star table exists already!"));
        ensurePositionIndex();
        return true;
    }
    logLine(QStringLiteral("star table not exist!"));
    m_query.prepare(Database::createTableSql);
    if (!m_query.exec()) {
        logLine(QStringLiteral("star table create failed!"));
        logLine(m_query.lastError().text());
        return false;
    }
    logLine(QStringLiteral("star table create succeed!"));
    ensurePositionIndex();
    return true;
}

void TaskStore::ensurePositionIndex()
{
    // Every save, move and single-row read finds its row by position; without an index each
    // of them reads the whole table. The table itself is left as it is.
    QSqlQuery query(m_db);
    if (!query.exec(positionIndexSql))
        logLine(QStringLiteral("star index create failed!"), query.lastError().text());
}

QList<TaskRecord> TaskStore::select(const TaskQuery &query, bool *ok)
{
    return run(selectStatement(query), ok);
}

QList<TaskRecord> TaskStore::selectAt(int manualIndex)
{
    return run(QStringLiteral("select * from star where manualIndex = %1").arg(manualIndex),
               nullptr);
}

QList<TaskRecord> TaskStore::run(const QString &text, bool *ok)
{
    logLine(text);
    QList<TaskRecord> rows;
    m_query.prepare(text);
    const bool ran = m_query.exec();
    if (ok)
        *ok = ran;
    if (!ran) {
        logLine(QStringLiteral("select * query failed"), m_query.lastError().text());
        return rows;
    }
    while (m_query.next()) {
        TaskRecord task;
        task.id = m_query.value(0).toInt();
        task.manualIndex = m_query.value(1).toInt();
        task.content = m_query.value(2).toString();
        task.startDate = m_query.value(3).toString();
        task.stopDate = m_query.value(4).toString();
        task.importance = m_query.value(5).toString();
        task.emergency = m_query.value(6).toString();
        task.priority = m_query.value(7).toInt();
        task.progress = m_query.value(8).toInt();
        task.label = m_query.value(9).toString();
        task.height = m_query.value(10).toInt();
        rows.append(task);
    }
    return rows;
}

int TaskStore::listHeight(const TaskQuery &query)
{
    m_query.prepare(selectStatement(query));
    if (!m_query.exec()) {
        logLine(QStringLiteral("select * query failed"), m_query.lastError().text());
        return 0;
    }
    int total = 0;
    while (m_query.next())
        total += m_query.value(10).toInt() + 80;
    return total;
}

bool TaskStore::isGroupQuery(const QString &statement)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+star(\\s+(where|order\\s+by)\\s.*)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    if (!form.match(statement).hasMatch())
        return false;
    // One statement only: no semicolon outside a quoted text, and every quote closed.
    bool inText = false;
    for (const QChar ch : statement) {
        if (ch == QLatin1Char('\''))
            inText = !inText;
        else if (ch == QLatin1Char(';') && !inText)
            return false;
    }
    return !inText;
}

QList<TaskRecord> TaskStore::selectGroup(const QString &statement, bool *ok)
{
    if (!isGroupQuery(statement)) {
        logLine(statement);
        logLine(QStringLiteral("select * query failed"),
                QStringLiteral("not a select on star, not run"));
        if (ok)
            *ok = false;
        return {};
    }
    return run(statement, ok);
}

int TaskStore::nextFreeId()
{
    QSqlQuery query(m_db);
    if (query.exec(QStringLiteral("select max(id) from star")) && query.next() &&
        !query.value(0).isNull())
        return query.value(0).toInt() + 1;
    return 0;
}

int TaskStore::rowCount()
{
    QSqlQuery query(m_db);
    if (query.exec(QStringLiteral("select count(*) from star")) && query.next())
        return query.value(0).toInt();
    return -1;
}

bool TaskStore::repairCounter()
{
    const int rows = rowCount();
    if (rows < 0)
        return false;
    const int counter = Settings::read(countKey, -1).toInt();
    if (counter != rows) {
        logLine(QStringLiteral("mainViewItemCount %1 repaired to %2").arg(counter).arg(rows));
        Settings::write(countKey, rows);
    }
    return true;
}

bool TaskStore::insert(int id, int *at)
{
    // The counter is the position of the new row. Should it disagree with the table (the
    // settings file was lost or copied from elsewhere), the table wins, so that positions stay
    // dense and no two rows share one.
    int position = Settings::read(countKey, 0).toInt();
    const int rows = rowCount();
    if (rows >= 0 && position != rows)
        position = rows;

    m_query.prepare(Database::insertSql);
    m_query.addBindValue(id);
    m_query.addBindValue(position);
    for (int column = 2; column <= 6; ++column)
        m_query.addBindValue(QString(QLatin1String("")));
    m_query.addBindValue(0);
    m_query.addBindValue(0);
    m_query.addBindValue(QString(QLatin1String("")));
    m_query.addBindValue(100);
    logLine(QStringLiteral("Add now listNo = %1").arg(id));
    if (!m_query.exec()) {
        logLine(QStringLiteral("Add failed!"), m_query.lastError().text());
        return false;
    }
    logLine(QStringLiteral("Add succeed!"));
    Settings::write(countKey, position + 1);
    if (at)
        *at = position;
    return true;
}

void TaskStore::bindDetails(const TaskRecord &task)
{
    m_query.addBindValue(task.startDate);
    m_query.addBindValue(task.stopDate);
    m_query.addBindValue(task.importance);
    m_query.addBindValue(task.emergency);
    m_query.addBindValue(task.priority);
    m_query.addBindValue(task.progress);
    m_query.addBindValue(task.label);
    m_query.addBindValue(task.height);
}

bool TaskStore::save(const TaskRecord &task)
{
    const QString content = Database::escapeRichText(task.content);
    // Values are bound, so an apostrophe in a date or label is stored as typed and a "%1" in
    // any text stays what it is.
    m_query.prepare(QStringLiteral(
        "update star set content = ?, start_date = ?, stop_date = ?, importance = ?, "
        "emergency = ?, priority = ?, progress = ?, label = ?, height = ? where manualIndex = ?"));
    m_query.addBindValue(content);
    bindDetails(task);
    m_query.addBindValue(task.manualIndex);
    logLine(
        QStringLiteral("save manualIndex is %1 and text is %2").arg(task.manualIndex).arg(content));
    Sql::Transaction transaction(m_db);
    if (!m_query.exec()) {
        logLine(QStringLiteral("db update failed!"), m_query.lastError().text());
        return false;
    }
    SearchIndex(m_db).reindexTaskAt(task.manualIndex);
    if (!transaction.commit(QStringLiteral("db update failed!")))
        return false;
    logLine(QStringLiteral("db update succeed!"));
    return true;
}

bool TaskStore::saveLabel(int manualIndex, const QString &label)
{
    m_query.prepare(QStringLiteral("update star set label = ? where manualIndex = ?"));
    m_query.addBindValue(label);
    m_query.addBindValue(manualIndex);
    logLine(QStringLiteral("save manualIndex is %1 and text is %2").arg(manualIndex).arg(label));
    Sql::Transaction transaction(m_db);
    if (!m_query.exec()) {
        logLine(QStringLiteral("db update failed!"), m_query.lastError().text());
        return false;
    }
    SearchIndex(m_db).reindexTaskAt(manualIndex);
    if (!transaction.commit(QStringLiteral("db update failed!")))
        return false;
    logLine(QStringLiteral("db update succeed!"));
    return true;
}

bool TaskStore::saveAll(const QList<TaskRecord> &tasks)
{
    if (tasks.isEmpty())
        return true;
    Sql::Transaction transaction(m_db);
    for (const TaskRecord &task : tasks) {
        if (!save(task))
            return false; // rolled back: all the rows stay pending together
    }
    return transaction.commit(QStringLiteral("db update failed!"));
}

bool TaskStore::saveHeight(int manualIndex, int height)
{
    m_query.prepare(QStringLiteral("update star set height = %1 where manualIndex = %2")
                        .arg(height)
                        .arg(manualIndex));
    logLine(
        QStringLiteral("set manualIndex is %1 and new height is %2").arg(manualIndex).arg(height));
    if (!m_query.exec()) {
        logLine(QStringLiteral("db update height failed!"), m_query.lastError().text());
        return false;
    }
    logLine(QStringLiteral("db update height succeed!"));
    return true;
}

TaskStore::DeleteResult TaskStore::remove(int manualIndex)
{
    const QString statement = Database::deleteSql + QString::number(manualIndex);
    logLine(statement);
    Sql::Transaction transaction(m_db);
    m_query.prepare(statement);
    if (!m_query.exec()) {
        logLine(QStringLiteral("delete failed!"), m_query.lastError().text());
        return DeleteResult::DeleteFailed;
    }
    logLine(QStringLiteral("delete succeed!"));
    m_query.prepare(
        QStringLiteral("update star set manualIndex = manualIndex - 1 where manualIndex > %1 ")
            .arg(manualIndex));
    // A row removed without closing its gap would break the dense positions: a failure here
    // undoes both steps.
    if (!m_query.exec()) {
        logLine(QStringLiteral("update failed!"), m_query.lastError().text());
        return DeleteResult::RenumberFailed;
    }
    SearchIndex(m_db).dropMissingTasks();
    if (!transaction.commit(QStringLiteral("update failed!")))
        return DeleteResult::RenumberFailed;
    logLine(QStringLiteral("update succeed!"));
    Settings::write(countKey, Settings::read(countKey, 0).toInt() - 1);
    return DeleteResult::Deleted;
}

bool TaskStore::restore(const TaskRecord &task)
{
    const int rows = rowCount();
    if (rows < 0)
        return false;
    const int position = qBound(0, task.manualIndex, rows);
    Sql::Transaction transaction(m_db);
    m_query.prepare(
        QStringLiteral("update star set manualIndex = manualIndex + 1 where manualIndex >= %1")
            .arg(position));
    if (!m_query.exec()) {
        logLine(QStringLiteral("update failed!"), m_query.lastError().text());
        return false;
    }
    m_query.prepare(Database::insertSql);
    m_query.addBindValue(task.id);
    m_query.addBindValue(position);
    m_query.addBindValue(task.content);
    bindDetails(task);
    logLine(QStringLiteral("restore listNo = %1 at %2").arg(task.id).arg(position));
    if (!m_query.exec()) {
        logLine(QStringLiteral("restore failed!"), m_query.lastError().text());
        return false;
    }
    SearchIndex(m_db).reindexTask(task.id);
    if (!transaction.commit(QStringLiteral("restore failed!")))
        return false;
    logLine(QStringLiteral("restore succeed!"));
    Settings::write(countKey, rows + 1);
    return true;
}

bool TaskStore::moveUp(int manualIndex, int id)
{
    return swap(manualIndex, manualIndex - 1, id);
}

bool TaskStore::moveDown(int manualIndex, int id)
{
    return swap(manualIndex, manualIndex + 1, id);
}

bool TaskStore::swap(int manualIndex, int neighbour, int id)
{
    Sql::Transaction transaction(m_db);
    m_query.prepare(
        QStringLiteral("update star set manualIndex = %1 where manualIndex = %2 and id = %3")
            .arg(neighbour)
            .arg(manualIndex)
            .arg(id));
    if (!m_query.exec()) {
        logLine(QStringLiteral("update failed!"), m_query.lastError().text());
        return false;
    }
    logLine(QStringLiteral("update succeed!"));
    m_query.prepare(
        QStringLiteral("update star set manualIndex = %1 where manualIndex = %2 and id != %3")
            .arg(manualIndex)
            .arg(neighbour)
            .arg(id));
    // Half a swap would leave two rows on one position: a failure undoes the first step.
    if (!m_query.exec()) {
        logLine(QStringLiteral("update failed!"), m_query.lastError().text());
        return false;
    }
    if (!transaction.commit(QStringLiteral("update failed!")))
        return false;
    logLine(QStringLiteral("update succeed!"));
    return true;
}

#include "schedule/daystore.h"

#include "app/database.h"
#include "app/logging.h"
#include "app/sql.h"
#include "schedule/daytables.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace {
QString q(const QString &table)
{
    return Database::quoteIdentifier(table);
}

QString literal(const QString &text)
{
    return QLatin1Char('\'') + Database::escapeText(text) + QLatin1Char('\'');
}

using Sql::Transaction;
} // namespace

DayStore::DayStore(const QSqlDatabase &db) : m_db(db) {}

ScheduleRecord DayStore::recordFromRow(const QSqlQuery &query)
{
    ScheduleRecord record;
    record.manualIndex = query.value(ManualIndexColumn).toInt();
    record.time = query.value(TimeColumn).toString();
    record.plan = query.value(PlanColumn).toString();
    record.label = query.value(LabelColumn).toString();
    record.result = query.value(ResultColumn).toString();
    record.createDate = query.value(CreateDateColumn).toString();
    record.planHeight = query.value(PlanHeightColumn).toInt();
    record.resultHeight = query.value(ResultHeightColumn).toInt();
    record.isSchedule = query.value(IsScheduleColumn).toInt();
    return record;
}

QString DayStore::dayName(const QDate &date)
{
    return QStringLiteral("Day") + date.toString(QStringLiteral("yyyyMMdd"));
}

bool DayStore::run(const QString &statement, const QString &failureLog, const QString &successLog)
{
    return Sql::run(m_db, statement, failureLog, successLog);
}

bool DayStore::tablesOfDate(const QString &dayName, QStringList *dayTables, QStringList *registries)
{
    // One pass over the schema for both kinds: it lists every table of every day ever kept.
    const QString excelPrefix = QStringLiteral("Excel_") + dayName;
    const QString statement =
        QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND (name like '%1_%' "
                       "OR name like '%2_%')")
            .arg(Database::escapeText(dayName), Database::escapeText(excelPrefix));
    QSqlQuery query(m_db);
    if (!query.exec(statement)) {
        logLine(QStringLiteral("drawDateSchedule() select * from sqlite_master query failed!"));
        return false;
    }
    while (query.next()) {
        const QString name = query.value(0).toString();
        // LIKE ignores case and treats "_" as a wildcard; keep only this date's tables.
        if (name.startsWith(dayName) && name.size() > dayName.size()) {
            logLine(QStringLiteral("listXml.append: ") + name);
            dayTables->append(name);
        } else if (name.startsWith(excelPrefix) && name.size() > excelPrefix.size()) {
            registries->append(name);
        }
    }
    return true;
}

bool DayStore::tableExists(const QString &table, bool *ok)
{
    return Sql::tableExists(m_db, table, ok);
}

DayStore::TableState DayStore::tableState(const QString &dayTable)
{
    bool checked = false;
    const bool exists = Sql::tableExists(m_db, dayTable, &checked);
    if (!checked) {
        logLine(QStringLiteral("check_daily_table query is failed!"));
        return TableCreateFailure;
    }
    if (!exists) {
        logLine(QStringLiteral("daily table not exist!"));
        return Missing;
    }
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("select * from ") + q(dayTable) +
                    QStringLiteral(" order by manualIndex"))) {
        logLine(QStringLiteral("select_all_table query is failed!"));
        return ReadFailed;
    }
    while (query.next()) {
        if (!query.value(3).toString().isEmpty() || !query.value(5).toString().isEmpty())
            return HasContent;
    }
    return Empty;
}

bool DayStore::createTables(const QString &dayTable)
{
    Transaction transaction(m_db);
    if (!run(DayTables::dayTableSql.arg(q(dayTable)), QStringLiteral("daily table create failed"),
             dayTable + QStringLiteral(" daily table create succeed")))
        return false;
    const QString summary = summaryTable(dayTable);
    if (!run(DayTables::summaryTableSql.arg(q(summary)),
             QStringLiteral("summary table create failed"),
             summary + QStringLiteral(" summary table create succeed")))
        return false;
    const QString labels = labelTable(dayTable);
    if (!run(DayTables::labelTableSql.arg(q(labels)), QStringLiteral("label table create failed"),
             labels + QStringLiteral(" label table create succeed")))
        return false;
    return transaction.commit();
}

QList<ScheduleRecord> DayStore::records(const QString &dayTable, bool *ok)
{
    QList<ScheduleRecord> rows;
    QSqlQuery query(m_db);
    const bool ran = query.exec(QStringLiteral("select * from ") + q(dayTable) +
                                QStringLiteral(" order by manualIndex"));
    if (ok)
        *ok = ran;
    if (!ran) {
        logLine(QStringLiteral("select * query from daily table failed"), query.lastError().text());
        return rows;
    }
    while (query.next())
        rows.append(recordFromRow(query));
    return rows;
}

QStringList DayStore::times(const QString &dayTable, bool *ok)
{
    QStringList list;
    QSqlQuery query(m_db);
    const bool ran = query.exec(QStringLiteral("select * from ") + q(dayTable) +
                                QStringLiteral(" order by manualIndex"));
    if (ok)
        *ok = ran;
    if (!ran) {
        logLine(QStringLiteral("query all indexs failed!"), query.lastError().text());
        return list;
    }
    while (query.next())
        list.append(query.value(2).toString());
    return list;
}

QString DayStore::recordTime(const QString &dayTable, int index)
{
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("select * from %1 where manualIndex = %2")
                        .arg(q(dayTable), QString::number(index)))) {
        logLine(QStringLiteral("query one index failed!"), query.lastError().text());
        return QString();
    }
    return query.next() ? query.value(2).toString() : QString();
}

bool DayStore::updateRecord(const QString &dayTable, int manualIndex, const QString &time,
                            const QString &plan, const QString &result, int planHeight,
                            int resultHeight)
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("update ") + q(dayTable) +
                  QStringLiteral(" set time = ?, plan = ?, result = ?, planHeight = ?, "
                                 "resultHeight = ? where manualIndex = ?"));
    query.addBindValue(time);
    query.addBindValue(Database::escapeRichText(plan));
    query.addBindValue(Database::escapeRichText(result));
    query.addBindValue(planHeight);
    query.addBindValue(resultHeight);
    query.addBindValue(manualIndex);
    if (!query.exec()) {
        logLine(QStringLiteral("db update failed!"), query.lastError().text());
        return false;
    }
    logLine(QStringLiteral("db update succeed!"));
    return true;
}

bool DayStore::shift(const QString &dayTable, const QString &condition, int index, int delta,
                     const QString &failureLog)
{
    const QString statement =
        QStringLiteral("update %1 set manualIndex = manualIndex %2 where manualIndex %3 %4")
            .arg(q(dayTable), delta > 0 ? QStringLiteral("+ 1") : QStringLiteral("- 1"), condition,
                 QString::number(index));
    return run(statement, failureLog);
}

bool DayStore::addRecord(const QString &dayTable, int index, bool above, bool timed,
                         const QTime &start, const QTime &end)
{
    Transaction transaction(m_db);
    const int at = above ? index : index + 1;
    const QString shiftStatement =
        QStringLiteral("update %1 set manualIndex = manualIndex + 1 where manualIndex %2 %3")
            .arg(q(dayTable), above ? QStringLiteral(">=") : QStringLiteral(">"),
                 QString::number(index));
    logLine(QStringLiteral("update_table_index is ") + shiftStatement);
    if (!run(shiftStatement, QStringLiteral("update manualIndex+1 failed")))
        return false;
    const QString time = timed ? DayTables::timeSpan(start, end) : QString();
    // The four statements differ in their blanks only; they are kept as the log has shown them.
    const QString head = QStringLiteral("insert into %1(manualIndex, time, plan, label, result, "
                                        "createDate, planHeight, resultHeight, isSchedule) ");
    QString values;
    if (timed && !above)
        values = QStringLiteral("values(%2, %3, '',  '','','', 100, 100, 0)");
    else if (timed)
        values = QStringLiteral("values(%2, %3, '', '', '','', 100, 100, 0)");
    else if (!above)
        values = QStringLiteral("values(%2, '', '', '', '', '', 100, 100, 1)");
    else
        values = QStringLiteral("values(%2, '', '','','','', 100, 100, 1)");
    // One arg() call, so a "%" in the template name is never taken for a placeholder.
    const QString insert =
        timed ? (head + values).arg(q(dayTable), QString::number(at), literal(time))
              : (head + values).arg(q(dayTable), QString::number(at));
    logLine(QStringLiteral("insert_table_empty is ") + insert);
    if (!run(insert, QStringLiteral("insert an new empty record failed")))
        return false;
    return transaction.commit();
}

bool DayStore::deleteRecord(const QString &dayTable, int index)
{
    Transaction transaction(m_db);
    run(QStringLiteral("delete from %1 where manualIndex = %2")
            .arg(q(dayTable), QString::number(index)),
        QStringLiteral("delete one item failed!"), QStringLiteral("delete one item succeed!"));
    if (!shift(dayTable, QStringLiteral(">"), index, -1,
               QStringLiteral("update one item manualIndex failed!")))
        return false;
    logLine(QStringLiteral("update one item manualIndex succeed!"));
    return transaction.commit();
}

bool DayStore::mergeRecords(const QString &dayTable, int fromIndex, int withIndex, int placeIndex,
                            MergeKeep keep, const QTime &start, const QTime &end)
{
    auto read = [this, &dayTable](int index, const QString &failure, QSqlQuery *query) {
        if (!query->exec(QStringLiteral("select * from %1 where manualIndex = %2")
                             .arg(q(dayTable), QString::number(index))) ||
            !query->next()) {
            logLine(failure, query->lastError().text());
            return false;
        }
        return true;
    };
    QSqlQuery from(m_db);
    QSqlQuery with(m_db);
    if (!read(fromIndex, QStringLiteral("select from front index query failed!"), &from) ||
        !read(withIndex, QStringLiteral("select from behind index query failed!"), &with))
        return false;
    const QString time = DayTables::timeSpan(start, end);
    QString plan;
    QString result;
    switch (keep) {
    case KeepBoth:
        plan = from.value(3).toString() + with.value(3).toString();
        result = from.value(5).toString() + with.value(5).toString();
        break;
    case KeepFirst:
        plan = from.value(3).toString();
        result = from.value(5).toString();
        break;
    case KeepSecond:
        plan = with.value(3).toString();
        result = with.value(5).toString();
        break;
    default:
        logLine(QStringLiteral("option parameter is wrong!"));
        return false;
    }

    Transaction transaction(m_db);
    auto updateOne = [&](int index, const QString &failure) {
        QSqlQuery query(m_db);
        query.prepare(QStringLiteral("update ") + q(dayTable) +
                      QStringLiteral(" set time = ?, plan = ?, result = ? where manualIndex = ?"));
        query.addBindValue(time);
        query.addBindValue(plan);
        query.addBindValue(result);
        query.addBindValue(index);
        if (!query.exec()) {
            logLine(failure, query.lastError().text());
            return false;
        }
        return true;
    };
    auto deleteOne = [&](int index, const QString &failure) {
        return run(QStringLiteral("delete from %1 where manualIndex = %2")
                       .arg(q(dayTable), QString::number(index)),
                   failure);
    };

    if (placeIndex == fromIndex || placeIndex == withIndex) {
        const bool keepFrom = placeIndex == fromIndex;
        const int kept = keepFrom ? fromIndex : withIndex;
        const int gone = keepFrom ? withIndex : fromIndex;
        if (!updateOne(kept, keepFrom ? QStringLiteral("update indexFrom failed!")
                                      : QStringLiteral("update indexWith failed!")) ||
            !deleteOne(gone, keepFrom ? QStringLiteral("delete indexWith failed!")
                                      : QStringLiteral("delete indexFrom failed!")) ||
            !shift(dayTable, QStringLiteral(">"), gone, -1,
                   QStringLiteral("update indexs failed!")))
            return false;
        return transaction.commit();
    }

    // Elsewhere: both sources go, the merged record is put directly before the place record.
    // It keeps the label and heights of the record the merge was started from.
    int with2 = withIndex > fromIndex ? withIndex - 1 : withIndex;
    int place = placeIndex > fromIndex ? placeIndex - 1 : placeIndex;
    place = place > with2 ? place - 1 : place;
    if (!deleteOne(fromIndex, QStringLiteral("delete indexFrom failed!")) ||
        !shift(dayTable, QStringLiteral(">"), fromIndex, -1,
               QStringLiteral("update indexFrom failed!")) ||
        !deleteOne(with2, QStringLiteral("delete indexWith failed!")) ||
        !shift(dayTable, QStringLiteral(">"), with2, -1,
               QStringLiteral("update indexWith failed!")) ||
        !shift(dayTable, QStringLiteral(">="), place, +1,
               QStringLiteral("update placeIndex failed!")))
        return false;
    QSqlQuery insert(m_db);
    insert.prepare(QStringLiteral("insert into ") + q(dayTable) +
                   QStringLiteral("(manualIndex, time, plan, label, result, createDate, "
                                  "planHeight, resultHeight, isSchedule) "
                                  "values(?, ?, ?, ?, ?, ?, ?, ?, 0)"));
    insert.addBindValue(place);
    insert.addBindValue(time);
    insert.addBindValue(plan);
    insert.addBindValue(from.value(4).toString());
    insert.addBindValue(result);
    insert.addBindValue(from.value(6).toString());
    insert.addBindValue(from.value(7).toInt());
    insert.addBindValue(from.value(8).toInt());
    if (!insert.exec()) {
        logLine(QStringLiteral("insert placeIndex failed!"), insert.lastError().text());
        return false;
    }
    return transaction.commit();
}

bool DayStore::updateHeight(const QString &dayTable, int index, HeightOf kind, int newHeight)
{
    QString statement;
    if (kind == PlanHeight)
        statement = QStringLiteral("update %1 set planHeight = %2 where manualIndex = %3");
    else if (kind == ResultHeight)
        statement = QStringLiteral("update %1 set resultHeight = %2 where manualIndex = %3");
    else if (kind == SummaryTextHeight)
        statement = QStringLiteral("update %1 set height = %2 where id = %3");
    else
        return false;
    const QString table = kind == SummaryTextHeight ? summaryTable(dayTable) : dayTable;
    logLine(QStringLiteral("set manualIndex is %1 and new height is %2").arg(index).arg(newHeight));
    return run(statement.arg(q(table), QString::number(newHeight), QString::number(index)),
               QStringLiteral("db update height failed!"),
               QStringLiteral("db update height succeed!"));
}

QString DayStore::readLabel(const QString &dayTable, int index)
{
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("select label from %1 where manualIndex = %2")
                        .arg(q(dayTable), QString::number(index)))) {
        logLine(QStringLiteral("query label failed!"), query.lastError().text());
        return QString();
    }
    return query.next() ? query.value(0).toString() : QString();
}

bool DayStore::writeLabel(const QString &dayTable, int index, const QString &label)
{
    logLine(QStringLiteral("tableName is ") + dayTable +
            QStringLiteral("  manualIndex is %1").arg(index));
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("update ") + q(dayTable) +
                  QStringLiteral(" set label = ? where manualIndex = ?"));
    query.addBindValue(label);
    query.addBindValue(index);
    if (!query.exec()) {
        logLine(QStringLiteral("update label failed!"), query.lastError().text());
        return false;
    }
    logLine(QStringLiteral("update label succeed!"));
    return true;
}

bool DayStore::dropSchedule(const QString &dayTable)
{
    // The summary and label tables go with it, so the template can be used again that day.
    const QStringList tables = {dayTable, summaryTable(dayTable), labelTable(dayTable)};
    Transaction transaction(m_db);
    for (const QString &table : tables) {
        if (table != dayTable && !tableExists(table))
            continue;
        const QString statement = QStringLiteral("drop table ") + q(table);
        logLine(QStringLiteral("delete_table_template is ") + statement);
        if (!run(statement, QStringLiteral("deleteSomeDayCurrentTemplate() failed!")))
            return false;
    }
    return transaction.commit();
}

QVariantList DayStore::recordRow(const QString &dayTable, int index, bool *ok)
{
    QVariantList row;
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("select * from %1 where manualIndex = %2")
                        .arg(q(dayTable), QString::number(index)))) {
        logLine(QStringLiteral("read one item failed!"), query.lastError().text());
        if (ok)
            *ok = false;
        return row;
    }
    if (query.next()) {
        for (int i = 0; i < query.record().count(); ++i)
            row.append(query.value(i));
    }
    if (ok)
        *ok = true;
    return row;
}

bool DayStore::restoreRecord(const QString &dayTable, const QVariantList &row)
{
    if (row.size() <= ManualIndexColumn)
        return false;
    QSqlQuery count(m_db);
    if (!count.exec(QStringLiteral("select count(*) from ") + q(dayTable)) || !count.next()) {
        logLine(QStringLiteral("restore one item failed!"), count.lastError().text());
        return false;
    }
    const int index = qBound(0, row.at(ManualIndexColumn).toInt(), count.value(0).toInt());
    Transaction transaction(m_db);
    if (!shift(dayTable, QStringLiteral(">="), index, +1,
               QStringLiteral("update one item manualIndex failed!")))
        return false;
    QStringList marks;
    for (int i = 0; i < row.size(); ++i)
        marks.append(QStringLiteral("?"));
    QSqlQuery insert(m_db);
    insert.prepare(QStringLiteral("insert into %1 values(%2)")
                       .arg(q(dayTable), marks.join(QStringLiteral(", "))));
    for (int i = 0; i < row.size(); ++i)
        insert.bindValue(i, i == ManualIndexColumn ? QVariant(index) : row.at(i));
    if (!insert.exec()) {
        logLine(QStringLiteral("restore one item failed!"), insert.lastError().text());
        return false;
    }
    logLine(QStringLiteral("restore one item succeed!"));
    return transaction.commit();
}

bool DayStore::readSchedule(const QString &dayTable, QList<TableSnapshot> *tables)
{
    tables->clear();
    for (const QString &table : {dayTable, summaryTable(dayTable), labelTable(dayTable)}) {
        bool ok = false;
        tables->append(TableSnapshot::read(m_db, table, &ok));
        if (!ok)
            return false;
    }
    return true;
}

bool DayStore::restoreTables(const QList<TableSnapshot> &tables)
{
    Transaction transaction(m_db);
    for (const TableSnapshot &table : tables) {
        if (!table.write(m_db))
            return false;
    }
    return transaction.commit();
}

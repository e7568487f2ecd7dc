#include "app/tablesnapshot.h"

#include "app/database.h"
#include "app/logging.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

TableSnapshot TableSnapshot::read(QSqlDatabase db, const QString &name, bool *ok)
{
    if (ok)
        *ok = false;
    TableSnapshot snapshot;
    QSqlQuery query(db);
    query.prepare(
        QStringLiteral("select sql from sqlite_master where type = 'table' and name = ?"));
    query.addBindValue(name);
    if (!query.exec()) {
        logLine(QStringLiteral("read table ") + name + QStringLiteral(" failed!"),
                query.lastError().text());
        return snapshot;
    }
    if (!query.next()) {
        if (ok)
            *ok = true;
        return snapshot;
    }
    const QString createSql = query.value(0).toString();
    if (!query.exec(QStringLiteral("select rowid, * from ") + Database::quoteIdentifier(name) +
                    QStringLiteral(" order by rowid"))) {
        logLine(QStringLiteral("read table ") + name + QStringLiteral(" failed!"),
                query.lastError().text());
        return snapshot;
    }
    const QSqlRecord record = query.record();
    for (int i = 1; i < record.count(); ++i)
        snapshot.columns.append(record.fieldName(i));
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < record.count(); ++i)
            row.append(query.value(i));
        snapshot.rows.append(row);
    }
    snapshot.name = name;
    snapshot.createSql = createSql;
    if (ok)
        *ok = true;
    return snapshot;
}

bool TableSnapshot::write(QSqlDatabase db) const
{
    if (isEmpty())
        return true;
    QSqlQuery query(db);
    if (!query.exec(createSql)) {
        logLine(QStringLiteral("restore table ") + name + QStringLiteral(" failed!"),
                query.lastError().text());
        return false;
    }
    QStringList names{QStringLiteral("rowid")};
    for (const QString &column : columns)
        names.append(Database::quoteIdentifier(column));
    QStringList marks;
    for (int i = 0; i < names.size(); ++i)
        marks.append(QStringLiteral("?"));
    query.prepare(QStringLiteral("insert into %1(%2) values(%3)")
                      .arg(Database::quoteIdentifier(name), names.join(QStringLiteral(", ")),
                           marks.join(QStringLiteral(", "))));
    for (const QVariantList &row : rows) {
        for (int i = 0; i < row.size(); ++i)
            query.bindValue(i, row.at(i));
        if (!query.exec()) {
            logLine(QStringLiteral("restore rows of ") + name + QStringLiteral(" failed!"),
                    query.lastError().text());
            return false;
        }
    }
    return true;
}

#ifndef ORVANE_TESTS_UNDO_SNAPSHOTS_H
#define ORVANE_TESTS_UNDO_SNAPSHOTS_H

#include "app/settings.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

// Everything in the database as text, table by table: each table's columns, then its rows
// sorted, every value with its type, so 1 and '1' differ. Two states compare equal when every
// table holds the same rows. (A total rebuilt by a save may be created with column types where
// the first close made it without; its rows are the same, so the declared types are left out.)
inline QStringList databaseDump(QSqlDatabase db)
{
    QStringList out;
    QSqlQuery tables(db);
    if (!tables.exec("select name from sqlite_master where type = 'table' order by name"))
        return {"<failed>"};
    while (tables.next()) {
        const QString name = tables.value(0).toString();
        // The search index numbers its rows and keeps its segments as it likes; that it agrees
        // with the data after a delete is taken back is tst_searchindex's to prove.
        if (name.startsWith(QLatin1String("search_")))
            continue;
        QSqlQuery rows(db);
        if (!rows.exec("select * from \"" + name + "\"")) {
            out.append("<failed> " + name);
            continue;
        }
        QStringList columns;
        for (int i = 0; i < rows.record().count(); ++i)
            columns.append(rows.record().fieldName(i));
        out.append("table " + name + "(" + columns.join(',') + ")");
        QStringList lines;
        while (rows.next()) {
            QStringList values;
            for (int i = 0; i < rows.record().count(); ++i) {
                const QVariant value = rows.value(i);
                values.append(value.isNull() ? QStringLiteral("NULL")
                                             : QString(value.typeName()) + ":" + value.toString());
            }
            lines.append("  " + values.join('|'));
        }
        lines.sort();
        out.append(lines);
    }
    return out;
}

// Every key of the settings file with its value, sorted.
inline QStringList settingsDump()
{
    Settings settings;
    QStringList out;
    const QStringList keys = settings.allKeys();
    for (const QString &key : keys)
        out.append(key + "=" + settings.value(key).toString());
    out.sort();
    return out;
}

#endif

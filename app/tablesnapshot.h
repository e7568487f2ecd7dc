#ifndef ORVANE_APP_TABLESNAPSHOT_H
#define ORVANE_APP_TABLESNAPSHOT_H

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

// A whole table kept in memory: its create statement exactly as it was made, its columns and
// every row with its rowid, so that writing it back gives the same table, row for row. Used to
// take back the drop of a table.
struct TableSnapshot {
    QString name;
    QString createSql; // as sqlite_master holds it
    QStringList columns;
    QList<QVariantList> rows; // rowid first, then the columns in order

    bool isEmpty() const { return createSql.isEmpty(); }

    // Reads the table; an empty snapshot when it does not exist. *ok is false when it exists
    // but could not be read (logged).
    static TableSnapshot read(QSqlDatabase db, const QString &name, bool *ok = nullptr);
    // Creates the table again and inserts every row. The caller holds the transaction; a table
    // of that name that exists already is a failure (logged).
    bool write(QSqlDatabase db) const;
};

#endif

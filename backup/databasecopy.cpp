#include "backup/databasecopy.h"

#include "history/historystore.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

namespace {
// Runs work on a fresh connection to file; the connection is gone when it returns.
template <typename Work> bool withConnection(const QString &file, QString *error, Work work)
{
    static QAtomicInt serial;
    const QString name = QStringLiteral("orvane_backup_%1").arg(serial.fetchAndAddRelaxed(1));
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        if (!db.open()) {
            if (error)
                *error = db.lastError().text();
        } else {
            ok = work(db);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}
} // namespace

bool DatabaseCopy::copy(const QString &source, const QString &target, QString *error)
{
    // Opening a missing file would create an empty database and back that up.
    if (!QFileInfo(source).isFile()) {
        *error = QStringLiteral("no database file ") + source;
        return false;
    }
    sqlite3 *from = nullptr;
    sqlite3 *to = nullptr;
    bool ok = false;
    if (sqlite3_open_v2(source.toUtf8().constData(), &from, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(from));
    } else if (sqlite3_open_v2(target.toUtf8().constData(), &to,
                               SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(to));
    } else {
        sqlite3_busy_timeout(from, 10000);
        // All pages in one step: the read lock is held throughout, so the copy is one
        // committed state of the file.
        sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
        if (!backup) {
            *error = QString::fromUtf8(sqlite3_errmsg(to));
        } else {
            const int stepped = sqlite3_backup_step(backup, -1);
            sqlite3_backup_finish(backup);
            ok = stepped == SQLITE_DONE && sqlite3_errcode(to) == SQLITE_OK;
            if (!ok)
                *error = QStringLiteral("backup step failed: %1 %2")
                             .arg(stepped)
                             .arg(QString::fromUtf8(sqlite3_errmsg(to)));
        }
    }
    sqlite3_close(from);
    sqlite3_close(to);
    return ok;
}

bool DatabaseCopy::integrityOk(const QString &file, QString *error)
{
    if (!QFileInfo(file).isFile()) {
        *error = QStringLiteral("no database file ") + file;
        return false;
    }
    return withConnection(file, error, [&](QSqlDatabase &db) {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("PRAGMA integrity_check"))) {
            *error = query.lastError().text();
            return false;
        }
        QStringList answers;
        while (query.next())
            answers.append(query.value(0).toString());
        if (answers == QStringList{QStringLiteral("ok")})
            return true;
        *error = answers.join(QLatin1Char('\n'));
        return false;
    });
}

bool DatabaseCopy::counts(const QString &file, int *tasks, int *dayTables)
{
    *tasks = 0;
    *dayTables = 0;
    return withConnection(file, nullptr, [&](QSqlDatabase &db) {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("select name from sqlite_master where type='table'")))
            return false;
        bool hasStar = false;
        while (query.next()) {
            const QString name = query.value(0).toString();
            hasStar = hasStar || name == QLatin1String("star");
            if (HistoryStore::isDayTable(name))
                ++*dayTables;
        }
        if (hasStar && query.exec(QStringLiteral("select count(*) from star")) && query.next())
            *tasks = query.value(0).toInt();
        return true;
    });
}

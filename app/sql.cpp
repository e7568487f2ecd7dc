#include "app/sql.h"

#include "app/logging.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <sqlite3.h>

namespace Sql {
namespace {
sqlite3 *handleOf(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

enum class Lookup { Exists, Missing, Unknown };

// SQLite keeps the schema in memory, hashed by name: asking it costs the same however many
// tables the file holds, where a look through sqlite_master reads every one of them. The hash
// ignores case, so a table found is confirmed by its exact stored name. Unknown when SQLite
// could not answer; the caller then asks sqlite_master.
Lookup lookUpTable(sqlite3 *handle, const QString &name)
{
    // SQLite's own tables are not in sqlite_master; a NUL would cut the name short.
    if (name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive) || name.contains(QChar(0)))
        return Lookup::Unknown;
    const QByteArray utf8 = name.toUtf8();
    // Finds tables only: a view of that name is no table here either.
    if (sqlite3_table_column_metadata(handle, "main", utf8.constData(), nullptr, nullptr, nullptr,
                                      nullptr, nullptr, nullptr) != SQLITE_OK) {
        return qstrncmp(sqlite3_errmsg(handle), "no such table", 13) == 0 ? Lookup::Missing
                                                                          : Lookup::Unknown;
    }
    const QByteArray statement =
        "select * from main.\"" + QByteArray(utf8).replace('"', "\"\"") + '"';
    sqlite3_stmt *select = nullptr;
    if (sqlite3_prepare_v2(handle, statement.constData(), statement.size(), &select, nullptr) !=
            SQLITE_OK ||
        !select) {
        sqlite3_finalize(select);
        return Lookup::Unknown;
    }
    const char *stored = sqlite3_column_table_name(select, 0);
    const Lookup found = !stored                             ? Lookup::Unknown
                         : QString::fromUtf8(stored) == name ? Lookup::Exists
                                                             : Lookup::Missing;
    sqlite3_finalize(select);
    return found;
}
} // namespace

Transaction::Transaction(QSqlDatabase db) : m_db(db), m_open(m_db.transaction()) {}

Transaction::~Transaction()
{
    rollback();
}

bool Transaction::commit(const QString &failureLog)
{
    if (!m_open)
        return true;
    m_open = false;
    if (m_db.commit())
        return true;
    logLine(failureLog, m_db.lastError().text());
    m_db.rollback();
    return false;
}

void Transaction::rollback()
{
    if (!m_open)
        return;
    m_open = false;
    m_db.rollback();
}

bool run(QSqlDatabase db, const QString &statement, const QString &failureLog,
         const QString &successLog, QString *error)
{
    QSqlQuery query(db);
    if (!query.exec(statement)) {
        const QString text = query.lastError().text();
        if (!failureLog.isEmpty())
            logLine(failureLog, text);
        if (error)
            *error = text;
        return false;
    }
    if (!successLog.isEmpty())
        logLine(successLog);
    return true;
}

bool tableExists(QSqlDatabase db, const QString &name, bool *ok)
{
    if (sqlite3 *handle = db.isOpen() ? handleOf(db) : nullptr) {
        const Lookup found = lookUpTable(handle, name);
        if (found != Lookup::Unknown) {
            if (ok)
                *ok = true;
            return found == Lookup::Exists;
        }
    }
    QSqlQuery query(db);
    query.prepare(
        QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name = ?"));
    query.addBindValue(name);
    const bool ran = query.exec();
    if (ok)
        *ok = ran;
    return ran && query.next() && query.value(0).toInt() > 0;
}

QString likeLiteral(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char(likeEscapeChar) || c == QLatin1Char('%') || c == QLatin1Char('_'))
            out += QLatin1Char(likeEscapeChar);
        out += c;
    }
    return out;
}

} // namespace Sql

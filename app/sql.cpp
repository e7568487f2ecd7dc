#include "app/sql.h"

#include "app/logging.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace Sql {

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

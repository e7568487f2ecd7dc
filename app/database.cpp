#include "app/database.h"

#include "app/htmltext.h"
#include "app/logging.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

#include <sqlite3.h>

const QString Database::connectionName = QStringLiteral("my_sql_connection");
const QString Database::fileName = QStringLiteral("KDdatabase.db");
const QString Database::userName = QStringLiteral("Kinto482");
const QString Database::password = QStringLiteral("Fernlake739");

const QString Database::createTableSql =
    QStringLiteral("create table star(id INT PRIMARY KEY, manualIndex int, content TEXT  UNIQUE, "
                   "start_date TEXT, stop_date TEXT, importance TEXT, emergency TEXT, priority "
                   "INT, progress INT, label TEXT, height INT)");
const QString Database::insertSql =
    QStringLiteral("insert into star values(?,?,?,?,?,?,?,?,?,?,?)");
const QString Database::selectAllSql = QStringLiteral("select * from star");
const QString Database::deleteSql = QStringLiteral("delete from star where manualIndex =");

namespace {
void plainTextFunction(sqlite3_context *context, int, sqlite3_value **values)
{
    if (sqlite3_value_type(values[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(values[0]));
    const QByteArray plain =
        HtmlText::plain(QString::fromUtf8(text, sqlite3_value_bytes(values[0]))).toUtf8();
    sqlite3_result_text(context, plain.constData(), plain.size(), SQLITE_TRANSIENT);
}

// Statements on task texts match what a person sees, not the stored markup.
void registerFunctions(const QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return;
    sqlite3 *connection = *static_cast<sqlite3 *const *>(handle.constData());
    if (!connection)
        return;
    sqlite3_create_function_v2(connection, Database::plainTextFunction, 1,
                               SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, plainTextFunction,
                               nullptr, nullptr, nullptr);
}
} // namespace

const char Database::plainTextFunction[] = "plain_text";

bool Database::connect(QSqlDatabase *db)
{
    if (QSqlDatabase::contains(connectionName)) {
        *db = QSqlDatabase::database(connectionName, false);
    } else {
        *db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db->setDatabaseName(fileName);
        db->setUserName(userName);
        db->setPassword(password);
    }
    if (!db->isOpen()) {
        if (!db->open(userName, password)) {
            logLine(QStringLiteral("Error:failed to open database!"), db->lastError().text());
            return false;
        }
        registerFunctions(*db);
    }
    logLine(QStringLiteral("Succeed to connect database!"));
    return true;
}

void Database::close()
{
    if (QSqlDatabase::contains(connectionName))
        QSqlDatabase::database(connectionName, false).close();
}

QString Database::quoteIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString Database::escapeRichText(const QString &html)
{
    QString escaped = html;
    escaped.replace(QLatin1Char('\''), QStringLiteral("&#39;"));
    return escaped;
}

QString Database::escapeText(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\''), QStringLiteral("''"));
    // SQLite ends a statement's text at a NUL: the character is spliced in as char(0), so
    // 'a<NUL>b' becomes 'a' || char(0) || 'b'.
    escaped.replace(QChar(0), QStringLiteral("' || char(0) || '"));
    return escaped;
}

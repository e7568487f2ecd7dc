#include "app/database.h"

#include "app/logging.h"

#include <QSqlError>

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
    if (!db->isOpen() && !db->open(userName, password)) {
        logLine(QStringLiteral("Error:failed to open database!"), db->lastError().text());
        return false;
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
    return escaped;
}

#ifndef ORVANE_APP_DATABASE_H
#define ORVANE_APP_DATABASE_H

#include <QSqlDatabase>
#include <QString>

// The one SQLite connection of the process and the statement texts shared by the task list.
class Database {
public:
    static const QString connectionName; // "my_sql_connection"
    static const QString fileName;       // "KDdatabase.db", relative to the working directory
    static const QString userName;
    static const QString password;

    static const QString createTableSql;
    static const QString insertSql;
    static const QString selectAllSql;
    static const QString deleteSql;

    // "plain_text(html)": an SQL function on the connection that gives the text a person sees
    // in a stored rich text (HtmlText::plain).
    static const char plainTextFunction[];

    // Finds the named connection (opening it when needed) or adds it, then opens it.
    // Logs "Succeed to connect database!" or "Error:failed to open database!" with the error.
    // Returns false when the file cannot be opened; db is the handle either way.
    static bool connect(QSqlDatabase *db);

    // Closes the connection at shutdown; the handle may still be held by windows.
    static void close();

    // Quotes an SQL identifier (a table name built from user text).
    static QString quoteIdentifier(const QString &name);
    // Doubles apostrophes (and splices in NUL characters as char(0)) so a text can stand
    // between apostrophes in a statement.
    static QString escapeText(const QString &text);
    // Rich text (task contents, plans, results, summaries) is stored with every apostrophe as
    // "&#39;"; databases written so far rely on that form.
    static QString escapeRichText(const QString &html);
};

#endif

#ifndef ORVANE_APP_SQL_H
#define ORVANE_APP_SQL_H

#include <QSqlDatabase>
#include <QString>

// The few ways the stores talk to SQLite, kept in one place.
namespace Sql {

// One user action as one transaction. Rolls back when it goes out of scope without a
// successful commit(). Inside a transaction already open on the connection (a store called by
// a larger action) it does nothing and commit() leaves the decision to the outer one.
class Transaction {
public:
    explicit Transaction(QSqlDatabase db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    // False when the commit failed (logged as failureLog with the error); the changes are then
    // rolled back.
    bool commit(const QString &failureLog = QStringLiteral("commit failed!"));
    // Gives up now, without waiting for the end of the scope.
    void rollback();
    bool isOpen() const { return m_open; }

private:
    QSqlDatabase m_db;
    bool m_open;
};

// Runs one statement. A failure is logged as failureLog followed by the database's error text
// (and the error returned through *error); a success logs successLog when one is given.
bool run(QSqlDatabase db, const QString &statement, const QString &failureLog,
         const QString &successLog = QString(), QString *error = nullptr);

// Whether a table of that exact name exists. *ok is false when the lookup itself failed; the
// caller logs that in its own words.
bool tableExists(QSqlDatabase db, const QString &name, bool *ok = nullptr);

// The escape character of likePattern(); use it as "... like '<pattern>' escape '\'".
inline constexpr char likeEscapeChar = '\\';
// A text to stand for itself inside a LIKE pattern: "%", "_" and the escape character are
// escaped. The result still needs its apostrophes doubled (or binding) like any value.
QString likeLiteral(const QString &text);

} // namespace Sql

#endif

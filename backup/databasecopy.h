#ifndef ORVANE_BACKUP_DATABASECOPY_H
#define ORVANE_BACKUP_DATABASECOPY_H

#include <QString>

// SQLite's side of a backup, each on a connection of its own that is closed afterwards, so the
// program's connection and its queries are never disturbed.
class DatabaseCopy {
public:
    // A consistent copy of the committed state of source into target (a new file), through
    // SQLite's online backup API: the pages are copied as they are, where "VACUUM INTO" would
    // rebuild every table and index of years of days.
    static bool copy(const QString &source, const QString &target, QString *error);
    // "PRAGMA integrity_check" answers "ok" (a file that is no database fails too).
    static bool integrityOk(const QString &file, QString *error);
    // The number of tasks and of day tables in a database file; false when it cannot be read.
    static bool counts(const QString &file, int *tasks, int *dayTables);
};

#endif

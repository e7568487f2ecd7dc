#ifndef ORVANE_BACKUP_DATABASECOPY_H
#define ORVANE_BACKUP_DATABASECOPY_H

#include <QString>

// SQLite's side of a backup, each on a connection of its own that is removed afterwards, so the
// program's connection and its queries are never disturbed.
class DatabaseCopy {
public:
    // A consistent copy of the committed state of source into target (which must not exist),
    // through "VACUUM INTO".
    static bool vacuumInto(const QString &source, const QString &target, QString *error);
    // "PRAGMA integrity_check" answers "ok" (a file that is no database fails too).
    static bool integrityOk(const QString &file, QString *error);
    // The number of tasks and of day tables in a database file; false when it cannot be read.
    static bool counts(const QString &file, int *tasks, int *dayTables);
};

#endif

#ifndef ORVANE_BACKUP_BACKUPRESTORE_H
#define ORVANE_BACKUP_BACKUPRESTORE_H

#include "backup/backuparchive.h"

#include <QString>

// Puts the data of a backup archive back in place of the current data.
//
// The archive is verified in full before anything changes. The current data are then backed up
// to another archive, the program's database connection is closed, and every file is replaced
// on its own by a rename, so each file is either the old or the new one. The three folders end
// up holding exactly the archive's files. The connection is opened again at the end; the
// windows must read everything anew.
class BackupRestore {
public:
    struct Outcome {
        bool restored = false;
        bool changed = false;  // some file was replaced (also on a failure part way)
        QString message;       // what to tell the person
        QString safetyArchive; // the backup of the data before the restore, when one was made
        QString logError;      // already written to the log
        BackupManifest manifest;
    };

    static Outcome restore(const QString &archivePath, const BackupArchive::Sources &targets,
                           const QString &safetyArchive,
                           const BackupArchive::Progress &progress = BackupArchive::Progress());
};

#endif

#ifndef ORVANE_BACKUP_BACKUPARCHIVE_H
#define ORVANE_BACKUP_BACKUPARCHIVE_H

#include "backup/backupmanifest.h"

#include <QString>
#include <QStringList>
#include <functional>

// One zip archive with everything a person keeps in the program: a consistent copy of the
// database, the settings file, the templates, the attachments and the per-date workbooks, plus
// the manifest.
//
// Members: "manifest.json", "KDdatabase.db", "settings.ini", "MyTemplates/...",
// "MyAttachments/..." and "ExcelDB/...". Nothing else is ever written, and a restore accepts
// nothing else.
class BackupArchive {
public:
    // Where the data live (or, for a restore, where they go).
    struct Sources {
        QString databaseFile;
        QString settingsFile;
        QString templatesDir;
        QString attachmentsDir;
        QString excelDbDir;

        // The program's own files as this start laid them out.
        static Sources current();
    };

    static const QString databaseMember; // "KDdatabase.db"
    static const QString settingsMember; // "settings.ini"
    // The member folders and the source folder each stands for.
    static QList<QPair<QString, QString>> folders(const Sources &sources);

    // Called with the members done and the members in all, for a progress bar.
    using Progress = std::function<void(int done, int total)>;

    // Writes the archive to a temporary file beside archivePath and renames it into place when
    // it is complete; on failure no file is left and *error says why (for the log). The
    // database is copied through SQLite's online backup API, so it holds the last committed state
    // even while the program has it open. A missing database file is a failure; missing folders or
    // settings are simply left out.
    static bool create(const Sources &sources, const QString &archivePath, QString *error,
                       const Progress &progress = Progress(), BackupManifest *written = nullptr);

    // The outcome of checking an archive. problem is a sentence for the person.
    struct Verified {
        bool ok = false;
        QString problem;
        BackupManifest manifest;
        QString extractDir;      // every member, as extracted
        QStringList folderFiles; // member paths under the three folders
        bool hasSettings = false;
    };
    // Extracts the archive into extractDir (an empty folder) and checks it: a readable
    // manifest of this program, every member listed there with its size and checksum and
    // nothing unlisted, no member outside the known places (no "..", absolute path, drive
    // letter or link), and a database that passes SQLite's integrity check.
    static Verified verify(const QString &archivePath, const QString &extractDir,
                           const Progress &progress = Progress());

    // Whether a member name is one a backup may hold; exposed for the tests of hostile names.
    static bool acceptableMemberName(const QString &name);
};

#endif

#ifndef ORVANE_BACKUP_DAILYBACKUPS_H
#define ORVANE_BACKUP_DAILYBACKUPS_H

#include "backup/backuparchive.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// The automatic backup made at the first start of each calendar day into the folder "backups"
// beside the database, named "orvane-yyyyMMdd.zip". Of these archives the newest 7 are kept
// (the daily ones) and, of the older ones, the newest of each of the 4 newest weeks (Monday to
// Sunday) that have one (the weekly ones); the rest are removed. Other files in the folder,
// such as the archives made before a restore, are left alone.
class DailyBackups {
public:
    static constexpr int dailyKept = 7;
    static constexpr int weeklyKept = 4;

    static QString folder(); // <working directory>/backups
    static QString archiveName(const QDate &date);
    // The date of an automatic archive's file name; invalid for any other name.
    static QDate dateOf(const QString &fileName);
    // The dates whose archives stay, newest first.
    static QList<QDate> toKeep(QList<QDate> dates);
    // "before-restore-yyyyMMdd-hhmmss.zip" in the folder: where a restore puts the data it
    // replaces.
    static QString safetyArchivePath(const QString &folder, const QDateTime &when);

    enum class Result { Made, AlreadyMade, NoDatabase, Failed };
    struct Outcome {
        Result result = Result::Failed;
        QString archive;
        QStringList removed;
        QString error;
    };
    // Makes today's archive unless it exists, then applies the retention rule.
    static Outcome atStartup(const BackupArchive::Sources &sources, const QString &folder,
                             const QDate &today);
};

#endif

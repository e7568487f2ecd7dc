#ifndef ORVANE_BACKUP_BACKUPMANIFEST_H
#define ORVANE_BACKUP_BACKUPMANIFEST_H

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The small JSON file at the root of every backup archive: which program wrote it and when, what
// it holds, and the size and SHA-256 checksum of every other member, so a restore can tell a
// complete archive from a damaged or foreign one before touching anything.
struct BackupManifest {
    static const QString memberName; // "manifest.json"
    static const QString formatName; // "orvane-backup"
    static constexpr int formatVersion = 1;

    struct Member {
        QString path; // inside the archive, "/"-separated
        qint64 size = 0;
        QByteArray sha256; // lower-case hex
    };

    QString programVersion;
    QDateTime created;
    int tasks = 0;
    int dayTables = 0;
    int files = 0; // members besides the manifest
    QList<Member> members;

    QByteArray toJson() const;
    // False (with a reason for the log) for anything but a manifest this program can read.
    static bool fromJson(const QByteArray &json, BackupManifest *manifest, QString *problem);

    const Member *member(const QString &path) const;
};

#endif

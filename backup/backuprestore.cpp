#include "backup/backuprestore.h"

#include "app/database.h"
#include "app/logging.h"
#include "backup/backupfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QTemporaryDir>

namespace {
QString native(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// Makes dir hold exactly the member files under prefix: each is copied in by a rename, then
// files the archive does not hold are removed.
bool mirrorFolder(const QString &extractDir, const QString &prefix, const QString &dir,
                  const QStringList &members, QString *error)
{
    QSet<QString> kept;
    for (const QString &member : members) {
        if (!member.startsWith(prefix + QLatin1Char('/')))
            continue;
        const QString relative = member.mid(prefix.size() + 1);
        const QString target = QDir(dir).filePath(relative);
        if (!BackupFiles::copyInto(QDir(extractDir).filePath(member), target, error))
            return false;
        kept.insert(QFileInfo(target).absoluteFilePath());
    }
    if (!QFileInfo(dir).isDir())
        return true;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    QStringList extra;
    while (it.hasNext()) {
        const QString file = QFileInfo(it.next()).absoluteFilePath();
        if (!kept.contains(file))
            extra.append(file);
    }
    for (const QString &file : qAsConst(extra)) {
        if (!QFile::remove(file)) {
            *error = QStringLiteral("cannot remove ") + file;
            return false;
        }
    }
    return true;
}
} // namespace

BackupRestore::Outcome BackupRestore::restore(const QString &archivePath,
                                              const BackupArchive::Sources &targets,
                                              const QString &safetyArchive,
                                              const BackupArchive::Progress &progress)
{
    Outcome outcome;
    const QString dataDir = QFileInfo(targets.databaseFile).absolutePath();
    QDir().mkpath(dataDir);
    QTemporaryDir staging(dataDir + QStringLiteral("/.orvane-restore-XXXXXX"));
    if (!staging.isValid()) {
        outcome.message = QStringLiteral("无法在数据文件夹中准备恢复：") + native(dataDir);
        outcome.logError = QStringLiteral("cannot make a staging folder in ") + dataDir;
        logLine(outcome.logError);
        return outcome;
    }
    const BackupArchive::Verified verified =
        BackupArchive::verify(archivePath, staging.path(), progress);
    if (!verified.ok) {
        outcome.message = verified.problem;
        outcome.logError = QStringLiteral("backup verification failed: ") + archivePath;
        logLine(outcome.logError);
        return outcome;
    }
    outcome.manifest = verified.manifest;

    // The data of now go into an archive first, so a restore can itself be undone.
    if (QFileInfo(targets.databaseFile).isFile()) {
        QString error;
        if (!BackupArchive::create(targets, safetyArchive, &error)) {
            outcome.message = QStringLiteral("无法先备份当前的数据，没有恢复任何内容。");
            outcome.logError = QStringLiteral("backup before restore failed: ") + error;
            logLine(outcome.logError);
            return outcome;
        }
        outcome.safetyArchive = safetyArchive;
    }

    // The program's connection must let go of the old file before it is replaced: an open
    // handle would go on reading the old data.
    const bool wasOpen = QSqlDatabase::contains(Database::connectionName) &&
                         QSqlDatabase::database(Database::connectionName, false).isOpen();
    Database::close();
    QString error;
    bool ok = true;
    // A journal left beside the old file would be played into the new one.
    for (const char *suffix : {"-journal", "-wal", "-shm"}) {
        const QString side = targets.databaseFile + QLatin1String(suffix);
        if (QFileInfo::exists(side) && !QFile::remove(side)) {
            ok = false;
            error = QStringLiteral("cannot remove ") + side;
        }
    }
    if (ok) {
        ok = BackupFiles::copyInto(QDir(staging.path()).filePath(BackupArchive::databaseMember),
                                   targets.databaseFile, &error);
        outcome.changed = ok;
    }
    if (ok && verified.hasSettings) {
        ok = BackupFiles::copyInto(QDir(staging.path()).filePath(BackupArchive::settingsMember),
                                   targets.settingsFile, &error);
    }
    const auto places = BackupArchive::folders(targets);
    for (const auto &place : places) {
        if (!ok)
            break;
        ok = mirrorFolder(staging.path(), place.first, place.second, verified.folderFiles, &error);
    }
    if (wasOpen) {
        QSqlDatabase db;
        Database::connect(&db);
    }

    if (!ok) {
        outcome.logError = QStringLiteral("restore failed: ") + error;
        logLine(outcome.logError);
        if (!outcome.changed)
            outcome.message = QStringLiteral("无法替换数据文件，没有恢复任何内容。");
        else if (outcome.safetyArchive.isEmpty())
            outcome.message = QStringLiteral("恢复没有全部完成，部分文件仍是恢复前的。");
        else
            outcome.message =
                QStringLiteral("恢复没有全部完成，部分文件仍是恢复前的。恢复前的数据已备份到：") +
                native(outcome.safetyArchive);
        return outcome;
    }
    outcome.restored = true;
    outcome.message = QStringLiteral("已从备份恢复：%1").arg(native(archivePath));
    if (!outcome.safetyArchive.isEmpty())
        outcome.message +=
            QStringLiteral("\n恢复前的数据已备份到：") + native(outcome.safetyArchive);
    logLine(QStringLiteral("restore succeed! ") + archivePath);
    return outcome;
}

#ifndef ORVANE_BACKUP_BACKUPFILES_H
#define ORVANE_BACKUP_BACKUPFILES_H

#include <QByteArray>
#include <QString>

// File steps shared by backups, restores and exports: a file replaces another in one rename,
// so a reader sees either the old or the new one, never a half-written one.
namespace BackupFiles {

// Renames from onto to, replacing to when it exists.
bool replaceFile(const QString &from, const QString &to, QString *error);
// Copies source to a temporary file in target's folder (made when missing) and renames it onto
// target.
bool copyInto(const QString &source, const QString &target, QString *error);
// Writes data to a temporary file beside target and renames it into place.
bool writeWhole(const QString &target, const QByteArray &data, QString *error);
// A free temporary name in the folder of target, "<folder>/.<name>.XXXXXX" made unique.
QString temporaryBeside(const QString &target);

} // namespace BackupFiles

#endif

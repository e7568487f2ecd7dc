#include "backup/backupfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <cstring>
#endif

namespace BackupFiles {

bool replaceFile(const QString &from, const QString &to, QString *error)
{
#ifdef Q_OS_WIN
    if (MoveFileExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(from).utf16()),
                    reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(to).utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    *error = QStringLiteral("cannot rename %1 to %2").arg(from, to);
    return false;
#else
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    *error = QStringLiteral("cannot rename %1 to %2: %3")
                 .arg(from, to, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
#endif
}

QString temporaryBeside(const QString &target)
{
    const QFileInfo info(target);
    QTemporaryFile file(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                        QStringLiteral(".XXXXXX"));
    file.setAutoRemove(false);
    if (!file.open())
        return QString();
    return file.fileName();
}

bool copyInto(const QString &source, const QString &target, QString *error)
{
    if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
        *error = QStringLiteral("cannot make the folder of ") + target;
        return false;
    }
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read ") + source;
        return false;
    }
    // QSaveFile writes beside the target and renames on commit.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        *error =
            QStringLiteral("cannot write ") + target + QStringLiteral(": ") + out.errorString();
        return false;
    }
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty()) {
        if (out.write(chunk) != chunk.size())
            break;
    }
    if (in.error() != QFile::NoError || !out.commit()) {
        *error =
            QStringLiteral("cannot write ") + target + QStringLiteral(": ") + out.errorString();
        return false;
    }
    return true;
}

bool writeWhole(const QString &target, const QByteArray &data, QString *error)
{
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size() || !out.commit()) {
        *error =
            QStringLiteral("cannot write ") + target + QStringLiteral(": ") + out.errorString();
        return false;
    }
    return true;
}

} // namespace BackupFiles

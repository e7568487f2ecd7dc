#include "app/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {
QString &overrideDir()
{
    static QString dir;
    return dir;
}

QString &filesOverride()
{
    static QString dir;
    return dir;
}

Paths::WritableCheck &writableCheck()
{
    static Paths::WritableCheck check;
    return check;
}

bool sameDir(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}
} // namespace

QString Paths::applicationDir()
{
    if (!overrideDir().isEmpty())
        return overrideDir();
    return QCoreApplication::applicationDirPath();
}

void Paths::setApplicationDir(const QString &dir)
{
    overrideDir() = dir;
}

QString Paths::filesDir()
{
    if (!filesOverride().isEmpty())
        return filesOverride();
    return applicationDir();
}

void Paths::setFilesDir(const QString &dir)
{
    filesOverride() = dir;
}

QString Paths::templatesDir()
{
    return filesDir() + QStringLiteral("/MyTemplates");
}

QString Paths::excelTemplatesDir()
{
    return templatesDir() + QStringLiteral("/Excel");
}

QString Paths::attachmentsDir()
{
    return filesDir() + QStringLiteral("/MyAttachments");
}

QString Paths::excelDbDir()
{
    return QDir::current().absoluteFilePath(QStringLiteral("ExcelDB"));
}

QString Paths::defaultDataDir()
{
    // Named explicitly rather than through the application's name, which tests do not set.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Velmark/Orvane");
}

QString Paths::installedBinDir()
{
#ifdef ORVANE_INSTALL_BINDIR
    return QStringLiteral(ORVANE_INSTALL_BINDIR);
#else
    return QString();
#endif
}

bool Paths::canCreateFilesIn(const QString &dir)
{
    // Permission bits say little (ACLs, read-only mounts): try it.
    QTemporaryFile probe(dir + QStringLiteral("/.orvane-write-XXXXXX"));
    return probe.open();
}

bool Paths::applicationDirWritable()
{
    const QString dir = applicationDir();
    if (writableCheck())
        return writableCheck()(dir);
    if (!installedBinDir().isEmpty() && sameDir(dir, installedBinDir()))
        return false;
    return canCreateFilesIn(dir);
}

void Paths::setWritableCheck(WritableCheck check)
{
    writableCheck() = std::move(check);
}

Paths::Layout Paths::chooseLayout(const QString &requestedDataDir)
{
    Layout layout;
    layout.portable = applicationDirWritable();
    if (!requestedDataDir.isEmpty())
        layout.workingDir = QDir::cleanPath(QDir::current().absoluteFilePath(requestedDataDir));
    else if (!layout.portable)
        layout.workingDir = defaultDataDir();
    layout.filesDir = layout.portable ? applicationDir() : layout.workingDir;
    return layout;
}

bool Paths::applyLayout(const Layout &layout, QString *failedDir)
{
    if (!layout.workingDir.isEmpty()) {
        if (!QDir().mkpath(layout.workingDir) || !QDir::setCurrent(layout.workingDir)) {
            if (failedDir)
                *failedDir = layout.workingDir;
            return false;
        }
    }
    setFilesDir(layout.portable ? QString() : layout.filesDir);
    return true;
}

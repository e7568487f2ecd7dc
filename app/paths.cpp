#include "app/paths.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString &overrideDir()
{
    static QString dir;
    return dir;
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

QString Paths::templatesDir()
{
    return applicationDir() + QStringLiteral("/MyTemplates");
}

QString Paths::excelTemplatesDir()
{
    return templatesDir() + QStringLiteral("/Excel");
}

QString Paths::attachmentsDir()
{
    return applicationDir() + QStringLiteral("/MyAttachments");
}

QString Paths::excelDbDir()
{
    return QDir::current().absoluteFilePath(QStringLiteral("ExcelDB"));
}

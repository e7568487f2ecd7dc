#include "app/settings.h"

#include "app/logging.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

const QString Settings::noValue = QStringLiteral("~no-value~");

namespace {
// Qt shares the parsed file between the QSettings objects that use it at the same time, but
// once the last one is gone it keeps the file only in a small cache that a file of a few hundred
// keys outgrows (every day's summary adds four). Without an object held open every Settings
// below would read and parse the whole file again, a cost that grows with each day kept. This
// one stays open while the application runs; every Settings still compares the file's size and
// time with what was read and reads it again when it changed on disk.
QSettings *openFile = nullptr;

void closeFile()
{
    delete openFile;
    openFile = nullptr;
}

// Qt reads almost anything as an INI file and would write its reading back over the file. What
// Qt itself writes is lines of four kinds: empty, a comment, "[section]" and "key=value"; a file
// with any other line, or with control characters, was damaged or is not a settings file.
bool isDamaged(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false; // unreadable: nothing will be written over it either
    const QByteArray data = file.readAll();
    for (const char c : data) {
        if ((c >= 0 && c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7f)
            return true;
    }
    for (const QByteArray &raw : data.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        if (line.startsWith('[') ? !line.endsWith(']') : line.indexOf('=') <= 0)
            return true;
    }
    return Settings().status() == QSettings::FormatError;
}

void keepOpen(const QString &fileName)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return;
    if (openFile && openFile->fileName() == fileName)
        return;
    static bool closedAtExit = false;
    if (!closedAtExit) {
        qAddPostRoutine(closeFile);
        closedAtExit = true;
    }
    delete openFile;
    openFile = new QSettings(QSettings::IniFormat, QSettings::SystemScope,
                             QStringLiteral("Velmark"), QStringLiteral("Orvane"));
}
} // namespace

Settings::Settings()
    : QSettings(QSettings::IniFormat, QSettings::SystemScope, QStringLiteral("Velmark"),
                QStringLiteral("Orvane"))
{
    keepOpen(fileName());
}

void Settings::initLocation()
{
#ifndef Q_OS_WIN
    // A system-wide file needs rights an ordinary user lacks; keep it in the user's folder.
    setLocation(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
#endif
}

void Settings::setLocation(const QString &folder)
{
    closeFile();
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, folder);
}

QString Settings::filePath()
{
    return Settings().fileName();
}

QString Settings::setAsideIfDamaged(bool *failed)
{
    if (failed)
        *failed = false;
    const QString path = filePath();
    if (!QFileInfo::exists(path) || !isDamaged(path))
        return QString();
    // The object kept open holds what was read; it must not write that back over the file.
    closeFile();
    const QString aside = path + QStringLiteral(".damaged-") +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (!QFile::rename(path, aside)) {
        logLine(QStringLiteral("damaged settings file cannot be moved: ") + path);
        if (failed)
            *failed = true;
        return QString();
    }
    logLine(QStringLiteral("damaged settings file moved to ") + aside);
    return aside;
}

QVariant Settings::read(const QString &key, const QVariant &defaultValue)
{
    return Settings().value(key, defaultValue);
}

void Settings::write(const QString &key, const QVariant &value)
{
    Settings settings;
    // A write rewrites the whole file, which holds keys for every day kept; a value the file
    // already holds as the same text is left alone. Keys of the organization's fallback file do
    // not count: the value must be in this file.
    settings.setFallbacksEnabled(false);
    const QString text = value.toString();
    if (!text.isEmpty() && settings.contains(key) && settings.value(key).toString() == text)
        return;
    settings.setValue(key, value);
}

void Settings::remove(const QString &key)
{
    Settings settings;
    settings.QSettings::remove(key);
}

#include "app/settings.h"

#include <QStandardPaths>

const QString Settings::noValue = QStringLiteral("~no-value~");

Settings::Settings()
    : QSettings(QSettings::IniFormat, QSettings::SystemScope, QStringLiteral("Velmark"),
                QStringLiteral("Orvane"))
{
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
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, folder);
}

QString Settings::filePath()
{
    return Settings().fileName();
}

QVariant Settings::read(const QString &key, const QVariant &defaultValue)
{
    return Settings().value(key, defaultValue);
}

void Settings::write(const QString &key, const QVariant &value)
{
    Settings settings;
    settings.setValue(key, value);
}

void Settings::remove(const QString &key)
{
    Settings settings;
    settings.QSettings::remove(key);
}

#ifndef ORVANE_APP_SETTINGS_H
#define ORVANE_APP_SETTINGS_H

#include <QSettings>
#include <QString>
#include <QVariant>

// The program's INI settings file (organization "Velmark", application "Orvane", system scope).
// One object is made per operation and dropped at its end. The parsed file stays in memory
// between operations, and each new object reads it again when it changed on disk.
class Settings : public QSettings {
public:
    Settings();

    // Default for readers that must tell an absent key from any stored value.
    static const QString noValue; // "~no-value~"

    // Called once at start-up: on Windows the system-scope file stays where it is; elsewhere the
    // system-scope path is moved to the user's writable configuration folder.
    static void initLocation();
    // Points the system-scope INI path at a folder (tests use a temporary one).
    static void setLocation(const QString &folder);
    // Full path of the INI file in use.
    static QString filePath();
    // Called at start-up before anything is written: a file Qt cannot parse would be replaced by
    // the first write, so it is renamed to "<file>.damaged-<time>" and the program starts with
    // a new one. Returns the new name, or nothing when the file was fine, absent or could not be
    // moved (then *failed is set).
    static QString setAsideIfDamaged(bool *failed = nullptr);

    static QVariant read(const QString &key, const QVariant &defaultValue = QVariant());
    static void write(const QString &key, const QVariant &value);
    static void remove(const QString &key);
};

#endif

#include "tests/support/testenvironment.h"

#include "app/clock.h"
#include "app/database.h"
#ifdef ORVANE_TEST_UI
#include "app/desktop.h"
#endif
#include "app/paths.h"
#include "app/settings.h"

#include <QDir>
#include <QUuid>

#if defined(__SANITIZE_ADDRESS__)
#define ORVANE_LEAK_CHECK
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVANE_LEAK_CHECK
#endif
#endif

#if defined(ORVANE_TEST_UI) && defined(ORVANE_LEAK_CHECK)
#include <QGuiApplication>
#include <QScreen>
#include <sanitizer/lsan_interface.h>

namespace {
// Qt 5.15's offscreen platform plugin makes its screen (with the screen's cursor) when the
// application object starts and never deletes it. Marking the two objects as meant to live keeps
// everything they hold out of the leak report at exit, while every other allocation, the
// toolkit's included, is still checked.
void keepPlatformScreens()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    const auto screens = QGuiApplication::screens();
    for (QScreen *screen : screens) {
        __lsan_ignore_object(screen);
        __lsan_ignore_object(screen->handle());
    }
}
} // namespace
Q_COREAPP_STARTUP_FUNCTION(keepPlatformScreens)
#endif

TestEnvironment::TestEnvironment(const QRect &screen, const QDate &today)
    : m_previousDir(QDir::currentPath())
{
    QDir root(m_root.path());
    root.mkpath(QStringLiteral("work"));
    root.mkpath(QStringLiteral("settings"));
    root.mkpath(QStringLiteral("app"));
    QDir::setCurrent(workDir());
    Settings::setLocation(settingsDir());
    Paths::setApplicationDir(appDir());
    Paths::setFilesDir(QString());
    Clock::setToday(today);
#ifdef ORVANE_TEST_UI
    Desktop::setAvailableGeometry(screen);
    Desktop::setOpenUrlHandler([](const QUrl &) { return true; });
#else
    Q_UNUSED(screen)
#endif
}

TestEnvironment::~TestEnvironment()
{
    if (!m_checkName.isEmpty()) {
        QSqlDatabase::database(m_checkName, false).close();
        QSqlDatabase::removeDatabase(m_checkName);
    }
    dropProgramConnection();
    QDir::setCurrent(m_previousDir);
    Paths::setApplicationDir(QString());
    Paths::setFilesDir(QString());
    Clock::setToday(QDate());
#ifdef ORVANE_TEST_UI
    Desktop::setAvailableGeometry(QRect());
    Desktop::setOpenUrlHandler(nullptr);
#endif
}

QString TestEnvironment::workDir() const
{
    return m_root.path() + QStringLiteral("/work");
}

QString TestEnvironment::settingsDir() const
{
    return m_root.path() + QStringLiteral("/settings");
}

QString TestEnvironment::appDir() const
{
    return m_root.path() + QStringLiteral("/app");
}

QString TestEnvironment::settingsFile() const
{
    return Settings::filePath();
}

QString TestEnvironment::databaseFile() const
{
    return workDir() + QLatin1Char('/') + Database::fileName;
}

QSqlDatabase TestEnvironment::checkConnection()
{
    if (m_checkName.isEmpty()) {
        m_checkName = QStringLiteral("check-") + QUuid::createUuid().toString();
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_checkName);
        db.setDatabaseName(databaseFile());
        db.open();
    }
    return QSqlDatabase::database(m_checkName);
}

void TestEnvironment::dropProgramConnection()
{
    if (QSqlDatabase::contains(Database::connectionName)) {
        QSqlDatabase::database(Database::connectionName, false).close();
        QSqlDatabase::removeDatabase(Database::connectionName);
    }
}

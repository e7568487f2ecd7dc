#ifndef ORVANE_TESTS_SUPPORT_TESTENVIRONMENT_H
#define ORVANE_TESTS_SUPPORT_TESTENVIRONMENT_H

#include <QDate>
#include <QRect>
#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>

// A fresh world for one test: its own working directory (where KDdatabase.db lands), its own
// settings folder and application directory, a fixed screen and a fixed day. Everything is put
// back, and the database connection removed, when it goes out of scope. The screen only matters
// to window tests (the support library built with ORVANE_TEST_UI).
class TestEnvironment {
public:
    explicit TestEnvironment(const QRect &screen = QRect(0, 0, 1920, 1040),
                             const QDate &today = QDate(2026, 12, 7));
    ~TestEnvironment();
    TestEnvironment(const TestEnvironment &) = delete;
    TestEnvironment &operator=(const TestEnvironment &) = delete;

    QString workDir() const;     // the working directory
    QString settingsDir() const; // folder of the INI file
    QString appDir() const;      // stands in for the application directory
    QString settingsFile() const;
    QString databaseFile() const;

    // A second connection straight to the database file, to read back what the program wrote
    // without going through the program's own connection.
    QSqlDatabase checkConnection();
    // Drops the program's named connection, as a program restart would.
    static void dropProgramConnection();

private:
    QTemporaryDir m_root;
    QString m_previousDir;
    QString m_checkName;
};

#endif

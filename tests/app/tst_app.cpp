// Start-up, the shared database connection and the settings file.
#include "app/database.h"
#include "app/paths.h"
#include "app/settings.h"
#include "tasklist/mainview.h"
#include "tests/support/logcapture.h"
#include "tests/support/testenvironment.h"

#include <QCloseEvent>
#include <QFile>
#include <QSqlQuery>
#include <QtTest>

class TestApp : public QObject {
    Q_OBJECT

private slots:
    void firstStartCreatesDatabaseAndTable();
    void secondStartFindsTable();
    void secondWindowReusesConnection();
    void otherWorkingDirectoryGetsOwnDatabase();
    void missingSettingsFileGivesDefaults();
    void unopenableDatabaseIsLoggedAndRunsOn();
    void closingResetsPanelModesInSettingsFile();
    void resourcesHoldIconsAndTranslations();
};

void TestApp::firstStartCreatesDatabaseAndTable()
{
    TestEnvironment env;
    LogCapture log;
    QVERIFY(!QFile::exists(env.databaseFile()));
    {
        MainView view;
        QVERIFY(view.windowState() & Qt::WindowMaximized);
    }
    QVERIFY(QFile::exists(env.databaseFile()));
    const QStringList expected = {"Succeed to connect database!", "star table not exist!",
                                  "star table create succeed!", "SQLite initialed succeed!"};
    int at = 0;
    for (const QString &line : log.lines()) {
        if (at < expected.size() && line == expected.at(at))
            ++at;
    }
    QCOMPARE(at, expected.size());

    QSqlQuery query(env.checkConnection());
    QVERIFY(query.exec("select sql from sqlite_master where name = 'star'"));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString().mid(13), Database::createTableSql.mid(13));
}

void TestApp::secondStartFindsTable()
{
    TestEnvironment env;
    {
        MainView first;
    }
    TestEnvironment::dropProgramConnection();
    LogCapture log;
    MainView second;
    QVERIFY(log.contains("star table exists already!"));
    QVERIFY(!log.contains("star table not exist!"));
    QVERIFY(log.contains("SQLite initialed succeed!"));
}

void TestApp::secondWindowReusesConnection()
{
    TestEnvironment env;
    MainView view;
    QSqlDatabase mine = QSqlDatabase::database(Database::connectionName);
    LogCapture log;
    QSqlDatabase other;
    QVERIFY(Database::connect(&other));
    QCOMPARE(other.connectionName(), Database::connectionName);
    QVERIFY(other.isOpen());
    QCOMPARE(QSqlDatabase::connectionNames().count(Database::connectionName), 1);
    for (const QString &line : log.lines())
        QVERIFY2(!line.contains("duplicate connection"), qPrintable(line));
    QCOMPARE(other.userName(), QString("Kinto482"));
    QCOMPARE(other.password(), QString("Fernlake739"));
    QCOMPARE(mine.databaseName(), QString("KDdatabase.db"));
}

void TestApp::otherWorkingDirectoryGetsOwnDatabase()
{
    QString firstFile;
    {
        TestEnvironment env;
        MainView view;
        firstFile = env.databaseFile();
        QVERIFY(QFile::exists(firstFile));
    }
    TestEnvironment env;
    QVERIFY(env.databaseFile() != firstFile);
    LogCapture log;
    MainView view;
    QVERIFY(QFile::exists(env.databaseFile()));
    QVERIFY(log.contains("star table not exist!"));
}

void TestApp::missingSettingsFileGivesDefaults()
{
    TestEnvironment env;
    QVERIFY(!QFile::exists(env.settingsFile()));
    QVERIFY(env.settingsFile().startsWith(env.settingsDir()));
    QCOMPARE(Settings::read("mainViewItemCount", 0).toInt(), 0);
    QCOMPARE(Settings::read("groupApplyMode", false).toBool(), false);
    QCOMPARE(Settings::read("todaySummaryName", Settings::noValue).toString(),
             QString("~no-value~"));
    Settings::write("mainViewItemCount", 3);
    QVERIFY(QFile::exists(env.settingsFile()));
    QVERIFY(env.settingsFile().endsWith("Velmark/Orvane.ini"));
    QCOMPARE(Settings::read("mainViewItemCount", 0).toInt(), 3);
}

void TestApp::unopenableDatabaseIsLoggedAndRunsOn()
{
    TestEnvironment env;
    // A folder where the database file should be cannot be opened as SQLite.
    QDir(env.workDir()).mkdir(Database::fileName);
    LogCapture log;
    MainView view;
    QCOMPARE(log.startingWith("Error:failed to open database!").size(), 1);
    QVERIFY(log.contains("SQLite initialed failed"));
}

void TestApp::closingResetsPanelModesInSettingsFile()
{
    TestEnvironment env;
    Settings::write("filterApplyMode", true);
    Settings::write("sortApplyMode", true);
    MainView view;
    view.show();
    QVERIFY(view.close());
    QSettings file(env.settingsFile(), QSettings::IniFormat);
    QCOMPARE(file.value("filterApplyMode").toBool(), false);
    QCOMPARE(file.value("sortApplyMode").toBool(), false);
}

void TestApp::resourcesHoldIconsAndTranslations()
{
    for (const char *icon : {"save", "addOne", "schedule", "upArrow", "downArrow", "back",
                             "history", "statictis", "exportOut", "saveAsTemplate"}) {
        QVERIFY2(!QPixmap(QString(":/icon/%1.png").arg(icon)).isNull(), icon);
    }
    QVERIFY(QFile::exists(":/icon/Excel.ico"));
    QTranslator widgets;
    QVERIFY(widgets.load(":/widgets.qm"));
    QTranslator qt;
    QVERIFY(qt.load(":/qt_zh_CN.qm"));
    QCOMPARE(qt.translate("QDialogButtonBox", "OK"), QString("确定"));
}

QTEST_MAIN(TestApp)
#include "tst_app.moc"

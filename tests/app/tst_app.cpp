// Start-up, the shared database connection and the settings file.
#include "app/database.h"
#include "app/paths.h"
#include "app/settings.h"
#include "tasklist/mainview.h"
#include "tests/support/logcapture.h"
#include "tests/support/promptscript.h"
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
    void scriptedAnswersReachTheirKindOfPrompt_data();
    void scriptedAnswersReachTheirKindOfPrompt();
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

void TestApp::scriptedAnswersReachTheirKindOfPrompt_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<bool>("meantForIt");
    QTest::addColumn<QString>("result");
    auto row = [](const char *answer, const char *prompt, bool meantForIt, const char *result) {
        QTest::addRow("%s to %s", answer, prompt) << answer << prompt << meantForIt << result;
    };
    row("button Yes", "question", true, "Yes");
    row("button Ok", "warning", true, "shown");
    row("cancel", "question", true, "Cancel");
    row("text 标签", "item", true, "标签");
    row("text out.xlsx", "saveFile", true, "out.xlsx");
    row("files a.png|b.png", "openFiles", true, "a.png|b.png");
    row("colour #112233", "colour", true, "#112233");
    row("cancel", "colour", true, "invalid");
    // An answer meant for another kind fails the test and the prompt gets the default.
    row("colour #112233", "question", false, "No");
    row("button Yes", "text", false, "");
    row("text a.png", "openFiles", false, "");
    row("files a.png", "openFile", false, "");
    row("text red", "colour", false, "invalid");
    row("cancel", "warning", false, "shown");
}

void TestApp::scriptedAnswersReachTheirKindOfPrompt()
{
    QFETCH(QString, answer);
    QFETCH(QString, prompt);
    QFETCH(bool, meantForIt);
    QFETCH(QString, result);

    PromptScript prompts;
    const QString kind = answer.section(' ', 0, 0);
    const QString value = answer.section(' ', 1);
    const QMap<QString, QMessageBox::StandardButton> buttons = {{"Ok", QMessageBox::Ok},
                                                                {"Yes", QMessageBox::Yes},
                                                                {"No", QMessageBox::No},
                                                                {"Cancel", QMessageBox::Cancel}};
    if (kind == "button")
        prompts.answerButton(buttons.value(value));
    else if (kind == "text")
        prompts.answerText(value);
    else if (kind == "files")
        prompts.answerFiles(value.split('|'));
    else if (kind == "colour")
        prompts.answerColor(QColor(value));
    else
        prompts.answerCancel();

    if (!meantForIt)
        QEXPECT_FAIL("", "the answer is meant for another kind of prompt", Continue);
    QString shown;
    if (prompt == "question") {
        shown = buttons.key(Prompt::question(nullptr, "标题", "继续吗？"));
    } else if (prompt == "warning") {
        Prompt::warning(nullptr, "标题", "注意");
        shown = "shown";
    } else if (prompt == "item") {
        shown = Prompt::item(nullptr, "标题", "标签", {"标签", "其他"});
    } else if (prompt == "text") {
        shown = Prompt::text(nullptr, "标题", "名称");
    } else if (prompt == "saveFile") {
        shown = Prompt::saveFileName(nullptr, "保存", QString());
    } else if (prompt == "openFile") {
        shown = Prompt::openFileName(nullptr, "打开", QString());
    } else if (prompt == "openFiles") {
        shown = Prompt::openFileNames(nullptr, "打开", QString()).join('|');
    } else {
        const QColor colour = Prompt::color(nullptr, Qt::white);
        shown = colour.isValid() ? colour.name() : "invalid";
    }
    // Passes only if the expected failure above has been taken by the prompt.
    QCOMPARE(shown, result);
    QCOMPARE(prompts.requests().size(), 1);
}

QTEST_MAIN(TestApp)
#include "tst_app.moc"

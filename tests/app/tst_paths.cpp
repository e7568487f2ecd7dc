// Where the program keeps its files, installed or portable, and its command line.
#include "app/commandline.h"
#include "app/paths.h"
#include "schedule/templatestore.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QString canonical(const QString &path)
{
    return QFileInfo(path).canonicalFilePath();
}

void touch(const QString &path, const QByteArray &content = "x")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}
} // namespace

class TestPaths : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void layoutFollowsApplicationDir_data();
    void layoutFollowsApplicationDir();
    void firstStartWritesBuiltInTemplatesWhereTheLayoutSays_data();
    void firstStartWritesBuiltInTemplatesWhereTheLayoutSays();
    void existingPortableLayoutStaysWhereItIs();
    void unusableDataFolderChangesNothing();
    void writableCheck_data();
    void writableCheck();
    void commandLine_data();
    void commandLine();
    void textOptionsAreSpottedBeforeTheDisplayIsNeeded_data();
    void textOptionsAreSpottedBeforeTheDisplayIsNeeded();

private:
    QTemporaryDir *m_dataHome = nullptr;
    QByteArray m_previousDataHome;
};

void TestPaths::init()
{
    // The user's data folder, where an installed program keeps everything.
    m_dataHome = new QTemporaryDir;
    m_previousDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", m_dataHome->path().toLocal8Bit());
}

void TestPaths::cleanup()
{
    Paths::setWritableCheck(nullptr);
    Paths::setFilesDir(QString());
    if (m_previousDataHome.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", m_previousDataHome);
    delete m_dataHome;
    m_dataHome = nullptr;
}

void TestPaths::layoutFollowsApplicationDir_data()
{
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QString>("workDirOption");
    QTest::addColumn<bool>("portable");
    // "work": the directory the program was started in; "data": the user's data folder;
    // "option": the folder given with --workdir; "app": the application directory.
    QTest::addColumn<QString>("workingDir");
    QTest::addColumn<QString>("filesDir");

    QTest::newRow("portable copy") << true << "" << true << "work"
                                   << "app";
    QTest::newRow("portable copy, other data folder") << true << "other/data" << true << "option"
                                                      << "app";
    QTest::newRow("installed") << false << "" << false << "data"
                               << "data";
    QTest::newRow("installed, other data folder") << false << "other/data" << false << "option"
                                                  << "option";
}

void TestPaths::layoutFollowsApplicationDir()
{
    QFETCH(bool, writable);
    QFETCH(QString, workDirOption);
    QFETCH(bool, portable);
    QFETCH(QString, workingDir);
    QFETCH(QString, filesDir);

    TestEnvironment env;
    Paths::setWritableCheck([&](const QString &dir) {
        // The check is asked about the application directory, nothing else.
        return dir == env.appDir() ? writable : true;
    });
    const QString dataDir = m_dataHome->path() + "/Velmark/Orvane";
    const QMap<QString, QString> folders = {{"work", env.workDir()},
                                            {"data", dataDir},
                                            {"option", env.workDir() + "/other/data"},
                                            {"app", env.appDir()}};

    const Paths::Layout layout = Paths::chooseLayout(workDirOption);
    QCOMPARE(layout.portable, portable);
    QString failed;
    QVERIFY(Paths::applyLayout(layout, &failed));
    QVERIFY(failed.isEmpty());

    // Folders that did not exist are made on the first start.
    QCOMPARE(canonical(QDir::currentPath()), canonical(folders.value(workingDir)));
    QCOMPARE(canonical(QFileInfo(Paths::templatesDir()).absolutePath()),
             canonical(folders.value(filesDir)));
    QCOMPARE(Paths::templatesDir(), Paths::filesDir() + "/MyTemplates");
    QCOMPARE(Paths::excelTemplatesDir(), Paths::filesDir() + "/MyTemplates/Excel");
    QCOMPARE(Paths::attachmentsDir(), Paths::filesDir() + "/MyAttachments");
    QCOMPARE(canonical(QFileInfo(Paths::excelDbDir()).absolutePath()),
             canonical(folders.value(workingDir)));
    // The data folder of the user is only made when it is used.
    QCOMPARE(QFileInfo::exists(dataDir), workingDir == "data");
}

void TestPaths::firstStartWritesBuiltInTemplatesWhereTheLayoutSays_data()
{
    QTest::addColumn<bool>("writable");
    QTest::newRow("portable: beside the program") << true;
    QTest::newRow("installed: in the data folder") << false;
}

void TestPaths::firstStartWritesBuiltInTemplatesWhereTheLayoutSays()
{
    QFETCH(bool, writable);
    TestEnvironment env;
    Paths::setWritableCheck([&](const QString &) { return writable; });
    QVERIFY(Paths::applyLayout(Paths::chooseLayout()));

    QVERIFY(TemplateStore::createBuiltInTemplates());
    const QString home = writable ? env.appDir() : m_dataHome->path() + "/Velmark/Orvane";
    const QString other = writable ? m_dataHome->path() + "/Velmark/Orvane" : env.appDir();
    for (const QString &name : {TemplateStore::emptyScheduleName, TemplateStore::emptyTaskListName})
        QVERIFY2(QFile::exists(home + "/MyTemplates/" + name + ".xml"), qPrintable(name));
    QVERIFY(QDir(home + "/MyTemplates/Excel").exists());
    QVERIFY(!QFileInfo::exists(other + "/MyTemplates"));
    QCOMPARE(TemplateStore::xmlTemplateNames(),
             QStringList({TemplateStore::emptyTaskListName, TemplateStore::emptyScheduleName}));
}

void TestPaths::existingPortableLayoutStaysWhereItIs()
{
    TestEnvironment env;
    touch(env.appDir() + "/MyTemplates/我的一周.xml", "<template/>");
    touch(env.appDir() + "/MyTemplates/Excel/Excel_月计划.xlsx");
    touch(env.appDir() + "/MyAttachments/notes.txt", "kept");
    touch(env.workDir() + "/KDdatabase.db", "db");
    Paths::setWritableCheck([](const QString &) { return true; });

    QVERIFY(Paths::applyLayout(Paths::chooseLayout()));
    QCOMPARE(canonical(QDir::currentPath()), canonical(env.workDir()));
    QCOMPARE(TemplateStore::xmlTemplateNames(), QStringList("我的一周"));
    QCOMPARE(TemplateStore::excelTemplateNames(), QStringList("Excel_月计划"));
    QCOMPARE(canonical(Paths::attachmentsDir() + "/notes.txt"),
             canonical(env.appDir() + "/MyAttachments/notes.txt"));
    // Nothing is copied or moved into a data folder.
    QVERIFY(!QFileInfo::exists(m_dataHome->path() + "/Velmark"));
    QFile database(env.workDir() + "/KDdatabase.db");
    QVERIFY(database.open(QIODevice::ReadOnly));
    QCOMPARE(database.readAll(), QByteArray("db"));
}

void TestPaths::unusableDataFolderChangesNothing()
{
    TestEnvironment env;
    touch(env.workDir() + "/plain-file");
    Paths::setWritableCheck([](const QString &) { return false; });
    const QString before = QDir::currentPath();
    const QString filesBefore = Paths::filesDir();

    const Paths::Layout layout = Paths::chooseLayout("plain-file/data");
    QString failed;
    QVERIFY(!Paths::applyLayout(layout, &failed));
    QCOMPARE(failed, env.workDir() + "/plain-file/data");
    QCOMPARE(QDir::currentPath(), before);
    QCOMPARE(Paths::filesDir(), filesBefore);
}

void TestPaths::writableCheck_data()
{
    QTest::addColumn<QString>("appDir");
    QTest::addColumn<bool>("writable");

    QTest::newRow("folder of the user") << "{tmp}" << true;
    QTest::newRow("missing folder") << "{tmp}/missing" << false;
    // Holds even for root, whom permission bits do not stop.
    QTest::newRow("below a plain file") << "{tmp}/file/inner" << false;
    if (QFileInfo(Paths::installedBinDir()).isDir())
        QTest::newRow("install location") << Paths::installedBinDir() << false;
}

void TestPaths::writableCheck()
{
    QFETCH(QString, appDir);
    QFETCH(bool, writable);
    TestEnvironment env;
    QTemporaryDir tmp;
    touch(tmp.path() + "/file");
    Paths::setApplicationDir(QString(appDir).replace("{tmp}", tmp.path()));

    QCOMPARE(Paths::applicationDirWritable(), writable);
    QCOMPARE(Paths::chooseLayout().portable, writable);
    // The probe leaves nothing behind.
    QCOMPARE(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList("file"));
}

void TestPaths::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("workDir");
    QTest::addColumn<QString>("textPattern");

    const int run = int(CommandLine::Action::Run);
    const int help = int(CommandLine::Action::PrintHelp);
    const int version = int(CommandLine::Action::PrintVersion);
    const int fail = int(CommandLine::Action::Fail);

    QTest::newRow("no options") << QStringList() << run << ""
                                << "^$";
    QTest::newRow("data folder") << QStringList{"--workdir", "/srv/plans"} << run << "/srv/plans"
                                 << "^$";
    QTest::newRow("data folder with =") << QStringList{"--workdir=计划"} << run << "计划"
                                        << "^$";
    QTest::newRow("data folder named like an option")
        << QStringList{"--workdir", "--help"} << run << "--help"
        << "^$";
    QTest::newRow("version") << QStringList{"--version"} << version << ""
                             << "^Orvane \\d+\\.\\d+";
    QTest::newRow("short version") << QStringList{"-v"} << version << ""
                                   << "^Orvane \\d+\\.\\d+";
    QTest::newRow("help") << QStringList{"--help"} << help << ""
                          << "--workdir <dir>";
    QTest::newRow("help names the data folder") << QStringList{"-h"} << help << ""
                                                << "~/.local/share/Velmark/Orvane";
    QTest::newRow("help beside a data folder")
        << QStringList{"--workdir", "x", "--help"} << help << ""
        << "--version";
    QTest::newRow("unknown option") << QStringList{"--bogus"} << fail << ""
                                    << "bogus";
    QTest::newRow("data folder missing") << QStringList{"--workdir"} << fail << ""
                                         << "workdir";
    QTest::newRow("empty data folder") << QStringList{"--workdir="} << fail << ""
                                       << "workdir";
    QTest::newRow("stray argument") << QStringList{"plan.xml"} << fail << ""
                                    << "plan\\.xml";
}

void TestPaths::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(QString, workDir);
    QFETCH(QString, textPattern);

    arguments.prepend("orvane");
    const CommandLine::Result result = CommandLine::parse(arguments);
    QCOMPARE(int(result.action), action);
    QCOMPARE(result.workDir, workDir);
    QVERIFY2(result.text.contains(QRegularExpression(textPattern)), qPrintable(result.text));
    QCOMPARE(CommandLine::report(result), result.action == CommandLine::Action::Fail ? 1 : 0);
}

void TestPaths::textOptionsAreSpottedBeforeTheDisplayIsNeeded_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("asksForText");

    QTest::newRow("nothing") << QStringList() << false;
    QTest::newRow("data folder") << QStringList{"--workdir", "x"} << false;
    QTest::newRow("help") << QStringList{"--help"} << true;
    QTest::newRow("version after a data folder") << QStringList{"--workdir", "x", "-v"} << true;
    QTest::newRow("after the end of options") << QStringList{"--", "--help"} << false;
    QTest::newRow("look-alike") << QStringList{"--helpful"} << false;
}

void TestPaths::textOptionsAreSpottedBeforeTheDisplayIsNeeded()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, asksForText);

    arguments.prepend("orvane");
    QList<QByteArray> storage;
    QVector<char *> argv;
    for (const QString &argument : arguments)
        storage.append(argument.toLocal8Bit());
    for (QByteArray &argument : storage)
        argv.append(argument.data());
    QCOMPARE(CommandLine::asksForText(argv.size(), argv.data()), asksForText);
}

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"

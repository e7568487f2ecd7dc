// Looking up tables by name, and the settings file read again by each operation.
#include "app/database.h"
#include "app/settings.h"
#include "app/sql.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QtTest>
#include <memory>

class TestStorage : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    QSqlDatabase db;

    void exec(const QString &statement)
    {
        QSqlQuery query(db);
        QVERIFY2(query.exec(statement), qPrintable(statement));
    }

private slots:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        QVERIFY(Database::connect(&db));
    }
    void cleanup()
    {
        db = QSqlDatabase();
        env.reset();
    }

    void tableExists_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::newRow("exact name") << "Day20261207工作日" << true;
        QTest::newRow("other case") << "day20261207工作日" << false;
        QTest::newRow("start of a name") << "Day20261207" << false;
        QTest::newRow("quotes and statement text")
            << "O'Brien \"计划\" x); drop table y;--" << true;
        QTest::newRow("a view") << "labelDuration_202010week2" << false;
        QTest::newRow("temporary table") << "tempOnly" << false;
        QTest::newRow("never made") << "Day20261208工作日" << false;
        QTest::newRow("cut short by a NUL")
            << QString("Day20261207工作日") + QChar(0) + "x" << false;
        QTest::newRow("the schema table") << "sqlite_master" << false;
    }

    // The answer is the one sqlite_master gives for type 'table' and that exact name.
    void tableExists()
    {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        exec("create table \"Day20261207工作日\"(id int)");
        exec("create table " + Database::quoteIdentifier("O'Brien \"计划\" x); drop table y;--") +
             "(id int)");
        exec("create view labelDuration_202010week2 as select 1");
        exec("create temp table tempOnly(id int)");
        bool ok = false;
        QCOMPARE(Sql::tableExists(db, name, &ok), exists);
        QVERIFY(ok);
    }

    // Inside an open transaction the tables made or dropped so far count; a rollback puts the
    // answer back. A closed connection is a failed lookup.
    void tableExistsFollowsTheConnection()
    {
        exec("create table kept(id int)");
        QVERIFY(db.transaction());
        exec("create table added(id int)");
        exec("drop table kept");
        QVERIFY(Sql::tableExists(db, "added"));
        QVERIFY(!Sql::tableExists(db, "kept"));
        QVERIFY(db.rollback());
        QVERIFY(!Sql::tableExists(db, "added"));
        QVERIFY(Sql::tableExists(db, "kept"));

        db.close();
        bool ok = true;
        QVERIFY(!Sql::tableExists(db, "kept", &ok));
        QVERIFY(!ok);
    }

    // The parsed file stays in memory between operations, yet what another program writes, or
    // a file removed, is what the next read sees; so is a file of thousands of keys.
    void settingsFileChangedOnDiskIsReadAgain()
    {
        {
            Settings many;
            for (int i = 0; i < 2000; ++i)
                many.setValue(QString("summary_Day%1_TextCount").arg(i), i);
        }
        QCOMPARE(Settings::read("summary_Day1999_TextCount").toInt(), 1999);

        {
            QSettings other(env->settingsFile(), QSettings::IniFormat);
            other.setValue("summary_Day7_TextCount", 70);
        }
        QCOMPARE(Settings::read("summary_Day7_TextCount").toInt(), 70);

        QFile file(env->settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[General]\nsummary_Day7_TextCount=3\n");
        file.close();
        QCOMPARE(Settings::read("summary_Day7_TextCount").toInt(), 3);
        QCOMPARE(Settings::read("summary_Day8_TextCount", Settings::noValue).toString(),
                 Settings::noValue);

        QVERIFY(QFile::remove(env->settingsFile()));
        QCOMPARE(Settings::read("summary_Day7_TextCount", Settings::noValue).toString(),
                 Settings::noValue);
        Settings::write("defaultTemplate", "工作日");
        QSettings onDisk(env->settingsFile(), QSettings::IniFormat);
        QCOMPARE(onDisk.allKeys(), QStringList{"defaultTemplate"});
    }

    // A value the file already holds is not written again (the file is rewritten whole, with
    // its hand-written comments dropped, only when something changes).
    void writingTheStoredValueLeavesTheFile()
    {
        QDir().mkpath(QFileInfo(env->settingsFile()).absolutePath());
        QFile file(env->settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\nfilterApplyMode=false\nmainViewItemCount=3\n; kept\n");
        file.close();
        Settings::write("filterApplyMode", false);
        Settings::write("mainViewItemCount", 3);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("; kept"));
        file.close();

        Settings::write("filterApplyMode", true);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray rewritten = file.readAll();
        QVERIFY(!rewritten.contains("; kept"));
        QVERIFY(rewritten.contains("filterApplyMode=true"));
        QVERIFY(rewritten.contains("mainViewItemCount=3"));
        file.close();
        // An empty text is written like any other.
        Settings::write("todaySummaryName", QString());
        QSettings onDisk(env->settingsFile(), QSettings::IniFormat);
        QVERIFY(onDisk.contains("todaySummaryName"));
    }

    // A file Qt cannot parse is moved aside whole before anything writes over it; a sound or
    // absent file stays where it is.
    void damagedSettingsFileIsSetAside_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("damaged");
        QTest::newRow("garbage") << QByteArray("\x01\x02[[[=\xff\xfe\n=\n[General\nmainViewItem")
                                 << true;
        QTest::newRow("unclosed section") << QByteArray("[General\nmainViewItemCount=3\n") << true;
        QTest::newRow("sound") << QByteArray("[General]\nmainViewItemCount=3\n") << false;
        QTest::newRow("absent") << QByteArray() << false;
    }
    void damagedSettingsFileIsSetAside()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, damaged);
        const QString path = env->settingsFile();
        QFile::remove(path);
        if (!contents.isEmpty()) {
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }
        bool failed = true;
        const QString aside = Settings::setAsideIfDamaged(&failed);
        QVERIFY(!failed);
        QCOMPARE(!aside.isEmpty(), damaged);
        if (damaged) {
            QFile moved(aside);
            QVERIFY(moved.open(QIODevice::ReadOnly));
            QCOMPARE(moved.readAll(), contents);
            QVERIFY(!QFileInfo::exists(path));
            // The program goes on with a new file; the damaged copy is left alone.
            Settings::write("mainViewItemCount", 5);
            QCOMPARE(Settings::read("mainViewItemCount").toInt(), 5);
            moved.seek(0);
            QCOMPARE(moved.readAll(), contents);
        } else if (!contents.isEmpty()) {
            QFile same(path);
            QVERIFY(same.open(QIODevice::ReadOnly));
            QCOMPARE(same.readAll(), contents);
        }
    }

    // A new settings folder is a new file: nothing of the old one is read from memory.
    void newSettingsFolderStartsEmpty()
    {
        Settings::write("defaultTemplate", "工作日");
        TestEnvironment other;
        QCOMPARE(Settings::read("defaultTemplate", Settings::noValue).toString(),
                 Settings::noValue);
    }
};

QTEST_GUILESS_MAIN(TestStorage)
#include "tst_storage.moc"

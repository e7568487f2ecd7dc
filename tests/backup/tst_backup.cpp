// Backups of all the data: the archive's round trip into an empty folder, restores that must be
// refused without touching anything, a restore over other data and its undo, and the daily
// archives kept over a simulated month of starts.
#include "app/clock.h"
#include "app/database.h"
#include "app/paths.h"
#include "app/settings.h"
#include "backup/backuparchive.h"
#include "backup/backuprestore.h"
#include "backup/dailybackups.h"
#include "tests/backup/backupseed.h"
#include "tests/support/testenvironment.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

using namespace BackupSeed;

namespace {
QSqlDatabase programConnection()
{
    QSqlDatabase db;
    Database::connect(&db);
    return db;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

struct Member {
    QString name;
    QByteArray data;
    bool link = false;
};

// A zip written member by member, with a manifest made from the members as listed (or none).
void writeZip(const QString &path, const QList<Member> &members, const QList<Member> &listed,
              bool withManifest = true)
{
    QuaZip zip(path);
    zip.setUtf8Enabled(true);
    QVERIFY(zip.open(QuaZip::mdCreate));
    auto add = [&zip](const Member &m) {
        QuaZipNewInfo info(m.name);
        if (m.link)
            info.externalAttr = (0120777u << 16); // a Unix symbolic link
        QuaZipFile file(&zip);
        QVERIFY(file.open(QIODevice::WriteOnly, info));
        file.write(m.data);
        file.close();
    };
    for (const Member &m : members)
        add(m);
    if (withManifest) {
        QJsonArray list;
        for (const Member &m : listed) {
            list.append(QJsonObject{
                {QStringLiteral("path"), m.name},
                {QStringLiteral("size"), double(m.data.size())},
                {QStringLiteral("sha256"),
                 QString::fromLatin1(
                     QCryptographicHash::hash(m.data, QCryptographicHash::Sha256).toHex())}});
        }
        const QJsonObject root{{QStringLiteral("format"), QStringLiteral("orvane-backup")},
                               {QStringLiteral("formatVersion"), 1},
                               {QStringLiteral("members"), list}};
        add({QStringLiteral("manifest.json"), QJsonDocument(root).toJson(), false});
    }
    zip.close();
}

// A database file that opens but fails SQLite's integrity check: index pages overwritten.
QByteArray damagedDatabase(const QString &folder)
{
    const QString file = folder + QStringLiteral("/damaged.db");
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("damage"));
        db.setDatabaseName(file);
        db.open();
        QSqlQuery query(db);
        query.exec(QStringLiteral("create table t(a text)"));
        query.exec(QStringLiteral("create index ti on t(a)"));
        db.transaction();
        for (int i = 0; i < 3000; ++i)
            query.exec(QStringLiteral("insert into t values('row %1 %2')").arg(i).arg(i * 7919));
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("damage"));
    QByteArray data = readAll(file);
    // Leave the header page alone, scramble the middle of the file.
    for (int i = data.size() / 2; i < data.size() / 2 + 8192 && i < data.size(); ++i)
        data[i] = char(i * 37);
    return data;
}
} // namespace

class BackupTest : public QObject {
    Q_OBJECT

private slots:
    void roundTripIntoEmptyFolder();
    void refusedArchives_data();
    void refusedArchives();
    void restoreOverOtherDataCanBeUndone();
    void archiveInsideADataFolder();
    void backupNeedsDatabase();
    void dailyRetention_data();
    void dailyRetention();
};

void BackupTest::roundTripIntoEmptyFolder()
{
    QTemporaryDir keep;
    const QString archive = keep.filePath(QStringLiteral("全部数据.zip"));
    Snapshot before;
    BackupManifest manifest;
    {
        TestEnvironment env;
        QSqlDatabase db = programConnection();
        QVERIFY(fillAll(db));
        before = snapshotOf(env.databaseFile(), env.settingsFile());
        QString error;
        QList<int> progress;
        QVERIFY2(BackupArchive::create(
                     BackupArchive::Sources::current(), archive, &error,
                     [&](int done, int) { progress.append(done); }, &manifest),
                 qPrintable(error));
        QVERIFY(!progress.isEmpty());
        // Nothing but the archive is left beside it.
        QCOMPARE(
            QDir(keep.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("全部数据.zip")});
    }
    QCOMPARE(manifest.tasks, 2);
    QCOMPARE(manifest.dayTables, 2);
    QCOMPARE(manifest.files, 7); // database, settings and five files
    QVERIFY(before.tables.size() >= 7);
    QVERIFY(before.files.size() == 5);

    TestEnvironment empty;
    QVERIFY(!QFileInfo::exists(empty.databaseFile()));
    const BackupRestore::Outcome outcome = BackupRestore::restore(
        archive, BackupArchive::Sources::current(),
        DailyBackups::safetyArchivePath(DailyBackups::folder(), QDateTime::currentDateTime()));
    QVERIFY2(outcome.restored, qPrintable(outcome.message + outcome.logError));
    QVERIFY(outcome.safetyArchive.isEmpty()); // there was nothing to keep
    const Snapshot after = snapshotOf(empty.databaseFile(), empty.settingsFile());
    QCOMPARE(after.tables.keys(), before.tables.keys());
    for (auto it = before.tables.cbegin(); it != before.tables.cend(); ++it)
        QCOMPARE(after.tables.value(it.key()), it.value());
    QCOMPARE(after.settings, before.settings);
    QCOMPARE(after.files.keys(), before.files.keys());
    QVERIFY(after.files == before.files);
    // No staging folder stays behind in the data folder.
    QCOMPARE(QDir(empty.workDir())
                 .entryList({QStringLiteral(".orvane-*")}, QDir::AllEntries | QDir::Hidden),
             QStringList());
}

void BackupTest::refusedArchives_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("damaged member") << "damaged"
                                    << "已损坏";
    QTest::newRow("missing manifest") << "no manifest"
                                      << "不是本程序的备份";
    QTest::newRow("member outside with ..") << "dotdot"
                                            << "不允许的文件";
    QTest::newRow("absolute member") << "absolute"
                                     << "不允许的文件";
    QTest::newRow("unknown top folder") << "foreign folder"
                                        << "不允许的文件";
    QTest::newRow("link member") << "link"
                                 << "不允许的文件";
    QTest::newRow("member not in manifest") << "unlisted"
                                            << "不在清单里";
    QTest::newRow("manifest lists a missing member") << "missing"
                                                     << "缺少";
    QTest::newRow("database fails integrity check") << "integrity"
                                                    << "完整性检查";
    QTest::newRow("not a zip at all") << "not zip"
                                      << "不是本程序的备份";
    QTest::newRow("foreign manifest") << "foreign manifest"
                                      << "不是本程序的备份";
}

void BackupTest::refusedArchives()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    TestEnvironment env;
    QSqlDatabase db = programConnection();
    QVERIFY(fillAll(db));
    QString error;
    const QString good = env.workDir() + QStringLiteral("/good.zip");
    QVERIFY(BackupArchive::create(BackupArchive::Sources::current(), good, &error));

    // The members of a genuine archive, to build the hostile ones from.
    QList<Member> members;
    {
        QuaZip zip(good);
        zip.setUtf8Enabled(true);
        QVERIFY(zip.open(QuaZip::mdUnzip));
        for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
            QuaZipFile file(&zip);
            QVERIFY(file.open(QIODevice::ReadOnly));
            if (zip.getCurrentFileName() != QLatin1String("manifest.json"))
                members.append({zip.getCurrentFileName(), file.readAll(), false});
        }
    }
    QList<Member> stored = members;
    QList<Member> listed = members;
    bool withManifest = true;
    const QString archive = env.workDir() + QStringLiteral("/hostile.zip");
    if (kind == QLatin1String("damaged")) {
        stored[0].data[100] = char(stored[0].data[100] ^ 0x55);
    } else if (kind == QLatin1String("no manifest")) {
        withManifest = false;
    } else if (kind == QLatin1String("dotdot")) {
        stored.append({QStringLiteral("MyAttachments/../../escaped.txt"), "x"});
        listed.append(stored.last());
    } else if (kind == QLatin1String("absolute")) {
        stored.append({QStringLiteral("/tmp/orvane-escaped.txt"), "x"});
        listed.append(stored.last());
    } else if (kind == QLatin1String("foreign folder")) {
        stored.append({QStringLiteral("Desktop/readme.txt"), "x"});
        listed.append(stored.last());
    } else if (kind == QLatin1String("link")) {
        stored.append({QStringLiteral("MyAttachments/passwd"), "/etc/passwd", true});
        listed.append(stored.last());
    } else if (kind == QLatin1String("unlisted")) {
        stored.append({QStringLiteral("MyAttachments/extra.txt"), "x"});
    } else if (kind == QLatin1String("missing")) {
        listed.append({QStringLiteral("MyAttachments/gone.txt"), "x"});
    } else if (kind == QLatin1String("integrity")) {
        for (Member &m : stored) {
            if (m.name == BackupArchive::databaseMember)
                m.data = damagedDatabase(env.workDir());
        }
        listed = stored;
    }
    if (kind == QLatin1String("not zip")) {
        writeFile(archive, QByteArray("just some text, not an archive"));
    } else if (kind == QLatin1String("foreign manifest")) {
        writeZip(archive, stored, {}, false);
        QuaZip zip(archive);
        QVERIFY(zip.open(QuaZip::mdAdd));
        QuaZipFile file(&zip);
        QVERIFY(file.open(QIODevice::WriteOnly, QuaZipNewInfo(QStringLiteral("manifest.json"))));
        file.write("{\"format\": \"somebody-else\", \"members\": []}");
        file.close();
        zip.close();
    } else {
        writeZip(archive, stored, listed, withManifest);
    }

    const Snapshot before = snapshotOf(env.databaseFile(), env.settingsFile());
    const QStringList workBefore =
        QDir(env.workDir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const BackupRestore::Outcome outcome = BackupRestore::restore(
        archive, BackupArchive::Sources::current(), env.workDir() + QStringLiteral("/safety.zip"));
    QVERIFY(!outcome.restored);
    QVERIFY(!outcome.changed);
    QVERIFY2(outcome.message.contains(message), qPrintable(outcome.message));
    QVERIFY(snapshotOf(env.databaseFile(), env.settingsFile()) == before);
    // No safety archive, no staging folder, nothing written outside.
    QCOMPARE(QDir(env.workDir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             workBefore);
    QVERIFY(!QFileInfo::exists(env.workDir() + QStringLiteral("/../escaped.txt")));
    QVERIFY(!QFileInfo::exists(QStringLiteral("/tmp/orvane-escaped.txt")));
    // The program's connection still works.
    QSqlQuery query(programConnection());
    QVERIFY(query.exec(QStringLiteral("select count(*) from star")) && query.next());
    QCOMPARE(query.value(0).toInt(), 2);
}

void BackupTest::restoreOverOtherDataCanBeUndone()
{
    TestEnvironment env;
    QSqlDatabase db = programConnection();
    QVERIFY(fillAll(db));
    const Snapshot saved = snapshotOf(env.databaseFile(), env.settingsFile());
    QString error;
    const QString archive = env.workDir() + QStringLiteral("/morning.zip");
    QVERIFY(BackupArchive::create(BackupArchive::Sources::current(), archive, &error));

    // The mistakes of the day: a task gone, a day added, a setting changed, files changed.
    QSqlQuery query(db);
    QVERIFY(query.exec(QStringLiteral("delete from star where manualIndex = 0")));
    QVERIFY(addDay(
        db, DayStore::dayName(QDate(2026, 12, 8)) + QStringLiteral("空时刻表"),
        {{QStringLiteral("10:00--11:00"), QStringLiteral("新的"), QString(), QString(), 0}}));
    Settings::write(QStringLiteral("planLabels"), QStringLiteral("别的；"));
    Settings::write(QStringLiteral("newKey"), 5);
    writeFile(Paths::attachmentsDir() + QStringLiteral("/later.txt"), "added later");
    QFile::remove(Paths::templatesDir() + QStringLiteral("/空时刻表.xml"));
    const Snapshot mistaken = snapshotOf(env.databaseFile(), env.settingsFile());

    const QString safety = env.workDir() + QStringLiteral("/backups/before.zip");
    const BackupRestore::Outcome outcome =
        BackupRestore::restore(archive, BackupArchive::Sources::current(), safety);
    QVERIFY2(outcome.restored, qPrintable(outcome.message));
    QVERIFY(outcome.changed);
    QCOMPARE(outcome.safetyArchive, safety);
    QVERIFY(outcome.message.contains(QDir::toNativeSeparators(safety)));
    QVERIFY(snapshotOf(env.databaseFile(), env.settingsFile()) == saved);
    // The program's connection was opened again on the restored file.
    QSqlQuery again(programConnection());
    QVERIFY(again.exec(QStringLiteral("select count(*) from star")) && again.next());
    QCOMPARE(again.value(0).toInt(), 2);

    // The data replaced were kept, and restoring them undoes the restore.
    const BackupRestore::Outcome undo = BackupRestore::restore(
        safety, BackupArchive::Sources::current(), env.workDir() + QStringLiteral("/b2.zip"));
    QVERIFY2(undo.restored, qPrintable(undo.message));
    QVERIFY(snapshotOf(env.databaseFile(), env.settingsFile()) == mistaken);
}

void BackupTest::archiveInsideADataFolder()
{
    TestEnvironment env;
    QVERIFY(fillAll(programConnection()));
    // Saved among the attachments, twice: neither the work files of the first backup nor the
    // first archive's partial state may end up as attachments of the second.
    const QString archive = Paths::attachmentsDir() + QStringLiteral("/备份.zip");
    QString error;
    QVERIFY(BackupArchive::create(BackupArchive::Sources::current(), archive, &error));
    BackupManifest manifest;
    QVERIFY(BackupArchive::create(BackupArchive::Sources::current(),
                                  Paths::attachmentsDir() + QStringLiteral("/again.zip"), &error,
                                  {}, &manifest));
    QStringList attachments;
    for (const BackupManifest::Member &member : qAsConst(manifest.members)) {
        if (member.path.startsWith(QLatin1String("MyAttachments/")))
            attachments.append(member.path);
    }
    attachments.sort();
    QCOMPARE(attachments, (QStringList{QStringLiteral("MyAttachments/.hidden"),
                                       QStringLiteral("MyAttachments/图片 1.png"),
                                       QStringLiteral("MyAttachments/备份.zip")}));
}

void BackupTest::backupNeedsDatabase()
{
    TestEnvironment env;
    QString error;
    const QString archive = env.workDir() + QStringLiteral("/none.zip");
    QVERIFY(!BackupArchive::create(BackupArchive::Sources::current(), archive, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFileInfo::exists(archive));
    // Copying a missing file must not create an empty database either.
    QVERIFY(!QFileInfo::exists(env.databaseFile()));
    const DailyBackups::Outcome daily = DailyBackups::atStartup(
        BackupArchive::Sources::current(), DailyBackups::folder(), Clock::today());
    QCOMPARE(daily.result, DailyBackups::Result::NoDatabase);
    QVERIFY(!QFileInfo::exists(DailyBackups::folder() + QStringLiteral("/orvane-20261207.zip")));
}

void BackupTest::dailyRetention_data()
{
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<int>("step"); // days between starts
    QTest::addColumn<QList<QDate>>("kept");
    auto december = [](QList<int> days) {
        QList<QDate> dates;
        for (int day : days)
            dates.append(QDate(2026, 12, day));
        return dates;
    };
    // 2026-12-07 is a Monday.
    QTest::newRow("every day of December") << QDate(2026, 12, 1) << QDate(2026, 12, 31) << 1
                                           << december({6, 13, 20, 24, 25, 26, 27, 28, 29, 30, 31});
    QTest::newRow("every third day") << QDate(2026, 12, 1) << QDate(2026, 12, 31) << 3
                                     << december({4, 10, 13, 16, 19, 22, 25, 28, 31});
    QTest::newRow("fewer starts than kept archives")
        << QDate(2026, 12, 1) << QDate(2026, 12, 5) << 1 << december({1, 2, 3, 4, 5});
}

void BackupTest::dailyRetention()
{
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(int, step);
    QFETCH(QList<QDate>, kept);
    TestEnvironment env;
    QVERIFY(addTasks(programConnection(), {{QStringLiteral("每天都在"), {}, {}, 0, 0, {}}}));
    const QString folder = DailyBackups::folder();
    QVERIFY(folder.startsWith(env.workDir()));
    // Files that are not daily archives are never removed.
    writeFile(folder + QStringLiteral("/before-restore-20261101-080000.zip"), "safety");
    writeFile(folder + QStringLiteral("/notes.txt"), "mine");

    for (QDate day = first; day <= last; day = day.addDays(step)) {
        Clock::setToday(day);
        const DailyBackups::Outcome start =
            DailyBackups::atStartup(BackupArchive::Sources::current(), folder, Clock::today());
        QCOMPARE(start.result, DailyBackups::Result::Made);
        // A second start on the same day makes nothing new.
        QCOMPARE(DailyBackups::atStartup(BackupArchive::Sources::current(), folder, Clock::today())
                     .result,
                 DailyBackups::Result::AlreadyMade);
    }
    Clock::setToday(QDate());

    QStringList expected;
    for (const QDate &date : kept)
        expected.append(DailyBackups::archiveName(date));
    expected << QStringLiteral("before-restore-20261101-080000.zip") << QStringLiteral("notes.txt");
    expected.sort();
    QStringList present = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    present.sort();
    QCOMPARE(present, expected);
    // The newest archive restores.
    QTemporaryDir extract;
    const BackupArchive::Verified verified = BackupArchive::verify(
        QDir(folder).filePath(DailyBackups::archiveName(kept.last())), extract.path());
    QVERIFY2(verified.ok, qPrintable(verified.problem));
    QCOMPARE(verified.manifest.tasks, 1);
}

QTEST_GUILESS_MAIN(BackupTest)
#include "tst_backup.moc"

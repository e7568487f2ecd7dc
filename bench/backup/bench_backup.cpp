// Three years of days (two schedules a day), a thousand tasks and some attachments: the time
// and size of a backup archive, of verifying it and of a whole restore, next to what
// "sqlite3 .backup" plus "zip" take for the same data.
#include "app/database.h"
#include "app/paths.h"
#include "app/settings.h"
#include "backup/backuparchive.h"
#include "backup/backuprestore.h"
#include "backup/databasecopy.h"
#include "bench/support/benchtimer.h"
#include "bench/support/taskfill.h"
#include "bench/support/yearsdata.h"
#include "tests/support/testenvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>

namespace {
const int runs = 3;

double megabytes(qint64 bytes)
{
    return bytes / (1024.0 * 1024.0);
}

bool run(const QString &program, const QStringList &arguments, const QString &dir)
{
    QProcess process;
    process.setWorkingDirectory(dir);
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// Attachments as people keep them: pictures and documents that hardly compress.
void writeAttachments(int count, int size)
{
    QDir().mkpath(Paths::attachmentsDir());
    quint32 seed = 12345;
    for (int i = 0; i < count; ++i) {
        QByteArray data(size, '\0');
        for (int b = 0; b < size; ++b) {
            seed = seed * 1664525u + 1013904223u;
            data[b] = char(seed >> 24);
        }
        QFile file(Paths::attachmentsDir() + QStringLiteral("/附件%1.jpg").arg(i));
        file.open(QIODevice::WriteOnly);
        file.write(data);
    }
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The stores' log lines would drown the figures.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    TestEnvironment env;
    QSqlDatabase db;
    Database::connect(&db);

    // Filling three years takes minutes: a folder given as the argument keeps the database
    // between runs.
    const QString cache = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString cached = cache + QStringLiteral("/KDdatabase.db");
    QElapsedTimer fillTimer;
    fillTimer.start();
    if (!cache.isEmpty() && QFileInfo::exists(cached)) {
        Database::close();
        QFile::remove(env.databaseFile());
        QFile::copy(cached, env.databaseFile());
        Database::connect(&db);
        YearsData::writeTemplates();
    } else if (!YearsData::fillThreeYears(db)) {
        std::printf("could not fill three years of days\n");
        return 1;
    } else if (!cache.isEmpty()) {
        QDir().mkpath(cache);
        QString error;
        DatabaseCopy::copy(env.databaseFile(), cached, &error);
    }
    fillTasks(1000);
    writeAttachments(40, 256 * 1024);
    Settings::write(QStringLiteral("mainViewItemCount"), 1000);
    const qint64 databaseSize = QFileInfo(env.databaseFile()).size();
    std::printf("data: three years (%s .. %s), %.1f MB database, 1000 tasks, 40 attachments of "
                "256 KB; made in %.0f s\n",
                qPrintable(YearsData::lastDay().addYears(-3).addDays(1).toString(Qt::ISODate)),
                qPrintable(YearsData::lastDay().toString(Qt::ISODate)), megabytes(databaseSize),
                fillTimer.elapsed() / 1000.0);

    const QString out = env.workDir() + QStringLiteral("/out");
    QDir().mkpath(out);
    const QString copied = out + QStringLiteral("/copy.db");
    QString copyError;
    const double copyMs = medianMs(
        runs, [&]() { QFile::remove(copied); },
        [&]() { DatabaseCopy::copy(env.databaseFile(), copied, &copyError); });
    std::printf("database copy alone (backup API): %6.0f ms\n", copyMs);
    const QString archive = out + QStringLiteral("/backup.zip");
    QString error;
    const double backupMs = medianMs(
        runs, [&]() { QFile::remove(archive); },
        [&]() { BackupArchive::create(BackupArchive::Sources::current(), archive, &error); });
    if (!QFileInfo::exists(archive)) {
        std::printf("backup failed: %s\n", qPrintable(error));
        return 1;
    }
    const qint64 archiveSize = QFileInfo(archive).size();
    std::printf("backup (backup API + zip):       %8.0f ms  %7.1f MB archive\n", backupMs,
                megabytes(archiveSize));

    const double verifyMs = medianMs(runs, nullptr, [&]() {
        QTemporaryDir extract(out + QStringLiteral("/verify-XXXXXX"));
        BackupArchive::verify(archive, extract.path());
    });
    std::printf("verify (extract, SHA-256, integrity_check): %8.0f ms\n", verifyMs);

    // A restore into an empty folder: verification, then every file put in place.
    int restoreRun = 0;
    const double restoreMs = medianMs(runs, nullptr, [&]() {
        const QString target = out + QStringLiteral("/restore%1").arg(restoreRun++);
        BackupArchive::Sources to;
        to.databaseFile = target + QStringLiteral("/KDdatabase.db");
        to.settingsFile = target + QStringLiteral("/Orvane.ini");
        to.templatesDir = target + QStringLiteral("/MyTemplates");
        to.attachmentsDir = target + QStringLiteral("/MyAttachments");
        to.excelDbDir = target + QStringLiteral("/ExcelDB");
        const BackupRestore::Outcome outcome =
            BackupRestore::restore(archive, to, target + QStringLiteral("/before.zip"));
        if (!outcome.restored)
            std::printf("restore failed: %s\n", qPrintable(outcome.message));
    });
    std::printf("verify and restore into an empty folder: %8.0f ms\n", restoreMs);

    const QString sqlite3 = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    const QString zip = QStandardPaths::findExecutable(QStringLiteral("zip"));
    if (sqlite3.isEmpty() || zip.isEmpty()) {
        std::printf("sqlite3 or zip is not installed: no comparison\n");
        return 0;
    }
    // The same members: a database copy, the settings and the three folders.
    const QString plain = out + QStringLiteral("/plain");
    const QString plainZip = out + QStringLiteral("/plain.zip");
    const double plainMs = medianMs(
        runs,
        [&]() {
            QDir(plain).removeRecursively();
            QDir().mkpath(plain);
            QFile::remove(plainZip);
        },
        [&]() {
            run(sqlite3,
                {env.databaseFile(), QStringLiteral(".backup '%1/KDdatabase.db'").arg(plain)},
                env.workDir());
            QFile::copy(Settings::filePath(), plain + QStringLiteral("/settings.ini"));
            QStringList members{QStringLiteral("-r"), QStringLiteral("-q"), plainZip,
                                plain + QStringLiteral("/KDdatabase.db"),
                                plain + QStringLiteral("/settings.ini")};
            for (const QString &dir :
                 {Paths::templatesDir(), Paths::attachmentsDir(), Paths::excelDbDir()}) {
                if (QFileInfo(dir).isDir())
                    members.append(dir);
            }
            run(zip, members, env.workDir());
        });
    const double vacuumMs = medianMs(
        runs, [&]() { QFile::remove(copied); },
        [&]() {
            run(sqlite3, {env.databaseFile(), QStringLiteral("VACUUM INTO '%1'").arg(copied)},
                env.workDir());
        });
    std::printf("database copy by VACUUM INTO (sqlite3): %6.0f ms\n", vacuumMs);
    const qint64 plainSize = QFileInfo(plainZip).size();
    std::printf("sqlite3 .backup + zip -r:       %8.0f ms  %7.1f MB archive\n", plainMs,
                megabytes(plainSize));
    std::printf("ratio backup / (sqlite3 + zip): time %.2f, size %.2f\n", backupMs / plainMs,
                double(archiveSize) / double(plainSize));
    return 0;
}

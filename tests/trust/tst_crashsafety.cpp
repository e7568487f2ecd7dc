// Kills the crash driver (trust_crashdriver) with SIGKILL at random moments while it saves, and
// checks the files after every kill as the next start of the program would find them: the
// database is intact, positions are dense, closed label totals equal the sum of their days, the
// action that was cut is wholly there or wholly absent, and the settings file parses and agrees
// with the tables once the start-up repairs ran. ORVANE_CRASH_KILLS sets the number of kills
// (default 24; the long run in the README uses 1000).
#include "app/database.h"
#include "tests/support/testenvironment.h"
#include "tests/trust/crashcheck.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <cstdio>

namespace {
QString driverPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/trust_crashdriver");
}

// The journal line of the action a kill cut, or an empty text.
QString cutAction(const QString &journalPath)
{
    QFile file(journalPath);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (int i = lines.size() - 1; i >= 0; --i) {
        if (lines.at(i).isEmpty())
            continue;
        return lines.at(i).startsWith("B ") ? QString::fromUtf8(lines.at(i)) : QString();
    }
    return QString();
}

int finishedActions(const QString &journalPath)
{
    QFile file(journalPath);
    file.open(QIODevice::ReadOnly);
    return int(file.readAll().count("\nE "));
}
} // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT

private slots:
    void killsMidSave()
    {
        QVERIFY2(QFile::exists(driverPath()), qPrintable(driverPath()));
        TestEnvironment env;
        const QString root = QFileInfo(env.workDir()).absolutePath();
        const QString journalPath = root + QStringLiteral("/journal.txt");
        QProcess seed;
        seed.start(driverPath(), {root, QStringLiteral("seed")});
        QVERIFY(seed.waitForFinished(600000));
        QCOMPARE(seed.exitCode(), 0);

        const int kills = qEnvironmentVariableIntValue("ORVANE_CRASH_KILLS") > 0
                              ? qEnvironmentVariableIntValue("ORVANE_CRASH_KILLS")
                              : 24;
        QRandomGenerator random(20261207);
        QStringList problems;
        int cutActions = 0;
        for (int kill = 0; kill < kills; ++kill) {
            QProcess driver;
            driver.start(driverPath(), {root, QStringLiteral("run"), QString::number(kill + 1)});
            QVERIFY(driver.waitForStarted());
            // Past the start-up repairs, then a random moment among the saves.
            QVERIFY(driver.waitForReadyRead(60000));
            QTest::qWait(int(random.bounded(10, 400)));
            QCOMPARE(driver.state(), QProcess::Running);
            driver.kill();
            QVERIFY(driver.waitForFinished(10000));
            QCOMPARE(driver.exitStatus(), QProcess::CrashExit);

            // The next start of the program, on the files as the kill left them.
            TestEnvironment::dropProgramConnection();
            QSqlDatabase db;
            QVERIFY(Database::connect(&db));
            CrashCheck::startRepairs(db);
            const QString cut = cutAction(journalPath);
            if (!cut.isEmpty()) {
                ++cutActions;
                // Opening the date of cut summary items repairs their settings keys.
                if (cut.section(QLatin1Char(' '), 2, 2) == QLatin1String("summary"))
                    CrashCheck::openDate(db, cut.section(QLatin1Char(' '), 3, 3));
            }
            for (const QString &problem : CrashCheck::problems(db, cut))
                problems.append(QStringLiteral("kill %1: ").arg(kill + 1) + problem);
            TestEnvironment::dropProgramConnection();
        }
        // Printed past QtTest's message limit, which the debug lines of a long run exceed.
        std::printf("%d kills, %d of them inside an action, %d actions finished\n", kills,
                    cutActions, finishedActions(journalPath));
        std::fflush(stdout);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
        // Kills that all fell between actions would prove little.
        QVERIFY(cutActions > 0);
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"

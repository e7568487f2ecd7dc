// The day view with a year of saved days behind it: drawing a 50-record day, saving an ordinary
// day, saving 31 December (which closes its week, month and year), and how many transactions
// each save commits.
#include "app/database.h"
#include "bench/support/benchtimer.h"
#include "schedule/daystore.h"
#include "schedule/orvaneview.h"
#include "schedule/templatestore.h"
#include "statistics/labeldurationstore.h"
#include "tests/support/logcapture.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"

#include <QApplication>
#include <QPushButton>
#include <QSqlDriver>
#include <QSqlQuery>
#include <cstdio>

extern "C" {
struct sqlite3;
void *sqlite3_commit_hook(sqlite3 *, int (*)(void *), void *);
}

namespace {
int commits = 0;

int countCommit(void *)
{
    ++commits;
    return 0;
}

void installCommitCounter(QSqlDatabase db)
{
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") == 0)
        sqlite3_commit_hook(*static_cast<sqlite3 *const *>(handle.data()), countCommit, nullptr);
}

const QStringList labels = {"工作", "学习", "运动", "阅读", "家务"};

// A saved day: n timed records with labels, texts and its label table, then the closing check.
void saveDay(QSqlDatabase db, const QDate &date, int n)
{
    const QString table = DayStore::dayName(date) + QStringLiteral("空时刻表");
    DayStore store(db);
    store.createTables(table);
    QSqlQuery query(db);
    for (int i = 0; i < n; ++i) {
        query.prepare(QStringLiteral("insert into \"%1\" values(?,?,?,?,?,?,?,?,?,?)").arg(table));
        query.addBindValue(i);
        query.addBindValue(i);
        const int hour = 6 + i % 16;
        query.addBindValue(QStringLiteral("%1:00--%1:45").arg(hour, 2, 10, QLatin1Char('0')));
        query.addBindValue(QStringLiteral("<p>计划 %1：整理资料并写出提纲</p>").arg(i));
        query.addBindValue(labels.at(i % labels.size()));
        query.addBindValue(QStringLiteral("<p>结果 %1：完成了大部分</p>").arg(i));
        query.addBindValue(date.toString(QStringLiteral("yyyy-MM-dd")));
        query.addBindValue(100);
        query.addBindValue(100);
        query.addBindValue(0);
        query.exec();
    }
    QVector<int> minutes(n, 45);
    LabelDurationStore durations(db);
    durations.rebuildDayLabelTable(table, minutes, date);
    durations.checkLabelDurationStatistic(date);
}

QPushButton *saveButton(orvaneView &view)
{
    for (QPushButton *b : view.findChildren<QPushButton *>()) {
        if (b->text() == QStringLiteral("保存修改"))
            return b;
    }
    return nullptr;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestEnvironment env(QRect(0, 0, 1920, 1040), QDate(2025, 12, 30));
    PromptScript prompts;
    LogCapture quiet;
    QSqlDatabase db;
    Database::connect(&db);
    TemplateStore::createBuiltInTemplates();

    db.transaction();
    for (QDate date(2025, 1, 1); date <= QDate(2025, 12, 29); date = date.addDays(1))
        saveDay(db, date, 12);
    saveDay(db, QDate(2025, 12, 30), 50);
    saveDay(db, QDate(2025, 12, 31), 12);
    db.commit();

    orvaneView view(nullptr, nullptr, QString(), QString());
    view.show();
    QCoreApplication::processEvents();
    const int runs = 7;
    const double draw50 = medianMs(runs, nullptr, [&] {
        view.drawDateSchedule(QDate(2025, 12, 30));
        QCoreApplication::processEvents();
    });

    installCommitCounter(view.database());
    QPushButton *save = saveButton(view);
    commits = 0;
    const double saveOrdinary = medianMs(runs, nullptr, [&] { save->click(); });
    const int ordinaryCommits = commits / runs;

    view.drawDateSchedule(QDate(2025, 12, 31));
    QCoreApplication::processEvents();
    commits = 0;
    const double saveYearEnd = medianMs(runs, nullptr, [&] { save->click(); });
    const int yearEndCommits = commits / runs;

    std::printf("day view with a year of saved days, median of %d runs\n", runs);
    std::printf("%-44s %10.1f ms\n", "draw a 50-record day (30 Dec)", draw50);
    std::printf("%-44s %10.1f ms  %d transaction(s)\n", "save an ordinary day (50 records)",
                saveOrdinary, ordinaryCommits);
    std::printf("%-44s %10.1f ms  %d transaction(s)\n", "save 31 Dec (closes week, month, year)",
                saveYearEnd, yearEndCommits);
    return 0;
}

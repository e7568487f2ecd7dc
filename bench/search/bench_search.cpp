// Search over three years of days (two schedules of 30 records a day, summaries, 300 tasks): a
// rare and a common text (first 100 results, through the trigram index and, for two characters,
// by scanning), the index's size beside the database's, a full rebuild, and a day's and a task's
// save with the index next to the same save without it.
#include "app/database.h"
#include "app/sql.h"
#include "bench/support/benchtimer.h"
#include "bench/support/taskfill.h"
#include "bench/support/yearsdata.h"
#include "schedule/daystore.h"
#include "search/searchindex.h"
#include "search/searchquery.h"
#include "tasklist/taskstore.h"
#include "tests/support/logcapture.h"
#include "tests/support/testenvironment.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {
qint64 fileSize()
{
    return QFileInfo(Database::fileName).size();
}

void compact(QSqlDatabase db)
{
    Sql::run(db, QStringLiteral("vacuum"), QStringLiteral("vacuum failed"));
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    TestEnvironment env;
    LogCapture quiet;
    // Filling three years takes minutes; the filled file is kept beside the program for the
    // next run (delete it to fill again).
    const QString cache = QCoreApplication::applicationDirPath() + QStringLiteral("/years.db");
    const bool cached = QFile::copy(cache, Database::fileName);
    QSqlDatabase db;
    Database::connect(&db);

    // The data first, without an index (the stores leave a missing index alone).
    if (!cached) {
        QElapsedTimer fillTimer;
        fillTimer.start();
        if (!YearsData::fillThreeYears(db)) {
            std::printf("filling the years failed\n");
            return 1;
        }
        fillTasks(300);
        const QString rareTable =
            DayStore::dayName(QDate(2024, 3, 15)) + YearsData::templateNames().at(1);
        DayStore(db).updateRecord(rareTable, 17, QStringLiteral("14:45--15:10"),
                                  QStringLiteral("<p>去海洋馆看<b>鹦鹉螺</b>的展览</p>"), QString(),
                                  100, 100);
        compact(db);
        QFile::copy(Database::fileName, cache);
        std::printf("three years filled in %.1f s\n", fillTimer.elapsed() / 1000.0);
    }
    const qint64 dataBytes = fileSize();
    std::printf("three years: 1096 days, 2192 schedules of %d records, 300 tasks\n",
                YearsData::recordsPerSchedule);

    QElapsedTimer rebuildTimer;
    rebuildTimer.start();
    SearchIndex(db).rebuild();
    const double firstBuild = rebuildTimer.nsecsElapsed() / 1e6;
    const double rebuild = medianMs(3, nullptr, [&] { SearchIndex(db).rebuild(); });
    compact(db);
    const qint64 indexedBytes = fileSize();
    bool ok = false;
    const int texts = SearchIndex(db).documents(&ok).size();
    std::printf("index: %d texts; database %.1f MB, with the index %.1f MB (index %.1f MB, "
                "%.0f%% of the data)\n",
                texts, dataBytes / 1048576.0, indexedBytes / 1048576.0,
                (indexedBytes - dataBytes) / 1048576.0,
                100.0 * double(indexedBytes - dataBytes) / double(dataBytes));
    std::printf("full rebuild: first %.0f ms, median of 3 %.0f ms\n", firstBuild, rebuild);

    const struct {
        const char *what;
        QString text;
    } searches[] = {
        {"rare word, 3 characters", QStringLiteral("鹦鹉螺")},
        {"rare latin-free phrase", QStringLiteral("海洋馆看鹦鹉螺")},
        {"common phrase (every plan)", QStringLiteral("整理资料")},
        {"common date (a day's texts)", QStringLiteral("2025-06-18")},
        {"rare, 2 characters (scan)", QStringLiteral("鹦鹉")},
        {"common, 2 characters (scan)", QStringLiteral("计划")},
        {"absent word", QStringLiteral("火星基地")},
        {"absent, 2 characters (scan)", QStringLiteral("火星")},
    };
    SearchQuery query(db);
    for (const auto &search : searches) {
        const int hits = query.find(search.text).size();
        const double ms = medianMs(21, nullptr, [&] { query.find(search.text); });
        std::printf("search %-30s %7.2f ms  %3d hits (first 100)\n", search.what, ms, hits);
    }

    // The same saves with the index and without it (its tables gone, the stores skip it).
    const QDate day(2025, 6, 18);
    const QString table = DayStore::dayName(day) + YearsData::templateNames().at(0);
    DayActions actions(db);
    int round = 0;
    auto saveAllChanged = [&] {
        DayEdits edits = YearsData::dayEdits(day, 0);
        for (DayRecordEdit &record : edits.records)
            record.plan += QStringLiteral("<p>第%1次修改</p>").arg(++round);
        actions.saveDay(table, day, edits);
    };
    auto saveOneChanged = [&] {
        DayEdits edits = YearsData::dayEdits(day, 0);
        edits.records[3].plan += QStringLiteral("<p>第%1次修改</p>").arg(++round);
        actions.saveDay(table, day, edits);
    };
    TaskStore tasks(db);
    TaskRecord task = tasks.selectAt(150).first();
    const QString taskText = task.content;
    auto saveTask = [&] {
        task.content = taskText + QStringLiteral("<p>第%1次修改</p>").arg(++round);
        tasks.saveAll({task});
    };
    const int runs = 31;
    const double indexedAll = medianMs(runs, nullptr, saveAllChanged);
    const double indexedOne = medianMs(runs, nullptr, saveOneChanged);
    const double indexedTask = medianMs(runs, nullptr, saveTask);
    Sql::run(db, QStringLiteral("drop table search_meta"), QStringLiteral("drop failed"));
    const double plainAll = medianMs(runs, nullptr, saveAllChanged);
    const double plainOne = medianMs(runs, nullptr, saveOneChanged);
    const double plainTask = medianMs(runs, nullptr, saveTask);
    std::printf("day save, 30 records changed: %.2f ms indexed, %.2f ms without: %.2fx\n",
                indexedAll, plainAll, indexedAll / plainAll);
    std::printf("day save, 1 record changed:   %.2f ms indexed, %.2f ms without: %.2fx\n",
                indexedOne, plainOne, indexedOne / plainOne);
    std::printf("task save:                    %.2f ms indexed, %.2f ms without: %.2fx\n",
                indexedTask, plainTask, indexedTask / plainTask);
    return 0;
}

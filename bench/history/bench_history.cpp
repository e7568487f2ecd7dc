// A year of saved days (365 days of 20 records each, with summaries) behind the history view:
// building the view and its peak memory, reading the whole year, and exporting it to PDF next to
// a bare text-document print of the same HTML, and to text.
#include "app/database.h"
#include "bench/support/benchtimer.h"
#include "history/dayexport.h"
#include "history/exportdocument.h"
#include "history/historyview.h"
#include "richtext/customtextedit.h"
#include "tests/history/historyseed.h"
#include "tests/support/logcapture.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextDocument>
#include <cstdio>

using namespace HistorySeed;

namespace {
const QDate first(2025, 12, 8);
const int dayCount = 365;
const int recordsPerDay = 20;

// Resident and peak resident memory of the process in MiB, from the kernel's status file.
double memoryMiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

void settle()
{
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}

void seedYear(QSqlDatabase db)
{
    db.transaction();
    for (int day = 0; day < dayCount; ++day) {
        QList<Record> records;
        for (int i = 0; i < recordsPerDay; ++i) {
            const int hour = 6 + i % 16;
            records.append({QStringLiteral("%1:00--%1:45").arg(hour, 2, 10, QLatin1Char('0')),
                            QStringLiteral("计划 %1：整理资料并写出提纲，联系同事确认细节").arg(i),
                            QStringLiteral("结果 %1：完成了大部分，明天继续").arg(i)});
        }
        saveDay(db, dayTable(first.addDays(day)), records,
                {summaryText(QStringLiteral("今日总结"), QStringLiteral("专注，进展顺利。")),
                 summaryText(QStringLiteral("明日计划"), QStringLiteral("继续写报告。")),
                 summaryScore(QStringLiteral("效率"), QStringLiteral("7")),
                 summaryScore(QStringLiteral("心情"), QStringLiteral("8"))});
    }
    QList<Task> tasks;
    for (int i = 0; i < 100; ++i)
        tasks.append({QStringLiteral("任务 %1：准备季度总结").arg(i), "2026-01-01", "2026-12-31",
                      "重要", "紧急", i % 10, i % 100, "工作；"});
    saveTasks(db, tasks);
    db.commit();
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    TestEnvironment env(QRect(0, 0, 1920, 1040), QDate(2026, 12, 7));
    PromptScript prompts;
    QSqlDatabase db;
    Database::connect(&db);
    seedYear(db);
    QWidget dayView;
    const QString start = first.toString(QStringLiteral("yyyy.MM.dd"));
    const QString end = first.addDays(dayCount - 1).toString(QStringLiteral("yyyy.MM.dd"));
    std::printf("history of %d days x %d records (%s to %s)\n", dayCount, recordsPerDay,
                qPrintable(start), qPrintable(end));

    LogCapture quiet; // the per-table log lines would swamp the figures
    const double reading =
        medianMs(3, nullptr, [&] { HistoryStore(db).range(first, first.addDays(dayCount - 1)); });
    std::printf("reading the year's tables alone: %.0f ms\n", reading);
    const double before = memoryMiB("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    auto *view = new historyView(&dayView, &dayView, start, end);
    view->show();
    settle();
    const double built = timer.nsecsElapsed() / 1e6;
    std::printf("view construction and first paint: %.0f ms, resident +%.0f MiB, peak %.0f MiB\n",
                built, memoryMiB("VmRSS:") - before, memoryMiB("VmHWM:"));

    // Reading the whole year makes every editor; this is the cost the lazy places avoid.
    timer.restart();
    QScrollBar *bar = view->scrollArea()->verticalScrollBar();
    for (int value = 0;; value += bar->pageStep()) {
        bar->setValue(value);
        settle();
        if (value >= bar->maximum())
            break;
    }
    const double scrolled = timer.nsecsElapsed() / 1e6;
    std::printf("scrolling through every day (%d editors made): %.0f ms, peak %.0f MiB\n",
                view->content()->findChildren<CustomTextEdit *>().size(), scrolled,
                memoryMiB("VmHWM:"));

    const QString pdf = env.workDir() + QStringLiteral("/year.pdf");
    const QString text = env.workDir() + QStringLiteral("/year.txt");
    // The same HTML printed bare: the floor any export can reach.
    DayExport exporter = ExportDocument::dayExport(db);
    QString html;
    bool listed = false;
    const QStringList tables =
        DayExport::tablesInRange(HistoryStore(db).allTables(&listed), first.toString("yyyyMMdd"),
                                 first.addDays(dayCount - 1).toString("yyyyMMdd"));
    for (const QString &table : tables)
        html += exporter.dayHtml(table);
    html += exporter.taskListHtml();
    html = exporter.document(html);
    const QString barePdf = env.workDir() + QStringLiteral("/bare.pdf");
    auto printBare = [&] {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setResolution(600);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setOutputFileName(barePdf);
        QTextDocument document;
        document.setHtml(html);
        document.print(&printer);
    };
    auto exportYear = [&] {
        view->exportDays(start, end, false, QStringLiteral("纵向"), QStringLiteral("A4"));
    };
    // Alternating runs, so a busy moment of the machine weighs on both alike.
    std::vector<double> exportRuns;
    std::vector<double> bareRuns;
    for (int run = 0; run < 3; ++run) {
        prompts.answerSaveFile(pdf, QString());
        exportRuns.push_back(medianMs(1, nullptr, exportYear));
        bareRuns.push_back(medianMs(1, nullptr, printBare));
    }
    std::sort(exportRuns.begin(), exportRuns.end());
    std::sort(bareRuns.begin(), bareRuns.end());
    const double exportPdf = exportRuns[1];
    const double bare = bareRuns[1];
    std::printf("PDF export: %.0f ms (%.1f MiB); bare print of the same HTML: %.0f ms; "
                "ratio %.2f (medians of 3)\n",
                exportPdf, QFileInfo(pdf).size() / 1048576.0, bare, exportPdf / bare);

    const double exportText = medianMs(
        3,
        [&] {
            QFile::remove(text);
            prompts.answerSaveFile(text, QString());
        },
        [&] { view->exportDays(start, end, false, QStringLiteral("纵向"), QStringLiteral("A4")); });
    std::printf("text export: %.0f ms (%.1f MiB file)\n", exportText,
                QFileInfo(text).size() / 1048576.0);
    const bool failed = prompts.messages().filter(QStringLiteral("导出失败")).size() > 0;
    delete view;
    return failed ? 1 : 0;
}

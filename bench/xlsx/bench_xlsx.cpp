// Loads and saves the same formatted workbooks with this layer and with openpyxl, and prints
// the medians and how many times faster this layer is. Not part of the test run.

#include "xlsx/document.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// Seconds of CPU time this process has used; a save also waits for the disk (the file is
// synced before it replaces the old one), which this leaves out.
double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    struct Case {
        int rows;
        int pythonRuns;
        int ourRuns;
        const char *kind; // "mixed": formatted numbers and texts; "text": distinct texts only
    };
    for (const Case &c : {Case{100, 5, 21, "mixed"}, Case{10000, 3, 5, "mixed"},
                          Case{100, 5, 21, "text"}, Case{10000, 3, 5, "text"}}) {
        const bool text = qstrcmp(c.kind, "text") == 0;
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral(ORVANE_XLSX_BENCH_DIR "/openpyxl_bench.py"), dir.path(),
                      QString::number(c.rows), QString::number(c.pythonRuns),
                      QLatin1String(c.kind)});
        if (!python.waitForFinished(-1) || python.exitCode() != 0) {
            std::fprintf(stderr, "openpyxl benchmark failed: %s\n",
                         python.readAllStandardError().constData());
            return 1;
        }
        const QList<QByteArray> figures = python.readAllStandardOutput().trimmed().split(' ');
        const double pyLoad = figures.value(0).toDouble();
        const double pySave = figures.value(1).toDouble();

        const QString path = dir.filePath(
            (text ? QStringLiteral("text_%1.xlsx") : QStringLiteral("bench_%1.xlsx")).arg(c.rows));
        const QString out = dir.filePath(QStringLiteral("ours_out.xlsx"));
        std::vector<double> loads, saves, saveCpu;
        for (int run = 0; run < c.ourRuns; ++run) {
            QElapsedTimer timer;
            timer.start();
            QXlsx::Document doc(path);
            loads.push_back(timer.nsecsElapsed() / 1e9);
            if (!doc.isLoadPackage() || doc.dimension().lastRow() != c.rows) {
                std::fprintf(stderr, "load failed: %s\n", qPrintable(doc.loadError()));
                return 1;
            }
            timer.restart();
            const double cpuBefore = cpuSeconds();
            if (!doc.saveAs(out)) {
                std::fprintf(stderr, "save failed\n");
                return 1;
            }
            saves.push_back(timer.nsecsElapsed() / 1e9);
            saveCpu.push_back(cpuSeconds() - cpuBefore);
        }
        const double load = median(loads);
        const double save = median(saves);
        std::printf("%5d x 52 %-5s load: openpyxl %8.4f s  ours %8.4f s  ratio %6.1f\n", c.rows,
                    c.kind, pyLoad, load, pyLoad / load);
        std::printf("%5d x 52 %-5s save: openpyxl %8.4f s  ours %8.4f s  ratio %6.1f\n", c.rows,
                    c.kind, pySave, save, pySave / save);
        std::printf("%5d x 52 %-5s save: ours in CPU time, without waiting for the disk %8.4f s\n",
                    c.rows, c.kind, median(saveCpu));
        std::printf("%5d x 52 %-5s load+save ratio %6.1f\n", c.rows, c.kind,
                    (pyLoad + pySave) / (load + save));
        std::fflush(stdout);
    }
    return 0;
}

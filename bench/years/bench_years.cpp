// Start-up and the day view with three years of days behind them against one week: the task
// list shown after a start, opening the day view on today, switching to another date, and saving
// a day (today, and a day of a week that is already closed). Each date holds two schedules, so
// the view asks which one to show, as it does for a person.
#include "app/database.h"
#include "app/settings.h"
#include "bench/support/yearsdata.h"
#include "schedule/datechangedview.h"
#include "schedule/orvaneview.h"
#include "schedule/templatestore.h"
#include "tasklist/mainview.h"
#include "tests/support/logcapture.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

namespace {
double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Wall and processor time of an action, in milliseconds.
struct Time {
    double wall = 0;
    double cpu = 0;
};

// Medians of `runs` calls; `prepare` runs untimed before each call. Processor time is the
// steadier figure on a machine that other work shares; wall time also counts the waits for the
// disk (the settings file is written with a sync).
Time medianMs(int runs, const std::function<void()> &prepare, const std::function<void()> &measured)
{
    std::vector<double> walls;
    std::vector<double> cpus;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        const double start = cpuMs();
        measured();
        cpus.push_back(cpuMs() - start);
        walls.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    return {walls[walls.size() / 2], cpus[cpus.size() / 2]};
}

struct Figures {
    int tables = 0;
    int settingsKeys = 0;
    Time schemaRead;
    Time settingsRead;
    double build = 0;
    Time startUp;
    Time openDay;
    Time switchDate;
    Time saveToday;
    Time saveClosedWeek;
    Time newDate;
};

int tableCount()
{
    QSqlDatabase db;
    Database::connect(&db);
    QSqlQuery query(db);
    query.exec(QStringLiteral("select count(*) from sqlite_master where type = 'table'"));
    return query.next() ? query.value(0).toInt() : -1;
}

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Answers the view's question which schedule to show with the first template.
void chooseFirst(orvaneView &view, PromptScript &prompts)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        auto *chooser = qobject_cast<dateChangedView *>(window);
        if (!chooser || !chooser->isVisible())
            continue;
        prompts.answerButton(QMessageBox::Ok);
        chooser->onSelectComoboxClicked(YearsData::templateNames().first());
        break;
    }
    if (!view.findChild<QWidget *>(QStringLiteral("fromTime_0")))
        std::fprintf(stderr, "no schedule drawn for %s\n",
                     qPrintable(view.findChild<QDateEdit *>()->date().toString()));
}

// Copies a folder's files and subfolders into another folder.
void copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QFileInfo &entry :
         source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir())
            copyTree(entry.filePath(), target);
        else
            QFile::copy(entry.filePath(), target);
    }
}

// Building three years takes minutes; with ORVANE_YEARS_CACHE set to a folder, the files of
// the first build are kept there and copied in by later runs.
bool prepare(const TestEnvironment &env, bool threeYears, double *buildMs)
{
    const QString cacheRoot = qEnvironmentVariable("ORVANE_YEARS_CACHE");
    const QString cache = cacheRoot.isEmpty() ? QString()
                                              : cacheRoot + (threeYears ? QStringLiteral("/years")
                                                                        : QStringLiteral("/week"));
    const QStringList parts = {QStringLiteral("work"), QStringLiteral("settings"),
                               QStringLiteral("app")};
    const QStringList dirs = {env.workDir(), env.settingsDir(), env.appDir()};
    if (!cache.isEmpty() &&
        QFileInfo::exists(cache + QStringLiteral("/work/") + Database::fileName)) {
        for (int i = 0; i < parts.size(); ++i)
            copyTree(cache + QLatin1Char('/') + parts.at(i), dirs.at(i));
        *buildMs = 0;
        return true;
    }
    QSqlDatabase db;
    Database::connect(&db);
    TemplateStore::createBuiltInTemplates();
    QElapsedTimer timer;
    timer.start();
    const bool filled = threeYears ? YearsData::fillThreeYears(db) : YearsData::fillOneWeek(db);
    *buildMs = timer.nsecsElapsed() / 1e6;
    if (filled && !cache.isEmpty()) {
        TestEnvironment::dropProgramConnection();
        for (int i = 0; i < parts.size(); ++i)
            copyTree(dirs.at(i), cache + QLatin1Char('/') + parts.at(i));
    }
    return filled;
}

QPushButton *saveButton(orvaneView &view)
{
    for (QPushButton *b : view.findChildren<QPushButton *>()) {
        if (b->text() == QStringLiteral("保存修改"))
            return b;
    }
    return nullptr;
}

Figures measure(bool threeYears, int runs)
{
    TestEnvironment env(QRect(0, 0, 1920, 1040), YearsData::lastDay());
    PromptScript prompts;
    LogCapture quiet;
    Figures figures;
    if (!prepare(env, threeYears, &figures.build))
        std::fprintf(stderr, "filling the database failed\n");

    // Each start opens the database and reads the settings file anew, as a new process would.
    const QString settingsDir = env.settingsDir();
    const auto freshStart = [settingsDir] {
        TestEnvironment::dropProgramConnection();
        Settings::setLocation(settingsDir);
    };
    // What every start reads whole, whatever it shows: the schema of every table, the first
    // time a statement runs, and the settings file.
    figures.schemaRead = medianMs(runs, freshStart, [] {
        QSqlDatabase db;
        Database::connect(&db);
        QSqlQuery(db).exec(QStringLiteral("select count(*) from star"));
    });
    figures.settingsRead = medianMs(runs, freshStart, [] { Settings::read(QStringLiteral("x")); });
    figures.tables = tableCount();
    figures.settingsKeys = Settings().allKeys().size();

    figures.startUp = medianMs(runs, freshStart, [] {
        MainView main;
        main.setGeometry(0, 0, 1920, 1040);
        main.show();
        QCoreApplication::processEvents();
    });

    figures.openDay = medianMs(runs, nullptr, [&] {
        orvaneView view(nullptr, nullptr, QString(), QString());
        view.show();
        chooseFirst(view, prompts);
        settle();
    });

    orvaneView view(nullptr, nullptr, QString(), QString());
    view.show();
    chooseFirst(view, prompts);
    settle();
    auto *dateEdit = view.findChild<QDateEdit *>();
    int step = 0;
    figures.switchDate = medianMs(runs, nullptr, [&] {
        // Back and forth between two days of the last week.
        dateEdit->setDate(YearsData::lastDay().addDays(++step % 2 ? -4 : -5));
        chooseFirst(view, prompts);
        settle();
    });

    QPushButton *save = saveButton(view);
    dateEdit->setDate(YearsData::lastDay());
    chooseFirst(view, prompts);
    settle();
    figures.saveToday = medianMs(runs, nullptr, [&] { save->click(); });
    // The Thursday before: its week was closed on Sunday, so the save refreshes the closed total.
    dateEdit->setDate(YearsData::lastDay().addDays(-4));
    chooseFirst(view, prompts);
    settle();
    figures.saveClosedWeek = medianMs(runs, nullptr, [&] { save->click(); });

    // Each run a day never opened: its schedule is made from the default template, which
    // writes the summary's keys into the settings file.
    int ahead = 0;
    figures.newDate = medianMs(runs, nullptr, [&] {
        dateEdit->setDate(YearsData::lastDay().addDays(++ahead));
        settle();
    });
    return figures;
}

void row(const char *what, const Time &week, const Time &years)
{
    std::printf("%-40s %9.1f %9.1f %7.2fx   %9.1f %9.1f %7.2fx\n", what, week.wall, years.wall,
                years.wall / week.wall, week.cpu, years.cpu, years.cpu / week.cpu);
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? QByteArray(argv[1]).toInt() : 7;
    const Figures week = measure(false, runs);
    const Figures years = measure(true, runs);
    std::printf("one week = 7 days, three years = 1,096 days; 2 schedules of %d records a day; "
                "median of %d runs\n",
                YearsData::recordsPerSchedule, runs);
    std::printf("building the data: %.0f ms for one week, %.0f ms for three years (0: copied "
                "from the cache)\n",
                week.build, years.build);
    std::printf("%-40s %13d %13d\n", "tables in the database", week.tables, years.tables);
    std::printf("%-40s %13d %13d\n", "keys in the settings file", week.settingsKeys,
                years.settingsKeys);
    std::printf("%-40s %29s   %29s\n", "milliseconds, median", "wall: week, years, ratio",
                "processor: week, years, ratio");
    row("first statement (reads the schema)", week.schemaRead, years.schemaRead);
    row("first settings read (parses the file)", week.settingsRead, years.settingsRead);
    row("start-up to the task list shown", week.startUp, years.startUp);
    row("opening the day view (today)", week.openDay, years.openDay);
    row("switching to another date", week.switchDate, years.switchDate);
    row("saving today", week.saveToday, years.saveToday);
    row("saving a day of a closed week", week.saveClosedWeek, years.saveClosedWeek);
    row("opening a new date (made from a template)", week.newDate, years.newDate);
    return 0;
}

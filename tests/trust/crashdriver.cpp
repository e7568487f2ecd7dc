// Runs the program's saves on one set of data files, over and over, until it is killed:
//
//   trust_crashdriver <root> seed             makes a database of realistic size, then exits
//   trust_crashdriver <root> run <seed> [max]  random actions until killed (or max of them)
//
// <root> holds "work" (the database), "settings" (the INI file) and "app" (the templates), the
// layout the tests use. Before each action a line "B <n> <kind> <details>" goes to
// <root>/journal.txt and after it "E <n>", written straight to the file so a kill loses nothing
// that was written; the test that kills this program reads it to know which action was cut.
// A start runs the same repairs as the program's own start.

#include "tests/trust/crashcheck.h"

#include "app/clock.h"
#include "app/database.h"
#include "app/paths.h"
#include "app/settings.h"
#include "schedule/dayactions.h"
#include "schedule/planlabels.h"
#include "schedule/summarystore.h"
#include "schedule/templatestore.h"
#include "tasklist/groupstore.h"
#include "tasklist/tasklabels.h"
#include "tasklist/taskstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
int journalFd = -1;

void journal(const QString &line)
{
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    if (::write(journalFd, bytes.constData(), size_t(bytes.size())) != bytes.size())
        std::abort();
}

DayEdits editsFor(QSqlDatabase db, const QString &table, int marker)
{
    DayStore store(db);
    DayEdits edits;
    const QList<ScheduleRecord> records = store.records(table);
    for (int i = 0; i < records.size(); ++i) {
        DayRecordEdit edit;
        edit.timed = true;
        edit.start = QStringLiteral("%1:00").arg(6 + i % 12, 2, 10, QLatin1Char('0'));
        edit.end = QStringLiteral("%1:%2").arg(6 + i % 12, 2, 10, QLatin1Char('0')).arg(10 + i);
        edit.plan = CrashCheck::marked(marker);
        edit.result = QStringLiteral("<p>result %1</p>").arg(i);
        edit.labelCaption = PlanLabels::caption(QStringLiteral("L%1").arg(i % 4));
        edits.records.append(edit);
    }
    edits.texts.append({QStringLiteral("<p>diary</p>"), 100});
    edits.scores.append(marker % 10);
    return edits;
}

class Driver {
public:
    explicit Driver(quint32 seed) : m_random(seed)
    {
        Database::connect(&m_db);
        m_tasks = new TaskStore(m_db);
        m_tasks->ensureTable();
        CrashCheck::startRepairs(m_db);
    }
    ~Driver() { delete m_tasks; }

    void seed()
    {
        TemplateStore::createBuiltInTemplates();
        QList<TaskRecord> tasks;
        for (int i = 0; i < 300; ++i) {
            m_tasks->insert(m_tasks->nextFreeId());
            TaskRecord task;
            task.manualIndex = i;
            task.content = QStringLiteral("<p>task %1 it's 50%</p>").arg(i);
            task.label = QStringLiteral("L%1；").arg(i % 5);
            tasks.append(task);
        }
        m_tasks->saveAll(tasks);
        TaskLabels::store({QStringLiteral("L0"), QStringLiteral("L1"), QStringLiteral("L2")});
        PlanLabels::store(QStringLiteral("L0；L1；L2；L3；"), 4);
        DayActions actions(m_db);
        for (QDate date = CrashCheck::firstDay; date <= CrashCheck::lastDay;
             date = date.addDays(1)) {
            const QString table = CrashCheck::dayTable(date);
            actions.openSchedule(table, nullptr);
            actions.saveDay(table, date, editsFor(m_db, table, 0));
        }
    }

    void run(int max)
    {
        for (int n = nextMarker(); max <= 0 || n < m_firstMarker + max; ++n)
            act(n);
    }

private:
    int nextMarker()
    {
        // Markers grow across runs, so every action of every run is told apart.
        QFile file(QStringLiteral("../journal.txt"));
        int last = 0;
        if (file.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> lines = file.readAll().split('\n');
            for (const QByteArray &line : lines) {
                if (line.startsWith("B "))
                    last = qMax(last, line.split(' ').value(1).toInt());
            }
        }
        m_firstMarker = last + 1;
        return m_firstMarker;
    }

    int pick(int bound) { return bound <= 0 ? 0 : int(m_random.bounded(quint32(bound))); }

    QDate savedDay() { return CrashCheck::firstDay.addDays(pick(CrashCheck::dayCount())); }

    void act(int n)
    {
        const int rows = m_tasks->rowCount();
        switch (pick(11)) {
        case 0: { // several pending rows saved together
            QList<TaskRecord> tasks;
            QStringList indexes;
            for (int k = 0; k < 4 && rows > 4; ++k) {
                TaskRecord task;
                task.manualIndex = (pick(rows / 4) * 4) + k;
                task.content = CrashCheck::marked(n);
                tasks.append(task);
                indexes.append(QString::number(task.manualIndex));
            }
            journal(QStringLiteral("B %1 tasks %2").arg(n).arg(indexes.join(QLatin1Char(','))));
            m_tasks->saveAll(tasks);
            break;
        }
        case 1:
            journal(QStringLiteral("B %1 add %2").arg(n).arg(rows));
            m_tasks->insert(m_tasks->nextFreeId());
            break;
        case 2: {
            if (rows < 50)
                return act(n);
            const int index = pick(rows);
            const QList<TaskRecord> all = m_tasks->select(TaskQuery());
            journal(QStringLiteral("B %1 delete %2 %3").arg(n).arg(rows).arg(all.at(index).id));
            m_tasks->remove(index);
            break;
        }
        case 3: {
            const int index = pick(rows - 1);
            const QList<TaskRecord> all = m_tasks->select(TaskQuery());
            journal(QStringLiteral("B %1 move %2 %3 %4")
                        .arg(n)
                        .arg(index)
                        .arg(all.at(index).id)
                        .arg(all.at(index + 1).id));
            m_tasks->moveDown(index, all.at(index).id);
            break;
        }
        case 4: { // a new date, its tables made from the template
            const QString table = CrashCheck::dayTable(CrashCheck::newDay(n));
            journal(QStringLiteral("B %1 open %2").arg(n).arg(table));
            DayActions(m_db).openSchedule(table, nullptr);
            break;
        }
        case 5: { // a day save; the month's last days close weeks, the month and the year
            const QDate date = pick(3) == 0 ? CrashCheck::lastDay : savedDay();
            const QString table = CrashCheck::dayTable(date);
            journal(QStringLiteral("B %1 save %2").arg(n).arg(table));
            DayActions(m_db).saveDay(table, date, editsFor(m_db, table, n));
            break;
        }
        case 6: { // record add, merge or delete with the day's edits
            const QDate date = savedDay();
            const QString table = CrashCheck::dayTable(date);
            DayStore store(m_db);
            const int records = store.records(table).size();
            const int kind = records < 4 ? 0 : records > 20 ? 2 : pick(3);
            journal(
                QStringLiteral("B %1 record %2 %3 %4").arg(n).arg(table).arg(records).arg(kind));
            const DayEdits edits = editsFor(m_db, table, n);
            DayActions(m_db).saveThen(table, date, &edits, [&] {
                if (kind == 0)
                    return store.addRecord(table, pick(records), false, true, QTime(20, 0),
                                           QTime(20, 30));
                if (kind == 1)
                    return store.mergeRecords(table, 0, 1, 0, DayStore::KeepFirst, QTime(6, 0),
                                              QTime(7, 0));
                return store.deleteRecord(table, pick(records));
            });
            break;
        }
        case 7: // labels live in the settings file only
            journal(QStringLiteral("B %1 labels").arg(n));
            TaskLabels::store({QStringLiteral("L0"), QStringLiteral("N%1").arg(n)});
            PlanLabels::store(QStringLiteral("L0；L1；L2；L3；N%1；").arg(n), 5);
            break;
        case 8:
            journal(QStringLiteral("B %1 group").arg(n));
            if (GroupStore::count() >= 20)
                GroupStore::remove(0);
            GroupStore::add();
            GroupStore::setName(GroupStore::count() - 1, QStringLiteral("group %1").arg(n));
            break;
        case 9: {
            const QString name = QStringLiteral("saved %1").arg(n);
            journal(QStringLiteral("B %1 template %2").arg(n).arg(name));
            TemplateStore::saveAsTemplate(m_db, name, CrashCheck::dayTable(savedDay()));
            break;
        }
        default: { // summary items: the table, then the settings keys
            const QString table = CrashCheck::dayTable(savedDay());
            const QString texts = QStringLiteral("今日随笔；");
            const QString scores = QStringLiteral("今日整体评价；第%1项；").arg(n);
            journal(QStringLiteral("B %1 summary %2").arg(n).arg(table));
            SummaryStore(m_db, table).applyItems(texts, scores);
            break;
        }
        }
        journal(QStringLiteral("E %1").arg(n));
    }

    QSqlDatabase m_db;
    TaskStore *m_tasks = nullptr;
    QRandomGenerator m_random;
    int m_firstMarker = 1;
};
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: trust_crashdriver <root> seed | run <seed> [max]\n");
        return 2;
    }
    const QDir root(args.at(1));
    QDir::setCurrent(root.filePath(QStringLiteral("work")));
    Settings::setLocation(root.filePath(QStringLiteral("settings")));
    Paths::setApplicationDir(root.filePath(QStringLiteral("app")));
    Clock::setToday(CrashCheck::lastDay);
    journalFd = ::open(qPrintable(root.filePath(QStringLiteral("journal.txt"))),
                       O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (journalFd < 0)
        return 2;
    Driver driver(args.size() > 3 ? args.at(3).toUInt() : 1);
    if (args.at(2) == QLatin1String("seed")) {
        driver.seed();
    } else {
        std::printf("running\n");
        std::fflush(stdout);
        driver.run(args.size() > 4 ? args.at(4).toInt() : 0);
    }
    ::close(journalFd);
    return 0;
}

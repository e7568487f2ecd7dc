// Taking back deletes without a window: each kind of delete, read through the stores first,
// then put back, must leave the database (and the settings) exactly as before the delete.
#include "app/database.h"
#include "app/paths.h"
#include "schedule/dayactions.h"
#include "schedule/daystore.h"
#include "schedule/planlabels.h"
#include "schedule/templatestore.h"
#include "tasklist/groupstore.h"
#include "tasklist/taskstore.h"
#include "tests/support/testenvironment.h"
#include "tests/undo/snapshots.h"
#include "undo/deletions.h"
#include "undo/undojournal.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {
QString templateOf(const QDate &date)
{
    return DayStore::dayName(date) + QStringLiteral("空时刻表");
}

// Sum of the minutes in one label table, or -1 when it cannot be read.
int minutesIn(QSqlDatabase db, const QString &table)
{
    QSqlQuery query(db);
    if (!query.exec("select sum(labelDuration) from " + Database::quoteIdentifier(table)) ||
        !query.next())
        return -1;
    return query.value(0).toInt();
}

// The built-in time table's nine records on `date`; when saved, the first five carry labels and
// times changed by the person, and the day is saved as "保存修改" saves it.
void makeDay(QSqlDatabase db, const QDate &date, bool saved)
{
    DayActions actions(db);
    const QString table = templateOf(date);
    QCOMPARE(actions.openSchedule(table, nullptr), DayStore::HasContent);
    if (!saved)
        return;
    DayStore store(db);
    const QStringList labels = {"学习", "运动", "", "学习", "阅读写作"};
    DayEdits edits;
    const QList<ScheduleRecord> records = store.records(table);
    for (int i = 0; i < records.size(); ++i) {
        const QString label = labels.value(i);
        QVERIFY(store.writeLabel(table, i, label));
        DayRecordEdit edit;
        edit.timed = true;
        edit.start = QString("%1:00").arg(8 + i, 2, 10, QChar('0'));
        edit.end = QString("%1:%2").arg(8 + i, 2, 10, QChar('0')).arg(15 + 5 * i);
        edit.plan = QString("<p>计划 %1 it&#39;s</p>").arg(i);
        edit.result = QString("<p>结果 %1</p>").arg(i);
        edit.planHeight = 100 + i;
        edit.resultHeight = 90 + i;
        edit.labelCaption = PlanLabels::caption(label);
        edits.records.append(edit);
    }
    edits.texts = {DaySummaryTextEdit{"<p>今天</p>", 150}};
    edits.scores = {8};
    QVERIFY(actions.saveDay(table, date, edits));
}

// A closed week before the date, and the Sunday of the date's week saved too (when it is in
// the same month), so the totals around the date were closed by other days.
void makeSurroundings(QSqlDatabase db, const QDate &date)
{
    makeDay(db, date.addDays(-7), true);
    const QDate sunday = date.addDays(7 - date.dayOfWeek());
    if (sunday != date && sunday.month() == date.month())
        makeDay(db, sunday, true);
}

QList<TaskRecord> fiveTasks()
{
    QList<TaskRecord> tasks;
    for (int i = 0; i < 5; ++i) {
        TaskRecord t;
        t.id = i * 3; // ids need not follow the positions
        t.manualIndex = i;
        t.content = QString("<p>任务 %1 it&#39;s</p>").arg(i);
        t.startDate = "2026-12-0" + QString::number(i + 1);
        t.stopDate = i == 2 ? "下周" : "";
        t.importance = "重要";
        t.emergency = i % 2 ? "紧急" : "不紧急";
        t.priority = 10 * i;
        t.progress = 5 * i;
        t.label = "工作；";
        t.height = 100 + 7 * i;
        tasks.append(t);
    }
    return tasks;
}

void seedTasks(QSqlDatabase db)
{
    TaskStore store(db);
    QVERIFY(store.ensureTable());
    for (const TaskRecord &t : fiveTasks()) {
        QVERIFY(store.insert(t.id));
        QVERIFY(store.save(t));
    }
}
} // namespace

class TestUndoRestore : public QObject {
    Q_OBJECT

private slots:
    void journalOrderAndLimit();
    void failedRestoreStays();
    void taskComesBack_data();
    void taskComesBack();
    void taskWhoseTextIsTaken();
    void recordComesBack_data();
    void recordComesBack();
    void recordOfDroppedSchedule();
    void totalsFollowLaterChanges();
    void xmlScheduleComesBack_data();
    void xmlScheduleComesBack();
    void excelScheduleComesBack();
    void templateComesBack_data();
    void templateComesBack();
    void groupComesBack_data();
    void groupComesBack();
};

void TestUndoRestore::journalOrderAndLimit()
{
    UndoJournal journal;
    QList<int> restored;
    for (int i = 0; i < UndoJournal::capacity + 10; ++i)
        journal.push({QString::number(i), QDate(), [&restored, i](UserMessages *) {
                          restored.append(i);
                          return true;
                      }});
    QCOMPARE(journal.size(), UndoJournal::capacity);
    QVERIFY(UndoJournal::capacity >= 20);
    UndoEntry undone;
    QCOMPARE(journal.undo(nullptr, &undone), UndoJournal::Restored);
    QCOMPARE(undone.what, QString::number(UndoJournal::capacity + 9));
    while (journal.undo(nullptr) == UndoJournal::Restored) {
    }
    QCOMPARE(restored.size(), UndoJournal::capacity);
    QCOMPARE(restored.first(), UndoJournal::capacity + 9); // newest first
    QCOMPARE(restored.last(), 10);                         // the oldest ten were forgotten
    QCOMPARE(journal.undo(nullptr), UndoJournal::NothingToUndo);
}

void TestUndoRestore::failedRestoreStays()
{
    UndoJournal journal;
    bool conflict = true;
    journal.push({"a", QDate(), [&conflict](UserMessages *messages) {
                      if (conflict)
                          messages->append({UserMessage::Warning, "提示", "冲突"});
                      return !conflict;
                  }});
    UserMessages messages;
    QCOMPARE(journal.undo(&messages), UndoJournal::Failed);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(journal.size(), 1);
    conflict = false;
    QCOMPARE(journal.undo(&messages), UndoJournal::Restored);
    QVERIFY(journal.isEmpty());
}

void TestUndoRestore::taskComesBack_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("deletedAfter"); // another delete before the undo, -1 for none
    QTest::newRow("first") << 0 << -1;
    QTest::newRow("middle") << 2 << -1;
    QTest::newRow("last") << 4 << -1;
    // Two deletes taken back newest first give the list of before both.
    QTest::newRow("middle, then first") << 2 << 0;
    QTest::newRow("first, then last") << 0 << 3;
}

void TestUndoRestore::taskComesBack()
{
    QFETCH(int, position);
    QFETCH(int, deletedAfter);
    TestEnvironment env;
    QSqlDatabase db;
    QVERIFY(Database::connect(&db));
    seedTasks(db);
    const QStringList before = databaseDump(env.checkConnection());
    const QStringList settingsBefore = settingsDump();

    UndoJournal journal;
    TaskStore store(db);
    for (int at : {position, deletedAfter}) {
        if (at < 0)
            continue;
        UndoEntry entry;
        QVERIFY(Deletions::task(db, at, &entry));
        QCOMPARE(store.remove(at), TaskStore::DeleteResult::Deleted);
        journal.push(entry);
    }
    QVERIFY(databaseDump(env.checkConnection()) != before);
    while (!journal.isEmpty())
        QCOMPARE(journal.undo(nullptr), UndoJournal::Restored);
    QCOMPARE(databaseDump(env.checkConnection()), before);
    QCOMPARE(settingsDump(), settingsBefore); // "mainViewItemCount" back to 5
}

void TestUndoRestore::taskWhoseTextIsTaken()
{
    TestEnvironment env;
    QSqlDatabase db;
    QVERIFY(Database::connect(&db));
    seedTasks(db);
    TaskStore store(db);
    UndoEntry entry;
    QVERIFY(Deletions::task(db, 1, &entry));
    QVERIFY(entry.what.contains("任务 1"));
    QCOMPARE(store.remove(1), TaskStore::DeleteResult::Deleted);
    // Another task now holds the same text: the content is unique, so nothing may change.
    TaskRecord other = fiveTasks().at(1);
    QVERIFY(store.insert(99));
    other.manualIndex = 4;
    QVERIFY(store.save(other));
    const QStringList blocked = databaseDump(env.checkConnection());
    UserMessages messages;
    QVERIFY(!entry.restore(&messages));
    QCOMPARE(messages.size(), 1);
    QCOMPARE(databaseDump(env.checkConnection()), blocked);
    QCOMPARE(Settings::read(TaskStore::countKey).toInt(), 5);
}

void TestUndoRestore::recordComesBack_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<int>("minutesLost"); // of the day's label table by the delete
    // Minutes of record i: 15 + 5i when it has a label (record 2 has none).
    QTest::newRow("weekday, first record") << QDate(2026, 12, 2) << 0 << true << 15;
    QTest::newRow("Sunday closes its week, middle") << QDate(2026, 12, 6) << 4 << true << 35;
    QTest::newRow("month end, unlabelled record") << QDate(2026, 11, 30) << 2 << true << 0;
    QTest::newRow("year end, last record") << QDate(2026, 12, 31) << 8 << true << 0;
    QTest::newRow("day never saved, middle") << QDate(2026, 12, 3) << 3 << false << 0;
}

void TestUndoRestore::recordComesBack()
{
    QFETCH(QDate, date);
    QFETCH(int, position);
    QFETCH(bool, saved);
    QFETCH(int, minutesLost);
    TestEnvironment env(QRect(0, 0, 1920, 1040), date);
    QSqlDatabase db;
    QVERIFY(Database::connect(&db));
    QVERIFY(TemplateStore::createBuiltInTemplates());
    makeSurroundings(db, date);
    makeDay(db, date, saved);
    const QString table = templateOf(date);
    const QString labelTable = DayStore::labelTable(table);
    const QStringList before = databaseDump(env.checkConnection());
    const int minutesBefore = minutesIn(db, labelTable);

    UndoEntry entry;
    QVERIFY(Deletions::record(db, table, date, position, &entry));
    QCOMPARE(entry.date, date);
    DayActions actions(db);
    QVERIFY(actions.deleteRecord(table, date, position));
    QCOMPARE(DayStore(db).records(table).size(), 8);
    // The deleted record's minutes no longer count.
    QCOMPARE(minutesIn(db, labelTable), minutesBefore - minutesLost);

    QVERIFY(entry.restore(nullptr));
    QCOMPARE(databaseDump(env.checkConnection()), before);
}

void TestUndoRestore::recordOfDroppedSchedule()
{
    const QDate date(2026, 12, 2);
    TestEnvironment env(QRect(0, 0, 1920, 1040), date);
    QSqlDatabase db;
    QVERIFY(Database::connect(&db));
    QVERIFY(TemplateStore::createBuiltInTemplates());
    makeDay(db, date, true);
    const QString table = templateOf(date);
    UndoEntry entry;
    QVERIFY(Deletions::record(db, table, date, 1, &entry));
    DayActions actions(db);
    QVERIFY(actions.deleteRecord(table, date, 1));
    QVERIFY(actions.dropSchedule(table, date));
    const QStringList dropped = databaseDump(env.checkConnection());
    UserMessages messages;
    QVERIFY(!entry.restore(&messages));
    QCOMPARE(messages.size(), 1);
    QCOMPARE(databaseDump(env.checkConnection()), dropped); // no table made up for it
}

void TestUndoRestore::totalsFollowLaterChanges()
{
    const QDate date(2026, 12, 2);
    const QDate sunday(2026, 12, 6); // closes week 1 of December
    TestEnvironment env(QRect(0, 0, 1920, 1040), date);
    QSqlDatabase db;
    QVERIFY(Database::connect(&db));
    QVERIFY(TemplateStore::createBuiltInTemplates());
    makeDay(db, date, true);
    makeDay(db, sunday, true);
    UndoEntry entry;
    QVERIFY(Deletions::record(db, templateOf(date), date, 0, &entry));
    DayActions actions(db);
    QVERIFY(actions.deleteRecord(templateOf(date), date, 0));
    // Another day of the week changes before the undo: the week must not go back to the sums
    // it had at the delete.
    QVERIFY(actions.deleteRecord(templateOf(sunday), sunday, 1));
    QVERIFY(entry.restore(nullptr));
    const int week = minutesIn(db, "labelDuration_202612week1");
    const int days = minutesIn(db, DayStore::labelTable(templateOf(date))) +
                     minutesIn(db, DayStore::labelTable(templateOf(sunday)));
    QCOMPARE(days, 2 * (15 + 20 + 30 + 35) - 20);
    QCOMPARE(week, days);
}

void TestUndoRestore::xmlScheduleComesBack_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<bool>("saved");
    QTest::newRow("weekday inside a closed week") << QDate(2026, 12, 2) << true;
    QTest::newRow("Sunday that closed its week") << QDate(2026, 12, 6) << true;
    QTest::newRow("last day of the year") << QDate(2026, 12, 31) << true;
    QTest::newRow("never saved") << QDate(2026, 12, 3) << false;
}

void TestUndoRestore::xmlScheduleComesBack()
{
    QFETCH(QDate, date);
    QFETCH(bool, saved);
    TestEnvironment env(QRect(0, 0, 1920, 1040), date);
    QSqlDatabase db;
    QVERIFY(Database::connect(&db));
    QVERIFY(TemplateStore::createBuiltInTemplates());
    makeSurroundings(db, date);
    makeDay(db, date, saved);
    const QStringList before = databaseDump(env.checkConnection());
    const QStringList settingsBefore = settingsDump();

    UndoEntry entry;
    QVERIFY(Deletions::schedule(db, date, "空时刻表", false, &entry));
    QVERIFY(DayActions(db).dropSchedule(templateOf(date), date));
    QVERIFY(databaseDump(env.checkConnection()) != before);
    QVERIFY(settingsDump() != settingsBefore);

    QVERIFY(entry.restore(nullptr));
    QCOMPARE(databaseDump(env.checkConnection()), before);
    QCOMPARE(settingsDump(), settingsBefore);

    // Once the date has that schedule again (made anew), the old one is not written over it.
    QVERIFY(DayActions(db).dropSchedule(templateOf(date), date));
    makeDay(db, date, false);
    const QStringList remade = databaseDump(env.checkConnection());
    UserMessages messages;
    QVERIFY(!entry.restore(&messages));
    QCOMPARE(messages.size(), 1);
    QCOMPARE(databaseDump(env.checkConnection()), remade);
}

void TestUndoRestore::excelScheduleComesBack()
{
    const QDate date(2026, 12, 2);
    TestEnvironment env(QRect(0, 0, 1920, 1040), date);
    QSqlDatabase db;
    QVERIFY(Database::connect(&db));
    QVERIFY(TemplateStore::ensureTemplateDirs());
    static const char raw[] = "PK\x03\x04 not really a workbook \x00\xff";
    const QByteArray workbook(raw, sizeof raw - 1); // with its zero byte
    QFile file(TemplateStore::excelTemplatePath("周计划"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(workbook);
    file.close();
    const QString dayName = DayStore::dayName(date);
    const QString copy = TemplateStore::openExcelSchedule(db, dayName, "周计划");
    QVERIFY(!copy.isEmpty());
    QFile edited(copy);
    QVERIFY(edited.open(QIODevice::Append));
    edited.write("edited by the person");
    edited.close();
    const QStringList before = databaseDump(env.checkConnection());
    QFile read(copy);
    QVERIFY(read.open(QIODevice::ReadOnly));
    const QByteArray copyBefore = read.readAll();
    read.close();

    UndoEntry entry;
    QVERIFY(Deletions::schedule(db, date, "周计划", true, &entry));
    QVERIFY(TemplateStore::dropExcelSchedule(db, dayName, "周计划"));
    QVERIFY(!QFile::exists(copy));
    QVERIFY(entry.restore(nullptr));
    QCOMPARE(databaseDump(env.checkConnection()), before);
    QVERIFY(read.open(QIODevice::ReadOnly));
    QCOMPARE(read.readAll(), copyBefore);
}

void TestUndoRestore::templateComesBack_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("excel");
    QTest::newRow("built-in XML template") << "空任务表" << false;
    QTest::newRow("workbook with a Chinese name") << "我的 周表" << true;
}

void TestUndoRestore::templateComesBack()
{
    QFETCH(QString, name);
    QFETCH(bool, excel);
    TestEnvironment env;
    QVERIFY(TemplateStore::createBuiltInTemplates());
    QVERIFY(TemplateStore::ensureTemplateDirs());
    const QString path =
        excel ? TemplateStore::excelTemplatePath(name) : TemplateStore::xmlTemplatePath(name);
    if (excel) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        static const char raw[] = "PK\x03\x04\r\n\x00\x01 bytes";
        file.write(raw, sizeof raw - 1);
    }
    QFile original(path);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    original.close();
    const QStringList namesBefore =
        excel ? TemplateStore::excelTemplateNames() : TemplateStore::xmlTemplateNames();

    UndoEntry entry;
    QVERIFY(Deletions::templateFile(name, &entry));
    QVERIFY(TemplateStore::deleteTemplate(name));
    QVERIFY(!QFile::exists(path));
    QVERIFY(entry.restore(nullptr));
    QCOMPARE(excel ? TemplateStore::excelTemplateNames() : TemplateStore::xmlTemplateNames(),
             namesBefore);
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(original.readAll(), bytes);
    original.close();

    // A template of that name made after the delete is never replaced.
    QVERIFY(TemplateStore::deleteTemplate(name));
    QFile newer(path);
    QVERIFY(newer.open(QIODevice::WriteOnly));
    newer.write("newer");
    newer.close();
    UserMessages messages;
    QVERIFY(!entry.restore(&messages));
    QCOMPARE(messages.size(), 1);
    QVERIFY(newer.open(QIODevice::ReadOnly));
    QCOMPARE(newer.readAll(), QByteArray("newer"));
}

void TestUndoRestore::groupComesBack_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("first of three") << 0;
    QTest::newRow("middle") << 1;
    QTest::newRow("last") << 2;
}

void TestUndoRestore::groupComesBack()
{
    QFETCH(int, index);
    TestEnvironment env;
    for (int i = 0; i < 3; ++i) {
        QVERIFY(GroupStore::add());
        GroupStore::setName(i, QString("分组 %1").arg(i));
        GroupStore::setCondition(i, QString("优先级>%1；").arg(i),
                                 QString("select * from star where priority > %1").arg(i));
        QVariantMap state = GroupStore::state(i);
        state.insert("sortComboCurrentIndex", i);
        state.insert("keyWordsEditText", QString("词%1；").arg(i));
        GroupStore::setState(i, state);
    }
    const QStringList before = settingsDump();
    UndoEntry entry;
    QVERIFY(Deletions::group(index, &entry));
    GroupStore::remove(index);
    QCOMPARE(GroupStore::count(), 2);
    QVERIFY(entry.restore(nullptr));
    QCOMPARE(settingsDump(), before);
}

QTEST_GUILESS_MAIN(TestUndoRestore)
#include "tst_undorestore.moc"

// The star table through the task store, read back over a separate connection.
#include "tests/tasklist/tst_taskstore.h"
#include "app/database.h"
#include "app/settings.h"
#include "tasklist/taskstore.h"
#include "tests/support/logcapture.h"
#include "tests/support/testenvironment.h"

#include <QSqlQuery>
#include <QtTest>

namespace {
struct Store {
    QSqlDatabase db;
    TaskStore *store = nullptr;
    Store()
    {
        Database::connect(&db);
        store = new TaskStore(db);
        store->ensureTable();
    }
    ~Store() { delete store; }
    // Adds n tasks and gives each the content "task <id>".
    void fill(int n)
    {
        for (int i = 0; i < n; ++i) {
            const int id = store->nextFreeId();
            QVERIFY(store->insert(id));
            TaskRecord task;
            task.manualIndex = i;
            task.content = QString("task %1").arg(id);
            QVERIFY(store->save(task));
        }
    }
};

// "content" of every row in manual order, from a fresh connection.
QStringList contentsInOrder(TestEnvironment &env)
{
    QSqlQuery query(env.checkConnection());
    query.exec("select manualIndex, content from star order by manualIndex");
    QStringList contents;
    int expected = 0;
    while (query.next()) {
        if (query.value(0).toInt() != expected++)
            contents.append(QString("<gap at %1>").arg(expected - 1));
        contents.append(query.value(1).toString());
    }
    return contents;
}
} // namespace

void TestTaskStore::insertIntoEmptyTable()
{
    TestEnvironment env;
    Store s;
    LogCapture log;
    QCOMPARE(s.store->nextFreeId(), 0);
    QVERIFY(s.store->insert(0));
    QVERIFY(log.contains("Add now listNo = 0"));
    QVERIFY(log.contains("Add succeed!"));
    QCOMPARE(Settings::read("mainViewItemCount", 0).toInt(), 1);

    QSqlQuery query(env.checkConnection());
    QVERIFY(query.exec("select * from star"));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 0);
    QCOMPARE(query.value(1).toInt(), 0);
    for (int column = 2; column <= 6; ++column)
        QCOMPARE(query.value(column).toString(), QString(""));
    QCOMPARE(query.value(7).toInt(), 0);
    QCOMPARE(query.value(8).toInt(), 0);
    QCOMPARE(query.value(9).toString(), QString(""));
    QCOMPARE(query.value(10).toInt(), 100);
    QCOMPARE(s.store->nextFreeId(), 1);
}

void TestTaskStore::secondUnsavedInsertFails()
{
    TestEnvironment env;
    Store s;
    QVERIFY(s.store->insert(0));
    LogCapture log;
    QVERIFY(!s.store->insert(1));
    QCOMPARE(log.startingWith("Add failed!").size(), 1);
    QVERIFY(log.startingWith("Add failed!").first().contains("UNIQUE"));
    QCOMPARE(Settings::read("mainViewItemCount", 0).toInt(), 1);
    QCOMPARE(contentsInOrder(env), QStringList{""});
}

void TestTaskStore::deleteInTheMiddleRenumbers()
{
    TestEnvironment env;
    Store s;
    s.fill(5);
    LogCapture log;
    QCOMPARE(s.store->remove(2), TaskStore::DeleteResult::Deleted);
    QCOMPARE(log.lines().first(), QString("delete from star where manualIndex =2"));
    QVERIFY(log.contains("delete succeed!"));
    QVERIFY(log.contains("update succeed!"));
    QCOMPARE(contentsInOrder(env), QStringList({"task 0", "task 1", "task 3", "task 4"}));
    QCOMPARE(Settings::read("mainViewItemCount", 0).toInt(), 4);
    // The next insert takes the id after the largest, not the count.
    QCOMPARE(s.store->nextFreeId(), 5);
}

void TestTaskStore::moves_data()
{
    QTest::addColumn<bool>("up");
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("up from 3") << true << 3
                               << QStringList{"task 0", "task 1", "task 3", "task 2", "task 4"};
    QTest::newRow("down from 0") << false << 0
                                 << QStringList{"task 1", "task 0", "task 2", "task 3", "task 4"};
    QTest::newRow("down from 3") << false << 3
                                 << QStringList{"task 0", "task 1", "task 2", "task 4", "task 3"};
}

void TestTaskStore::moves()
{
    QFETCH(bool, up);
    QFETCH(int, position);
    QFETCH(QStringList, expected);
    TestEnvironment env;
    Store s;
    s.fill(5);
    LogCapture log;
    // Ids equal the initial positions here.
    QVERIFY(up ? s.store->moveUp(position, position) : s.store->moveDown(position, position));
    QCOMPARE(log.count("update succeed!"), 2);
    QCOMPARE(contentsInOrder(env), expected);
    QSqlQuery query(env.checkConnection());
    query.exec(QString("select id from star where content = 'task %1'").arg(position));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), position);
}

void TestTaskStore::textsAreStoredAsTyped_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("storedContent");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("label");
    QTest::newRow("apostrophes") << "it's <b>bold</b>"
                                 << "it&#39;s <b>bold</b>"
                                 << "2026-12-07'"
                                 << "A'B；";
    QTest::newRow("markers") << "50%1 and %10 %2"
                             << "50%1 and %10 %2"
                             << "%3"
                             << "%9；%10；";
    QTest::newRow("chinese") << "写报告"
                             << "写报告"
                             << "2026-01-31"
                             << "工作；";
}

void TestTaskStore::textsAreStoredAsTyped()
{
    QFETCH(QString, content);
    QFETCH(QString, storedContent);
    QFETCH(QString, date);
    QFETCH(QString, label);
    TestEnvironment env;
    Store s;
    QVERIFY(s.store->insert(0));
    TaskRecord task;
    task.content = content;
    task.startDate = date;
    task.stopDate = date;
    task.importance = "重要";
    task.emergency = "紧急";
    task.priority = 42;
    task.progress = 100;
    task.label = label;
    task.height = 230;
    LogCapture log;
    QVERIFY(s.store->save(task));
    QVERIFY(log.contains(QString("save manualIndex is 0 and text is %1").arg(storedContent)));
    QVERIFY(log.contains("db update succeed!"));

    const QList<TaskRecord> rows = s.store->select(Database::selectAllSql);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].content, storedContent);
    QCOMPARE(rows[0].startDate, date);
    QCOMPARE(rows[0].stopDate, date);
    QCOMPARE(rows[0].importance, QString("重要"));
    QCOMPARE(rows[0].emergency, QString("紧急"));
    QCOMPARE(rows[0].priority, 42);
    QCOMPARE(rows[0].progress, 100);
    QCOMPARE(rows[0].label, label);
    QCOMPARE(rows[0].height, 230);

    QVERIFY(s.store->saveLabel(0, label + label));
    QCOMPARE(s.store->select(Database::selectAllSql).first().label, label + label);
}

void TestTaskStore::identicalContentIsRefusedOnSave()
{
    TestEnvironment env;
    Store s;
    s.fill(2);
    TaskRecord task;
    task.manualIndex = 1;
    task.content = "task 0";
    LogCapture log;
    QVERIFY(!s.store->save(task));
    QCOMPARE(log.startingWith("db update failed!").size(), 1);
    QVERIFY(log.startingWith("db update failed!").first().contains("UNIQUE"));
    QCOMPARE(contentsInOrder(env), QStringList({"task 0", "task 1"}));
}

void TestTaskStore::failedRenumberLeavesTableAsBefore()
{
    TestEnvironment env;
    Store s;
    s.fill(3);
    // Make the renumbering statement fail after the delete has run.
    QSqlQuery trigger(s.db);
    QVERIFY(trigger.exec("create trigger refuse before update of manualIndex on star "
                         "begin select raise(abort, 'renumber refused'); end"));
    LogCapture log;
    QCOMPARE(s.store->remove(1), TaskStore::DeleteResult::RenumberFailed);
    QVERIFY(log.contains("delete succeed!"));
    QCOMPARE(log.startingWith("update failed!").size(), 1);
    QVERIFY(log.startingWith("update failed!").first().contains("renumber refused"));
    QCOMPARE(contentsInOrder(env), QStringList({"task 0", "task 1", "task 2"}));
    QCOMPARE(Settings::read("mainViewItemCount", 0).toInt(), 3);
}

void TestTaskStore::failedMoveLeavesTableAsBefore()
{
    TestEnvironment env;
    Store s;
    s.fill(3);
    // Let the first step through and stop the second one (the row whose id is not 2).
    QSqlQuery trigger(s.db);
    QVERIFY(trigger.exec("create trigger refuse before update of manualIndex on star "
                         "when old.id != 2 begin select raise(abort, 'second step'); end"));
    LogCapture log;
    QVERIFY(!s.store->moveUp(2, 2));
    QCOMPARE(log.count("update succeed!"), 1);
    QCOMPARE(log.startingWith("update failed!").size(), 1);
    QCOMPARE(contentsInOrder(env), QStringList({"task 0", "task 1", "task 2"}));
}

void TestTaskStore::lostCounterStillAppendsAtNextPosition()
{
    TestEnvironment env;
    Store s;
    s.fill(3);
    QFile::remove(env.settingsFile()); // the settings file was lost
    QVERIFY(s.store->insert(s.store->nextFreeId()));
    QCOMPARE(contentsInOrder(env), QStringList({"task 0", "task 1", "task 2", ""}));
    QCOMPARE(Settings::read("mainViewItemCount", 0).toInt(), 4);
}

void TestTaskStore::selectReadsManualOrderAndLogs()
{
    TestEnvironment env;
    Store s;
    s.fill(3);
    QVERIFY(s.store->moveDown(0, 0));
    LogCapture log;
    bool ok = false;
    const QList<TaskRecord> rows = s.store->select(Database::selectAllSql, &ok);
    QVERIFY(ok);
    QVERIFY(log.contains("select * from star order by manualIndex"));
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0].content, QString("task 1"));
    QCOMPARE(rows[1].content, QString("task 0"));
    QCOMPARE(s.store->listHeight("select * from star"), 3 * 180);

    log.clear();
    QVERIFY(s.store->select("select * from star where nosuchcolumn = 1", &ok).isEmpty());
    QVERIFY(!ok);
    QCOMPARE(log.startingWith("select * query failed").size(), 1);
}

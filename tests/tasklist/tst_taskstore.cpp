// The star table through the task store, read back over a separate connection.
#include "app/settings.h"
#include "tests/support/logcapture.h"
#include "tests/support/testenvironment.h"
#include "tests/tasklist/listtest.h"

namespace {
struct Store {
    QSqlDatabase db;
    std::unique_ptr<TaskStore> store;
    // Adds n tasks with the content "task <id>"; ids equal positions.
    explicit Store(int n = 0)
    {
        Database::connect(&db);
        store = std::make_unique<TaskStore>(db);
        store->ensureTable();
        for (int i = 0; i < n; ++i) {
            QVERIFY(store->insert(store->nextFreeId()));
            TaskRecord t;
            t.manualIndex = i;
            t.content = QString("task %1").arg(i);
            QVERIFY(store->save(t));
        }
    }
};

// "content" of every row in manual order, from a fresh connection; gaps are marked.
QStringList contentsInOrder(TestEnvironment &env)
{
    QSqlQuery query(env.checkConnection());
    query.exec("select manualIndex, content from star order by manualIndex");
    QStringList contents;
    for (int expected = 0; query.next(); ++expected) {
        if (query.value(0).toInt() != expected)
            contents.append(QString("<gap at %1>").arg(expected));
        contents.append(query.value(1).toString());
    }
    return contents;
}

// Every column of the only row, from a fresh connection.
QStringList onlyRow(TestEnvironment &env)
{
    QSqlQuery query(env.checkConnection());
    QStringList row;
    if (query.exec("select * from star") && query.next()) {
        for (int column = 0; column <= 10; ++column)
            row.append(query.value(column).toString());
    }
    return query.next() ? QStringList{"more than one row"} : row;
}

int counter()
{
    return Settings::read("mainViewItemCount", 0).toInt();
}
} // namespace

class TestTaskStore : public QObject {
    Q_OBJECT

private slots:
    void insertIntoEmptyTableThenUnsavedSecond()
    {
        TestEnvironment env;
        Store s;
        LogCapture log;
        QCOMPARE(s.store->nextFreeId(), 0);
        QVERIFY(s.store->insert(0));
        QVERIFY(log.contains("Add now listNo = 0"));
        QCOMPARE(counter(), 1);
        QCOMPARE(onlyRow(env), QStringList({"0", "0", "", "", "", "", "", "0", "0", "", "100"}));
        QCOMPARE(s.store->nextFreeId(), 1);

        // The unsaved first task still has empty content, so a second empty one is refused.
        QVERIFY(!s.store->insert(1));
        QCOMPARE(log.startingWith("Add failed!").size(), 1);
        QVERIFY(log.startingWith("Add failed!").first().contains("UNIQUE"));
        QCOMPARE(counter(), 1);
        QCOMPARE(contentsInOrder(env), QStringList{""});
    }

    void reorders_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<int>("position");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("delete in the middle renumbers")
            << "delete" << 2 << QStringList{"task 0", "task 1", "task 3", "task 4"};
        QTest::newRow("up from 3")
            << "up" << 3 << QStringList{"task 0", "task 1", "task 3", "task 2", "task 4"};
        QTest::newRow("down from 0")
            << "down" << 0 << QStringList{"task 1", "task 0", "task 2", "task 3", "task 4"};
        QTest::newRow("down from 3")
            << "down" << 3 << QStringList{"task 0", "task 1", "task 2", "task 4", "task 3"};
    }

    void reorders()
    {
        QFETCH(QString, op);
        QFETCH(int, position);
        QFETCH(QStringList, expected);
        TestEnvironment env;
        Store s(5);
        LogCapture log;
        if (op == "delete") {
            QCOMPARE(s.store->remove(position), TaskStore::DeleteResult::Deleted);
            QCOMPARE(log.lines().first(), QString("delete from star where manualIndex =2"));
        } else {
            QVERIFY(op == "up" ? s.store->moveUp(position, position)
                               : s.store->moveDown(position, position));
            QCOMPARE(log.count("update succeed!"), 2);
            // The moved task keeps its id.
            QSqlQuery query(env.checkConnection());
            query.exec(QString("select id from star where content = 'task %1'").arg(position));
            QVERIFY(query.next());
            QCOMPARE(query.value(0).toInt(), position);
        }
        QCOMPARE(contentsInOrder(env), expected);
        QCOMPARE(counter(), expected.size());
        // The next insert takes the id after the largest, not the count.
        QCOMPARE(s.store->nextFreeId(), 5);
    }

    void textsAreStoredAsTyped_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("stored");
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

    void textsAreStoredAsTyped()
    {
        QFETCH(QString, content);
        QFETCH(QString, stored);
        QFETCH(QString, date);
        QFETCH(QString, label);
        TestEnvironment env;
        Store s;
        QVERIFY(s.store->insert(0));
        TaskRecord t = task(content, 42, 100, date, label);
        t.stopDate = date;
        t.height = 230;
        LogCapture log;
        QVERIFY(s.store->save(t));
        QVERIFY(log.contains(QString("save manualIndex is 0 and text is %1").arg(stored)));

        QCOMPARE(onlyRow(env), QStringList({"0", "0", stored, date, date, "重要", "紧急", "42",
                                            "100", label, "230"}));

        QVERIFY(s.store->saveLabel(0, label + label));
        QCOMPARE(cell(env.checkConnection(), "label", 0).toString(), label + label);
    }

    void identicalContentIsRefusedOnSave()
    {
        TestEnvironment env;
        Store s(2);
        TaskRecord t;
        t.manualIndex = 1;
        t.content = "task 0";
        LogCapture log;
        QVERIFY(!s.store->save(t));
        QCOMPARE(log.startingWith("db update failed!").size(), 1);
        QVERIFY(log.startingWith("db update failed!").first().contains("UNIQUE"));
        QCOMPARE(contentsInOrder(env), QStringList({"task 0", "task 1"}));
    }

    // A trigger lets the first step through and stops the second; the table stays as before.
    void failedSecondStepLeavesTableAsBefore_data()
    {
        QTest::addColumn<bool>("remove");
        QTest::addColumn<QString>("when");
        QTest::addColumn<QString>("firstStep");
        QTest::newRow("renumber after delete") << true << ""
                                               << "delete succeed!";
        QTest::newRow("second half of a move") << false << "when old.id != 2"
                                               << "update succeed!";
    }

    void failedSecondStepLeavesTableAsBefore()
    {
        QFETCH(bool, remove);
        QFETCH(QString, when);
        QFETCH(QString, firstStep);
        TestEnvironment env;
        Store s(3);
        QSqlQuery trigger(s.db);
        QVERIFY(trigger.exec("create trigger refuse before update of manualIndex on star " + when +
                             " begin select raise(abort, 'step refused'); end"));
        LogCapture log;
        if (remove)
            QCOMPARE(s.store->remove(1), TaskStore::DeleteResult::RenumberFailed);
        else
            QVERIFY(!s.store->moveUp(2, 2));
        QCOMPARE(log.count(firstStep), 1);
        QCOMPARE(log.startingWith("update failed!").size(), 1);
        QVERIFY(log.startingWith("update failed!").first().contains("step refused"));
        QCOMPARE(contentsInOrder(env), QStringList({"task 0", "task 1", "task 2"}));
        QCOMPARE(counter(), 3);
    }

    void lostCounterStillAppendsAtNextPosition()
    {
        TestEnvironment env;
        Store s(3);
        QFile::remove(env.settingsFile());
        QVERIFY(s.store->insert(s.store->nextFreeId()));
        QCOMPARE(contentsInOrder(env), QStringList({"task 0", "task 1", "task 2", ""}));
        QCOMPARE(counter(), 4);
    }
};

int runTaskStoreTests(int argc, char **argv)
{
    TestTaskStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_taskstore.moc"

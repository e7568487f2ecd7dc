// Disk and file faults: a full disk during each save (SQLite writes refused through a VFS, see
// fulldisk.h), a database file that is not a database, a damaged or lost settings file and a
// missing "MyTemplates" folder. The person is told, the stored data keeps its previous state,
// nothing typed is thrown away, and a damaged file is never overwritten.
#include "app/database.h"
#include "app/settings.h"
#include "richtext/customtextedit.h"
#include "schedule/dayactions.h"
#include "schedule/orvaneview.h"
#include "schedule/templatestore.h"
#include "tasklist/mainview.h"
#include "tasklist/taskstore.h"
#include "tests/support/logcapture.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"
#include "tests/support/widgetfinder.h"
#include "tests/trust/fulldisk.h"

#include <QCryptographicHash>
#include <QDir>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTextDocument>
#include <QtTest>

#include <memory>

namespace {
const QDate day(2026, 12, 7);
const QString dayTable = QStringLiteral("Day20261207空时刻表");
const QString taskSaveFailed = QStringLiteral("保存失败，修改还在窗口里，请稍后再试。");
const QString daySaveFailed = QStringLiteral("保存失败，这一天的内容没有改变。请稍后再试。");

// The disk is full while it lives.
struct DiskFull {
    DiskFull() { FullDisk::full() = true; }
    ~DiskFull() { FullDisk::full() = false; }
};

QPushButton *textButton(QWidget *root, const QString &text)
{
    for (QPushButton *button : root->findChildren<QPushButton *>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

void seedTasks(int n)
{
    QSqlDatabase db;
    Database::connect(&db);
    TaskStore store(db);
    store.ensureTable();
    for (int i = 0; i < n; ++i) {
        // Contents are unique: each new row gets its text before the next one comes.
        QVERIFY(store.insert(i));
        TaskRecord task;
        task.manualIndex = i;
        task.content = QStringLiteral("task %1").arg(i);
        QVERIFY(store.save(task));
    }
}

// The task texts in list order, as stored.
QStringList storedTasks(QSqlDatabase db)
{
    QStringList texts;
    QSqlQuery query(db);
    query.exec(QStringLiteral("select content from star order by manualIndex"));
    while (query.next()) {
        QTextDocument document;
        document.setHtml(query.value(0).toString());
        texts.append(document.toPlainText());
    }
    return texts;
}

CustomTextEdit *taskEditor(MainView &view, int index)
{
    return findByName<CustomTextEdit>(view.listContainer(),
                                      QStringLiteral("textEdit%1").arg(index));
}

void typeInto(QTextEdit *editor, const QString &text)
{
    QVERIFY(editor);
    editor->setFocus();
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, text);
}

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Every table with its rows, as one text per table.
QStringList schema(QSqlDatabase db)
{
    QStringList tables;
    QSqlQuery names(db);
    names.exec(QStringLiteral("select name from sqlite_master where type = 'table' order by name"));
    while (names.next())
        tables.append(names.value(0).toString());
    QStringList described;
    for (const QString &table : tables) {
        QSqlQuery rows(db);
        rows.exec(QStringLiteral("select * from ") + Database::quoteIdentifier(table));
        QStringList values;
        while (rows.next()) {
            for (int i = 0; i < rows.record().count(); ++i)
                values.append(rows.value(i).toString());
        }
        described.append(table + QLatin1Char(':') + values.join(QLatin1Char('|')));
    }
    return described;
}

template <class T> T *dayWidget(orvaneView &view, const QString &name)
{
    return view.scheduleContent()->findChild<T *>(name);
}

QString storedPlan(QSqlDatabase db, int index)
{
    QSqlQuery query(db);
    query.exec(
        QStringLiteral("select plan from \"%1\" where manualIndex = %2").arg(dayTable).arg(index));
    QTextDocument document;
    document.setHtml(query.next() ? query.value(0).toString() : QString());
    return document.toPlainText();
}
} // namespace

class TestDiskFaults : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { FullDisk::install(); }

    // Every action of the task list that writes, on a full disk: told, nothing stored
    // changes, what was typed stays on screen and pending, and the next save writes it.
    void taskListActionsOnFullDisk_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("保存") << "save" << QStringList{taskSaveFailed};
        QTest::newRow("add") << "add" << QStringList{taskSaveFailed};
        QTest::newRow("delete") << "delete" << QStringList{taskSaveFailed};
        QTest::newRow("move") << "move" << QStringList{taskSaveFailed};
        // Nothing typed: the action itself is refused and told.
        QTest::newRow("delete untyped")
            << "delete only" << QStringList{"删除失败，清单没有改变。请稍后再试。"};
        QTest::newRow("move untyped")
            << "move only" << QStringList{"移动失败，清单没有改变。请稍后再试。"};
    }
    void taskListActionsOnFullDisk()
    {
        QFETCH(QString, action);
        QFETCH(QStringList, messages);
        TestEnvironment env;
        seedTasks(3);
        MainView view;
        view.show();
        PromptScript prompts;
        const bool typed = !action.endsWith(QLatin1String(" only"));
        if (typed)
            typeInto(taskEditor(view, 1), QStringLiteral(" kept"));
        const QStringList before = storedTasks(env.checkConnection());
        {
            DiskFull full;
            if (action.startsWith(QLatin1String("save")))
                textButton(&view, "保存")->click();
            else if (action.startsWith(QLatin1String("add")))
                view.onAddButtonClicked();
            else if (action.startsWith(QLatin1String("delete")))
                view.setDeleteButtonIndex(0), view.onDelButtonClicked();
            else
                view.onDownArrowClicked(0, 0);
            QVERIFY(FullDisk::refusedWrites() > 0);
        }
        QCOMPARE(prompts.messages(), messages);
        QCOMPARE(storedTasks(env.checkConnection()), before);
        QCOMPARE(Settings::read(TaskStore::countKey).toInt(), 3);
        if (!typed)
            return;
        QCOMPARE(view.pendingCount(), 1);
        QCOMPARE(taskEditor(view, 1)->toPlainText(), QString("task 1 kept"));
        textButton(&view, "保存")->click();
        QCOMPARE(storedTasks(env.checkConnection()),
                 (QStringList{"task 0", "task 1 kept", "task 2"}));
    }

    // The day's save, a record change and a new date on a full disk.
    void dayActionsOnFullDisk_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("保存修改") << "save";
        QTest::newRow("delete a record") << "delete";
    }
    void dayActionsOnFullDisk()
    {
        QFETCH(QString, action);
        TestEnvironment env(QRect(0, 0, 1920, 1040), day);
        PromptScript prompts;
        orvaneView view(nullptr, nullptr, QString(), QString());
        view.show();
        prompts.clear();
        typeInto(dayWidget<CustomTextEdit>(view, "textEditPlan_1"), QStringLiteral("typed"));
        {
            DiskFull full;
            if (action == QLatin1String("save"))
                textButton(&view, "保存修改")->click();
            else
                view.onDeleteItemClicked(0);
        }
        QCOMPARE(prompts.messages(), QStringList{daySaveFailed});
        QSqlDatabase check = env.checkConnection();
        QCOMPARE(storedPlan(check, 1), QString());
        {
            QSqlQuery count(check);
            count.exec(QStringLiteral("select count(*) from \"%1\"").arg(dayTable));
            QVERIFY(count.next());
            QCOMPARE(count.value(0).toInt(), 9);
        }
        QCOMPARE(dayWidget<CustomTextEdit>(view, "textEditPlan_1")->toPlainText(),
                 QString("typed"));
        QVERIFY(view.hasUnsavedEdits());
        textButton(&view, "保存修改")->click();
        QCOMPARE(storedPlan(env.checkConnection(), 1), QString("typed"));
    }

    // The disk is full for one write only: the statements after the failing one would find
    // room again, but SQLite may already have rolled the transaction back on its own, so
    // running them would store them one by one. The day stays as it was, label tables
    // included.
    void dayStaysWholeWhenTheDiskIsFullForAMoment()
    {
        TestEnvironment env(QRect(0, 0, 1920, 1040), day);
        PromptScript prompts;
        orvaneView view(nullptr, nullptr, QString(), QString());
        view.show();
        view.writeRecordLabel(0, QStringLiteral("L"));
        textButton(&view, "保存修改")->click();
        const QStringList tablesBefore = schema(env.checkConnection());
        prompts.clear();
        typeInto(dayWidget<CustomTextEdit>(view, "textEditPlan_1"), QStringLiteral("typed"));
        FullDisk::briefly() = 1;
        textButton(&view, "保存修改")->click();
        FullDisk::briefly() = 0;
        QCOMPARE(prompts.messages(), QStringList{daySaveFailed});
        QCOMPARE(schema(env.checkConnection()), tablesBefore);
        QCOMPARE(storedPlan(env.checkConnection(), 1), QString());
    }

    void newDateOnFullDisk()
    {
        TestEnvironment env(QRect(0, 0, 1920, 1040), day);
        PromptScript prompts;
        orvaneView view(nullptr, nullptr, QString(), QString());
        prompts.clear();
        {
            DiskFull full;
            view.drawDateSchedule(day.addDays(1));
        }
        QCOMPARE(prompts.messages(), QStringList{DayActions::dayCreateFailedMessage});
        QVERIFY(!view.scheduleDrawn());
        {
            QSqlQuery query(env.checkConnection());
            QVERIFY(query.exec("select count(*) from sqlite_master where name like '%20261208%'"));
            QVERIFY(query.next());
            QCOMPARE(query.value(0).toInt(), 0);
        }
        // With room again the date opens as usual.
        view.drawDateSchedule(day.addDays(1));
        QVERIFY(view.scheduleDrawn());
    }

    // A database file that is not a database: the program says so and leaves it as it is.
    void databaseThatIsNotADatabase()
    {
        TestEnvironment env;
        QFile file(env.databaseFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("this is a letter, not a database\n").repeated(200));
        file.close();
        const QByteArray before = fileHash(env.databaseFile());
        PromptScript prompts;
        {
            MainView view;
            view.show();
            QCOMPARE(prompts.messages().size(), 1);
            QVERIFY(prompts.messages().first().contains("KDdatabase.db"));
            view.onAddButtonClicked();
            textButton(&view, "保存")->click();
            view.close();
        }
        TestEnvironment::dropProgramConnection();
        QCOMPARE(fileHash(env.databaseFile()), before);
    }

    // A settings file that was lost or damaged: the tables win, and the list appends at the
    // right place.
    void lostOrDamagedSettings_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("lost") << QByteArray();
        QTest::newRow("garbage") << QByteArray("\x01\x02[[[=\xff\xfe\n=\n[General\nmainViewItem");
        QTest::newRow("wrong counter") << QByteArray("[General]\nmainViewItemCount=17\n");
    }
    void lostOrDamagedSettings()
    {
        QFETCH(QByteArray, contents);
        TestEnvironment env;
        seedTasks(4);
        TestEnvironment::dropProgramConnection();
        QFile::remove(env.settingsFile());
        if (!contents.isEmpty()) {
            QFile file(env.settingsFile());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }
        PromptScript prompts;
        MainView view;
        view.show();
        QCOMPARE(prompts.messages(), QStringList());
        QCOMPARE(Settings::read(TaskStore::countKey).toInt(), 4);
        view.onAddButtonClicked();
        QSqlQuery query(env.checkConnection());
        QVERIFY(query.exec("select manualIndex from star order by manualIndex"));
        QList<int> positions;
        while (query.next())
            positions.append(query.value(0).toInt());
        QCOMPARE(positions, (QList<int>{0, 1, 2, 3, 4}));
    }

    // Without its template folder the program makes the built-in templates again, says so, and
    // the days already made keep what they hold.
    void missingTemplateFolder()
    {
        TestEnvironment env(QRect(0, 0, 1920, 1040), day);
        PromptScript prompts;
        {
            orvaneView view(nullptr, nullptr, QString(), QString());
            typeInto(dayWidget<CustomTextEdit>(view, "textEditPlan_0"), QStringLiteral("kept"));
            textButton(&view, "保存修改")->click();
        }
        QVERIFY(QDir(env.appDir() + "/MyTemplates").removeRecursively());
        prompts.clear();
        orvaneView view(nullptr, nullptr, QString(), QString());
        QCOMPARE(dayWidget<CustomTextEdit>(view, "textEditPlan_0")->toPlainText(), QString("kept"));
        view.drawDateSchedule(day.addDays(1));
        QCOMPARE(prompts.messages(),
                 QStringList{"指定的模板文件已被您删除了,已为您启用空时刻表。"});
        QVERIFY(view.scheduleDrawn());
        QCOMPARE(view.recordCount(), 9);
        QVERIFY(QFile::exists(env.appDir() + "/MyTemplates/空时刻表.xml"));
    }
};

QTEST_MAIN(TestDiskFaults)
#include "tst_diskfaults.moc"

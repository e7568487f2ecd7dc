// The task list: the star table through its store, the window driven through its widgets (rows,
// labels, sort and filter panels, groups), with the database and settings read back afterwards.
#include "app/database.h"
#include "app/semicolonlist.h"
#include "app/settings.h"
#include "richtext/customtextedit.h"
#include "richtext/newheight.h"
#include "schedule/orvaneview.h"
#include "tasklist/customqcombobox.h"
#include "tasklist/groupedit.h"
#include "tasklist/groupitemcondition.h"
#include "tasklist/groupstore.h"
#include "tasklist/labelother.h"
#include "tasklist/mainview.h"
#include "tasklist/taskstore.h"
#include "tests/support/logcapture.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"
#include "tests/support/testrunner.h"
#include "tests/support/widgetfinder.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTextDocument>
#include <QtTest>

namespace {
inline TaskRecord task(const QString &content, int priority = 0, int progress = 0,
                       const QString &startDate = QString(), const QString &label = QString())
{
    TaskRecord t;
    t.content = content;
    t.priority = priority;
    t.progress = progress;
    t.startDate = startDate;
    t.label = label;
    t.importance = QStringLiteral("重要");
    t.emergency = QStringLiteral("紧急");
    return t;
}

// Puts the tasks into the star table in list order, as earlier sessions would have left them.
inline void seedRecords(const QList<TaskRecord> &tasks)
{
    QSqlDatabase db;
    Database::connect(&db);
    TaskStore store(db);
    store.ensureTable();
    for (int i = 0; i < tasks.size(); ++i) {
        store.insert(i);
        TaskRecord t = tasks.at(i);
        t.manualIndex = i;
        store.save(t);
    }
}

// n tasks "task 0" ..., 不重要 and 紧急.
inline void seedTasks(int n, const QString &label = QString())
{
    QList<TaskRecord> tasks;
    for (int i = 0; i < n; ++i) {
        tasks.append(task(QStringLiteral("task %1").arg(i), 0, 0, QString(), label));
        tasks.last().importance = QStringLiteral("不重要");
    }
    seedRecords(tasks);
}

// The environment, then whatever seed puts in place, then the window over it, shown.
struct Opened : TestEnvironment {
    bool seeded;
    MainView view;
    template <class Seed> explicit Opened(Seed seed) : seeded((seed(), true)) { view.show(); }
    explicit Opened(int n = 0) : Opened([n] { seedTasks(n); }) {}
};

// A data row with its values in column order.
template <class... T> void row(const char *name, T... values)
{
    (QTest::newRow(name) << ... << values);
}

inline QVariant cell(const QSqlDatabase &db, const QString &column, int manualIndex)
{
    QSqlQuery query(db);
    query.exec(
        QStringLiteral("select %1 from star where manualIndex = %2").arg(column).arg(manualIndex));
    return query.next() ? query.value(0) : QVariant();
}

// What the list shows, top to bottom: group headings as their text, tasks as their plain text.
inline QStringList drawnSequence(MainView &view)
{
    QStringList seen;
    auto *grid = qobject_cast<QGridLayout *>(view.listContainer()->layout());
    for (int r = 0; grid && r < grid->rowCount(); ++r) {
        QLayoutItem *item = grid->itemAtPosition(r, 1);
        QWidget *widget = item ? item->widget() : nullptr;
        if (auto *editor = qobject_cast<CustomTextEdit *>(widget))
            seen.append(editor->toPlainText());
        else if (auto *label = qobject_cast<QLabel *>(widget))
            seen.append(label->text());
    }
    return seen;
}

inline QPushButton *namedButton(QWidget *root, const QString &name)
{
    return findByName<QPushButton>(root, name);
}

inline QPushButton *textButton(QWidget *root, const QString &text)
{
    for (QPushButton *button : root->findChildren<QPushButton *>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

template <class T> T *rowWidget(MainView &view, const QString &stem, int index)
{
    return findByName<T>(view.listContainer(), stem + QString::number(index));
}

// The up and down arrows of the drawn rows (the only 35 x 35 push buttons), in drawing order.
inline QList<QPushButton *> arrowButtons(MainView &view)
{
    QList<QPushButton *> found;
    for (QPushButton *button : view.listContainer()->findChildren<QPushButton *>()) {
        if (button->size() == QSize(35, 35))
            found.append(button);
    }
    return found;
}

// True when every delete button and arrow of the drawn rows is disabled.
inline bool rowButtonsAllDisabled(MainView &view)
{
    for (QPushButton *button : view.listContainer()->findChildren<QPushButton *>()) {
        if ((button->objectName().startsWith(QLatin1String("delButton")) ||
             button->size() == QSize(35, 35)) &&
            button->isEnabled())
            return false;
    }
    return true;
}

// A visible window of a class that is a child window of root.
template <class T> T *openWindow(QObject *root)
{
    for (T *window : root->findChildren<T *>()) {
        if (window->isVisible())
            return window;
    }
    return nullptr;
}

// Lets deferred deletions run, as the event loop would between two clicks.
inline void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Sets the panel widgets named in "name=value name=value ...", in that order: combos take an
// index, spins a number, line edits get the text typed in, buttons are clicked and, given a date,
// the calendar they open picks it.
inline void choose(QWidget *root, const QString &settings)
{
    for (const QString &pair : settings.split(' ', Qt::SkipEmptyParts)) {
        const QString name = pair.section('=', 0, 0);
        const QString value = pair.section('=', 1);
        if (auto *combo = findByName<QComboBox>(root, name)) {
            combo->setCurrentIndex(value.toInt());
        } else if (auto *spin = findByName<QSpinBox>(root, name)) {
            spin->setValue(value.toInt());
        } else if (auto *edit = findByName<QLineEdit>(root, name)) {
            edit->insert(value);
        } else {
            QPushButton *button = namedButton(root, name);
            QVERIFY2(button, qPrintable(name));
            button->click();
            if (value.isEmpty())
                continue;
            auto *calendar = openWindow<QCalendarWidget>(root);
            QVERIFY(calendar);
            emit calendar->clicked(QDate::fromString(value, Qt::ISODate));
            settle();
        }
    }
}

// The star table with n tasks "task <i>" at ids and positions i, and a store on it.
struct Store {
    QSqlDatabase db;
    std::unique_ptr<TaskStore> store;
    explicit Store(int n = 0)
    {
        seedTasks(n);
        Database::connect(&db);
        store = std::make_unique<TaskStore>(db);
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
    QStringList values;
    if (query.exec("select * from star") && query.next()) {
        for (int column = 0; column <= 10; ++column)
            values.append(query.value(column).toString());
    }
    return query.next() ? QStringList{"more than one row"} : values;
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
        QVERIFY(s.store->insert(0));
        QVERIFY(log.contains("Add now listNo = 0"));
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
        row("delete in the middle renumbers", "delete", 2,
            QStringList{"task 0", "task 1", "task 3", "task 4"});
        row("up from 3", "up", 3, QStringList{"task 0", "task 1", "task 3", "task 2", "task 4"});
        row("down from 0", "down", 0,
            QStringList{"task 1", "task 0", "task 2", "task 3", "task 4"});
        row("down from 3", "down", 3,
            QStringList{"task 0", "task 1", "task 2", "task 4", "task 3"});
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
        row("apostrophes", "it's <b>bold</b>", "it&#39;s <b>bold</b>", "2026-12-07'", "A'B；");
        row("markers", "50%1 and %10 %2", "50%1 and %10 %2", "%3", "%9；%10；");
        row("chinese", "写报告", "写报告", "2026-01-31", "工作；");
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
        row("renumber after delete", true, "", "delete succeed!");
        row("second half of a move", false, "when old.id != 2", "update succeed!");
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

using Boxes = QList<QPair<QString, bool>>;
Q_DECLARE_METATYPE(Boxes)

namespace {
QCheckBox *box(QListWidget *list, int row)
{
    return qobject_cast<QCheckBox *>(list->itemWidget(list->item(row)));
}

// Opens the label popup of a row and returns its list.
QListWidget *labelPopup(MainView &view, int row)
{
    findByName<CustomQComboBox>(view.listContainer(), QString("comboLabel%1").arg(row))
        ->showPopup();
    return findByName<QListWidget>(&view, QString("comboLabelListWidget%1").arg(row));
}

void writeLabels(const QString &labels, int count)
{
    Settings::write("label", labels);
    Settings::write("labelCount", count);
}
} // namespace

class TestMainView : public QObject {
    Q_OBJECT

private slots:
    void addOnEmptyTableThenRefuseUntouched()
    {
        Opened env;
        PromptScript prompts;
        QPushButton *add = textButton(&env.view, "增加一条");
        add->click();
        auto *editor = rowWidget<CustomTextEdit>(env.view, "textEdit", 0);
        QVERIFY(editor);
        QCOMPARE(editor->height(), 100);
        QVERIFY(editor->toPlainText().isEmpty());
        QStringList labels;
        for (QLabel *label : env.view.listContainer()->findChildren<QLabel *>())
            labels.append(label->text());
        QVERIFY(labels.contains("1."));
        QCOMPARE(counter(), 1);

        add->click();
        QCOMPARE(prompts.messages(), QStringList{"清单内容不能为空。"});
        QCOMPARE(counter(), 1);
        QCOMPARE(env.view.shownRowCount(), 1);

        // Once the first task has text, adding works again.
        editor->setPlainText("first");
        add->click();
        QCOMPARE(env.view.shownRowCount(), 2);
        QCOMPARE(cell(env.checkConnection(), "id", 1).toInt(), 1);
    }

    void typingRecordsEachChangeAndSavesInOrder()
    {
        Opened env(6);
        MainView &view = env.view;
        QCOMPARE(rowWidget<QComboBox>(view, "comboImportance", 1)->currentText(),
                 QString("不重要"));
        for (int index : {3, 5, 3}) {
            auto *editor = rowWidget<CustomTextEdit>(view, "textEdit", index);
            editor->moveCursor(QTextCursor::End);
            QTest::keyClicks(editor, "x");
        }
        QCOMPARE(view.pendingCount(), 3);
        LogCapture log;
        textButton(&view, "保存")->click();
        QStringList saved;
        for (const QString &line : log.startingWith("save manualIndex is "))
            saved.append(line.section(' ', 3, 3));
        QCOMPARE(saved, QStringList({"3", "5", "3"}));
        QCOMPARE(log.count("db update succeed!"), 3);
        QCOMPARE(view.pendingCount(), 0);
        QCOMPARE(cell(env.checkConnection(), "importance", 5).toString(), QString("不重要"));
        QVERIFY(cell(env.checkConnection(), "content", 3).toString().contains("task 3x"));
    }

    // A picked date waits in the row like any edit; closing saves it and resets the panel modes.
    void pickedDateReachesTableOnlyOnSaveOrClose()
    {
        TestEnvironment env;
        seedTasks(3);
        Settings::write("filterApplyMode", true);
        Settings::write("sortApplyMode", true);
        {
            MainView view;
            view.show();
            rowWidget<QPushButton>(view, "buttonStart", 2)->click();
            auto *calendar = openWindow<QCalendarWidget>(&view);
            QVERIFY(calendar);
            emit calendar->clicked(QDate(2026, 12, 24));
            QVERIFY(!calendar->isVisible());
            QCOMPARE(rowWidget<QLineEdit>(view, "startDate", 2)->text(), QString("2026-12-24"));
            QCOMPARE(cell(env.checkConnection(), "start_date", 2).toString(), QString(""));
            view.saveTextEdit();
            QCOMPARE(cell(env.checkConnection(), "start_date", 2).toString(),
                     QString("2026-12-24"));

            rowWidget<QPushButton>(view, "buttonStop", 0)->click();
            emit openWindow<QCalendarWidget>(&view)->clicked(QDate(2027, 1, 5));
            rowWidget<QSpinBox>(view, "spinPriority", 1)->setValue(77);
            rowWidget<QLineEdit>(view, "stopDate", 1)->setText("明天");
            QCOMPARE(cell(env.checkConnection(), "stop_date", 0).toString(), QString(""));
            QVERIFY(view.close());
        }
        QCOMPARE(cell(env.checkConnection(), "stop_date", 0).toString(), QString("2027-01-05"));
        QCOMPARE(cell(env.checkConnection(), "priority", 1).toInt(), 77);
        QCOMPARE(cell(env.checkConnection(), "stop_date", 1).toString(), QString("明天"));
        QCOMPARE(Settings::read("filterApplyMode", true).toBool(), false);
        QCOMPARE(Settings::read("sortApplyMode", true).toBool(), false);
    }

    void arrowsEnablingAndMoves()
    {
        Opened env(4);
        QList<QPushButton *> arrows = arrowButtons(env.view); // up, down per row
        QCOMPARE(arrows.size(), 8);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(arrows.at(i)->isEnabled(), i != 0 && i != 7);
        QVERIFY(rowWidget<QPushButton>(env.view, "delButton", 1)->isEnabled());

        arrows.at(6)->click(); // up from 3
        QCOMPARE(drawnSequence(env.view), QStringList({"task 0", "task 1", "task 3", "task 2"}));
        arrowButtons(env.view).at(1)->click(); // down from 0
        QCOMPARE(drawnSequence(env.view), QStringList({"task 1", "task 0", "task 3", "task 2"}));
        QCOMPARE(cell(env.checkConnection(), "id", 1).toInt(), 0);
        QCOMPARE(cell(env.checkConnection(), "id", 2).toInt(), 3);
    }

    void deleteKeepsScrollAndAddScrollsToBottom()
    {
        Opened env(20);
        MainView &view = env.view;
        QScrollBar *bar = view.scrollArea()->verticalScrollBar();
        QVERIFY(bar->maximum() > 1000);
        bar->setValue(700);
        rowWidget<QPushButton>(view, "delButton", 5)->click();
        QCOMPARE(view.scrollArea()->verticalScrollBar()->value(), 700);
        QCOMPARE(rowWidget<CustomTextEdit>(view, "textEdit", 5)->toPlainText(), QString("task 6"));
        QCOMPARE(view.shownRowCount(), 19);
        QCOMPARE(counter(), 19);

        textButton(&view, "增加一条")->click();
        bar = view.scrollArea()->verticalScrollBar();
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(cell(env.checkConnection(), "id", 19).toInt(), 20);
    }

    void tooManyChangesAreRefusedUntilSave()
    {
        Opened env(2);
        PromptScript prompts;
        for (int i = 0; i < 1000; ++i)
            env.view.setTextEditIndex(i % 2);
        QVERIFY(prompts.messages().isEmpty());
        env.view.setTextEditIndex(0);
        env.view.setTextEditIndex(1);
        QCOMPARE(prompts.messages(), QStringList{"您编辑了太多内容，请及时保存。"});
        LogCapture log;
        env.view.saveTextEdit();
        QCOMPARE(log.count("db update succeed!"), 1000);
        env.view.setTextEditIndex(1);
        QCOMPARE(env.view.pendingCount(), 1);
    }

    void missingRowWidgetStopsSave()
    {
        Opened env(2);
        env.view.setTextEditIndex(1);
        env.view.setTextEditIndex(9);
        LogCapture log;
        env.view.saveTextEdit();
        QVERIFY(log.contains("cann't find child textEdit9"));
        QCOMPARE(env.view.pendingCount(), 2);
        delete rowWidget<QSpinBox>(env.view, "lineProgress", 1);
        log.clear();
        env.view.saveTextEdit();
        QVERIFY(log.contains("cann't find child lineProgress"));
        QCOMPARE(log.count("db update succeed!"), 0);
    }

    void heightDialogStoresAndRedraws()
    {
        Opened env(12);
        MainView &view = env.view;
        view.scrollArea()->verticalScrollBar()->setValue(300);
        rowWidget<CustomTextEdit>(view, "textEdit", 4)
            ->onAdjustHeightActionTriggered(QPoint(50, 50));
        auto *dialog = findTopLevel<NewHeight>();
        QVERIFY(dialog);
        dialog->findChild<QSlider *>()->setValue(250);
        QCOMPARE(cell(env.checkConnection(), "height", 4).toInt(), 250);
        QCOMPARE(rowWidget<CustomTextEdit>(view, "textEdit", 4)->height(), 250);
        QCOMPARE(view.scrollArea()->verticalScrollBar()->value(), 300);
        QCOMPARE(view.listContainer()->height(), 11 * 180 + 330);

        textButton(dialog, "取消")->click();
        QCOMPARE(cell(env.checkConnection(), "height", 4).toInt(), 100);
        QCOMPARE(rowWidget<CustomTextEdit>(view, "textEdit", 4)->height(), 100);
    }

    void geometryFollowsScreen()
    {
        TestEnvironment env(QRect(0, 0, 1600, 900));
        MainView view;
        QCOMPARE(textButton(&view, "保存")->geometry(), QRect(1400, 360, 1600 / 9, 45));
        QCOMPARE(textButton(&view, "增加一条")->geometry(), QRect(1400, 750, 177, 45));
        QCOMPARE(view.scrollArea()->geometry(),
                 QRect(53, 3 * 900 / 40 - 900 / 80 + 220, 1600 - 106 - 200, 900 - 150 - 220));
    }

    void aboutBoxNamesMakerAndLicences()
    {
        Opened env;
        PromptScript prompts;
        textButton(&env.view, "版权与捐赠......")->click();
        QCOMPARE(prompts.requests().size(), 1);
        QVERIFY(prompts.requests().first().kind == Prompt::Kind::About);
        const QString text = prompts.requests().first().text;
        for (const char *needed : {"Velmark", "Qt", "QuaZip", "LGPL", "不收取捐赠"})
            QVERIFY2(text.contains(QString::fromUtf8(needed)), needed);
        QVERIFY(!text.contains("wechat-pay"));
    }

    // Text typed into two rows and not saved yet survives every action that redraws the list.
    void typedTextSurvivesRedraws_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("row");
        row("move the first down", QString("down"), 0);
        row("move a middle row up", QString("up"), 2);
        row("move the last up", QString("up"), 4);
        row("height of a middle row", QString("height"), 2);
        row("sort by priority", QString("sort"), 0);
        row("group apply", QString("group"), 0);
    }

    void typedTextSurvivesRedraws()
    {
        QFETCH(QString, action);
        QFETCH(int, row);
        Opened env(5);
        PromptScript prompts;
        for (int index : {1, 3}) {
            auto *editor = rowWidget<CustomTextEdit>(env.view, "textEdit", index);
            editor->moveCursor(QTextCursor::End);
            QTest::keyClicks(editor, " typed");
        }
        const int id = cell(env.checkConnection(), "id", row).toInt();
        if (action == "up")
            env.view.onUpArrowClicked(row, id);
        else if (action == "down")
            env.view.onDownArrowClicked(row, id);
        else if (action == "height")
            env.view.setItemHeight(row, 180, 0);
        else if (action == "sort")
            env.view.onSortApplyButtonClicked("优先级");
        else
            env.view.onGroupApplyButtonClicked();

        QCOMPARE(env.view.pendingCount(), 0);
        QSqlQuery query(env.checkConnection());
        QVERIFY(query.exec("select content from star"));
        QStringList typed;
        while (query.next()) {
            QTextDocument document;
            document.setHtml(query.value(0).toString());
            if (document.toPlainText().endsWith(" typed"))
                typed.append(document.toPlainText());
        }
        typed.sort();
        QCOMPARE(typed, QStringList({"task 1 typed", "task 3 typed"}));
        QStringList shown = drawnSequence(env.view);
        QVERIFY(shown.contains("task 1 typed") && shown.contains("task 3 typed"));
        QCOMPARE(prompts.messages(), QStringList());
    }

    // A save the database refuses says so, keeps the edits pending and on screen, and the next
    // save writes them; a move asked for meanwhile does not draw over them.
    void failedSaveKeepsEditsPending()
    {
        Opened env(3);
        PromptScript prompts;
        auto *editor = rowWidget<CustomTextEdit>(env.view, "textEdit", 1);
        editor->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor, " kept");
        QSqlQuery query(env.checkConnection());
        QVERIFY(query.exec("create trigger refuse before update of content on star "
                           "begin select raise(abort, 'disk full'); end"));

        textButton(&env.view, "保存")->click();
        env.view.onDownArrowClicked(0, cell(env.checkConnection(), "id", 0).toInt());
        QCOMPARE(prompts.messages(), (QStringList{"保存失败，修改还在窗口里，请稍后再试。",
                                                  "保存失败，修改还在窗口里，请稍后再试。"}));
        QCOMPARE(env.view.pendingCount(), 1);
        QCOMPARE(cell(env.checkConnection(), "content", 1).toString(), QString("task 1"));
        QCOMPARE(cell(env.checkConnection(), "content", 0).toString(), QString("task 0"));
        QCOMPARE(rowWidget<CustomTextEdit>(env.view, "textEdit", 1)->toPlainText(),
                 QString("task 1 kept"));

        QVERIFY(query.exec("drop trigger refuse"));
        textButton(&env.view, "保存")->click();
        QCOMPARE(env.view.pendingCount(), 0);
        QVERIFY(cell(env.checkConnection(), "content", 1).toString().contains("task 1 kept"));
    }

    void dayViewTakesOverAndBackReturns()
    {
        Opened env(3);
        PromptScript prompts;
        rowWidget<CustomTextEdit>(env.view, "textEdit", 1)->setPlainText("edited before leaving");
        textButton(&env.view, "每日视图")->click();
        // Pending edits are saved on the way out, and the day view shows the list.
        QVERIFY(cell(env.checkConnection(), "content", 1).toString().contains("edited before"));
        auto *day = findTopLevel<orvaneView>();
        QVERIFY(day);
        QVERIFY(!env.view.isVisible());
        QCOMPARE(day->taskContent()->findChildren<CustomTextEdit *>().size(), 3);
        QCOMPARE(day->date(), QDate(2026, 12, 7));
        textButton(day, "返回")->click();
        QVERIFY(env.view.isVisible());
        QVERIFY(!day->isVisible());
    }

    void tickRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Boxes>("boxes");
        QTest::addColumn<QString>("expected");
        row("typed text kept", "X", Boxes{{"A", true}, {"B", false}}, "X；A；");
        row("untick in the middle", "A；B；C；", Boxes{{"A", true}, {"B", false}, {"C", true}},
            "A；C；");
        row("prefix of another label stays", "AB；", Boxes{{"A", false}}, "AB；");
    }

    void tickRules()
    {
        QFETCH(QString, text);
        QFETCH(Boxes, boxes);
        QFETCH(QString, expected);
        QCOMPARE(SemicolonList::applyTicks(text, boxes), expected);
    }

    void labelPopupTicksWriteAtOnce()
    {
        Opened env([] {
            writeLabels("A；B；", 2);
            seedTasks(2, "B；");
        });
        QListWidget *list = labelPopup(env.view, 1);
        QVERIFY(list);
        QCOMPARE(list->count(), 3);
        QCOMPARE(box(list, 0)->text(), QString("A"));
        QVERIFY(!box(list, 0)->isChecked());
        QCOMPARE(box(list, 1)->text(), QString("B"));
        QVERIFY(box(list, 1)->isChecked());
        auto *other = qobject_cast<QPushButton *>(list->itemWidget(list->item(2)));
        QCOMPARE(other->text(), QString("其它..."));

        box(list, 0)->setChecked(true);
        QCOMPARE(rowWidget<QComboBox>(env.view, "comboLabel", 1)->currentText(), QString("B；A；"));
        QCOMPARE(cell(env.checkConnection(), "label", 1).toString(), QString("B；A；"));
        box(list, 0)->setChecked(false);
        box(list, 1)->setChecked(false);
        QCOMPARE(cell(env.checkConnection(), "label", 1).toString(), QString(""));
        QCOMPARE(cell(env.checkConnection(), "label", 0).toString(), QString("B；"));
    }

    void labelOtherDropsEmptiedName()
    {
        Opened env([] {
            writeLabels("A；B；C；", 3);
            seedTasks(1);
        });
        QListWidget *list = labelPopup(env.view, 0);
        qobject_cast<QPushButton *>(list->itemWidget(list->item(3)))->click();
        LabelOther *other = findTopLevel<LabelOther>();
        QVERIFY(other);
        QCOMPARE(findByName<QLineEdit>(other, "lineEditOther1")->text(), QString("A"));
        QCOMPARE(findByName<QLineEdit>(other, "lineEditOther3")->text(), QString("C"));
        findByName<QLineEdit>(other, "lineEditOther2")->clear();
        textButton(other, "确定")->click();
        QVERIFY(!other->isVisible());
        QCOMPARE(Settings::read("label").toString(), QString("A；C；"));
        QCOMPARE(Settings::read("labelCount").toInt(), 2);
    }

    void labelOtherAddKeepsTypedNames()
    {
        Opened env([] { writeLabels("A；", 1); });
        env.view.onLabelOtherButtonClicked(0);
        LabelOther *other = findTopLevel<LabelOther>();
        findByName<QLineEdit>(other, "lineEditOther1")->setText("工作");
        textButton(other, "增加")->click();
        settle();
        QCOMPARE(findByName<QLineEdit>(other, "lineEditOther1")->text(), QString("工作"));
        auto *added = findByName<QLineEdit>(other, "lineEditOther2");
        QVERIFY(added && added->text().isEmpty());
        QStringList labels;
        for (QLabel *label : other->findChildren<QLabel *>())
            labels.append(label->text());
        QVERIFY(labels.contains("标签2:"));
        added->setText("学习");
        textButton(other, "确定")->click();
        QCOMPARE(Settings::read("label").toString(), QString("工作；学习；"));
        QCOMPARE(Settings::read("labelCount").toInt(), 2);
    }
};

namespace {
// Filters by priority: rule 0 "=", 1 ">", 3 ">=".
void filterPriority(MainView &view, int rule, int value)
{
    choose(&view, QString("filterPrirotyRuleCombo=%1 filterPrirotySpin1=%2 filterApplyButton")
                      .arg(rule)
                      .arg(value));
}

void chooseSort(MainView &view, const QString &key, bool descending)
{
    auto *combo = findByName<QComboBox>(&view, "sortCombo");
    combo->setCurrentIndex(combo->findText(key));
    if (descending)
        namedButton(&view, "descendingButton")->click();
    namedButton(&view, "sortApplyButton")->click();
}

// Five tasks: text, priority, progress, start date.
void seedSortable()
{
    seedRecords({task("a", 30, 50, "2026-12-03"), task("b", 10, 100, ""),
                 task("c", 20, 0, "2026-11-30"), task("d", 50, 75, "not a date"),
                 task("e", 40, 25, "2027-01-02")});
}

// The row buttons are locked and "增加一条" is disabled.
bool locked(MainView &view)
{
    return rowButtonsAllDisabled(view) && !textButton(&view, "增加一条")->isEnabled();
}

// Which of the named buttons are enabled, as a string of 1s and 0s.
QString enabledStates(QWidget *root, const QStringList &names)
{
    QString states;
    for (const QString &name : names)
        states += namedButton(root, name)->isEnabled() ? '1' : '0';
    return states;
}
} // namespace

class TestPanels : public QObject {
    Q_OBJECT

private slots:
    void sortOrdersThenCancel_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QString>("clause");
        QTest::addColumn<QStringList>("order");
        row("progress descending", "进度", true, " order by progress desc",
            QStringList{"b", "d", "a", "e", "c"});
        row("priority ascending", "优先级", false, " order by priority",
            QStringList{"b", "c", "a", "e", "d"});
        // An empty or free-text date has no date value; it comes first going up.
        row("start date ascending, no dates first", "开始日期", false, " order by date(start_date)",
            QStringList{"b", "d", "c", "a", "e"});
        row("start date descending, no dates last", "开始日期", true,
            " order by date(start_date) desc", QStringList{"e", "a", "c", "b", "d"});
    }

    void sortOrdersThenCancel()
    {
        QFETCH(QString, key);
        QFETCH(bool, descending);
        QFETCH(QString, clause);
        QFETCH(QStringList, order);
        Opened env(seedSortable);
        MainView &view = env.view;
        QVERIFY(!rowButtonsAllDisabled(view));
        chooseSort(view, key, descending);
        QCOMPARE(view.sortCondition(), clause);
        QStringList shown = drawnSequence(view);
        if (key == "开始日期") {
            // The two rows without a date tie; their order between them is the database's.
            const int undated = descending ? 3 : 0;
            std::sort(shown.begin() + undated, shown.begin() + undated + 2);
            std::sort(order.begin() + undated, order.begin() + undated + 2);
        }
        QCOMPARE(shown, order);
        QCOMPARE(Settings::read("sortApplyMode", false).toBool(), true);
        QVERIFY(locked(view));

        namedButton(&view, "sortCancelButton")->click();
        QCOMPARE(drawnSequence(view), QStringList({"a", "b", "c", "d", "e"}));
        QVERIFY(textButton(&view, "增加一条")->isEnabled() && !rowButtonsAllDisabled(view));
        QCOMPARE(Settings::read("sortApplyMode", true).toBool(), false);
    }

    void sortButtonEnabling()
    {
        Opened env;
        const QStringList buttons{"ascendingButton", "descendingButton", "sortApplyButton",
                                  "sortCancelButton"};
        auto *combo = findByName<QComboBox>(&env.view, "sortCombo");
        QCOMPARE(enabledStates(&env.view, buttons), QString("0000"));
        combo->setCurrentIndex(3);
        QCOMPARE(enabledStates(&env.view, buttons), QString("0110"));
        namedButton(&env.view, "descendingButton")->click();
        QCOMPARE(enabledStates(&env.view, buttons), QString("1010"));
        namedButton(&env.view, "ascendingButton")->click();
        QCOMPARE(enabledStates(&env.view, buttons), QString("0110"));
        combo->setCurrentIndex(4); // the blank item greys everything again
        QCOMPARE(enabledStates(&env.view, buttons), QString("0000"));
        combo->setCurrentIndex(2);
        namedButton(&env.view, "sortApplyButton")->click();
        QCOMPARE(enabledStates(&env.view, buttons).mid(2), QString("01"));
        namedButton(&env.view, "sortCancelButton")->click();
        QCOMPARE(combo->currentIndex(), -1);
        QCOMPARE(enabledStates(&env.view, buttons), QString("0000"));
    }

    void sortAndFilterTogether()
    {
        Opened env(seedSortable);
        MainView &view = env.view;
        chooseSort(view, "优先级", true);
        filterPriority(view, 3, 20);
        QCOMPARE(drawnSequence(view), QStringList({"d", "e", "a", "c"}));
        namedButton(&view, "filterCancelButton")->click();
        QCOMPARE(drawnSequence(view), QStringList({"d", "e", "a", "c", "b"}));
        QCOMPARE(view.sortCondition(), QString(" order by priority desc"));
        QVERIFY(locked(view));

        // Cancelling the sort keeps the filter, in manual order, with rows still locked.
        filterPriority(view, 3, 20);
        namedButton(&view, "sortCancelButton")->click();
        QCOMPARE(drawnSequence(view), QStringList({"a", "c", "d", "e"}));
        QVERIFY(locked(view));
    }

    void sortCancelInGroupedViewReturnsToGroups()
    {
        Opened env([] {
            seedSortable();
            Settings::write("groupApplyMode", true);
        });
        chooseSort(env.view, "优先级", false);
        QCOMPARE(drawnSequence(env.view), QStringList({"b", "c", "a", "e", "d"}));
        namedButton(&env.view, "sortCancelButton")->click();
        QCOMPARE(drawnSequence(env.view), QStringList({"其它：未分组", "a", "b", "c", "d", "e"}));
    }

    // Each filter's clause, exactly, and the tasks it lets through (first word of their text).
    void filterClauseAndRows_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("clause");
        QTest::addColumn<QString>("shown");
        row("importance only", "filterImportanceCombo=0", " where importance = '重要'", "b c");
        row("start after a day, priority range",
            "filterStartDateRuleCombo=1 startCalendarButton1=2026-12-01 "
            "filterPrirotyRuleCombo=5 filterPrirotySpin1=10 filterPrirotySpin2=20",
            " where date(start_date) > '2026-12-01' and priority between 10 and 20", "a");
        row("range with one date adds nothing",
            "filterStartDateRuleCombo=5 startCalendarButton1=2026-12-01 filterEmergencyCombo=1",
            " where emergency = '不紧急'", "c");
        row("date range and deadline",
            "filterStartDateRuleCombo=5 startCalendarButton1=2026-12-01 "
            "startCalendarButton2=2026-12-31 filterStopDateRuleCombo=4 "
            "stopCalendarButton1=2027-01-05",
            " where date(start_date) between '2026-12-01' and '2026-12-31' and "
            "date(stop_date) <= '2027-01-05'",
            "a");
        row("labels A；B contained beside importance, bracketed",
            "filterImportanceCombo=1 filterLabelsCombo=0 labelsEdit=A；B",
            " where importance = '不重要' and (label like '%A%' or label like '%B%')", "a");
        row("labels A；B contained, alone", "filterLabelsCombo=0 labelsEdit=A；B",
            " where label like '%A%' or label like '%B%'", "a b");
        row("labels A；B not contained: not both", "filterLabelsCombo=1 labelsEdit=A；B；",
            " where label not like '%A%' or label not like '%B%'", "a c");
        row("label with apostrophe", "filterLabelsCombo=0 labelsEdit=O'Neil",
            " where label like '%O''Neil%'", "b");
        row("keywords skip empty piece", "keyWordsEdit=X；；Y",
            " where plain_text(content) like '%X%' or plain_text(content) like '%Y%' ", "a c");
        row("one keyword piece keeps its trailing blank", "keyWordsEdit=X；",
            " where plain_text(content) like '%X%' ", "a");
        row("plain keyword", "keyWordsEdit=X", " where plain_text(content) like '%X%'", "a");
        row("keyword with apostrophe, matched as shown", "keyWordsEdit=don't",
            " where plain_text(content) like '%don''t%'", "c");
        row("keyword with ampersand, matched as shown", "keyWordsEdit=R&D",
            " where plain_text(content) like '%R&D%'", "a");
        row("label with a percent sign stands for itself", "filterLabelsCombo=0 labelsEdit=A%",
            " where label like '%A\\%%' escape '\\'", "");
        row("label rule without text, blank importance",
            "filterLabelsCombo=0 filterImportanceCombo=2", "", "a b c");
    }

    void filterClauseAndRows()
    {
        QFETCH(QString, settings);
        QFETCH(QString, clause);
        QFETCH(QString, shown);
        Opened env([] {
            TaskRecord a = task("<p>a R&amp;D X</p>", 15, 0, "2026-12-05", "A；");
            a.importance = "不重要";
            a.stopDate = "2027-01-01";
            TaskRecord c = task("c don&#39;t Y", 0, 0, "", "家");
            c.emergency = "不紧急";
            seedRecords({a, task("b", 0, 0, "", "O'Neil；A；B；"), c});
        });
        choose(&env.view, settings);
        QPushButton *apply = namedButton(&env.view, "filterApplyButton");
        QVERIFY(apply->isEnabled());
        apply->click();
        QCOMPARE(env.view.filterCondition(), clause);
        QVERIFY(!apply->isEnabled());
        QStringList firstWords;
        for (const QString &text : drawnSequence(env.view))
            firstWords.append(text.section(' ', 0, 0));
        QCOMPARE(firstWords.join(' '), shown);
    }

    // Keywords find the text a person sees: "%" and "_" stand for themselves, markup words
    // of formatted tasks never match, an apostrophe is found as typed.
    void keywordsMatchWhatIsShown_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("shown");
        QTest::newRow("percent") << "50%"
                                 << "p50";
        QTest::newRow("underscore") << "a_b"
                                    << "pab";
        QTest::newRow("markup word") << "span"
                                     << "";
        QTest::newRow("style word") << "font"
                                    << "";
        QTest::newRow("formatted text") << "bold"
                                        << "pab";
        QTest::newRow("apostrophe") << "it's"
                                    << "p50";
        QTest::newRow("upper case Latin") << "BOLD"
                                          << "pab";
    }

    void keywordsMatchWhatIsShown()
    {
        QFETCH(QString, keyword);
        QFETCH(QString, shown);
        Opened env([] {
            seedRecords({task("<p>p50 50% off, it&#39;s</p>", 0, 0, "", ""),
                         task("<p>p500 500 left</p>", 0, 0, "", ""),
                         task("<html><head><style>p { font-size: 9pt; }</style></head><body>"
                              "<p>pab <span style=\" font-weight:600;\">bold</span> a_b</p>"
                              "</body></html>",
                              0, 0, "", ""),
                         task("<p>paxb axb</p>", 0, 0, "", "")});
        });
        QTest::keyClicks(findByName<QLineEdit>(&env.view, "keyWordsEdit"), keyword);
        namedButton(&env.view, "filterApplyButton")->click();
        QStringList firstWords;
        for (const QString &text : drawnSequence(env.view))
            firstWords.append(text.section(' ', 0, 0));
        QCOMPARE(firstWords.join(' '), shown);
    }

    // The rule combos enable their inputs; "应用" and "取消" follow the chosen criteria.
    void filterEnablingLockingCancelAndRestart()
    {
        TestEnvironment env;
        seedRecords({task("a", 5), task("b", 50), task("c", 60), task("d", 1)});
        {
            MainView view;
            view.show();
            auto *rule = findByName<QComboBox>(&view, "filterStopDateRuleCombo");
            const QStringList dates{"stopCalendarButton1", "stopCalendarButton2"};
            QCOMPARE(enabledStates(&view, dates), QString("00"));
            rule->setCurrentIndex(2);
            QCOMPARE(enabledStates(&view, dates), QString("10"));
            rule->setCurrentIndex(5);
            QCOMPARE(enabledStates(&view, dates), QString("11"));
            namedButton(&view, "stopCalendarButton1")->setText("2026-12-01");
            rule->setCurrentIndex(6);
            QCOMPARE(enabledStates(&view, dates), QString("00"));
            QCOMPARE(namedButton(&view, "stopCalendarButton1")->text(), QString("日期"));
            auto *labelEdit = findByName<QLineEdit>(&view, "labelsEdit");
            QVERIFY(!labelEdit->isEnabled());
            choose(&view, "filterLabelsCombo=1 labelsEdit=A");
            QVERIFY(labelEdit->isEnabled());
            choose(&view, "filterLabelsCombo=2");
            QVERIFY(!labelEdit->isEnabled() && labelEdit->text().isEmpty());

            const QStringList applyCancel{"filterApplyButton", "filterCancelButton"};
            QCOMPARE(enabledStates(&view, applyCancel), QString("00"));
            auto *keywords = findByName<QLineEdit>(&view, "keyWordsEdit");
            QTest::keyClicks(keywords, "task");
            QCOMPARE(enabledStates(&view, applyCancel), QString("10"));
            keywords->clear();
            QCOMPARE(enabledStates(&view, applyCancel), QString("00"));
            choose(&view, "filterEmergencyCombo=0");
            QCOMPARE(enabledStates(&view, applyCancel), QString("10"));
            choose(&view, "filterEmergencyCombo=2");
            QCOMPARE(enabledStates(&view, applyCancel), QString("00"));

            filterPriority(view, 1, 10);
            QCOMPARE(drawnSequence(view), QStringList({"b", "c"}));
            QCOMPARE(enabledStates(&view, applyCancel), QString("01"));
            QCOMPARE(Settings::read("filterApplyMode", false).toBool(), true);
            QVERIFY(locked(view));
            // While filtered, changes do not offer "应用"; "取消" needs a chosen criterion.
            choose(&view, "filterImportanceCombo=0 filterEmergencyCombo=2");
            QCOMPARE(enabledStates(&view, applyCancel), QString("01"));
            choose(&view, "filterPrirotyRuleCombo=6 filterImportanceCombo=2");
            QCOMPARE(enabledStates(&view, applyCancel), QString("00"));
            choose(&view, "filterImportanceCombo=0 filterCancelButton");
            QCOMPARE(enabledStates(&view, applyCancel), QString("00"));
            QCOMPARE(drawnSequence(view), QStringList({"a", "b", "c", "d"}));
            QVERIFY(!rowButtonsAllDisabled(view) && textButton(&view, "增加一条")->isEnabled());
            QCOMPARE(findByName<QComboBox>(&view, "filterImportanceCombo")->currentIndex(), -1);
            QCOMPARE(findByName<QSpinBox>(&view, "filterPrirotySpin1")->value(), 0);
            QVERIFY(!findByName<QSpinBox>(&view, "filterPrirotySpin1")->isEnabled());
            QCOMPARE(Settings::read("filterApplyMode", true).toBool(), false);
            QCOMPARE(view.filterCondition(), QString());

            filterPriority(view, 0, 50);
            QCOMPARE(drawnSequence(view), QStringList({"b"}));
            QVERIFY(view.close());
        }
        // A restart forgets the filter.
        TestEnvironment::dropProgramConnection();
        MainView again;
        QCOMPARE(drawnSequence(again), QStringList({"a", "b", "c", "d"}));
        QVERIFY(!namedButton(&again, "filterCancelButton")->isEnabled());
    }
};

namespace {
// Tasks a..e: priority, progress, label.
void seedGrouped()
{
    seedRecords({task("a", 10, 20, "", "工作；"), task("b", 60, 90, "", "家；"),
                 task("c", 70, 40, "", "工作；"), task("d", 20, 100, "", ""),
                 task("e", 80, 0, "", "工作；家；")});
}

// Stores n groups g<i> with condition text t<i>, query q<i> and typed keywords k<i>.
void storeGroups(int n)
{
    for (int i = 0; i < n; ++i) {
        GroupStore::add();
        GroupStore::setName(i, QStringLiteral("g%1").arg(i));
        GroupStore::setCondition(i, QStringLiteral("t%1").arg(i), QStringLiteral("q%1").arg(i));
        QVariantMap state = GroupStore::state(i);
        state["keyWordsEditText"] = QStringLiteral("k%1").arg(i);
        GroupStore::setState(i, state);
    }
}

GroupEdit *openGroupEdit(MainView &view)
{
    textButton(&view, "查看分组")->click();
    return openWindow<GroupEdit>(&view);
}

GroupItemCondition *openCondition(GroupEdit *edit, int index)
{
    namedButton(edit, QStringLiteral("groupEditButton_%1").arg(index))->click();
    return openWindow<GroupItemCondition>(edit);
}

// Adds a group through the group list with its name typed in; a condition given as choose()
// settings is set in the condition window and confirmed.
void addGroup(GroupEdit *edit, const QString &name, const QString &condition = QString())
{
    textButton(edit, "增加分组")->click();
    settle();
    const int index = GroupStore::count() - 1;
    findByName<QLineEdit>(edit, QStringLiteral("groupName_%1").arg(index))->setText(name);
    if (condition.isEmpty())
        return;
    GroupItemCondition *window = openCondition(edit, index);
    QVERIFY(window);
    choose(window, condition);
    textButton(window, "确定")->click();
    settle();
}

QString lineText(QWidget *root, const QString &name)
{
    return findByName<QLineEdit>(root, name)->text();
}

// The stored typed keywords of the group at index.
QString keywords(int index)
{
    return GroupStore::state(index).value("keyWordsEditText").toString();
}
} // namespace

class TestGroups : public QObject {
    Q_OBJECT

private slots:
    void groupedDrawing_data()
    {
        QTest::addColumn<QStringList>("groups"); // "name:condition"
        QTest::addColumn<QStringList>("drawn");
        row("no groups", QStringList(), QStringList{"其它：未分组", "a", "b", "c", "d", "e"});
        row("a task selected by two groups is drawn under the first",
            QStringList{"工作:filterLabelsCombo=0 labelsEdit=工作",
                        "高优先:filterPrirotyRuleCombo=1 filterPrirotySpin1=50"},
            QStringList{"分组1:工作", "a", "c", "e", "分组2:高优先", "b", "其它：未分组", "d"});
        row("a new group without a condition selects nothing", QStringList{"空:"},
            QStringList{"分组1:空", "其它：未分组", "a", "b", "c", "d", "e"});
        row("a group sorted by progress descending",
            QStringList{"进度:sortCombo=3 descendingButton"},
            QStringList{"分组1:进度", "d", "b", "c", "a", "e", "其它：未分组"});
    }

    void groupedDrawing()
    {
        QFETCH(QStringList, groups);
        QFETCH(QStringList, drawn);
        Opened env(seedGrouped);
        GroupEdit *edit = openGroupEdit(env.view);
        QVERIFY(edit);
        for (const QString &group : groups)
            addGroup(edit, group.section(':', 0, 0), group.section(':', 1));
        textButton(edit, "确定")->click();
        settle();
        QVERIFY(!openWindow<GroupEdit>(&env.view));
        QCOMPARE(findByName<QLabel>(&env.view, "groupCountLabel")->text(),
                 QStringLiteral("共%1个分组").arg(groups.size()));

        LogCapture log;
        namedButton(&env.view, "groupApplyButton")->click();
        QCOMPARE(drawnSequence(env.view), drawn);
        QVERIFY(locked(env.view));
        // The rest is read position by position.
        const int rest = drawn.size() - drawn.indexOf("其它：未分组") - 1;
        QCOMPARE(log.lines().filter("select * from star where manualIndex = ").size(), rest);
    }

    void conditionWindowStoresQueryTextAndState_data()
    {
        QTest::addColumn<QString>("closeWith");
        row("确定", "确定");
        row("取消 still stores what is shown", "取消");
    }

    void conditionWindowStoresQueryTextAndState()
    {
        QFETCH(QString, closeWith);
        Opened env;
        GroupEdit *edit = openGroupEdit(env.view);
        addGroup(edit, "g");
        GroupItemCondition *condition = openCondition(edit, 0);
        QVERIFY(condition);
        choose(condition, "sortCombo=1 descendingButton filterImportanceCombo=0 "
                          "filterProgressRuleCombo=5 filterProgressSpin1=10 "
                          "filterProgressSpin2=90 keyWordsEdit=it's");
        textButton(condition, closeWith)->click();
        settle();
        QVERIFY(!openWindow<GroupItemCondition>(edit));

        const GroupStore::Group group = GroupStore::groups().at(0);
        QCOMPARE(
            group.conditionSyntax,
            QString("select * from star  where progress between 10 and 90 and importance = "
                    "'重要' and plain_text(content) like '%it''s%' order by date(stop_date) desc"));
        QCOMPARE(group.conditionText,
                 QString("进度区间10-90；重要；内容包含it's；按照截止日期降序排列；"));
        QCOMPARE(lineText(edit, "groupCondition_0"), group.conditionText);
        QCOMPARE(keywords(0), QString("it's"));

        // Opened again, the window shows what it stored.
        condition = openCondition(edit, 0);
        QCOMPARE(findByName<QComboBox>(condition, "sortCombo")->currentIndex(), 1);
        QVERIFY(!namedButton(condition, "descendingButton")->isEnabled());
        QCOMPARE(findByName<QSpinBox>(condition, "filterProgressSpin2")->value(), 90);
        QCOMPARE(lineText(condition, "keyWordsEdit"), QString("it's"));
    }

    void storedQueryRunsOnlyWhenSelectOnStar_data()
    {
        QTest::addColumn<QString>("syntax");
        QTest::addColumn<bool>("runs");
        row("written by the window", "select * from star  where priority > 50 order by progress",
            true);
        row("no condition", "select * from star ", true);
        row("semicolon inside a text", "select * from star  where content like '%&#39;%'", true);
        row("empty", "", false);
        row("delete", "delete from star", false);
        row("second statement", "select * from star; drop table star", false);
        row("other table", "select * from stars", false);
        row("update", "update star set content = 'x'", false);
        row("open quote", "select * from star where label = 'x", false);
    }

    void storedQueryRunsOnlyWhenSelectOnStar()
    {
        QFETCH(QString, syntax);
        QFETCH(bool, runs);
        TestEnvironment env;
        seedGrouped();
        GroupStore::add();
        GroupStore::setName(0, "g");
        GroupStore::setCondition(0, "t", syntax);
        Settings::write("groupApplyMode", true);
        LogCapture log;
        MainView view;
        const QStringList drawn = drawnSequence(view);
        QCOMPARE(drawn.size(), 7);
        QCOMPARE(drawn.first(), QString("分组1:g"));
        QCOMPARE(log.startingWith("select * query failed").isEmpty(), runs);
        // Nothing was changed by what the settings file held.
        QSqlQuery query(env.checkConnection());
        QVERIFY(query.exec("select count(*), max(content) from star where content != 'x'"));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 5);
        QCOMPARE(query.value(1).toString(), QString("e"));
    }

    void moveUpTakesEveryKey()
    {
        Opened env([] {
            storeGroups(3);
            QVariantMap state = GroupStore::state(1);
            state["filterPrirotyRuleComboCurrentIndex"] = 3;
            GroupStore::setState(1, state);
        });
        GroupEdit *edit = openGroupEdit(env.view);
        QCOMPARE(enabledStates(edit, {"groupUpButton_0", "groupDownButton_2"}), QString("00"));
        namedButton(edit, "groupUpButton_1")->click();
        settle();
        const QList<GroupStore::Group> groups = GroupStore::groups();
        QCOMPARE(QStringList({groups[0].name, groups[0].conditionText, groups[0].conditionSyntax}),
                 QStringList({"g1", "t1", "q1"}));
        QCOMPARE(groups.at(1).name, QString("g0"));
        QCOMPARE(keywords(0), QString("k1"));
        QCOMPARE(GroupStore::state(0).value("filterPrirotyRuleComboCurrentIndex").toInt(), 3);
        QCOMPARE(keywords(1), QString("k0"));
        QCOMPARE(GroupStore::state(1).value("filterPrirotyRuleComboCurrentIndex"),
                 GroupStore::state(2).value("filterPrirotyRuleComboCurrentIndex"));
        QCOMPARE(lineText(edit, "groupName_0"), QString("g1"));
        QCOMPARE(lineText(edit, "groupCondition_0"), QString("t1"));

        namedButton(edit, "groupDownButton_0")->click();
        settle();
        QCOMPARE(GroupStore::groups().at(1).name, QString("g1"));
        QCOMPARE(keywords(1), QString("k1"));
    }

    void deleteFirstOfThree()
    {
        Opened env([] { storeGroups(3); });
        GroupEdit *edit = openGroupEdit(env.view);
        namedButton(edit, "groupDeleteButton_0")->click();
        settle();
        QCOMPARE(Settings::read("groupCount").toInt(), 2);
        QCOMPARE(GroupStore::groups().at(0).name + GroupStore::groups().at(1).name, "g1g2");
        QCOMPARE(keywords(0) + keywords(1), QString("k1k2"));
        Settings settings;
        QVERIFY(!settings.contains("groupItemCondition2"));
        QVERIFY(!settings.contains("groupItemCondition2/keyWordsEditText"));
        QCOMPARE(settings.value("groupItems/size").toInt(), 2);
        QVERIFY(!findByName<QLineEdit>(edit, "groupName_2"));
        textButton(edit, "确定")->click();
        QCOMPARE(findByName<QLabel>(&env.view, "groupCountLabel")->text(), QString("共2个分组"));
    }

    void thousandGroupsAtMost()
    {
        Opened env([] { Settings::write("groupCount", 999); });
        PromptScript prompts;
        GroupEdit *edit = openGroupEdit(env.view);
        textButton(edit, "增加分组")->click();
        settle();
        QCOMPARE(Settings::read("groupCount").toInt(), 1000);
        QVERIFY(prompts.messages().isEmpty());
        textButton(edit, "增加分组")->click();
        settle();
        QCOMPARE(prompts.messages(), QStringList{"支持最大分组数量1000个。"});
        QCOMPARE(Settings::read("groupCount").toInt(), 1000);
        QCOMPARE(Settings().value("groupItems/size").toInt(), 1000);
    }

    // The grouped view survives a restart; its "取消" returns to the manual list.
    void applyRestartAndCancel()
    {
        TestEnvironment env;
        seedGrouped();
        GroupStore::add();
        GroupStore::setName(0, "高");
        GroupStore::setCondition(0, "", "select * from star  where priority > 65");
        Settings::write("groupApplyMode", true);
        MainView view;
        QCOMPARE(drawnSequence(view),
                 QStringList({"分组1:高", "c", "e", "其它：未分组", "a", "b", "d"}));
        QCOMPARE(enabledStates(&view, {"groupApplyButton", "groupCancelButton"}), QString("01"));
        namedButton(&view, "groupCancelButton")->click();
        QCOMPARE(drawnSequence(view), QStringList({"a", "b", "c", "d", "e"}));
        QVERIFY(textButton(&view, "增加一条")->isEnabled());
        QCOMPARE(Settings::read("groupApplyMode").toBool(), false);
    }
};

namespace {
// One widget of a drawn row as a person sees it, with its object name.
QString describe(QWidget *widget)
{
    const QString name = widget->objectName();
    if (auto *editor = qobject_cast<CustomTextEdit *>(widget))
        return QStringLiteral("%1=%2 h%3 key%4")
            .arg(name, editor->toPlainText())
            .arg(editor->height())
            .arg(editor->rowKey());
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    if (auto *button = qobject_cast<QPushButton *>(widget))
        return QStringLiteral("%1%2").arg(name, button->isEnabled() ? "+" : "-");
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        return name + '=' + edit->text();
    if (auto *spin = qobject_cast<QSpinBox *>(widget))
        return name + '=' + QString::number(spin->value());
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return name + '=' + combo->currentText() + ' ' + combo->view()->objectName();
    QStringList parts;
    for (QWidget *child : widget->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        parts.append(describe(child));
    return parts.join(' ');
}

// The list top to bottom, every row with all its rows made, and the container's height.
QStringList drawnRows(MainView &view)
{
    view.makeAllRows();
    QStringList rows;
    auto *grid = qobject_cast<QGridLayout *>(view.listContainer()->layout());
    for (int r = 0; grid && r < grid->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < 3; ++c) {
            QLayoutItem *item = grid->itemAtPosition(r, c);
            if (item && item->widget())
                cells.append(describe(item->widget()));
        }
        if (!cells.isEmpty())
            rows.append(cells.join(" | "));
    }
    rows.append(QStringLiteral("height %1").arg(view.listContainer()->height()));
    return rows;
}

// Every object name inside the list, sorted: a name left behind or given twice shows here.
QStringList listNames(MainView &view)
{
    QStringList names;
    for (QObject *child : view.listContainer()->findChildren<QObject *>()) {
        if (!child->objectName().isEmpty() && !child->objectName().startsWith("qt_"))
            names.append(child->objectName());
    }
    names.sort();
    return names;
}

// Does one edit on the row at a position: "add", "delete", "up", "down", "height", "label".
void edit(MainView &view, const QString &action, int at)
{
    if (action == "add") {
        textButton(&view, "增加一条")->click();
        return;
    }
    TaskRow *row = view.taskRow(at);
    QVERIFY2(row, qPrintable(QString("no row %1").arg(at)));
    if (action == "delete") {
        qobject_cast<QPushButton *>(row->field("delButton"))->click();
    } else if (action == "up") {
        row->upButton()->click();
    } else if (action == "down") {
        row->downButton()->click();
    } else if (action == "height") {
        view.setItemHeight(at, 230, view.scrollArea()->verticalScrollBar()->value());
    } else if (action == "label") {
        QListWidget *list = labelPopup(view, at);
        QVERIFY(list);
        box(list, 0)->setChecked(true);
    }
}

// Long enough that the window makes part of the rows only.
constexpr int longList = 130;
} // namespace

class TestIncrementalEdits : public QObject {
    Q_OBJECT

private slots:
    void editMatchesFreshWindow_data()
    {
        QTest::addColumn<int>("tasks");
        QTest::addColumn<QString>("actions"); // done in turn, "+" between them
        QTest::addColumn<int>("at");
        row("add to an empty list", 0, QString("add"), 0);
        row("add", 5, QString("add"), 0);
        row("add twice", 5, QString("add+add"), 0);
        row("delete first", 5, QString("delete"), 0);
        row("delete middle", 5, QString("delete"), 2);
        row("delete last", 5, QString("delete"), 4);
        row("delete the only row", 1, QString("delete"), 0);
        row("delete then the row below moves up", 5, QString("delete+up"), 2);
        row("delete then the new last moves up", 5, QString("delete+up"), 3);
        row("first down", 5, QString("down"), 0);
        row("second up to the top", 5, QString("up"), 1);
        row("last up", 5, QString("up"), 4);
        row("next to last down", 5, QString("down"), 3);
        row("down twice and back", 5, QString("down+up+down"), 2);
        row("height", 5, QString("height"), 2);
        row("label", 5, QString("label"), 3);
        row("long list: add", longList, QString("add"), 0);
        row("long list: delete above rows not made", longList, QString("delete"), 50);
        row("long list: delete a row made late", longList, QString("delete"), longList - 10);
        row("long list: move a row made late", longList, QString("up+up"), longList - 1);
        row("long list: height of a row made late", longList, QString("height"), 110);
        row("long list: delete then add", longList, QString("delete+add"), 3);
    }

    void editMatchesFreshWindow()
    {
        QFETCH(int, tasks);
        QFETCH(QString, actions);
        QFETCH(int, at);
        Opened env([tasks] {
            writeLabels("A；B；", 2);
            seedTasks(tasks);
        });
        MainView &view = env.view;
        PromptScript prompts;
        // Which seeded task each position should hold afterwards.
        QStringList expected;
        for (int i = 0; i < tasks; ++i)
            expected.append(QString("task %1").arg(i));
        for (const QString &action : actions.split('+')) {
            if (action == "add")
                expected.append("new");
            else if (action == "delete")
                expected.removeAt(at);
            else if (action == "up")
                expected.swapItemsAt(at - 1, at);
            else if (action == "down")
                expected.swapItemsAt(at, at + 1);
        }
        for (const QString &action : actions.split('+')) {
            // A pending edit before every action: it must reach the table with it.
            const int count = view.shownRowCount();
            if (count > 0) {
                view.taskRow(at + 1 < count ? at + 1 : 0)
                    ->editor()
                    ->append(QString("typed before %1").arg(action));
                view.taskRow(count - 1)->editor()->append("typed in the last");
            }
            edit(view, action, at);
            settle();
        }
        view.saveTextEdit();
        QCOMPARE(view.pendingCount(), 0);
        QVERIFY(prompts.messages().isEmpty());
        const QStringList edited = drawnRows(view);
        const QStringList editedNames = listNames(view);
        QCOMPARE(QSet<QString>(editedNames.begin(), editedNames.end()).size(), editedNames.size());

        const QStringList stored = contentsInOrder(env);
        QCOMPARE(stored.filter("<gap").size(), 0);
        QCOMPARE(counter(), stored.size());
        QCOMPARE(view.shownRowCount(), stored.size());
        if (tasks > 1)
            QVERIFY(!stored.filter("typed before").isEmpty());

        MainView fresh;
        fresh.show();
        settle();
        QCOMPARE(edited, drawnRows(fresh));
        QStringList order;
        for (int i = 0; i < fresh.shownRowCount(); ++i) {
            const QString first = fresh.taskRow(i)->editor()->toPlainText().section('\n', 0, 0);
            order.append(first.startsWith("task ") ? first : "new");
        }
        QCOMPARE(order, expected);
        QCOMPARE(editedNames, listNames(fresh));
    }

    void editsInOtherDrawingsMatchRedraw_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("at");
        row("sorted: height", QString("sort"), QString("height"), 1);
        row("filtered: height", QString("filter"), QString("height"), 3);
        row("filtered: label", QString("filter"), QString("label"), 4);
        row("grouped: height", QString("group"), QString("height"), 2);
        row("grouped: label", QString("group"), QString("label"), 0);
    }

    void editsInOtherDrawingsMatchRedraw()
    {
        QFETCH(QString, mode);
        QFETCH(QString, action);
        QFETCH(int, at);
        Opened env([] {
            writeLabels("A；B；", 2);
            seedSortable();
        });
        MainView &view = env.view;
        if (mode == "sort") {
            chooseSort(view, "优先级", true);
        } else if (mode == "filter") {
            filterPriority(view, 3, 20);
        } else {
            GroupStore::add();
            GroupStore::setName(0, "高");
            GroupStore::setCondition(0, QString(), "select * from star  where priority >= 30");
            namedButton(&view, "groupApplyButton")->click();
        }
        settle();
        const QStringList before = drawnSequence(view);
        edit(view, action, at);
        settle();
        QCOMPARE(drawnSequence(view), before);
        const QStringList edited = drawnRows(view);
        view.redrawFromTable();
        settle();
        QCOMPARE(edited, drawnRows(view));
    }

    void longListMakesRowsAsTheyComeIntoView()
    {
        Opened env(250);
        MainView &view = env.view;
        settle();
        // Part of the rows, but the scroll bar spans every task.
        QVERIFY(view.madeRowCount() >= 100);
        QVERIFY(view.madeRowCount() < 250);
        QCOMPARE(view.listContainer()->height(), 250 * 180);
        QVERIFY(!findByName<CustomTextEdit>(view.listContainer(), "textEdit249"));
        QScrollBar *bar = view.scrollArea()->verticalScrollBar();
        bar->setValue(bar->maximum());
        settle();
        auto *last = findByName<CustomTextEdit>(view.listContainer(), "textEdit249");
        QVERIFY(last);
        QCOMPARE(last->toPlainText(), QString("task 249"));
        QVERIFY(view.madeRowCount() < 250);
        // What the person sees at the bottom is made: the last row lies within the viewport.
        const QPoint shown = last->mapTo(view.scrollArea()->viewport(), QPoint(0, 0));
        QVERIFY(shown.y() < view.scrollArea()->viewport()->height());
        QVERIFY(shown.y() + last->height() > 0);

        // A row in the middle, reached by the scroll bar, is made too.
        bar->setValue(bar->maximum() / 2);
        settle();
        const QList<CustomTextEdit *> editors =
            view.listContainer()->findChildren<CustomTextEdit *>();
        const QRect viewport = view.scrollArea()->viewport()->rect();
        int visible = 0;
        for (CustomTextEdit *editor : editors) {
            const QRect at(editor->mapTo(view.scrollArea()->viewport(), QPoint(0, 0)),
                           editor->size());
            visible += at.intersects(viewport) ? 1 : 0;
        }
        QVERIFY(visible > 0);

        last->setPlainText("edited far down");
        textButton(&view, "保存")->click();
        QCOMPARE(cell(env.checkConnection(), "content", 249).toString().contains("edited far down"),
                 true);
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestTaskStore store;
    TestMainView view;
    TestPanels panels;
    TestGroups groups;
    TestIncrementalEdits edits;
    return runTestClasses(argc, argv, {&store, &view, &panels, &groups, &edits});
}

#include "tst_tasklist.moc"

// Taking back deletes from the windows: the notice after a delete, Ctrl+Z and "撤销" in the
// window where the delete happened, the database read back afterwards and the window compared
// with a fresh one opened on the same data. Nothing is offered after a restart.
#include "app/database.h"
#include "richtext/customtextedit.h"
#include "schedule/datechangedview.h"
#include "schedule/dayactions.h"
#include "schedule/daystore.h"
#include "schedule/orvaneview.h"
#include "schedule/planlabels.h"
#include "schedule/templatestore.h"
#include "tasklist/groupedit.h"
#include "tasklist/groupstore.h"
#include "tasklist/mainview.h"
#include "tasklist/taskstore.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"
#include "tests/support/widgetfinder.h"
#include "tests/undo/snapshots.h"
#include "undo/undonotice.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimeEdit>
#include <QtTest>
#include <memory>

namespace {
const QDate day(2026, 12, 2);
const QString table = QStringLiteral("Day20261202空时刻表");

void seedTasks(int n)
{
    QSqlDatabase db;
    Database::connect(&db);
    TaskStore store(db);
    store.ensureTable();
    for (int i = 0; i < n; ++i) {
        QVERIFY(store.insert(i));
        TaskRecord t;
        t.id = i;
        t.manualIndex = i;
        t.content = QString("<p>任务 %1</p>").arg(i);
        t.importance = "重要";
        t.emergency = "不紧急";
        t.priority = i;
        t.height = 100 + 10 * i;
        QVERIFY(store.save(t));
    }
}

// The saved day: the built-in time table with labels and texts on its records.
void seedDay(const QString &dayTable)
{
    QSqlDatabase db;
    Database::connect(&db);
    QVERIFY(TemplateStore::createBuiltInTemplates());
    DayActions actions(db);
    QCOMPARE(actions.openSchedule(dayTable, nullptr), DayStore::HasContent);
    DayStore store(db);
    DayEdits edits;
    const int count = store.records(dayTable).size();
    for (int i = 0; i < count; ++i) {
        const QString label = i % 2 ? "学习" : "";
        QVERIFY(store.writeLabel(dayTable, i, label));
        DayRecordEdit edit;
        edit.timed = true;
        edit.start = QString("%1:00").arg(9 + i, 2, 10, QChar('0'));
        edit.end = QString("%1:40").arg(9 + i, 2, 10, QChar('0'));
        edit.plan = QString("<p>计划%1</p>").arg(i);
        edit.result = QString("<p>结果%1</p>").arg(i);
        edit.planHeight = 100 + i;
        edit.resultHeight = 100;
        edit.labelCaption = PlanLabels::caption(label);
        edits.records.append(edit);
    }
    QVERIFY(actions.saveDay(dayTable, day, edits));
}

// What the task list draws: every editor's name, text and height, in drawing order.
QStringList drawnTasks(const MainView &view)
{
    QStringList out;
    const auto editors = view.listContainer()->findChildren<CustomTextEdit *>();
    for (const CustomTextEdit *editor : editors)
        out.append(QString("%1 %2 %3")
                       .arg(editor->objectName(), editor->toPlainText())
                       .arg(editor->height()));
    return out;
}

// What the day view draws of its records.
QStringList drawnDay(const orvaneView &view)
{
    QStringList out;
    if (!view.scheduleDrawn())
        return {"<nothing drawn>"};
    for (int i = 0; i < view.recordCount(); ++i) {
        const QWidget *content = view.scheduleContent();
        auto *plan = findByName<CustomTextEdit>(content, QString("textEditPlan_%1").arg(i));
        auto *from = findByName<QTimeEdit>(content, QString("fromTime_%1").arg(i));
        auto *label = findByName<QPushButton>(content, QString("labelButton_%1").arg(i));
        out.append(QString("%1 %2 %3 %4")
                       .arg(plan ? plan->toPlainText() : "-", from ? from->text() : "-",
                            label ? label->text() : "-")
                       .arg(plan ? plan->height() : -1));
    }
    return out;
}

void pressUndo(QWidget *window, bool shortcut)
{
    if (shortcut) {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        window->setFocus();
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
    } else {
        auto *notice = window->findChild<UndoNotice *>();
        QVERIFY(notice && notice->isVisible());
        QTest::mouseClick(notice->undoButton(), Qt::LeftButton);
    }
}

void checkNotice(QWidget *window, const QString &part)
{
    auto *notice = window->findChild<UndoNotice *>();
    QVERIFY(notice);
    QVERIFY(notice->isVisible());
    QVERIFY2(notice->textLabel()->text().startsWith("已删除"),
             qPrintable(notice->textLabel()->text()));
    QVERIFY2(notice->textLabel()->text().contains(part), qPrintable(notice->textLabel()->text()));
    QCOMPARE(notice->undoButton()->text(), QString("撤销"));
    // It floats over the window's bottom edge, inside the window.
    QVERIFY(window->rect().contains(notice->geometry()));
}
} // namespace

class TestUndoWindows : public QObject {
    Q_OBJECT

private slots:
    void taskDeleteTakenBack_data();
    void taskDeleteTakenBack();
    void recordDeleteTakenBack_data();
    void recordDeleteTakenBack();
    void chooserDeleteTakenBack();
    void templateDeleteTakenBack();
    void groupDeleteTakenBack();
};

void TestUndoWindows::taskDeleteTakenBack_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("shortcut");
    QTest::newRow("first, Ctrl+Z") << 0 << true;
    QTest::newRow("middle, Ctrl+Z") << 2 << true;
    QTest::newRow("last, 撤销") << 4 << false;
}

void TestUndoWindows::taskDeleteTakenBack()
{
    QFETCH(int, position);
    QFETCH(bool, shortcut);
    TestEnvironment env;
    PromptScript prompts;
    seedTasks(5);
    auto view = std::make_unique<MainView>();
    view->show();
    const QStringList before = databaseDump(env.checkConnection());
    const QStringList drawnBefore = drawnTasks(*view);

    auto *remove =
        findByName<QPushButton>(view->listContainer(), QString("delButton%1").arg(position));
    QVERIFY(remove);
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(view->shownRowCount(), 4);
    checkNotice(view.get(), QString("任务 %1").arg(position));

    pressUndo(view.get(), shortcut);
    QCOMPARE(databaseDump(env.checkConnection()), before);
    QCOMPARE(view->shownRowCount(), 5);
    const QStringList drawnAfter = drawnTasks(*view);
    QCOMPARE(drawnAfter, drawnBefore);
    QVERIFY(prompts.messages().isEmpty());

    // Delete again and start the program anew: nothing is offered any more.
    QTest::mouseClick(findByName<QPushButton>(view->listContainer(), "delButton0"), Qt::LeftButton);
    view.reset();
    TestEnvironment::dropProgramConnection();
    const QStringList deleted = databaseDump(env.checkConnection());
    MainView fresh;
    fresh.show();
    QVERIFY(fresh.undoJournal().isEmpty());
    QVERIFY(!fresh.undoNotice()->isVisible());
    pressUndo(&fresh, true);
    QCOMPARE(databaseDump(env.checkConnection()), deleted);
    QCOMPARE(fresh.shownRowCount(), 4);
}

void TestUndoWindows::recordDeleteTakenBack_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("shortcut");
    QTest::newRow("first, 撤销") << 0 << false;
    QTest::newRow("labelled middle, Ctrl+Z") << 3 << true;
    QTest::newRow("last, Ctrl+Z") << 8 << true;
}

void TestUndoWindows::recordDeleteTakenBack()
{
    QFETCH(int, position);
    QFETCH(bool, shortcut);
    TestEnvironment env(QRect(0, 0, 1920, 1040), day);
    PromptScript prompts;
    seedDay(table);
    QStringList drawnFresh;
    {
        orvaneView fresh(nullptr, nullptr, QString(), QString());
        drawnFresh = drawnDay(fresh);
    }
    orvaneView view(nullptr, nullptr, QString(), QString());
    view.show();
    QCOMPARE(view.currentTable(), table);
    const QStringList before = databaseDump(env.checkConnection());

    QList<QPushButton *> deletes;
    for (QPushButton *button : view.scheduleContent()->findChildren<QPushButton *>()) {
        if (button->text() == "删除记录")
            deletes.append(button);
    }
    QCOMPARE(deletes.size(), 9);
    QTest::mouseClick(deletes.at(position), Qt::LeftButton);
    QCOMPARE(view.recordCount(), 8);
    checkNotice(&view, QString("计划%1").arg(position));

    pressUndo(&view, shortcut);
    QCOMPARE(databaseDump(env.checkConnection()), before);
    QCOMPARE(drawnDay(view), drawnFresh);
    QVERIFY(prompts.messages().isEmpty());
}

void TestUndoWindows::chooserDeleteTakenBack()
{
    TestEnvironment env(QRect(0, 0, 1920, 1040), day);
    PromptScript prompts;
    seedDay(table);
    seedDay("Day20261202空任务表");
    orvaneView view(nullptr, nullptr, QString(), QString());
    view.show();
    // Two schedules: the chooser asks which one.
    QVERIFY(!view.scheduleDrawn());
    QPointer<dateChangedView> chooser = findTopLevel<dateChangedView>();
    QVERIFY(chooser);
    const QStringList before = databaseDump(env.checkConnection());
    const QStringList settingsBefore = settingsDump();

    prompts.answerButton(QMessageBox::Ok);
    chooser->onDeleteComoboxClicked("空任务表");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!chooser);
    QCOMPARE(view.dayXmlTemplates(), QStringList{"空时刻表"});
    checkNotice(&view, "空任务表");
    pressUndo(&view, true);
    QCOMPARE(databaseDump(env.checkConnection()), before);
    QCOMPARE(settingsDump(), settingsBefore);
    // Drawn as on opening the date: the chooser again, with both schedules.
    QVERIFY(!view.scheduleDrawn());
    QCOMPARE(view.dayXmlTemplates().size(), 2);
    chooser = findTopLevel<dateChangedView>();
    QVERIFY(chooser);
    QCOMPARE(findByName<QComboBox>(chooser.data(), "deleteComboBox")->count(), 2);
    chooser->close();
}

void TestUndoWindows::templateDeleteTakenBack()
{
    TestEnvironment env(QRect(0, 0, 1920, 1040), day);
    PromptScript prompts;
    seedDay(table);
    orvaneView view(nullptr, nullptr, QString(), QString());
    view.show();
    const QString path = TemplateStore::xmlTemplatePath("空任务表");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    const int items = view.templateComboBox()->count();

    view.deleteOneTemplate("空任务表");
    QVERIFY(!QFile::exists(path));
    QCOMPARE(view.templateComboBox()->findText("空任务表"), -1);
    checkNotice(&view, "空任务表");
    pressUndo(&view, false);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
    QCOMPARE(view.templateComboBox()->count(), items);
    QVERIFY(view.templateComboBox()->findText("空任务表") >= 0);
    QCOMPARE(view.currentTable(), table);
    QVERIFY(view.undoJournal().isEmpty());
}

void TestUndoWindows::groupDeleteTakenBack()
{
    TestEnvironment env;
    PromptScript prompts;
    for (int i = 0; i < 3; ++i) {
        QVERIFY(GroupStore::add());
        GroupStore::setName(i, QString("组%1").arg(i));
    }
    MainView main;
    const QStringList before = settingsDump();
    {
        GroupEdit edit(&main);
        edit.show();
        edit.onDeleteButtonClicked(1);
        QCOMPARE(GroupStore::count(), 2);
        checkNotice(&edit, "组1");
    }
    // The group window is made anew for every use; the delete can still be taken back.
    GroupEdit again(&main);
    again.show();
    pressUndo(&again, true);
    QCOMPARE(settingsDump(), before);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the old rows
    auto *name = findByName<QLineEdit>(&again, "groupName_1");
    QVERIFY(name);
    QCOMPARE(name->text(), QString("组1"));
}

QTEST_MAIN(TestUndoWindows)
#include "tst_undowindows.moc"

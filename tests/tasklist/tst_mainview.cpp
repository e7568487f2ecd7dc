// The task list window driven through its widgets, with the database read back afterwards.
#include "tests/tasklist/tst_mainview.h"

#include "app/settings.h"
#include "richtext/customtextedit.h"
#include "richtext/newheight.h"
#include "schedule/orvaneview.h"
#include "tasklist/mainview.h"
#include "tests/support/logcapture.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"
#include "tests/support/widgetfinder.h"
#include "tests/tasklist/seed.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

namespace {
QPushButton *buttonWithText(QWidget *root, const QString &text)
{
    const auto buttons = root->findChildren<QPushButton *>();
    for (QPushButton *button : buttons) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

template <class T> T *rowWidget(MainView &view, const QString &stem, int index)
{
    return findByName<T>(view.listContainer(), stem + QString::number(index));
}

QStringList savedIndexes(const LogCapture &log)
{
    QStringList indexes;
    for (const QString &line : log.startingWith("save manualIndex is "))
        indexes.append(line.section(' ', 3, 3));
    return indexes;
}
} // namespace

void TestMainView::emptyTableThenAdd()
{
    TestEnvironment env;
    PromptScript prompts;
    MainView view;
    QCOMPARE(view.shownRowCount(), 0);
    QCOMPARE(view.listContainer()->height(), 0);
    QVERIFY(!rowWidget<CustomTextEdit>(view, "textEdit", 0));

    buttonWithText(&view, "增加一条")->click();
    auto *editor = rowWidget<CustomTextEdit>(view, "textEdit", 0);
    QVERIFY(editor);
    QCOMPARE(editor->height(), 100);
    QVERIFY(editor->toPlainText().isEmpty());
    bool numbered = false;
    for (QLabel *label : view.listContainer()->findChildren<QLabel *>())
        numbered = numbered || label->text() == "1.";
    QVERIFY(numbered);
    QCOMPARE(Settings::read("mainViewItemCount", 0).toInt(), 1);
    QVERIFY(prompts.messages().isEmpty());
}

void TestMainView::secondAddOfUntouchedTaskIsRefused()
{
    TestEnvironment env;
    PromptScript prompts;
    MainView view;
    QPushButton *add = buttonWithText(&view, "增加一条");
    add->click();
    add->click();
    QCOMPARE(prompts.messages(), QStringList{"清单内容不能为空。"});
    QCOMPARE(Settings::read("mainViewItemCount", 0).toInt(), 1);
    QCOMPARE(view.shownRowCount(), 1);

    // Once the first task has text, adding works again.
    rowWidget<CustomTextEdit>(view, "textEdit", 0)->setPlainText("first");
    add->click();
    QCOMPARE(view.shownRowCount(), 2);
    QCOMPARE(cell(env.checkConnection(), "id", 1).toInt(), 1);
}

void TestMainView::rowsShowStoredValues()
{
    TestEnvironment env;
    seedTasks(2, "A；");
    MainView view;
    QCOMPARE(rowWidget<CustomTextEdit>(view, "textEdit", 1)->toPlainText(), QString("task 1"));
    QCOMPARE(rowWidget<QComboBox>(view, "comboImportance", 1)->currentText(), QString("不重要"));
    QCOMPARE(rowWidget<QComboBox>(view, "comboEmergercy", 1)->currentText(), QString("紧急"));
    QCOMPARE(rowWidget<QComboBox>(view, "comboLabel", 1)->currentText(), QString("A；"));
    QCOMPARE(rowWidget<QComboBox>(view, "comboLabel", 1)->size(), QSize(150, 35));
    QVERIFY(rowWidget<QPushButton>(view, "buttonStart", 1));
    QVERIFY(rowWidget<QPushButton>(view, "buttonStop", 1));
    QVERIFY(rowWidget<QPushButton>(view, "delButton", 1));
    QCOMPARE(rowWidget<QSpinBox>(view, "lineProgress", 1)->maximum(), 100);
    QCOMPARE(view.pendingCount(), 0);
}

void TestMainView::typingRecordsEachChangeAndSavesInOrder()
{
    TestEnvironment env;
    seedTasks(6);
    MainView view;
    for (int index : {3, 5, 3}) {
        auto *editor = rowWidget<CustomTextEdit>(view, "textEdit", index);
        editor->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor, "x");
    }
    QCOMPARE(view.pendingCount(), 3);
    LogCapture log;
    buttonWithText(&view, "保存")->click();
    QCOMPARE(savedIndexes(log), QStringList({"3", "5", "3"}));
    QCOMPARE(log.count("db update succeed!"), 3);
    QCOMPARE(view.pendingCount(), 0);
    // The first save of an untouched combo stores the item it shows.
    QCOMPARE(cell(env.checkConnection(), "importance", 5).toString(), QString("不重要"));
    QVERIFY(cell(env.checkConnection(), "content", 3).toString().contains("task 3x"));
}

void TestMainView::pickedDateReachesTableOnlyOnSave()
{
    TestEnvironment env;
    seedTasks(3);
    MainView view;
    view.show();
    rowWidget<QPushButton>(view, "buttonStart", 2)->click();
    auto *calendar = view.findChild<QCalendarWidget *>();
    QVERIFY(calendar && calendar->isVisible());
    emit calendar->clicked(QDate(2026, 12, 24));
    QVERIFY(!calendar->isVisible());
    QCOMPARE(rowWidget<QLineEdit>(view, "startDate", 2)->text(), QString("2026-12-24"));
    QCOMPARE(cell(env.checkConnection(), "start_date", 2).toString(), QString(""));

    rowWidget<QPushButton>(view, "buttonStop", 0)->click();
    calendar = nullptr;
    for (QCalendarWidget *c : view.findChildren<QCalendarWidget *>())
        calendar = c->isVisible() ? c : calendar;
    QVERIFY(calendar);
    emit calendar->clicked(QDate(2027, 1, 5));

    view.saveTextEdit();
    QCOMPARE(cell(env.checkConnection(), "start_date", 2).toString(), QString("2026-12-24"));
    QCOMPARE(cell(env.checkConnection(), "stop_date", 0).toString(), QString("2027-01-05"));
}

void TestMainView::arrowsAndDeleteEnabling()
{
    TestEnvironment env;
    seedTasks(3);
    MainView view;
    auto arrows = [&view](int row) {
        // The arrow buttons are the only 35 x 35 push buttons; two per row in drawing order.
        QList<QPushButton *> found;
        for (QPushButton *b : view.listContainer()->findChildren<QPushButton *>()) {
            if (b->size() == QSize(35, 35))
                found.append(b);
        }
        return qMakePair(found.at(2 * row), found.at(2 * row + 1));
    };
    QVERIFY(!arrows(0).first->isEnabled());
    QVERIFY(arrows(0).second->isEnabled());
    QVERIFY(arrows(1).first->isEnabled() && arrows(1).second->isEnabled());
    QVERIFY(arrows(2).first->isEnabled());
    QVERIFY(!arrows(2).second->isEnabled());
    QVERIFY(rowWidget<QPushButton>(view, "delButton", 1)->isEnabled());

    // Any order other than the plain manual one disables deleting and moving.
    view.createListContainer(0);
    view.buildRows("select * from star order by progress");
    QVERIFY(!rowWidget<QPushButton>(view, "delButton", 1)->isEnabled());
    QVERIFY(!arrows(1).first->isEnabled() && !arrows(1).second->isEnabled());
}

void TestMainView::arrowsMoveRows()
{
    TestEnvironment env;
    seedTasks(4);
    MainView view;
    view.onUpArrowClicked(3, 3);
    QCOMPARE(rowWidget<CustomTextEdit>(view, "textEdit", 2)->toPlainText(), QString("task 3"));
    view.onDownArrowClicked(0, 0);
    QCOMPARE(rowWidget<CustomTextEdit>(view, "textEdit", 0)->toPlainText(), QString("task 1"));
    QCOMPARE(cell(env.checkConnection(), "id", 1).toInt(), 0);
    QCOMPARE(cell(env.checkConnection(), "id", 3).toInt(), 2);
}

void TestMainView::deleteKeepsScrollAndAddScrollsToBottom()
{
    TestEnvironment env;
    seedTasks(20);
    MainView view;
    view.show();
    QScrollBar *bar = view.scrollArea()->verticalScrollBar();
    QVERIFY(bar->maximum() > 1000);
    bar->setValue(700);
    rowWidget<QPushButton>(view, "delButton", 5)->click();
    QCOMPARE(view.shownRowCount(), 19);
    QCOMPARE(view.scrollArea()->verticalScrollBar()->value(), 700);
    QCOMPARE(rowWidget<CustomTextEdit>(view, "textEdit", 5)->toPlainText(), QString("task 6"));
    QCOMPARE(Settings::read("mainViewItemCount", 0).toInt(), 19);

    buttonWithText(&view, "增加一条")->click();
    bar = view.scrollArea()->verticalScrollBar();
    QCOMPARE(bar->value(), bar->maximum());
    QCOMPARE(cell(env.checkConnection(), "id", 19).toInt(), 20);
}

void TestMainView::closingSavesPendingEdits()
{
    TestEnvironment env;
    seedTasks(2);
    Settings::write("filterApplyMode", true);
    Settings::write("sortApplyMode", true);
    {
        MainView view;
        view.show();
        rowWidget<QSpinBox>(view, "spinPriority", 1)->setValue(77);
        rowWidget<QLineEdit>(view, "stopDate", 1)->setText("明天");
        QVERIFY(view.close());
    }
    QCOMPARE(cell(env.checkConnection(), "priority", 1).toInt(), 77);
    QCOMPARE(cell(env.checkConnection(), "stop_date", 1).toString(), QString("明天"));
    QCOMPARE(Settings::read("filterApplyMode", true).toBool(), false);
    QCOMPARE(Settings::read("sortApplyMode", true).toBool(), false);
}

void TestMainView::tooManyChangesAreRefusedUntilSave()
{
    TestEnvironment env;
    PromptScript prompts;
    seedTasks(2);
    MainView view;
    for (int i = 0; i < 1000; ++i)
        view.setTextEditIndex(i % 2);
    QVERIFY(prompts.messages().isEmpty());
    view.setTextEditIndex(0);
    view.setTextEditIndex(1);
    QCOMPARE(prompts.messages(), QStringList{"您编辑了太多内容，请及时保存。"});
    LogCapture log;
    view.saveTextEdit();
    QCOMPARE(log.count("db update succeed!"), 1000);
    view.setTextEditIndex(1);
    QCOMPARE(view.pendingCount(), 1);
}

void TestMainView::missingRowWidgetStopsSave()
{
    TestEnvironment env;
    seedTasks(2);
    MainView view;
    view.setTextEditIndex(1);
    view.setTextEditIndex(9);
    LogCapture log;
    view.saveTextEdit();
    QVERIFY(log.contains("cann't find child textEdit9"));
    QCOMPARE(view.pendingCount(), 2);
    delete rowWidget<QSpinBox>(view, "lineProgress", 1);
    log.clear();
    view.saveTextEdit();
    QVERIFY(log.contains("cann't find child lineProgress"));
    QCOMPARE(log.count("db update succeed!"), 0);
}

void TestMainView::heightDialogStoresAndRedraws()
{
    TestEnvironment env;
    seedTasks(12);
    MainView view;
    view.show();
    view.scrollArea()->verticalScrollBar()->setValue(300);
    rowWidget<CustomTextEdit>(view, "textEdit", 4)->onAdjustHeightActionTriggered(QPoint(50, 50));
    auto *dialog = findTopLevel<NewHeight>();
    QVERIFY(dialog);
    auto *slider = dialog->findChild<QSlider *>();
    QVERIFY(slider);
    slider->setValue(250);
    QCOMPARE(cell(env.checkConnection(), "height", 4).toInt(), 250);
    QCOMPARE(rowWidget<CustomTextEdit>(view, "textEdit", 4)->height(), 250);
    QCOMPARE(view.scrollArea()->verticalScrollBar()->value(), 300);
    QCOMPARE(view.listContainer()->height(), 11 * 180 + 330);

    // Cancel puts the starting height back.
    buttonWithText(dialog, "取消")->click();
    QCOMPARE(cell(env.checkConnection(), "height", 4).toInt(), 100);
    QCOMPARE(rowWidget<CustomTextEdit>(view, "textEdit", 4)->height(), 100);
}

void TestMainView::geometryFollowsScreen()
{
    TestEnvironment env(QRect(0, 0, 1600, 900));
    MainView view;
    QCOMPARE(buttonWithText(&view, "保存")->geometry(), QRect(1600 - 200, 450 - 90, 1600 / 9, 45));
    QCOMPARE(buttonWithText(&view, "增加一条")->geometry(), QRect(1400, 900 - 150, 177, 45));
    QCOMPARE(buttonWithText(&view, "每日视图")->shortcut(), QKeySequence("PgDown"));
    QCOMPARE(buttonWithText(&view, "保存")->shortcut(), QKeySequence("Ctrl+S"));
    QCOMPARE(buttonWithText(&view, "增加一条")->shortcut(), QKeySequence("Ctrl+N"));
    QCOMPARE(view.scrollArea()->geometry(),
             QRect(53, 3 * 900 / 40 - 900 / 80 + 220, 1600 - 106 - 200, 900 - 150 - 220));
}

void TestMainView::aboutBoxNamesMakerAndLicences()
{
    TestEnvironment env;
    PromptScript prompts;
    MainView view;
    buttonWithText(&view, "版权与捐赠......")->click();
    QCOMPARE(prompts.requests().size(), 1);
    const QString text = prompts.requests().first().text;
    QVERIFY(prompts.requests().first().kind == Prompt::Kind::About);
    for (const char *needed : {"Velmark", "Qt", "QuaZip", "LGPL", "不收取捐赠"})
        QVERIFY2(text.contains(QString::fromUtf8(needed)), needed);
    QVERIFY(!text.contains("wechat-pay"));
}

void TestMainView::dayViewTakesOverAndBackReturns()
{
    TestEnvironment env;
    PromptScript prompts;
    seedTasks(3);
    MainView view;
    view.show();
    rowWidget<CustomTextEdit>(view, "textEdit", 1)->setPlainText("edited before leaving");
    buttonWithText(&view, "每日视图")->click();
    // Pending edits are saved on the way out, and the day view shows the list read-only.
    QVERIFY(cell(env.checkConnection(), "content", 1).toString().contains("edited before leaving"));
    auto *day = findTopLevel<orvaneView>();
    QVERIFY(day);
    QVERIFY(!view.isVisible());
    QCOMPARE(day->taskContent()->findChildren<CustomTextEdit *>().size(), 3);
    QCOMPARE(day->date(), QDate(2026, 12, 7));
    buttonWithText(day, "返回")->click();
    QVERIFY(view.isVisible());
    QVERIFY(!day->isVisible());
}

// The task list window and its label popups driven through their widgets, with the database and
// settings read back afterwards.
#include "app/semicolonlist.h"
#include "app/settings.h"
#include "richtext/newheight.h"
#include "schedule/orvaneview.h"
#include "tasklist/customqcombobox.h"
#include "tasklist/labelother.h"
#include "tests/support/logcapture.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"
#include "tests/tasklist/listtest.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>

using Boxes = QList<QPair<QString, bool>>;
Q_DECLARE_METATYPE(Boxes)

namespace {
int counter()
{
    return Settings::read("mainViewItemCount", 0).toInt();
}

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
        TestEnvironment env;
        PromptScript prompts;
        MainView view;
        QCOMPARE(view.shownRowCount(), 0);
        QPushButton *add = textButton(&view, "增加一条");
        add->click();
        auto *editor = rowWidget<CustomTextEdit>(view, "textEdit", 0);
        QVERIFY(editor);
        QCOMPARE(editor->height(), 100);
        QVERIFY(editor->toPlainText().isEmpty());
        QStringList labels;
        for (QLabel *label : view.listContainer()->findChildren<QLabel *>())
            labels.append(label->text());
        QVERIFY(labels.contains("1."));
        QCOMPARE(counter(), 1);
        QVERIFY(prompts.messages().isEmpty());

        add->click();
        QCOMPARE(prompts.messages(), QStringList{"清单内容不能为空。"});
        QCOMPARE(counter(), 1);
        QCOMPARE(view.shownRowCount(), 1);

        // Once the first task has text, adding works again.
        editor->setPlainText("first");
        add->click();
        QCOMPARE(view.shownRowCount(), 2);
        QCOMPARE(cell(env.checkConnection(), "id", 1).toInt(), 1);
    }

    void typingRecordsEachChangeAndSavesInOrder()
    {
        TestEnvironment env;
        seedTasks(6, "A；");
        MainView view;
        QCOMPARE(rowWidget<QComboBox>(view, "comboImportance", 1)->currentText(),
                 QString("不重要"));
        QCOMPARE(rowWidget<QComboBox>(view, "comboEmergercy", 1)->currentText(), QString("紧急"));
        QCOMPARE(rowWidget<QComboBox>(view, "comboLabel", 1)->currentText(), QString("A；"));
        QCOMPARE(view.pendingCount(), 0);
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
        TestEnvironment env;
        seedTasks(4);
        MainView view;
        QList<QPushButton *> arrows = arrowButtons(view); // up, down per row
        QCOMPARE(arrows.size(), 8);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(arrows.at(i)->isEnabled(), i != 0 && i != 7);
        QVERIFY(rowWidget<QPushButton>(view, "delButton", 1)->isEnabled());

        arrows.at(6)->click(); // up from 3
        QCOMPARE(drawnSequence(view), QStringList({"task 0", "task 1", "task 3", "task 2"}));
        arrowButtons(view).at(1)->click(); // down from 0
        QCOMPARE(drawnSequence(view), QStringList({"task 1", "task 0", "task 3", "task 2"}));
        QCOMPARE(cell(env.checkConnection(), "id", 1).toInt(), 0);
        QCOMPARE(cell(env.checkConnection(), "id", 2).toInt(), 3);
    }

    void deleteKeepsScrollAndAddScrollsToBottom()
    {
        TestEnvironment env;
        seedTasks(20);
        MainView view;
        view.show();
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

    void missingRowWidgetStopsSave()
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

    void heightDialogStoresAndRedraws()
    {
        TestEnvironment env;
        seedTasks(12);
        MainView view;
        view.show();
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
        QCOMPARE(textButton(&view, "每日视图")->shortcut(), QKeySequence("PgDown"));
        QCOMPARE(textButton(&view, "保存")->shortcut(), QKeySequence("Ctrl+S"));
        QCOMPARE(textButton(&view, "增加一条")->shortcut(), QKeySequence("Ctrl+N"));
    }

    void aboutBoxNamesMakerAndLicences()
    {
        TestEnvironment env;
        PromptScript prompts;
        MainView view;
        textButton(&view, "版权与捐赠......")->click();
        QCOMPARE(prompts.requests().size(), 1);
        QVERIFY(prompts.requests().first().kind == Prompt::Kind::About);
        const QString text = prompts.requests().first().text;
        for (const char *needed : {"Velmark", "Qt", "QuaZip", "LGPL", "不收取捐赠"})
            QVERIFY2(text.contains(QString::fromUtf8(needed)), needed);
        QVERIFY(!text.contains("wechat-pay"));
    }

    void dayViewTakesOverAndBackReturns()
    {
        TestEnvironment env;
        PromptScript prompts;
        seedTasks(3);
        MainView view;
        view.show();
        rowWidget<CustomTextEdit>(view, "textEdit", 1)->setPlainText("edited before leaving");
        textButton(&view, "每日视图")->click();
        // Pending edits are saved on the way out, and the day view shows the list.
        QVERIFY(cell(env.checkConnection(), "content", 1).toString().contains("edited before"));
        auto *day = findTopLevel<orvaneView>();
        QVERIFY(day);
        QVERIFY(!view.isVisible());
        QCOMPARE(day->taskContent()->findChildren<CustomTextEdit *>().size(), 3);
        QCOMPARE(day->date(), QDate(2026, 12, 7));
        textButton(day, "返回")->click();
        QVERIFY(view.isVisible());
        QVERIFY(!day->isVisible());
    }

    void tickRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Boxes>("boxes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("typed text kept") << "X" << Boxes{{"A", true}, {"B", false}} << "X；A；";
        QTest::newRow("untick in the middle")
            << "A；B；C；" << Boxes{{"A", true}, {"B", false}, {"C", true}} << "A；C；";
        QTest::newRow("prefix of another label stays") << "AB；" << Boxes{{"A", false}} << "AB；";
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
        TestEnvironment env;
        writeLabels("A；B；", 2);
        seedTasks(2, "B；");
        MainView view;
        view.show();
        QListWidget *list = labelPopup(view, 1);
        QVERIFY(list);
        QCOMPARE(list->count(), 3);
        QCOMPARE(box(list, 0)->text(), QString("A"));
        QVERIFY(!box(list, 0)->isChecked());
        QCOMPARE(box(list, 1)->text(), QString("B"));
        QVERIFY(box(list, 1)->isChecked());
        auto *other = qobject_cast<QPushButton *>(list->itemWidget(list->item(2)));
        QCOMPARE(other->text(), QString("其它..."));

        box(list, 0)->setChecked(true);
        QCOMPARE(rowWidget<QComboBox>(view, "comboLabel", 1)->currentText(), QString("B；A；"));
        QCOMPARE(cell(env.checkConnection(), "label", 1).toString(), QString("B；A；"));
        box(list, 0)->setChecked(false);
        box(list, 1)->setChecked(false);
        QCOMPARE(cell(env.checkConnection(), "label", 1).toString(), QString(""));
        QCOMPARE(cell(env.checkConnection(), "label", 0).toString(), QString("B；"));
    }

    void labelOtherDropsEmptiedName()
    {
        TestEnvironment env;
        writeLabels("A；B；C；", 3);
        seedTasks(1);
        MainView view;
        view.show();
        QListWidget *list = labelPopup(view, 0);
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
        TestEnvironment env;
        writeLabels("A；", 1);
        MainView view;
        view.onLabelOtherButtonClicked(0);
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

int runMainViewTests(int argc, char **argv)
{
    TestMainView test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainview.moc"

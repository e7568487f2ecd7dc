#include "richtext/customtextedit.h"
#include "richtext/finddialog.h"
#include "richtext/newheight.h"
#include "tests/richtext/richtesthelpers.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"

#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

namespace {
const QString notFound = QStringLiteral("此文本框内没有找到，请尝试全局筛选关键字。");

// A task list whose redraw destroys the box, as the real one rebuilds its rows.
class RebuildingTaskOwner : public RecordingTaskOwner {
public:
    void setItemHeight(int index, int newHeight, int scrollPos) override
    {
        RecordingTaskOwner::setItemHeight(index, newHeight, scrollPos);
        box.reset();
    }
    std::unique_ptr<CustomTextEdit> box;
};

NewHeight *openHeightDialog(CustomTextEdit *box)
{
    answerNextMenu(QStringLiteral("调整高度..."));
    openContextMenu(box, QPoint(20, 20));
    return openPopup<NewHeight>();
}
} // namespace

class TestFindHeight : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { closeAllWindows(); }

    void findInBox_data();
    void findInBox();

    void sliderThenCancelRestoresHeight_data();
    void sliderThenCancelRestoresHeight();
    void typedHeightAppliedOnOk();
    void rangeIsOneToScreenHeight();
    void boxWithoutOwnerChangesNothing();
    void ownerRebuildingRowsKeepsDialogWorking();
};

void TestFindHeight::findInBox_data()
{
    QTest::addColumn<int>("cursorAt");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("selected"); // selected text after the searches
    QTest::addColumn<int>("messages");

    const QStringList next{"下一个"};
    QTest::newRow("lower case finds capitals") << 0 << "beta" << next << "BETA" << 0;
    QTest::newRow("found once, second search fails")
        << 0 << "beta" << QStringList{"下一个", "下一个"} << "BETA" << 1;
    QTest::newRow("repeated word, next twice")
        << 0 << "gamma" << QStringList{"下一个", "下一个"} << "Gamma" << 0;
    QTest::newRow("empty text") << 0 << "" << next << "" << 1;
    QTest::newRow("no match") << 0 << "delta" << next << "" << 1;
    QTest::newRow("backwards from the end")
        << 29 << "alpha" << QStringList{"上一个"} << "Alpha" << 0;
    QTest::newRow("no wrap at the end") << 29 << "alpha" << next << "" << 1;
}

void TestFindHeight::findInBox()
{
    QFETCH(int, cursorAt);
    QFETCH(QString, find);
    QFETCH(QStringList, buttons);
    QFETCH(QString, selected);
    QFETCH(int, messages);

    TestEnvironment env;
    PromptScript prompts;
    auto box = taskBox(nullptr, QStringLiteral("<p>Alpha BETA gamma x Gamma</p>"));
    placeCursor(box.get(), qMin(cursorAt, box->document()->characterCount() - 1));
    answerNextMenu(QStringLiteral("查找..."));
    openContextMenu(box.get(), QPoint(10, 10));
    auto *dialog = openPopup<FindDialog>();
    QVERIFY(dialog);
    QTest::keyClicks(findByName<QLineEdit>(dialog, QStringLiteral("lineEdit_text")), find);
    for (const QString &button : buttons)
        clickButton(dialog, button);

    QCOMPARE(box->textCursor().selectedText(), selected);
    QCOMPARE(prompts.messages().size(), messages);
    if (messages)
        QCOMPARE(prompts.messages().first(), notFound);
    // Found text shows in half-transparent red, whether the last search found or not.
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        QCOMPARE(box->palette().color(group, QPalette::Highlight), QColor(255, 0, 0, 127));
    QCOMPARE(openWindowCount("FindDialog"), 1);
    clickButton(dialog, QStringLiteral("取消"));
    QCOMPARE(openWindowCount("FindDialog"), 0);
}

void TestFindHeight::sliderThenCancelRestoresHeight_data()
{
    QTest::addColumn<bool>("schedule");
    QTest::newRow("task row") << false;
    QTest::newRow("day view result box") << true;
}

void TestFindHeight::sliderThenCancelRestoresHeight()
{
    QFETCH(bool, schedule);

    TestEnvironment env;
    RecordingTaskOwner taskOwner;
    RecordingScheduleOwner scheduleOwner;
    // The owner's row area, scrolled down a little.
    QScrollArea area;
    auto *content = new QWidget;
    content->setFixedSize(300, 3000);
    area.setWidget(content);
    area.resize(300, 300);
    area.show();
    area.verticalScrollBar()->setValue(37);
    taskOwner.area = &area;
    scheduleOwner.area = &area;

    std::unique_ptr<CustomTextEdit> box;
    if (schedule)
        box = std::make_unique<CustomTextEdit>(&scheduleOwner, 100, 4, 1, 0);
    else
        box = std::make_unique<CustomTextEdit>(&taskOwner, 100, 4);
    box->show();
    QCOMPARE(box->height(), 100);

    NewHeight *dialog = openHeightDialog(box.get());
    QVERIFY(dialog);
    auto *slider = dialog->findChild<QSlider *>();
    auto *spin = findByName<QSpinBox>(dialog, QStringLiteral("heightValue"));
    QCOMPARE(slider->value(), 100);
    QCOMPARE(spin->value(), 100);
    for (int value : {150, 200, 250})
        slider->setValue(value); // the user drags
    QCOMPARE(spin->value(), 250);
    clickButton(dialog, QStringLiteral("取消"));
    QCOMPARE(openWindowCount("NewHeight"), 0);

    QList<QList<int>> calls;
    for (const auto &call : qAsConst(taskOwner.calls))
        calls.append({call.index, call.height, call.scrollPos});
    for (const auto &call : qAsConst(scheduleOwner.calls))
        calls.append({call.index, call.kind, call.height, call.scrollPos});
    QList<QList<int>> expected;
    for (int height : {150, 200, 250, 100})
        expected.append(schedule ? QList<int>{4, 1, height, 37} : QList<int>{4, height, 37});
    QCOMPARE(calls, expected);
}

void TestFindHeight::typedHeightAppliedOnOk()
{
    TestEnvironment env;
    RecordingTaskOwner owner;
    auto box = taskBox(&owner, QStringLiteral("<p>x</p>"), QPoint(100, 100), 100);
    NewHeight *dialog = openHeightDialog(box.get());
    QVERIFY(dialog);
    auto *spin = findByName<QSpinBox>(dialog, QStringLiteral("heightValue"));
    spin->selectAll();
    QTest::keyClicks(spin, QStringLiteral("300"));
    QCOMPARE(owner.calls.size(), 0); // nothing is applied while typing
    QTest::keyClick(spin, Qt::Key_Enter);
    QCOMPARE(dialog->findChild<QSlider *>()->value(), 300);
    clickButton(dialog, QStringLiteral("确定"));
    QCOMPARE(openWindowCount("NewHeight"), 0);
    QCOMPARE(owner.calls.size(), 1);
    QCOMPARE(owner.calls.first().height, 300);
    QCOMPARE(owner.calls.first().index, 7);
    QCOMPARE(owner.calls.first().scrollPos, 0); // the owner has no scroll area
}

void TestFindHeight::rangeIsOneToScreenHeight()
{
    TestEnvironment env;
    RecordingTaskOwner owner;
    auto box = taskBox(&owner, QStringLiteral("<p>x</p>"), QPoint(100, 100), 100);
    NewHeight *dialog = openHeightDialog(box.get());
    QVERIFY(dialog);
    auto *slider = dialog->findChild<QSlider *>();
    auto *spin = findByName<QSpinBox>(dialog, QStringLiteral("heightValue"));
    QCOMPARE(slider->minimum(), 1);
    QCOMPARE(slider->maximum(), 1040);
    QCOMPARE(spin->minimum(), 1);
    QCOMPARE(spin->maximum(), 1040);
    slider->setValue(5000);
    slider->setValue(-3);
    QCOMPARE(owner.calls.size(), 2);
    QCOMPARE(owner.calls.at(0).height, 1040);
    QCOMPARE(owner.calls.at(1).height, 1);
}

void TestFindHeight::boxWithoutOwnerChangesNothing()
{
    TestEnvironment env;
    CustomTextEdit box(static_cast<ScheduleCellOwner *>(nullptr), 120, 2, 2, 0);
    box.show();
    NewHeight *dialog = openHeightDialog(&box);
    QVERIFY(dialog);
    dialog->findChild<QSlider *>()->setValue(400);
    clickButton(dialog, QStringLiteral("确定"));
    QCOMPARE(box.height(), 120);
}

void TestFindHeight::ownerRebuildingRowsKeepsDialogWorking()
{
    TestEnvironment env;
    RebuildingTaskOwner owner;
    owner.box = taskBox(&owner, QStringLiteral("<p>x</p>"), QPoint(100, 100), 100);
    QPointer<NewHeight> dialog = openHeightDialog(owner.box.get());
    QVERIFY(dialog);
    dialog->findChild<QSlider *>()->setValue(180); // the box is gone after this
    QVERIFY(!owner.box);
    QVERIFY(dialog);
    dialog->findChild<QSlider *>()->setValue(190);
    clickButton(dialog, QStringLiteral("取消"));
    QCOMPARE(owner.calls.size(), 3);
    QCOMPARE(owner.calls.last().height, 100);
}

int runFindHeightTests(int argc, char **argv)
{
    TestFindHeight test;
    return runTestObject(&test, argc, argv);
}

#include "tst_findheight.moc"

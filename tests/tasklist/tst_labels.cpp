// Task labels: the check-box popup of each row and the shared label list.
#include "tests/tasklist/tst_labels.h"

#include "app/semicolonlist.h"
#include "app/settings.h"
#include "tasklist/customqcombobox.h"
#include "tasklist/labelother.h"
#include "tasklist/mainview.h"
#include "tests/support/testenvironment.h"
#include "tests/support/widgetfinder.h"
#include "tests/tasklist/seed.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using Boxes = QList<QPair<QString, bool>>;
Q_DECLARE_METATYPE(Boxes)

namespace {
QCheckBox *box(QListWidget *list, int row)
{
    return qobject_cast<QCheckBox *>(list->itemWidget(list->item(row)));
}

LabelOther *openLabelOther()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *other = qobject_cast<LabelOther *>(w); other && other->isVisible())
            return other;
    }
    return nullptr;
}

QPushButton *button(QWidget *root, const QString &text)
{
    for (QPushButton *b : root->findChildren<QPushButton *>()) {
        if (b->text() == text && b->isVisible())
            return b;
    }
    return nullptr;
}
} // namespace

void TestLabels::tickRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Boxes>("boxes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("tick appends") << "B；" << Boxes{{"A", true}, {"B", true}} << "B；A；";
    QTest::newRow("untick the only one") << "B；" << Boxes{{"A", false}, {"B", false}} << "";
    QTest::newRow("typed text kept") << "X" << Boxes{{"A", true}, {"B", false}} << "X；A；";
    QTest::newRow("untick in the middle")
        << "A；B；C；" << Boxes{{"A", true}, {"B", false}, {"C", true}} << "A；C；";
    QTest::newRow("untick at the end without separator")
        << "A；B" << Boxes{{"A", true}, {"B", false}} << "A；";
    QTest::newRow("prefix of another label stays") << "AB；" << Boxes{{"A", false}} << "AB；";
}

void TestLabels::tickRules()
{
    QFETCH(QString, text);
    QFETCH(Boxes, boxes);
    QFETCH(QString, expected);
    QCOMPARE(SemicolonList::applyTicks(text, boxes), expected);
}

void TestLabels::popupListsNamesWithRowTicks()
{
    TestEnvironment env;
    Settings::write("label", "A；B；");
    Settings::write("labelCount", 2);
    seedTasks(1, "B；");
    MainView view;
    view.show();
    auto *combo = findByName<CustomQComboBox>(view.listContainer(), "comboLabel0");
    combo->showPopup();
    auto *list = findByName<QListWidget>(&view, "comboLabelListWidget0");
    QVERIFY(list);
    QCOMPARE(list->count(), 3);
    QCOMPARE(box(list, 0)->text(), QString("A"));
    QVERIFY(!box(list, 0)->isChecked());
    QCOMPARE(box(list, 1)->text(), QString("B"));
    QVERIFY(box(list, 1)->isChecked());
    auto *other = qobject_cast<QPushButton *>(list->itemWidget(list->item(2)));
    QVERIFY(other);
    QCOMPARE(other->text(), QString("其它..."));
    QCOMPARE(combo->currentText(), QString("B；"));
}

void TestLabels::tickingWritesLabelAtOnce()
{
    TestEnvironment env;
    Settings::write("label", "A；B；");
    seedTasks(2, "B；");
    MainView view;
    view.show();
    auto *combo = findByName<CustomQComboBox>(view.listContainer(), "comboLabel1");
    combo->showPopup();
    auto *list = findByName<QListWidget>(&view, "comboLabelListWidget1");
    box(list, 0)->setChecked(true);
    QCOMPARE(combo->currentText(), QString("B；A；"));
    QCOMPARE(cell(env.checkConnection(), "label", 1).toString(), QString("B；A；"));
    box(list, 0)->setChecked(false);
    box(list, 1)->setChecked(false);
    QCOMPARE(cell(env.checkConnection(), "label", 1).toString(), QString(""));
    // The other row is untouched.
    QCOMPARE(cell(env.checkConnection(), "label", 0).toString(), QString("B；"));
}

void TestLabels::otherEntryOpensLabelOther()
{
    TestEnvironment env;
    Settings::write("label", "A；B；");
    Settings::write("labelCount", 2);
    seedTasks(1);
    MainView view;
    view.show();
    findByName<CustomQComboBox>(view.listContainer(), "comboLabel0")->showPopup();
    auto *list = findByName<QListWidget>(&view, "comboLabelListWidget0");
    qobject_cast<QPushButton *>(list->itemWidget(list->item(2)))->click();
    LabelOther *other = openLabelOther();
    QVERIFY(other);
    QCOMPARE(other->size(), QSize(300, 400));
    QCOMPARE(findByName<QLineEdit>(other, "lineEditOther1")->text(), QString("A"));
    QCOMPARE(findByName<QLineEdit>(other, "lineEditOther2")->text(), QString("B"));
    other->close();
}

void TestLabels::labelOtherDropsEmptiedName()
{
    TestEnvironment env;
    Settings::write("label", "A；B；C；");
    Settings::write("labelCount", 3);
    MainView view;
    view.onLabelOtherButtonClicked(0);
    LabelOther *other = openLabelOther();
    findByName<QLineEdit>(other, "lineEditOther2")->clear();
    button(other, "确定")->click();
    QVERIFY(!other->isVisible());
    QCOMPARE(Settings::read("label").toString(), QString("A；C；"));
    QCOMPARE(Settings::read("labelCount").toInt(), 2);
}

void TestLabels::labelOtherAddKeepsTypedNames()
{
    TestEnvironment env;
    Settings::write("label", "A；");
    Settings::write("labelCount", 1);
    MainView view;
    view.onLabelOtherButtonClicked(0);
    LabelOther *other = openLabelOther();
    findByName<QLineEdit>(other, "lineEditOther1")->setText("工作");
    button(other, "增加")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(findByName<QLineEdit>(other, "lineEditOther1")->text(), QString("工作"));
    auto *added = findByName<QLineEdit>(other, "lineEditOther2");
    QVERIFY(added);
    QVERIFY(added->text().isEmpty());
    bool numbered = false;
    for (QLabel *label : other->findChildren<QLabel *>())
        numbered = numbered || label->text() == "标签2:";
    QVERIFY(numbered);
    added->setText("学习");
    button(other, "确定")->click();
    QCOMPARE(Settings::read("label").toString(), QString("工作；学习；"));
    QCOMPARE(Settings::read("labelCount").toInt(), 2);
}

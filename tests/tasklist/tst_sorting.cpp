// The sort panel: orders, button states, and what cancel returns to.
#include "tests/tasklist/tst_sorting.h"

#include "app/settings.h"
#include "tasklist/mainview.h"
#include "tests/support/testenvironment.h"
#include "tests/tasklist/listprobe.h"
#include "tests/tasklist/seed.h"

#include <QComboBox>
#include <QSpinBox>
#include <QtTest>

namespace {
// Five tasks: text, priority, progress, start date.
void seedFive()
{
    seedRecords({task("a", 30, 50, "2026-12-03"), task("b", 10, 100, ""),
                 task("c", 20, 0, "2026-11-30"), task("d", 50, 75, "not a date"),
                 task("e", 40, 25, "2027-01-02")});
}

void chooseSort(MainView &view, const QString &key, bool descending)
{
    auto *combo = findByName<QComboBox>(&view, "sortCombo");
    combo->setCurrentIndex(combo->findText(key));
    if (descending)
        namedButton(&view, "descendingButton")->click();
    namedButton(&view, "sortApplyButton")->click();
}
} // namespace

void TestSorting::sortOrders_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QString>("clause");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("progress descending")
        << "进度" << true << " order by progress desc" << QStringList{"b", "d", "a", "e", "c"};
    QTest::newRow("priority ascending")
        << "优先级" << false << " order by priority" << QStringList{"b", "c", "a", "e", "d"};
    // An empty or free-text date has no date value; it comes first going up.
    QTest::newRow("start date ascending, no dates first")
        << "开始日期" << false << " order by date(start_date)"
        << QStringList{"b", "d", "c", "a", "e"};
    QTest::newRow("start date descending, no dates last")
        << "开始日期" << true << " order by date(start_date) desc"
        << QStringList{"e", "a", "c", "b", "d"};
}

void TestSorting::sortOrders()
{
    QFETCH(QString, key);
    QFETCH(bool, descending);
    QFETCH(QString, clause);
    QFETCH(QStringList, order);
    TestEnvironment env;
    seedFive();
    MainView view;
    chooseSort(view, key, descending);
    QCOMPARE(view.sortCondition(), clause);
    QStringList shown = drawnSequence(view);
    if (key == "开始日期") {
        // The two rows without a date tie; their order between them is the database's.
        QStringList undated = shown.mid(descending ? 3 : 0, 2);
        undated.sort();
        QCOMPARE(undated, QStringList({"b", "d"}));
        const int from = descending ? 0 : 2;
        QCOMPARE(shown.mid(from, 3), order.mid(from, 3));
    } else {
        QCOMPARE(shown, order);
    }
    QCOMPARE(Settings::read("sortApplyMode", false).toBool(), true);
}

void TestSorting::buttonEnabling()
{
    TestEnvironment env;
    seedFive();
    MainView view;
    auto *combo = findByName<QComboBox>(&view, "sortCombo");
    QPushButton *up = namedButton(&view, "ascendingButton");
    QPushButton *down = namedButton(&view, "descendingButton");
    QPushButton *apply = namedButton(&view, "sortApplyButton");
    QPushButton *cancel = namedButton(&view, "sortCancelButton");
    QCOMPARE(combo->currentIndex(), -1);
    for (QPushButton *b : {up, down, apply, cancel})
        QVERIFY(!b->isEnabled());

    combo->setCurrentIndex(3);
    QVERIFY(!up->isEnabled() && down->isEnabled() && apply->isEnabled() && !cancel->isEnabled());
    down->click();
    QVERIFY(up->isEnabled() && !down->isEnabled() && apply->isEnabled());
    up->click();
    QVERIFY(!up->isEnabled() && down->isEnabled());

    // The blank item greys everything again.
    combo->setCurrentIndex(4);
    for (QPushButton *b : {up, down, apply, cancel})
        QVERIFY(!b->isEnabled());

    combo->setCurrentIndex(2);
    apply->click();
    QVERIFY(!apply->isEnabled() && cancel->isEnabled());
    cancel->click();
    QCOMPARE(combo->currentIndex(), -1);
    for (QPushButton *b : {up, down, apply, cancel})
        QVERIFY(!b->isEnabled());
}

void TestSorting::sortedListLocksRowsAndAdding()
{
    TestEnvironment env;
    seedFive();
    MainView view;
    QPushButton *add = textButton(&view, "增加一条");
    QVERIFY(add->isEnabled());
    QVERIFY(!rowButtonsAllDisabled(view));
    chooseSort(view, "优先级", false);
    QVERIFY(!add->isEnabled());
    QVERIFY(rowButtonsAllDisabled(view));
}

void TestSorting::cancelRestoresManualOrder()
{
    TestEnvironment env;
    seedFive();
    MainView view;
    chooseSort(view, "进度", true);
    namedButton(&view, "sortCancelButton")->click();
    QCOMPARE(drawnSequence(view), QStringList({"a", "b", "c", "d", "e"}));
    QVERIFY(textButton(&view, "增加一条")->isEnabled());
    QVERIFY(findByName<QPushButton>(view.listContainer(), "delButton2")->isEnabled());
    QCOMPARE(Settings::read("sortApplyMode", true).toBool(), false);
}

void TestSorting::cancelWithFilterKeepsFilterInManualOrder()
{
    TestEnvironment env;
    seedFive();
    MainView view;
    auto *rule = findByName<QComboBox>(&view, "filterPrirotyRuleCombo");
    rule->setCurrentIndex(3); // 大于等于
    findByName<QSpinBox>(&view, "filterPrirotySpin1")->setValue(20);
    namedButton(&view, "filterApplyButton")->click();
    QCOMPARE(drawnSequence(view), QStringList({"a", "c", "d", "e"}));

    chooseSort(view, "优先级", true);
    QCOMPARE(drawnSequence(view), QStringList({"d", "e", "a", "c"}));
    namedButton(&view, "sortCancelButton")->click();
    QCOMPARE(drawnSequence(view), QStringList({"a", "c", "d", "e"}));
    QVERIFY(rowButtonsAllDisabled(view));
    // The filter is still in force, so adding stays off.
    QVERIFY(!textButton(&view, "增加一条")->isEnabled());
}

void TestSorting::cancelInGroupedViewReturnsToGroups()
{
    TestEnvironment env;
    seedFive();
    Settings::write("groupApplyMode", true);
    MainView view;
    QCOMPARE(drawnSequence(view).first(), QString("其它：未分组"));
    chooseSort(view, "优先级", false);
    QCOMPARE(drawnSequence(view), QStringList({"b", "c", "a", "e", "d"}));
    namedButton(&view, "sortCancelButton")->click();
    QCOMPARE(drawnSequence(view), QStringList({"其它：未分组", "a", "b", "c", "d", "e"}));
}

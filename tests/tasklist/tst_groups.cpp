// Groups: the group list and condition windows, what they store, and the grouped drawing.
#include "tests/tasklist/tst_groups.h"

#include "app/settings.h"
#include "richtext/customtextedit.h"
#include "tasklist/groupedit.h"
#include "tasklist/groupitemcondition.h"
#include "tasklist/groupstore.h"
#include "tasklist/mainview.h"
#include "tests/support/logcapture.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"
#include "tests/tasklist/listprobe.h"
#include "tests/tasklist/seed.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

namespace {
// Tasks a..e: priority, progress, label.
void seedFive()
{
    seedRecords({task("a", 10, 20, "", "工作；"), task("b", 60, 90, "", "家；"),
                 task("c", 70, 40, "", "工作；"), task("d", 20, 100, "", ""),
                 task("e", 80, 0, "", "工作；家；")});
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

// Adds a group through the group list: name, then a condition set by `fill`.
template <class Fill> void addGroup(GroupEdit *edit, const QString &name, Fill fill)
{
    textButton(edit, "增加分组")->click();
    settle();
    const int index = GroupStore::count() - 1;
    findByName<QLineEdit>(edit, QStringLiteral("groupName_%1").arg(index))->setText(name);
    GroupItemCondition *condition = openCondition(edit, index);
    QVERIFY(condition);
    fill(condition);
    textButton(condition, "确定")->click();
    settle();
}

void setCombo(QWidget *root, const char *name, int index)
{
    findByName<QComboBox>(root, name)->setCurrentIndex(index);
}
} // namespace

void TestGroups::groupedDrawing_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("drawn");
    QTest::newRow("no groups") << "none" << QStringList{"其它：未分组", "a", "b", "c", "d", "e"};
    QTest::newRow("a task selected by two groups is drawn under the first")
        << "overlap"
        << QStringList{"分组1:工作", "a", "c", "e", "分组2:高优先", "b", "其它：未分组", "d"};
    QTest::newRow("a new group without a condition selects nothing")
        << "empty" << QStringList{"分组1:空", "其它：未分组", "a", "b", "c", "d", "e"};
    QTest::newRow("a group sorted by progress descending")
        << "progress" << QStringList{"分组1:进度", "d", "b", "c", "a", "e", "其它：未分组"};
}

void TestGroups::groupedDrawing()
{
    QFETCH(QString, setup);
    QFETCH(QStringList, drawn);
    TestEnvironment env;
    seedFive();
    MainView view;
    view.show();
    GroupEdit *edit = openGroupEdit(view);
    QVERIFY(edit);
    if (setup == "overlap") {
        addGroup(edit, "工作", [](QWidget *w) {
            setCombo(w, "filterLabelsCombo", 0);
            findByName<QLineEdit>(w, "labelsEdit")->setText("工作");
        });
        addGroup(edit, "高优先", [](QWidget *w) {
            setCombo(w, "filterPrirotyRuleCombo", 1);
            findByName<QSpinBox>(w, "filterPrirotySpin1")->setValue(50);
        });
    } else if (setup == "empty") {
        textButton(edit, "增加分组")->click();
        settle();
        findByName<QLineEdit>(edit, "groupName_0")->setText("空");
    } else if (setup == "progress") {
        addGroup(edit, "进度", [](QWidget *w) {
            setCombo(w, "sortCombo", 3);
            namedButton(w, "descendingButton")->click();
        });
    }
    textButton(edit, "确定")->click();
    settle();
    QVERIFY(!openWindow<GroupEdit>(&view));
    QCOMPARE(findByName<QLabel>(&view, "groupCountLabel")->text(),
             QStringLiteral("共%1个分组").arg(GroupStore::count()));

    namedButton(&view, "groupApplyButton")->click();
    QCOMPARE(drawnSequence(view), drawn);
    QVERIFY(rowButtonsAllDisabled(view));
}

void TestGroups::conditionWindowStoresQueryTextAndState_data()
{
    QTest::addColumn<bool>("viaCancel");
    QTest::newRow("确定") << false;
    QTest::newRow("取消 still stores what is shown") << true;
}

void TestGroups::conditionWindowStoresQueryTextAndState()
{
    QFETCH(bool, viaCancel);
    TestEnvironment env;
    seedFive();
    MainView view;
    view.show();
    GroupEdit *edit = openGroupEdit(view);
    textButton(edit, "增加分组")->click();
    settle();
    GroupItemCondition *condition = openCondition(edit, 0);
    QVERIFY(condition);
    setCombo(condition, "sortCombo", 1);
    namedButton(condition, "descendingButton")->click();
    setCombo(condition, "filterImportanceCombo", 0);
    setCombo(condition, "filterProgressRuleCombo", 5);
    findByName<QSpinBox>(condition, "filterProgressSpin1")->setValue(10);
    findByName<QSpinBox>(condition, "filterProgressSpin2")->setValue(90);
    QTest::keyClicks(findByName<QLineEdit>(condition, "keyWordsEdit"), "it's");
    textButton(condition, viaCancel ? "取消" : "确定")->click();
    settle();
    QVERIFY(!openWindow<GroupItemCondition>(edit));

    const GroupStore::Group group = GroupStore::groups().at(0);
    QCOMPARE(group.conditionSyntax,
             QString("select * from star  where progress between 10 and 90 and importance = "
                     "'重要' and content like '%it&#39;s%' order by date(stop_date) desc"));
    QCOMPARE(group.conditionText,
             QString("进度区间10-90；重要；内容包含it's；按照截止日期降序排列；"));
    QCOMPARE(findByName<QLineEdit>(edit, "groupCondition_0")->text(), group.conditionText);
    Settings settings;
    QCOMPARE(settings.value("groupItemCondition0").toInt(), 1);
    QCOMPARE(settings.value("groupItemCondition0/sortComboCurrentIndex").toInt(), 1);
    QCOMPARE(settings.value("groupItemCondition0/ascendingButtonEnabled").toBool(), true);
    QCOMPARE(settings.value("groupItemCondition0/descendingButtonEnabled").toBool(), false);
    QCOMPARE(settings.value("groupItemCondition0/filterProgressSpin2Enabled").toBool(), true);
    QCOMPARE(settings.value("groupItemCondition0/filterProgressSpin2Value").toInt(), 90);
    QCOMPARE(settings.value("groupItemCondition0/keyWordsEditText").toString(), QString("it's"));
}

void TestGroups::conditionWindowRestoresItsWidgets()
{
    TestEnvironment env;
    MainView view;
    view.show();
    GroupEdit *edit = openGroupEdit(view);
    textButton(edit, "增加分组")->click();
    settle();
    GroupItemCondition *condition = openCondition(edit, 0);
    setCombo(condition, "filterStartDateRuleCombo", 5);
    namedButton(condition, "startCalendarButton2")->click();
    auto *calendar = openWindow<QCalendarWidget>(condition);
    QVERIFY(calendar);
    QCOMPARE(calendar->size(), QSize(350, 260));
    emit calendar->clicked(QDate(2027, 3, 4));
    setCombo(condition, "filterLabelsCombo", 1);
    findByName<QLineEdit>(condition, "labelsEdit")->setText("家");
    setCombo(condition, "sortCombo", 2);
    condition->close();
    settle();

    condition = openCondition(edit, 0);
    QCOMPARE(findByName<QComboBox>(condition, "filterStartDateRuleCombo")->currentIndex(), 5);
    QVERIFY(namedButton(condition, "startCalendarButton1")->isEnabled());
    QCOMPARE(namedButton(condition, "startCalendarButton1")->text(), QString("日期"));
    QCOMPARE(namedButton(condition, "startCalendarButton2")->text(), QString("2027-03-04"));
    QCOMPARE(findByName<QComboBox>(condition, "filterLabelsCombo")->currentIndex(), 1);
    QVERIFY(findByName<QLineEdit>(condition, "labelsEdit")->isEnabled());
    QCOMPARE(findByName<QLineEdit>(condition, "labelsEdit")->text(), QString("家"));
    QCOMPARE(findByName<QComboBox>(condition, "sortCombo")->currentIndex(), 2);
    QVERIFY(namedButton(condition, "descendingButton")->isEnabled());
    QVERIFY(!namedButton(condition, "ascendingButton")->isEnabled());
    // A range with one date selects by nothing but the rest.
    QCOMPARE(GroupStore::groups().at(0).conditionSyntax,
             QString("select * from star  where label not like '%家%' order by priority"));
}

void TestGroups::storedQueryRunsOnlyWhenSelectOnStar_data()
{
    QTest::addColumn<QString>("syntax");
    QTest::addColumn<bool>("runs");
    QTest::newRow("written by the window")
        << "select * from star  where priority > 50 order by progress" << true;
    QTest::newRow("no condition") << "select * from star " << true;
    QTest::newRow("semicolon inside a text")
        << "select * from star  where content like '%&#39;%'" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("delete") << "delete from star" << false;
    QTest::newRow("second statement") << "select * from star; drop table star" << false;
    QTest::newRow("other table") << "select * from stars" << false;
    QTest::newRow("update") << "update star set content = 'x'" << false;
    QTest::newRow("open quote") << "select * from star where label = 'x" << false;
}

void TestGroups::storedQueryRunsOnlyWhenSelectOnStar()
{
    QFETCH(QString, syntax);
    QFETCH(bool, runs);
    TestEnvironment env;
    seedFive();
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
    QVERIFY(query.exec("select count(*) from star where content = 'x'") && query.next());
    QCOMPARE(query.value(0).toInt(), 0);
    QCOMPARE(cell(env.checkConnection(), "content", 4).toString(), QString("e"));
}

void TestGroups::moveUpTakesEveryKey()
{
    TestEnvironment env;
    for (int i = 0; i < 3; ++i) {
        GroupStore::add();
        GroupStore::setName(i, QStringLiteral("g%1").arg(i));
        GroupStore::setCondition(i, QStringLiteral("t%1").arg(i), QStringLiteral("q%1").arg(i));
    }
    QVariantMap state = GroupStore::state(1);
    state["keyWordsEditText"] = "second";
    state["filterPrirotyRuleCombo"
          "CurrentIndex"] = 3;
    GroupStore::setState(1, state);
    MainView view;
    view.show();
    GroupEdit *edit = openGroupEdit(view);
    QVERIFY(!namedButton(edit, "groupUpButton_0")->isEnabled());
    QVERIFY(!namedButton(edit, "groupDownButton_2")->isEnabled());
    namedButton(edit, "groupUpButton_1")->click();
    settle();
    const QList<GroupStore::Group> groups = GroupStore::groups();
    QCOMPARE(groups.at(0).name, QString("g1"));
    QCOMPARE(groups.at(0).conditionText, QString("t1"));
    QCOMPARE(groups.at(0).conditionSyntax, QString("q1"));
    QCOMPARE(groups.at(1).name, QString("g0"));
    QCOMPARE(GroupStore::state(0).value("keyWordsEditText").toString(), QString("second"));
    QCOMPARE(GroupStore::state(0).value("filterPrirotyRuleComboCurrentIndex").toInt(), 3);
    QCOMPARE(GroupStore::state(1).value("keyWordsEditText").toString(), QString());
    QCOMPARE(findByName<QLineEdit>(edit, "groupName_0")->text(), QString("g1"));
    QCOMPARE(findByName<QLineEdit>(edit, "groupCondition_0")->text(), QString("t1"));

    namedButton(edit, "groupDownButton_0")->click();
    settle();
    QCOMPARE(GroupStore::groups().at(1).name, QString("g1"));
    QCOMPARE(GroupStore::state(1).value("keyWordsEditText").toString(), QString("second"));
}

void TestGroups::deleteFirstOfThree()
{
    TestEnvironment env;
    for (int i = 0; i < 3; ++i) {
        GroupStore::add();
        GroupStore::setName(i, QStringLiteral("g%1").arg(i));
        QVariantMap state = GroupStore::state(i);
        state["labelsEditText"] = QStringLiteral("L%1").arg(i);
        GroupStore::setState(i, state);
    }
    MainView view;
    view.show();
    GroupEdit *edit = openGroupEdit(view);
    namedButton(edit, "groupDeleteButton_0")->click();
    settle();
    QCOMPARE(Settings::read("groupCount").toInt(), 2);
    QCOMPARE(GroupStore::groups().at(0).name, QString("g1"));
    QCOMPARE(GroupStore::groups().at(1).name, QString("g2"));
    QCOMPARE(GroupStore::state(0).value("labelsEditText").toString(), QString("L1"));
    QCOMPARE(GroupStore::state(1).value("labelsEditText").toString(), QString("L2"));
    Settings settings;
    QVERIFY(!settings.contains("groupItemCondition2"));
    QVERIFY(!settings.contains("groupItemCondition2/labelsEditText"));
    QVERIFY(!settings.contains("groupItems/3/groupItemName"));
    QCOMPARE(settings.value("groupItems/size").toInt(), 2);
    QVERIFY(!findByName<QLineEdit>(edit, "groupName_2"));
    textButton(edit, "确定")->click();
    QCOMPARE(findByName<QLabel>(&view, "groupCountLabel")->text(), QString("共2个分组"));
}

void TestGroups::typedNamesSurviveAddAndMove()
{
    TestEnvironment env;
    MainView view;
    view.show();
    GroupEdit *edit = openGroupEdit(view);
    textButton(edit, "增加分组")->click();
    settle();
    findByName<QLineEdit>(edit, "groupName_0")->setText("一");
    textButton(edit, "增加分组")->click();
    settle();
    findByName<QLineEdit>(edit, "groupName_1")->setText("二");
    namedButton(edit, "groupUpButton_1")->click();
    settle();
    QCOMPARE(findByName<QLineEdit>(edit, "groupName_0")->text(), QString("二"));
    QCOMPARE(findByName<QLineEdit>(edit, "groupName_1")->text(), QString("一"));
    // Closing the window stores what is typed.
    findByName<QLineEdit>(edit, "groupName_1")->setText("三");
    edit->close();
    settle();
    QCOMPARE(GroupStore::groups().at(1).name, QString("三"));
}

void TestGroups::thousandGroupsAtMost()
{
    TestEnvironment env;
    PromptScript prompts;
    Settings::write("groupCount", 999);
    MainView view;
    view.show();
    GroupEdit *edit = openGroupEdit(view);
    textButton(edit, "增加分组")->click();
    settle();
    QCOMPARE(Settings::read("groupCount").toInt(), 1000);
    QVERIFY(prompts.messages().isEmpty());
    textButton(edit, "增加分组")->click();
    settle();
    QCOMPARE(prompts.messages(), QStringList{"支持最大分组数量1000个。"});
    QCOMPARE(Settings::read("groupCount").toInt(), 1000);
    Settings settings;
    QVERIFY(!settings.contains("groupItemCondition1000"));
    QCOMPARE(settings.value("groupItems/size").toInt(), 1000);
}

void TestGroups::applyCancelAndRestart()
{
    TestEnvironment env;
    seedFive();
    GroupStore::add();
    GroupStore::setName(0, "高");
    GroupStore::setCondition(0, "", "select * from star  where priority > 65");
    {
        MainView view;
        view.show();
        QPushButton *apply = namedButton(&view, "groupApplyButton");
        QPushButton *cancel = namedButton(&view, "groupCancelButton");
        QVERIFY(apply->isEnabled() && !cancel->isEnabled());
        apply->click();
        QVERIFY(!apply->isEnabled() && cancel->isEnabled());
        QVERIFY(!textButton(&view, "增加一条")->isEnabled());
        QCOMPARE(drawnSequence(view),
                 QStringList({"分组1:高", "c", "e", "其它：未分组", "a", "b", "d"}));
        QVERIFY(view.close());
    }
    TestEnvironment::dropProgramConnection();
    {
        // The grouped view survives a restart.
        MainView view;
        QCOMPARE(drawnSequence(view).first(), QString("分组1:高"));
        QVERIFY(!namedButton(&view, "groupApplyButton")->isEnabled());
        QVERIFY(!textButton(&view, "增加一条")->isEnabled());
        namedButton(&view, "groupCancelButton")->click();
        QCOMPARE(drawnSequence(view), QStringList({"a", "b", "c", "d", "e"}));
        QVERIFY(textButton(&view, "增加一条")->isEnabled());
        QCOMPARE(Settings::read("groupApplyMode").toBool(), false);
        QVERIFY(view.close());
    }
}

void TestGroups::groupedHeightAndHeightChange()
{
    TestEnvironment env;
    seedFive();
    for (int i = 0; i < 2; ++i)
        GroupStore::add();
    GroupStore::setCondition(0, "", "select * from star  where priority > 65");
    MainView view;
    view.show();
    // A filter in force does not shrink the room the grouped list needs.
    setCombo(&view, "filterImportanceCombo", 1);
    namedButton(&view, "filterApplyButton")->click();
    QCOMPARE(view.shownRowCount(), 0);
    namedButton(&view, "groupApplyButton")->click();
    QCOMPARE(view.listContainer()->height(), 5 * 180 + 2 * 120);
    QCOMPARE(drawnSequence(view).size(), 8);

    view.setItemHeight(2, 300, 0);
    QCOMPARE(cell(env.checkConnection(), "height", 2).toInt(), 300);
    QCOMPARE(drawnSequence(view).first(), QString("分组1:"));
    QCOMPARE(view.listContainer()->findChild<CustomTextEdit *>("textEdit2")->height(), 300);
    QCOMPARE(view.listContainer()->height(), 4 * 180 + 380 + 2 * 120);
}

// Groups: the group list and condition windows, what they store, and the grouped drawing.
#include "app/settings.h"
#include "tasklist/groupedit.h"
#include "tasklist/groupitemcondition.h"
#include "tasklist/groupstore.h"
#include "tests/support/logcapture.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"
#include "tests/tasklist/listtest.h"

namespace {
// Tasks a..e: priority, progress, label.
void seedFive()
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
} // namespace

class TestGroups : public QObject {
    Q_OBJECT

private slots:
    void groupedDrawing_data()
    {
        QTest::addColumn<QStringList>("groups"); // "name:condition"
        QTest::addColumn<QStringList>("drawn");
        QTest::newRow("no groups")
            << QStringList() << QStringList{"其它：未分组", "a", "b", "c", "d", "e"};
        QTest::newRow("a task selected by two groups is drawn under the first")
            << QStringList{"工作:filterLabelsCombo=0 labelsEdit=工作",
                           "高优先:filterPrirotyRuleCombo=1 filterPrirotySpin1=50"}
            << QStringList{"分组1:工作", "a", "c", "e", "分组2:高优先", "b", "其它：未分组", "d"};
        QTest::newRow("a new group without a condition selects nothing")
            << QStringList{"空:"}
            << QStringList{"分组1:空", "其它：未分组", "a", "b", "c", "d", "e"};
        QTest::newRow("a group sorted by progress descending")
            << QStringList{"进度:sortCombo=3 descendingButton"}
            << QStringList{"分组1:进度", "d", "b", "c", "a", "e", "其它：未分组"};
    }

    void groupedDrawing()
    {
        QFETCH(QStringList, groups);
        QFETCH(QStringList, drawn);
        TestEnvironment env;
        seedFive();
        MainView view;
        view.show();
        GroupEdit *edit = openGroupEdit(view);
        QVERIFY(edit);
        for (const QString &group : groups)
            addGroup(edit, group.section(':', 0, 0), group.section(':', 1));
        textButton(edit, "确定")->click();
        settle();
        QVERIFY(!openWindow<GroupEdit>(&view));
        QCOMPARE(findByName<QLabel>(&view, "groupCountLabel")->text(),
                 QStringLiteral("共%1个分组").arg(groups.size()));

        namedButton(&view, "groupApplyButton")->click();
        QCOMPARE(drawnSequence(view), drawn);
        QVERIFY(rowButtonsAllDisabled(view));
    }

    void conditionWindowStoresQueryTextAndState_data()
    {
        QTest::addColumn<QString>("closeWith");
        QTest::newRow("确定") << "确定";
        QTest::newRow("取消 still stores what is shown") << "取消";
    }

    void conditionWindowStoresQueryTextAndState()
    {
        QFETCH(QString, closeWith);
        TestEnvironment env;
        MainView view;
        view.show();
        GroupEdit *edit = openGroupEdit(view);
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
        QCOMPARE(group.conditionSyntax,
                 QString("select * from star  where progress between 10 and 90 and importance = "
                         "'重要' and content like '%it&#39;s%' order by date(stop_date) desc"));
        QCOMPARE(group.conditionText,
                 QString("进度区间10-90；重要；内容包含it's；按照截止日期降序排列；"));
        QCOMPARE(lineText(edit, "groupCondition_0"), group.conditionText);
        Settings settings;
        QCOMPARE(settings.value("groupItemCondition0").toInt(), 1);
        QCOMPARE(settings.value("groupItemCondition0/sortComboCurrentIndex").toInt(), 1);
        QCOMPARE(settings.value("groupItemCondition0/descendingButtonEnabled").toBool(), false);
        QCOMPARE(settings.value("groupItemCondition0/filterProgressSpin2Value").toInt(), 90);
        QCOMPARE(settings.value("groupItemCondition0/keyWordsEditText").toString(),
                 QString("it's"));
    }

    void conditionWindowRestoresItsWidgets()
    {
        TestEnvironment env;
        MainView view;
        view.show();
        GroupEdit *edit = openGroupEdit(view);
        addGroup(edit, "g");
        GroupItemCondition *condition = openCondition(edit, 0);
        choose(condition, "filterStartDateRuleCombo=5 startCalendarButton2=2027-03-04 "
                          "filterLabelsCombo=1 labelsEdit=家 sortCombo=2");
        condition->close();
        settle();

        condition = openCondition(edit, 0);
        QCOMPARE(findByName<QComboBox>(condition, "filterStartDateRuleCombo")->currentIndex(), 5);
        QVERIFY(namedButton(condition, "startCalendarButton1")->isEnabled());
        QCOMPARE(namedButton(condition, "startCalendarButton1")->text(), QString("日期"));
        QCOMPARE(namedButton(condition, "startCalendarButton2")->text(), QString("2027-03-04"));
        QCOMPARE(findByName<QComboBox>(condition, "filterLabelsCombo")->currentIndex(), 1);
        QVERIFY(findByName<QLineEdit>(condition, "labelsEdit")->isEnabled());
        QCOMPARE(lineText(condition, "labelsEdit"), QString("家"));
        QCOMPARE(findByName<QComboBox>(condition, "sortCombo")->currentIndex(), 2);
        QVERIFY(namedButton(condition, "descendingButton")->isEnabled());
        QVERIFY(!namedButton(condition, "ascendingButton")->isEnabled());
        // A range with one date selects by nothing but the rest.
        QCOMPARE(GroupStore::groups().at(0).conditionSyntax,
                 QString("select * from star  where label not like '%家%' order by priority"));
    }

    void storedQueryRunsOnlyWhenSelectOnStar_data()
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

    void storedQueryRunsOnlyWhenSelectOnStar()
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
        QVERIFY(query.exec("select count(*), max(content) from star where content != 'x'"));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 5);
        QCOMPARE(query.value(1).toString(), QString("e"));
    }

    void moveUpTakesEveryKey()
    {
        TestEnvironment env;
        storeGroups(3);
        QVariantMap state = GroupStore::state(1);
        state["filterPrirotyRuleComboCurrentIndex"] = 3;
        GroupStore::setState(1, state);
        MainView view;
        view.show();
        GroupEdit *edit = openGroupEdit(view);
        QVERIFY(!namedButton(edit, "groupUpButton_0")->isEnabled());
        QVERIFY(!namedButton(edit, "groupDownButton_2")->isEnabled());
        namedButton(edit, "groupUpButton_1")->click();
        settle();
        const QList<GroupStore::Group> groups = GroupStore::groups();
        QCOMPARE(QStringList({groups[0].name, groups[0].conditionText, groups[0].conditionSyntax}),
                 QStringList({"g1", "t1", "q1"}));
        QCOMPARE(groups.at(1).name, QString("g0"));
        QCOMPARE(GroupStore::state(0).value("keyWordsEditText").toString(), QString("k1"));
        QCOMPARE(GroupStore::state(0).value("filterPrirotyRuleComboCurrentIndex").toInt(), 3);
        QCOMPARE(GroupStore::state(1).value("keyWordsEditText").toString(), QString("k0"));
        QCOMPARE(GroupStore::state(1).value("filterPrirotyRuleComboCurrentIndex"),
                 GroupStore::state(2).value("filterPrirotyRuleComboCurrentIndex"));
        QCOMPARE(lineText(edit, "groupName_0"), QString("g1"));
        QCOMPARE(lineText(edit, "groupCondition_0"), QString("t1"));

        namedButton(edit, "groupDownButton_0")->click();
        settle();
        QCOMPARE(GroupStore::groups().at(1).name, QString("g1"));
        QCOMPARE(GroupStore::state(1).value("keyWordsEditText").toString(), QString("k1"));
    }

    void deleteFirstOfThree()
    {
        TestEnvironment env;
        storeGroups(3);
        MainView view;
        view.show();
        GroupEdit *edit = openGroupEdit(view);
        namedButton(edit, "groupDeleteButton_0")->click();
        settle();
        QCOMPARE(Settings::read("groupCount").toInt(), 2);
        QCOMPARE(GroupStore::groups().at(0).name, QString("g1"));
        QCOMPARE(GroupStore::groups().at(1).name, QString("g2"));
        QCOMPARE(GroupStore::state(0).value("keyWordsEditText").toString(), QString("k1"));
        QCOMPARE(GroupStore::state(1).value("keyWordsEditText").toString(), QString("k2"));
        Settings settings;
        QVERIFY(!settings.contains("groupItemCondition2"));
        QVERIFY(!settings.contains("groupItemCondition2/keyWordsEditText"));
        QVERIFY(!settings.contains("groupItems/3/groupItemName"));
        QCOMPARE(settings.value("groupItems/size").toInt(), 2);
        QVERIFY(!findByName<QLineEdit>(edit, "groupName_2"));
        textButton(edit, "确定")->click();
        QCOMPARE(findByName<QLabel>(&view, "groupCountLabel")->text(), QString("共2个分组"));
    }

    void typedNamesSurviveAddAndMove()
    {
        TestEnvironment env;
        MainView view;
        view.show();
        GroupEdit *edit = openGroupEdit(view);
        addGroup(edit, "一");
        addGroup(edit, "二");
        namedButton(edit, "groupUpButton_1")->click();
        settle();
        QCOMPARE(lineText(edit, "groupName_0"), QString("二"));
        QCOMPARE(lineText(edit, "groupName_1"), QString("一"));
        // Closing the window stores what is typed.
        findByName<QLineEdit>(edit, "groupName_1")->setText("三");
        edit->close();
        settle();
        QCOMPARE(GroupStore::groups().at(1).name, QString("三"));
    }

    void thousandGroupsAtMost()
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

    void applyCancelAndRestart()
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
        // The grouped view survives a restart.
        MainView view;
        QCOMPARE(drawnSequence(view).first(), QString("分组1:高"));
        QVERIFY(!namedButton(&view, "groupApplyButton")->isEnabled());
        QVERIFY(!textButton(&view, "增加一条")->isEnabled());
        namedButton(&view, "groupCancelButton")->click();
        QCOMPARE(drawnSequence(view), QStringList({"a", "b", "c", "d", "e"}));
        QVERIFY(textButton(&view, "增加一条")->isEnabled());
        QCOMPARE(Settings::read("groupApplyMode").toBool(), false);
    }

    void groupedHeightAndHeightChange()
    {
        TestEnvironment env;
        seedFive();
        GroupStore::add();
        GroupStore::add();
        GroupStore::setCondition(0, "", "select * from star  where priority > 65");
        MainView view;
        view.show();
        // A filter in force does not shrink the room the grouped list needs.
        choose(&view, "filterImportanceCombo=1 filterApplyButton");
        QCOMPARE(view.shownRowCount(), 0);
        namedButton(&view, "groupApplyButton")->click();
        QCOMPARE(view.listContainer()->height(), 5 * 180 + 2 * 120);
        QCOMPARE(drawnSequence(view).size(), 8);

        view.setItemHeight(2, 300, 0);
        QCOMPARE(cell(env.checkConnection(), "height", 2).toInt(), 300);
        QCOMPARE(drawnSequence(view).first(), QString("分组1:"));
        QCOMPARE(rowWidget<CustomTextEdit>(view, "textEdit", 2)->height(), 300);
        QCOMPARE(view.listContainer()->height(), 4 * 180 + 380 + 2 * 120);
    }
};

int runGroupTests(int argc, char **argv)
{
    TestGroups test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_groups.moc"

// The sort and filter panels driven through their widgets: the clauses they build, the rows the
// list shows, the state of their buttons and what cancel returns to.
#include "app/settings.h"
#include "tests/support/testenvironment.h"
#include "tests/tasklist/listtest.h"

namespace {
// Filters by priority: rule 0 "=", 1 ">", 3 ">=", 4 "<=".
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
void seedFive()
{
    seedRecords({task("a", 30, 50, "2026-12-03"), task("b", 10, 100, ""),
                 task("c", 20, 0, "2026-11-30"), task("d", 50, 75, "not a date"),
                 task("e", 40, 25, "2027-01-02")});
}

bool addEnabled(MainView &view)
{
    return textButton(&view, "增加一条")->isEnabled();
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

    void sortOrdersThenCancel()
    {
        QFETCH(QString, key);
        QFETCH(bool, descending);
        QFETCH(QString, clause);
        QFETCH(QStringList, order);
        TestEnvironment env;
        seedFive();
        MainView view;
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
        QVERIFY(!addEnabled(view));
        QVERIFY(rowButtonsAllDisabled(view));

        namedButton(&view, "sortCancelButton")->click();
        QCOMPARE(drawnSequence(view), QStringList({"a", "b", "c", "d", "e"}));
        QVERIFY(addEnabled(view));
        QVERIFY(!rowButtonsAllDisabled(view));
        QCOMPARE(Settings::read("sortApplyMode", true).toBool(), false);
    }

    void sortButtonEnabling()
    {
        TestEnvironment env;
        MainView view;
        auto *combo = findByName<QComboBox>(&view, "sortCombo");
        QList<QPushButton *> buttons;
        for (const char *name :
             {"ascendingButton", "descendingButton", "sortApplyButton", "sortCancelButton"})
            buttons.append(namedButton(&view, name));
        auto states = [&buttons] {
            QString s;
            for (QPushButton *b : buttons)
                s += b->isEnabled() ? '1' : '0';
            return s;
        };
        QCOMPARE(combo->currentIndex(), -1);
        QCOMPARE(states(), QString("0000"));
        combo->setCurrentIndex(3);
        QCOMPARE(states(), QString("0110"));
        buttons[1]->click();
        QCOMPARE(states(), QString("1010"));
        buttons[0]->click();
        QCOMPARE(states(), QString("0110"));
        combo->setCurrentIndex(4); // the blank item greys everything again
        QCOMPARE(states(), QString("0000"));
        combo->setCurrentIndex(2);
        buttons[2]->click();
        QCOMPARE(states().mid(2), QString("01"));
        buttons[3]->click();
        QCOMPARE(combo->currentIndex(), -1);
        QCOMPARE(states(), QString("0000"));
    }

    void sortAndFilterTogether()
    {
        TestEnvironment env;
        seedFive();
        MainView view;
        chooseSort(view, "优先级", true);
        QCOMPARE(drawnSequence(view), QStringList({"d", "e", "a", "c", "b"}));
        filterPriority(view, 3, 20);
        QCOMPARE(drawnSequence(view), QStringList({"d", "e", "a", "c"}));
        namedButton(&view, "filterCancelButton")->click();
        QCOMPARE(drawnSequence(view), QStringList({"d", "e", "a", "c", "b"}));
        QCOMPARE(view.sortCondition(), QString(" order by priority desc"));
        QVERIFY(!addEnabled(view) && rowButtonsAllDisabled(view));

        // Cancelling the sort keeps the filter, in manual order, with rows still locked.
        filterPriority(view, 3, 20);
        namedButton(&view, "sortCancelButton")->click();
        QCOMPARE(drawnSequence(view), QStringList({"a", "c", "d", "e"}));
        QVERIFY(!addEnabled(view) && rowButtonsAllDisabled(view));
    }

    void sortCancelInGroupedViewReturnsToGroups()
    {
        TestEnvironment env;
        seedFive();
        Settings::write("groupApplyMode", true);
        MainView view;
        chooseSort(view, "优先级", false);
        QCOMPARE(drawnSequence(view), QStringList({"b", "c", "a", "e", "d"}));
        namedButton(&view, "sortCancelButton")->click();
        QCOMPARE(drawnSequence(view), QStringList({"其它：未分组", "a", "b", "c", "d", "e"}));
    }

    // Each filter's clause, exactly, and the tasks it lets through (first word of their text).
    void filterClauseAndRows_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("clause");
        QTest::addColumn<QString>("shown");
        QTest::newRow("importance only") << "filterImportanceCombo=0"
                                         << " where importance = '重要'"
                                         << "b c";
        QTest::newRow("start after a day, priority range")
            << "filterStartDateRuleCombo=1 startCalendarButton1=2026-12-01 "
               "filterPrirotyRuleCombo=5 filterPrirotySpin1=10 filterPrirotySpin2=20"
            << " where date(start_date) > '2026-12-01' and priority between 10 and 20"
            << "a";
        QTest::newRow("range with one date adds nothing")
            << "filterStartDateRuleCombo=5 startCalendarButton1=2026-12-01 filterEmergencyCombo=1"
            << " where emergency = '不紧急'"
            << "c";
        QTest::newRow("date range and deadline")
            << "filterStartDateRuleCombo=5 startCalendarButton1=2026-12-01 "
               "startCalendarButton2=2026-12-31 filterStopDateRuleCombo=4 "
               "stopCalendarButton1=2027-01-05"
            << " where date(start_date) between '2026-12-01' and '2026-12-31' and "
               "date(stop_date) <= '2027-01-05'"
            << "a";
        QTest::newRow("labels A；B contained beside importance, bracketed")
            << "filterImportanceCombo=1 filterLabelsCombo=0 labelsEdit=A；B"
            << " where importance = '不重要' and (label like '%A%' or label like '%B%')"
            << "a";
        QTest::newRow("labels A；B contained, alone")
            << "filterLabelsCombo=0 labelsEdit=A；B"
            << " where label like '%A%' or label like '%B%'"
            << "a b";
        QTest::newRow("labels A；B not contained: not both")
            << "filterLabelsCombo=1 labelsEdit=A；B；"
            << " where label not like '%A%' or label not like '%B%'"
            << "a c";
        QTest::newRow("label with apostrophe") << "filterLabelsCombo=0 labelsEdit=O'Neil"
                                               << " where label like '%O''Neil%'"
                                               << "b";
        QTest::newRow("keywords skip empty piece")
            << "keyWordsEdit=X；；Y"
            << " where content like '%X%' or content like '%Y%' "
            << "a c";
        QTest::newRow("one keyword piece keeps its trailing blank") << "keyWordsEdit=X；"
                                                                    << " where content like '%X%' "
                                                                    << "a";
        QTest::newRow("plain keyword") << "keyWordsEdit=X"
                                       << " where content like '%X%'"
                                       << "a";
        QTest::newRow("keyword with apostrophe in stored form")
            << "keyWordsEdit=don't"
            << " where content like '%don&#39;t%'"
            << "c";
        QTest::newRow("keyword with ampersand in stored form") << "keyWordsEdit=R&D"
                                                               << " where content like '%R&amp;D%'"
                                                               << "a";
        QTest::newRow("label rule without text, blank importance")
            << "filterLabelsCombo=0 filterImportanceCombo=2"
            << ""
            << "a b c";
    }

    void filterClauseAndRows()
    {
        QFETCH(QString, settings);
        QFETCH(QString, clause);
        QFETCH(QString, shown);
        TestEnvironment env;
        TaskRecord a = task("<p>a R&amp;D X</p>", 15, 0, "2026-12-05", "A；");
        a.importance = "不重要";
        a.stopDate = "2027-01-01";
        TaskRecord c = task("c don&#39;t Y", 0, 0, "", "家");
        c.emergency = "不紧急";
        seedRecords({a, task("b", 0, 0, "", "O'Neil；A；B；"), c});
        MainView view;
        view.show();
        choose(&view, settings);
        QPushButton *apply = namedButton(&view, "filterApplyButton");
        QVERIFY(apply->isEnabled());
        apply->click();
        QCOMPARE(view.filterCondition(), clause);
        QVERIFY(!apply->isEnabled());
        QStringList firstWords;
        for (const QString &text : drawnSequence(view))
            firstWords.append(text.section(' ', 0, 0));
        QCOMPARE(firstWords.join(' '), shown);
    }

    void filterRuleCombosEnableTheirInputs()
    {
        TestEnvironment env;
        MainView view;
        auto *rule = findByName<QComboBox>(&view, "filterStopDateRuleCombo");
        QPushButton *first = namedButton(&view, "stopCalendarButton1");
        QPushButton *second = namedButton(&view, "stopCalendarButton2");
        QVERIFY(!first->isEnabled() && !second->isEnabled());
        rule->setCurrentIndex(2);
        QVERIFY(first->isEnabled() && !second->isEnabled());
        rule->setCurrentIndex(5);
        QVERIFY(first->isEnabled() && second->isEnabled());
        first->setText("2026-12-01");
        rule->setCurrentIndex(6);
        QVERIFY(!first->isEnabled() && !second->isEnabled());
        QCOMPARE(first->text(), QString("日期"));

        auto *labelEdit = findByName<QLineEdit>(&view, "labelsEdit");
        QVERIFY(!labelEdit->isEnabled());
        choose(&view, "filterLabelsCombo=1");
        QVERIFY(labelEdit->isEnabled());
        labelEdit->setText("A");
        choose(&view, "filterLabelsCombo=2");
        QVERIFY(!labelEdit->isEnabled() && labelEdit->text().isEmpty());
    }

    void filterButtonsLockingCancelAndRestart()
    {
        TestEnvironment env;
        seedRecords({task("a", 5), task("b", 50), task("c", 60), task("d", 1)});
        {
            MainView view;
            view.show();
            QPushButton *apply = namedButton(&view, "filterApplyButton");
            QPushButton *cancel = namedButton(&view, "filterCancelButton");
            QVERIFY(!apply->isEnabled() && !cancel->isEnabled());
            auto *keywords = findByName<QLineEdit>(&view, "keyWordsEdit");
            QTest::keyClicks(keywords, "task");
            QVERIFY(apply->isEnabled() && !cancel->isEnabled());
            keywords->clear();
            QVERIFY(!apply->isEnabled());
            choose(&view, "filterEmergencyCombo=0");
            QVERIFY(apply->isEnabled());
            choose(&view, "filterEmergencyCombo=2");
            QVERIFY(!apply->isEnabled());

            filterPriority(view, 1, 10);
            QCOMPARE(drawnSequence(view), QStringList({"b", "c"}));
            QVERIFY(!apply->isEnabled() && cancel->isEnabled());
            QCOMPARE(Settings::read("filterApplyMode", false).toBool(), true);
            QVERIFY(rowButtonsAllDisabled(view) && !addEnabled(view));
            // While filtered, changes do not offer "应用", and "取消" stays reachable.
            choose(&view, "filterImportanceCombo=0 filterEmergencyCombo=2");
            QVERIFY(!apply->isEnabled() && cancel->isEnabled());

            cancel->click();
            QVERIFY(!apply->isEnabled() && !cancel->isEnabled());
            QCOMPARE(drawnSequence(view), QStringList({"a", "b", "c", "d"}));
            QVERIFY(!rowButtonsAllDisabled(view) && addEnabled(view));
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

int runPanelTests(int argc, char **argv)
{
    TestPanels test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_panels.moc"

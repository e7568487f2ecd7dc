// The filter panel driven through its widgets: the clause it builds, the rows it shows and the
// state of its buttons.
#include "tests/tasklist/tst_filtering.h"

#include "app/settings.h"
#include "tasklist/mainview.h"
#include "tests/support/testenvironment.h"
#include "tests/tasklist/listprobe.h"
#include "tests/tasklist/seed.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

namespace {
// One filter as a person would set it; -1 leaves a combo untouched.
struct Choice {
    int startRule = -1;
    QDate start1, start2;
    int stopRule = -1;
    QDate stop1;
    int priorityRule = -1;
    int priority1 = 0, priority2 = 0;
    int importance = -1;
    int urgency = -1;
    int labels = -1;
    QString labelText;
    QString keywords;
};

void pickDate(MainView &view, const QString &button, const QDate &date)
{
    if (!date.isValid())
        return;
    namedButton(&view, button)->click();
    QCalendarWidget *calendar = openWindow<QCalendarWidget>(&view);
    QVERIFY(calendar);
    emit calendar->clicked(date);
    settle();
}

void choose(MainView &view, const Choice &c)
{
    auto combo = [&view](const char *name, int index) {
        if (index >= 0)
            findByName<QComboBox>(&view, name)->setCurrentIndex(index);
    };
    combo("filterStartDateRuleCombo", c.startRule);
    pickDate(view, "startCalendarButton1", c.start1);
    pickDate(view, "startCalendarButton2", c.start2);
    combo("filterStopDateRuleCombo", c.stopRule);
    pickDate(view, "stopCalendarButton1", c.stop1);
    combo("filterPrirotyRuleCombo", c.priorityRule);
    findByName<QSpinBox>(&view, "filterPrirotySpin1")->setValue(c.priority1);
    findByName<QSpinBox>(&view, "filterPrirotySpin2")->setValue(c.priority2);
    combo("filterImportanceCombo", c.importance);
    combo("filterEmergencyCombo", c.urgency);
    combo("filterLabelsCombo", c.labels);
    if (!c.labelText.isEmpty())
        findByName<QLineEdit>(&view, "labelsEdit")->insert(c.labelText);
    if (!c.keywords.isEmpty())
        findByName<QLineEdit>(&view, "keyWordsEdit")->insert(c.keywords);
}
} // namespace

Q_DECLARE_METATYPE(Choice)

void TestFiltering::clauseTexts_data()
{
    QTest::addColumn<Choice>("choice");
    QTest::addColumn<QString>("clause");
    Choice c;
    c.importance = 0;
    QTest::newRow("importance only") << c << " where importance = '重要'";

    c = Choice();
    c.startRule = 1;
    c.start1 = QDate(2026, 12, 1);
    c.priorityRule = 5;
    c.priority1 = 10;
    c.priority2 = 20;
    QTest::newRow("start after a day, priority range")
        << c << " where date(start_date) > '2026-12-01' and priority between 10 and 20";

    c = Choice();
    c.startRule = 5;
    c.start1 = QDate(2026, 12, 1);
    c.urgency = 1;
    QTest::newRow("range with one date adds nothing") << c << " where emergency = '不紧急'";

    c = Choice();
    c.startRule = 5;
    c.start1 = QDate(2026, 12, 1);
    c.start2 = QDate(2026, 12, 31);
    c.stopRule = 4;
    c.stop1 = QDate(2027, 1, 5);
    QTest::newRow("date range and deadline")
        << c
        << " where date(start_date) between '2026-12-01' and '2026-12-31' and "
           "date(stop_date) <= '2027-01-05'";

    c = Choice();
    c.importance = 1;
    c.labels = 0;
    c.labelText = "A；B";
    QTest::newRow("labels A；B contained, bracketed")
        << c << " where importance = '不重要' and (label like '%A%' or label like '%B%')";

    c = Choice();
    c.labels = 1;
    c.labelText = "A；B；";
    QTest::newRow("labels A；B not contained: not both")
        << c << " where label not like '%A%' or label not like '%B%'";

    c = Choice();
    c.labels = 0;
    c.labelText = "A；B";
    QTest::newRow("labels A；B contained, alone") << c
                                                 << " where label like '%A%' or label like '%B%'";

    c = Choice();
    c.labels = 0;
    c.labelText = "O'Neil";
    QTest::newRow("label with apostrophe") << c << " where label like '%O''Neil%'";

    c = Choice();
    c.keywords = "X；；Y";
    QTest::newRow("keywords skip empty piece")
        << c << " where content like '%X%' or content like '%Y%' ";

    c = Choice();
    c.keywords = "X；";
    QTest::newRow("one keyword piece keeps its trailing blank")
        << c << " where content like '%X%' ";

    c = Choice();
    c.keywords = "X";
    QTest::newRow("plain keyword") << c << " where content like '%X%'";

    c = Choice();
    c.keywords = "don't";
    QTest::newRow("keyword with apostrophe in stored form")
        << c << " where content like '%don&#39;t%'";

    c = Choice();
    c.labels = 0;
    c.importance = 2;
    QTest::newRow("label rule without text, blank importance") << c << "";
}

void TestFiltering::clauseTexts()
{
    QFETCH(Choice, choice);
    QFETCH(QString, clause);
    TestEnvironment env;
    seedTasks(2);
    MainView view;
    view.show();
    choose(view, choice);
    QPushButton *apply = namedButton(&view, "filterApplyButton");
    QVERIFY(apply->isEnabled());
    apply->click();
    QCOMPARE(view.filterCondition(), clause);
    QVERIFY(!apply->isEnabled());
}

void TestFiltering::shownRows_data()
{
    QTest::addColumn<Choice>("choice");
    QTest::addColumn<QStringList>("shown");
    Choice c;
    c.labels = 0;
    c.labelText = "O'Neil";
    QTest::newRow("label with apostrophe") << c << QStringList{"b"};
    c = Choice();
    c.keywords = "don't";
    QTest::newRow("keyword with apostrophe") << c << QStringList{"c"};
    c = Choice();
    c.keywords = "R&D";
    QTest::newRow("keyword with ampersand") << c << QStringList{"a"};
    c = Choice();
    c.importance = 1;
    c.labels = 0;
    c.labelText = "工作；O'Neil";
    // The "or" of the labels stays inside the label criterion.
    QTest::newRow("labels or within importance") << c << QStringList{"a"};
    c = Choice();
    c.labels = 1;
    c.labelText = "工作；O'Neil";
    QTest::newRow("labels not both") << c << QStringList{"a", "c"};
}

void TestFiltering::shownRows()
{
    QFETCH(Choice, choice);
    QFETCH(QStringList, shown);
    TestEnvironment env;
    TaskRecord a = task("a", 0, 0, "", "工作；");
    a.importance = "不重要";
    a.content = "<p>R&amp;D a</p>";
    seedRecords({a, task("b", 0, 0, "", "O'Neil；工作；"), task("c don&#39;t", 0, 0, "", "家")});
    MainView view;
    choose(view, choice);
    namedButton(&view, "filterApplyButton")->click();
    QStringList texts = drawnSequence(view);
    for (QString &text : texts)
        text = text.section(' ', 0, 0) == "R&D" ? "a" : text.section(' ', 0, 0);
    QCOMPARE(texts, shown);
}

void TestFiltering::ruleCombosEnableTheirInputs()
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

    auto *progress = findByName<QComboBox>(&view, "filterProgressRuleCombo");
    auto *spin1 = findByName<QSpinBox>(&view, "filterProgressSpin1");
    auto *spin2 = findByName<QSpinBox>(&view, "filterProgressSpin2");
    progress->setCurrentIndex(5);
    QVERIFY(spin1->isEnabled() && spin2->isEnabled());
    spin1->setValue(30);
    progress->setCurrentIndex(0);
    QVERIFY(spin1->isEnabled() && !spin2->isEnabled());
    progress->setCurrentIndex(6);
    QVERIFY(!spin1->isEnabled() && spin1->value() == 0);

    auto *labels = findByName<QComboBox>(&view, "filterLabelsCombo");
    auto *labelEdit = findByName<QLineEdit>(&view, "labelsEdit");
    QVERIFY(!labelEdit->isEnabled());
    labels->setCurrentIndex(1);
    QVERIFY(labelEdit->isEnabled());
    labelEdit->setText("A");
    labels->setCurrentIndex(2);
    QVERIFY(!labelEdit->isEnabled() && labelEdit->text().isEmpty());
}

void TestFiltering::applyAndCancelButtons()
{
    TestEnvironment env;
    seedTasks(3);
    MainView view;
    QPushButton *apply = namedButton(&view, "filterApplyButton");
    QPushButton *cancel = namedButton(&view, "filterCancelButton");
    QVERIFY(!apply->isEnabled() && !cancel->isEnabled());
    auto *keywords = findByName<QLineEdit>(&view, "keyWordsEdit");
    QTest::keyClicks(keywords, "task");
    QVERIFY(apply->isEnabled() && !cancel->isEnabled());
    keywords->clear();
    QVERIFY(!apply->isEnabled());
    auto *urgency = findByName<QComboBox>(&view, "filterEmergencyCombo");
    urgency->setCurrentIndex(0);
    QVERIFY(apply->isEnabled());
    urgency->setCurrentIndex(2);
    QVERIFY(!apply->isEnabled());

    urgency->setCurrentIndex(0);
    apply->click();
    QVERIFY(!apply->isEnabled() && cancel->isEnabled());
    QCOMPARE(Settings::read("filterApplyMode", false).toBool(), true);
    // While filtered, changes do not offer "应用", and "取消" stays reachable.
    findByName<QComboBox>(&view, "filterImportanceCombo")->setCurrentIndex(0);
    QVERIFY(!apply->isEnabled() && cancel->isEnabled());
    urgency->setCurrentIndex(2);
    findByName<QComboBox>(&view, "filterImportanceCombo")->setCurrentIndex(2);
    QVERIFY(!apply->isEnabled() && cancel->isEnabled());

    cancel->click();
    QVERIFY(!apply->isEnabled() && !cancel->isEnabled());
    QCOMPARE(urgency->currentIndex(), -1);
    QCOMPARE(Settings::read("filterApplyMode", true).toBool(), false);
    QCOMPARE(view.filterCondition(), QString());
}

void TestFiltering::calendarWritesDateIntoButton()
{
    TestEnvironment env;
    MainView view;
    view.show();
    findByName<QComboBox>(&view, "filterStartDateRuleCombo")->setCurrentIndex(5);
    namedButton(&view, "startCalendarButton2")->click();
    QCalendarWidget *calendar = openWindow<QCalendarWidget>(&view);
    QVERIFY(calendar);
    QCOMPARE(calendar->size(), QSize(400, 300));
    QCOMPARE(calendar->windowModality(), Qt::ApplicationModal);
    emit calendar->clicked(QDate(2027, 2, 3));
    QVERIFY(!calendar->isVisible());
    QCOMPARE(namedButton(&view, "startCalendarButton2")->text(), QString("2027-02-03"));
    QCOMPARE(namedButton(&view, "startCalendarButton1")->text(), QString("日期"));
}

void TestFiltering::applyLocksRowsAndCancelRestores()
{
    TestEnvironment env;
    seedRecords({task("a", 5), task("b", 50), task("c", 60), task("d", 1)});
    MainView view;
    findByName<QComboBox>(&view, "filterPrirotyRuleCombo")->setCurrentIndex(1);
    findByName<QSpinBox>(&view, "filterPrirotySpin1")->setValue(10);
    namedButton(&view, "filterApplyButton")->click();
    QCOMPARE(drawnSequence(view), QStringList({"b", "c"}));
    QVERIFY(rowButtonsAllDisabled(view));
    QVERIFY(!textButton(&view, "增加一条")->isEnabled());

    namedButton(&view, "filterCancelButton")->click();
    QCOMPARE(drawnSequence(view), QStringList({"a", "b", "c", "d"}));
    QVERIFY(!rowButtonsAllDisabled(view));
    QVERIFY(textButton(&view, "增加一条")->isEnabled());
    QCOMPARE(findByName<QSpinBox>(&view, "filterPrirotySpin1")->value(), 0);
    QVERIFY(!findByName<QSpinBox>(&view, "filterPrirotySpin1")->isEnabled());
}

void TestFiltering::sortSurvivesFilterApplyAndCancel()
{
    TestEnvironment env;
    seedRecords({task("a", 5), task("b", 50), task("c", 60), task("d", 1)});
    MainView view;
    auto *sort = findByName<QComboBox>(&view, "sortCombo");
    sort->setCurrentIndex(sort->findText("优先级"));
    namedButton(&view, "descendingButton")->click();
    namedButton(&view, "sortApplyButton")->click();
    QCOMPARE(drawnSequence(view), QStringList({"c", "b", "a", "d"}));

    findByName<QComboBox>(&view, "filterPrirotyRuleCombo")->setCurrentIndex(4);
    findByName<QSpinBox>(&view, "filterPrirotySpin1")->setValue(50);
    namedButton(&view, "filterApplyButton")->click();
    QCOMPARE(drawnSequence(view), QStringList({"b", "a", "d"}));
    namedButton(&view, "filterCancelButton")->click();
    QCOMPARE(drawnSequence(view), QStringList({"c", "b", "a", "d"}));
    QCOMPARE(view.sortCondition(), QString(" order by priority desc"));
    // Still sorted: adding and moving stay off.
    QVERIFY(!textButton(&view, "增加一条")->isEnabled());
    QVERIFY(rowButtonsAllDisabled(view));
}

void TestFiltering::closingForgetsFilter()
{
    TestEnvironment env;
    seedRecords({task("a", 5), task("b", 50)});
    {
        MainView view;
        view.show();
        findByName<QComboBox>(&view, "filterPrirotyRuleCombo")->setCurrentIndex(0);
        findByName<QSpinBox>(&view, "filterPrirotySpin1")->setValue(50);
        namedButton(&view, "filterApplyButton")->click();
        QCOMPARE(drawnSequence(view), QStringList({"b"}));
        QVERIFY(view.close());
    }
    TestEnvironment::dropProgramConnection();
    MainView again;
    QCOMPARE(drawnSequence(again), QStringList({"a", "b"}));
    QVERIFY(!namedButton(&again, "filterCancelButton")->isEnabled());
}

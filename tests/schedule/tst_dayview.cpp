// The day view driven through its widgets, with the day tables read back afterwards.
#include "tests/schedule/tst_dayview.h"

#include "app/database.h"
#include "app/settings.h"
#include "richtext/customtextedit.h"
#include "schedule/additem.h"
#include "schedule/datechangedview.h"
#include "schedule/daystore.h"
#include "schedule/labeledit.h"
#include "schedule/mergeitem.h"
#include "schedule/orvaneview.h"
#include "schedule/templatestore.h"
#include "schedule/todaysummary.h"
#include "tests/support/logcapture.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"
#include "tests/support/widgetfinder.h"

#include <QDateEdit>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTextDocument>
#include <QTimeEdit>
#include <QtTest>

namespace {
const QDate day(2026, 12, 7); // a Monday
const QString table = QStringLiteral("Day20261207空时刻表");

QStringList column(QSqlDatabase db, const QString &tableName, const QString &name)
{
    QSqlQuery query(db);
    // Day tables are in display order, summary tables in id order.
    const QString order = tableName.startsWith("Day") ? "manualIndex" : "id";
    query.exec(QStringLiteral("select %1 from \"%2\" order by %3").arg(name, tableName, order));
    QStringList values;
    while (query.next())
        values.append(query.value(0).toString());
    return values;
}

QStringList tablesLike(QSqlDatabase db, const QString &pattern)
{
    QSqlQuery query(db);
    query.exec(QStringLiteral("select name from sqlite_master where type='table' and name like "
                              "'%1' order by name")
                   .arg(pattern));
    QStringList names;
    while (query.next())
        names.append(query.value(0).toString());
    return names;
}

QPushButton *button(QWidget *root, const QString &text)
{
    for (QPushButton *b : root->findChildren<QPushButton *>()) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

template <class T> T *named(orvaneView &view, const QString &name)
{
    return view.scheduleContent()->findChild<T *>(name);
}

template <class T> T *openDialog()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *found = qobject_cast<T *>(w); found && found->isVisible())
            return found;
    }
    return nullptr;
}

// Fills a day table with n untimed or timed records whose plans are "p0", "p1", ...
void makeDay(QSqlDatabase db, const QString &dayTable, int n, bool timed)
{
    DayStore store(db);
    QVERIFY(store.createTables(dayTable));
    QSqlQuery query(db);
    for (int i = 0; i < n; ++i) {
        query.prepare(
            QStringLiteral("insert into \"%1\" values(?,?,?,?,?,?,?,?,?,?)").arg(dayTable));
        query.addBindValue(i);
        query.addBindValue(i);
        query.addBindValue(
            timed ? QStringLiteral("%1:00--%1:30").arg(10 + i % 10, 2, 10, QLatin1Char('0'))
                  : QString());
        query.addBindValue(QStringLiteral("p%1").arg(i));
        query.addBindValue(QString());
        query.addBindValue(QStringLiteral("r%1").arg(i));
        query.addBindValue(QString());
        query.addBindValue(100);
        query.addBindValue(100);
        query.addBindValue(timed ? 0 : 1);
        QVERIFY(query.exec());
    }
}

struct World {
    TestEnvironment env{QRect(0, 0, 1920, 1040), day};
    PromptScript prompts;
    QSqlDatabase db;
    World()
    {
        Database::connect(&db);
        TemplateStore::createBuiltInTemplates();
    }
};
} // namespace

void TestDayView::newDateGetsDefaultSchedule()
{
    TestEnvironment env(QRect(0, 0, 1920, 1040), day);
    PromptScript prompts;
    orvaneView view(nullptr, nullptr, QString(), QString());
    // First use: no template files yet, so the built-in time table is written and used.
    QCOMPARE(prompts.messages(), QStringList{"指定的模板文件已被您删除了,已为您启用空时刻表。"});
    QVERIFY(QFile::exists(env.appDir() + "/MyTemplates/空时刻表.xml"));
    QVERIFY(QFile::exists(env.appDir() + "/MyTemplates/空任务表.xml"));
    QCOMPARE(tablesLike(env.checkConnection(), "%Day20261207%"),
             QStringList({table, "labelDuration_" + table, "summary_" + table}));
    QStringList expected;
    for (int hour = 9; hour <= 17; ++hour)
        expected << QString("%1:00--%2:00")
                        .arg(hour, 2, 10, QChar('0'))
                        .arg(hour + 1, 2, 10, QChar('0'));
    QCOMPARE(column(env.checkConnection(), table, "time"), expected);
    QCOMPARE(view.recordCount(), 9);
    QCOMPARE(named<QTimeEdit>(view, "fromTime_0")->text(), QString("09:00"));
    QCOMPARE(named<QTimeEdit>(view, "toTime_8")->text(), QString("18:00"));
    QCOMPARE(named<QPushButton>(view, "labelButton_3")->text(), QString("类别标签"));
    QCOMPARE(named<CustomTextEdit>(view, "summaryTextEdit_0")->height(), 100);
    QCOMPARE(named<QSpinBox>(view, "summaryScoreSpin_0")->value(), 0);
    QCOMPARE(view.dateEdit()->displayFormat(), QString("yyyy.MM.dd"));
    QCOMPARE(view.dateEdit()->date(), day);
}

void TestDayView::defaultNoneCreatesNothing()
{
    World w;
    TemplateStore::setDefaultTemplate("无");
    orvaneView view(nullptr, nullptr, QString(), QString());
    QVERIFY(tablesLike(w.env.checkConnection(), "%Day2026%").isEmpty());
    QVERIFY(!named<QTimeEdit>(view, "fromTime_0"));
    // Nothing of the date is shown, so a save writes nothing anywhere.
    LogCapture log;
    button(&view, "保存修改")->click();
    QCOMPARE(log.count("db update succeed!"), 0);
    QVERIFY(tablesLike(w.env.checkConnection(), "%Day2026%").isEmpty());
}

void TestDayView::emptyOnlyTableTakesDefault()
{
    World w;
    makeDay(w.db, "Day20261207空任务表", 2, false);
    QSqlQuery(w.db).exec("update \"Day20261207空任务表\" set plan = '', result = ''");
    orvaneView view(nullptr, nullptr, QString(), QString());
    QCOMPARE(view.currentTemplate(), QString("空时刻表"));
    QCOMPARE(view.recordCount(), 9);
    // The empty table stays as it was.
    QCOMPARE(column(w.env.checkConnection(), "Day20261207空任务表", "plan").size(), 2);
}

void TestDayView::savedTimesAndTextsRoundTrip()
{
    World w;
    orvaneView view(nullptr, nullptr, QString(), QString());
    named<QTimeEdit>(view, "fromTime_0")->setTime(QTime(8, 30));
    named<QTimeEdit>(view, "toTime_0")->setTime(QTime(9, 45));
    named<CustomTextEdit>(view, "textEditPlan_0")->setPlainText("it's 50%1 done");
    named<CustomTextEdit>(view, "textEditResult_1")->setPlainText("结果");
    named<CustomTextEdit>(view, "summaryTextEdit_0")->setPlainText("随笔'");
    named<QSpinBox>(view, "summaryScoreSpin_0")->setValue(7);
    button(&view, "保存修改")->click();

    QSqlDatabase check = w.env.checkConnection();
    QCOMPARE(column(check, table, "time").first(), QString("08:30--09:45"));
    const QString plan = column(check, table, "plan").first();
    QVERIFY(plan.contains("it&#39;s 50%1 done"));
    QVERIFY(!plan.contains('\''));
    QVERIFY(column(check, table, "result").at(1).contains("结果"));
    QVERIFY(column(check, "summary_" + table, "contentDetail").first().contains("随笔&#39;"));
    QSqlQuery score(check);
    score.exec(QString("select contentDetail from \"summary_%1\" where id = 1").arg(table));
    QVERIFY(score.next());
    QCOMPARE(score.value(0).toString(), QString("7"));

    // Drawn again, the day shows what was saved.
    view.drawDateSchedule(day);
    QCOMPARE(named<QTimeEdit>(view, "fromTime_0")->text(), QString("08:30"));
    QCOMPARE(named<QTimeEdit>(view, "toTime_0")->text(), QString("09:45"));
    QCOMPARE(named<CustomTextEdit>(view, "textEditPlan_0")->toPlainText(),
             QString("it's 50%1 done"));
    QCOMPARE(named<QSpinBox>(view, "summaryScoreSpin_0")->value(), 7);
}

void TestDayView::saveWritesLabelMinutes()
{
    World w;
    orvaneView view(nullptr, nullptr, QString(), QString());
    view.writeRecordLabel(0, "工作");
    view.writeRecordLabel(1, "work's");
    named<QTimeEdit>(view, "fromTime_1")->setTime(QTime(23, 30));
    named<QTimeEdit>(view, "toTime_1")->setTime(QTime(22, 0));
    button(&view, "保存修改")->click();
    QSqlQuery query(w.env.checkConnection());
    QVERIFY(query.exec(QString("select labelName, labelDuration, createDate from "
                               "\"labelDuration_%1\" order by id")
                           .arg(table)));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), QString("工作"));
    QCOMPARE(query.value(1).toInt(), 60);
    QCOMPARE(query.value(2).toString(), QString("20261207"));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), QString("work's"));
    QCOMPARE(query.value(1).toInt(), 90);
    QVERIFY(query.next());
    QCOMPARE(query.value(1).toInt(), 0); // no label: no minutes
}

void TestDayView::labelCaptions_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("caption");
    QTest::newRow("none") << ""
                          << "类别标签";
    QTest::newRow("three") << "读书会"
                           << "标签:读书会";
    QTest::newRow("four") << "英语学习"
                          << "标签:英语学..";
    QTest::newRow("five latin") << "sport"
                                << "标签:spo..";
}

void TestDayView::labelCaptions()
{
    QFETCH(QString, label);
    QFETCH(QString, caption);
    World w;
    orvaneView view(nullptr, nullptr, QString(), QString());
    view.writeRecordLabel(2, label);
    QCOMPARE(named<QPushButton>(view, "labelButton_2")->text(), caption);
    view.drawDateSchedule(day);
    QCOMPARE(named<QPushButton>(view, "labelButton_2")->text(), caption);
    QCOMPARE(column(w.env.checkConnection(), table, "label").at(2), label);
}

void TestDayView::labelDialogChoosesAddsAndDeletes()
{
    World w;
    orvaneView view(nullptr, nullptr, QString(), QString());
    view.show();
    named<QPushButton>(view, "labelButton_0")->click();
    auto *dialog = openDialog<LabelEdit>();
    QVERIFY(dialog);
    QVERIFY(dialog->findChildren<QRadioButton *>().isEmpty());
    button(dialog, "增加")->click();
    button(dialog, "增加")->click();
    auto *second = dialog->findChild<QLineEdit *>("addLine2");
    QVERIFY(second);
    second->setText("写作计划；读书");
    button(dialog, "确定")->click();
    // "；" separates labels: the line adds two, and both are counted.
    QCOMPARE(Settings::read("planLabels").toString(), QString("写作计划；读书；"));
    QCOMPARE(Settings::read("planLabelsCount").toInt(), 2);

    Settings::write("planLabels", "A；B；C；");
    Settings::write("planLabelsCount", 3);
    named<QPushButton>(view, "labelButton_0")->click();
    dialog = openDialog<LabelEdit>();
    QList<QRadioButton *> radios = dialog->findChildren<QRadioButton *>();
    QCOMPARE(radios.size(), 3);
    radios.at(1)->click();
    QCOMPARE(named<QPushButton>(view, "labelButton_0")->text(), QString("标签:B"));
    QCOMPARE(column(w.env.checkConnection(), table, "label").first(), QString("B"));
    // Deleting the first label keeps the others in order; the record keeps its label.
    QList<QPushButton *> deletes;
    for (QPushButton *b : dialog->findChildren<QPushButton *>())
        if (b->text() == "删除")
            deletes.append(b);
    deletes.first()->click();
    QCOMPARE(Settings::read("planLabels").toString(), QString("B；C；"));
    QCOMPARE(Settings::read("planLabelsCount").toInt(), 2);
    QCOMPARE(column(w.env.checkConnection(), table, "label").first(), QString("B"));
    dialog->close();
}

void TestDayView::tooManyRecordsStopDrawing()
{
    World w;
    makeDay(w.db, table, 51, true);
    orvaneView view(nullptr, nullptr, QString(), QString());
    QVERIFY(w.prompts.messages().contains("每日计划不要超过50项。"));
    QVERIFY(named<CustomTextEdit>(view, "textEditPlan_49"));
    QVERIFY(!named<CustomTextEdit>(view, "textEditPlan_50"));
    QVERIFY(!named<QSpinBox>(view, "summaryScoreSpin_0"));
    // With the limit reached, adding is refused and nothing changes.
    view.addUntimedRecord(49, false);
    QCOMPARE(w.prompts.messages().count("每日计划不要超过50项。"), 2);
    QCOMPARE(column(w.env.checkConnection(), table, "plan").size(), 51);
}

void TestDayView::addRecords_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("above");
    QTest::addColumn<QStringList>("plans");
    QTest::addColumn<QString>("values"); // end of the logged insert
    QTest::newRow("above the first") << 0 << true << QStringList{"", "p0", "p1", "p2"}
                                     << "values(0, '00:00--00:00', '', '', '','', 100, 100, 0)";
    QTest::newRow("below the last") << 2 << false << QStringList{"p0", "p1", "p2", ""}
                                    << "values(3, '00:00--00:00', '',  '','','', 100, 100, 0)";
    QTest::newRow("below the first") << 0 << false << QStringList{"p0", "", "p1", "p2"}
                                     << "values(1, '00:00--00:00', '',  '','','', 100, 100, 0)";
}

void TestDayView::addRecords()
{
    QFETCH(int, index);
    QFETCH(bool, above);
    QFETCH(QStringList, plans);
    QFETCH(QString, values);
    World w;
    makeDay(w.db, table, 3, true);
    orvaneView view(nullptr, nullptr, QString(), QString());
    view.show();
    QList<QPushButton *> adds;
    for (QPushButton *b : view.scheduleContent()->findChildren<QPushButton *>())
        if (b->text() == "增加记录")
            adds.append(b);
    adds.at(index)->click();
    auto *dialog = openDialog<addItem>();
    QVERIFY(dialog);
    if (above)
        dialog->findChildren<QRadioButton *>().first()->setChecked(true);
    LogCapture log;
    button(dialog, "确定")->click();
    const QStringList inserts = log.startingWith("insert_table_empty is insert into ");
    QVERIFY(inserts.size() == 1 && inserts.first().endsWith(values));
    QCOMPARE(column(w.env.checkConnection(), table, "plan"), plans);
    QCOMPARE(column(w.env.checkConnection(), table, "manualIndex"),
             QStringList({"0", "1", "2", "3"}));
    // The time editors were left alone: the new record spans 00:00--00:00.
    QCOMPARE(column(w.env.checkConnection(), table, "time").at(plans.indexOf("")),
             QString("00:00--00:00"));
    QCOMPARE(view.recordCount(), 4);
}

void TestDayView::deleteRecordCloses()
{
    World w;
    makeDay(w.db, table, 5, false);
    orvaneView view(nullptr, nullptr, QString(), QString());
    view.onDeleteItemClicked(2);
    QCOMPARE(column(w.env.checkConnection(), table, "plan"), QStringList({"p0", "p1", "p3", "p4"}));
    QCOMPARE(column(w.env.checkConnection(), table, "manualIndex"),
             QStringList({"0", "1", "2", "3"}));
    QVERIFY(!named<CustomTextEdit>(view, "textEditPlan_4"));
}

void TestDayView::mergePlacements_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("with");
    QTest::addColumn<int>("place");
    QTest::addColumn<int>("option");
    QTest::addColumn<QStringList>("plans");
    QTest::newRow("place on the record, both")
        << 1 << 2 << 1 << 0 << QStringList{"p0", "p1p2", "p3", "p4"};
    QTest::newRow("place on the partner, former")
        << 3 << 1 << 1 << 1 << QStringList{"p0", "p3", "p2", "p4"};
    QTest::newRow("place elsewhere, latter")
        << 0 << 1 << 4 << 2 << QStringList{"p2", "p3", "p1", "p4"};
    QTest::newRow("place elsewhere before both")
        << 3 << 4 << 1 << 0 << QStringList{"p0", "p3p4", "p1", "p2"};
}

void TestDayView::mergePlacements()
{
    QFETCH(int, from);
    QFETCH(int, with);
    QFETCH(int, place);
    QFETCH(int, option);
    QFETCH(QStringList, plans);
    World w;
    makeDay(w.db, table, 5, true);
    orvaneView view(nullptr, nullptr, QString(), QString());
    view.mergeRecords(from, with, place, option, QTime(7, 5), QTime(8, 10));
    QCOMPARE(column(w.env.checkConnection(), table, "plan"), plans);
    QCOMPARE(column(w.env.checkConnection(), table, "manualIndex"),
             QStringList({"0", "1", "2", "3"}));
    QVERIFY(column(w.env.checkConnection(), table, "time").contains("07:05--08:10"));
    QCOMPARE(view.recordCount(), 4);
}

void TestDayView::mergeDialogKeepsEqualTimesApart()
{
    World w;
    makeDay(w.db, table, 3, true);
    // All records share one time text.
    QSqlQuery(w.db).exec(QString("update \"%1\" set time = '10:00--10:30'").arg(table));
    orvaneView view(nullptr, nullptr, QString(), QString());
    view.show();
    view.onMergeItemClicked(0);
    auto *dialog = openDialog<mergeItem>();
    QVERIFY(dialog);
    // Partner: the record right below (the first radio of the partner list).
    QList<QRadioButton *> radios = dialog->findChildren<QRadioButton *>();
    radios.at(0)->setChecked(true);
    button(dialog, "确定")->click();
    QCOMPARE(column(w.env.checkConnection(), table, "plan"), QStringList({"p0p1", "p2"}));
}

void TestDayView::heightChangeStoredAndRedrawn()
{
    World w;
    orvaneView view(nullptr, nullptr, QString(), QString());
    view.show();
    view.rowScrollArea()->verticalScrollBar()->setValue(150);
    view.updateCellHeight(3, 1, 240, 150);
    QCOMPARE(column(w.env.checkConnection(), table, "resultHeight").at(3), QString("240"));
    QCOMPARE(named<CustomTextEdit>(view, "textEditResult_3")->height(), 240);
    QCOMPARE(view.rowScrollArea()->verticalScrollBar()->value(), 150);
    view.updateCellHeight(0, 2, 333, 0);
    QCOMPARE(named<CustomTextEdit>(view, "summaryTextEdit_0")->height(), 333);
    view.updateCellHeight(0, 0, 120, 0);
    QCOMPARE(column(w.env.checkConnection(), table, "planHeight").first(), QString("120"));
}

void TestDayView::summaryValidation_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("extraTexts");
    QTest::addColumn<QString>("message");
    QTest::newRow("digit") << "1号" << 0 << "文本开头不能是数字和特殊字符。";
    QTest::newRow("book title mark") << "《书》" << 0 << "文本开头不能是数字和特殊字符。";
    QTest::newRow("too many") << "专注" << 19 << "每日小结不能超过20项。";
    QTest::newRow("blank inside") << "a b" << 0 << "";
    QTest::newRow("chinese") << "感想" << 0 << QString();
    QTest::newRow("latin") << "Notes" << 0 << QString();
}

void TestDayView::summaryValidation()
{
    QFETCH(QString, name);
    QFETCH(int, extraTexts);
    QFETCH(QString, message);
    World w;
    orvaneView view(nullptr, nullptr, QString(), QString());
    view.show();
    button(&view, "编辑今日小结")->click();
    auto *dialog = openDialog<todaySummary>();
    QVERIFY(dialog);
    for (int i = 0; i < extraTexts; ++i) {
        button(dialog, "增加文本项目")->click();
        dialog->findChild<QLineEdit *>(QString("lineEditSummaryTextAdd_%1").arg(i + 1))
            ->setText(QString("项目%1").arg(i));
    }
    button(dialog, "增加打分项目")->click();
    dialog->findChild<QLineEdit *>("lineEditSummaryScoreAdd_1")->setText(name);
    w.prompts.clear();
    button(dialog, "确定")->click();
    const QString before = "今日随笔；";
    if (message.isNull()) {
        QVERIFY(w.prompts.messages().isEmpty());
        QVERIFY(!dialog->isVisible());
        QCOMPARE(Settings::read("summary_" + table + "_Score").toString(),
                 "今日整体评价；" + name + "；");
    } else {
        QCOMPARE(w.prompts.messages().size(), 1);
        if (!message.isEmpty())
            QCOMPARE(w.prompts.messages().first(), message);
        QVERIFY(dialog->isVisible());
        QCOMPARE(Settings::read("summary_" + table + "_Text").toString(), before);
        dialog->close();
    }
}

void TestDayView::newScoreItemIsSaved()
{
    World w;
    orvaneView view(nullptr, nullptr, QString(), QString());
    named<CustomTextEdit>(view, "summaryTextEdit_0")->setPlainText("保留的随笔");
    button(&view, "保存修改")->click();
    view.applySummaryItems("今日随笔；", "今日整体评价；专注度；");
    auto *spin = named<QSpinBox>(view, "summaryScoreSpin_1");
    QVERIFY(spin);
    QCOMPARE(spin->value(), 0);
    spin->setValue(8);
    button(&view, "保存修改")->click();
    QSqlQuery query(w.env.checkConnection());
    query.exec(QString("select id, contentName, contentDetail from \"summary_%1\" order by id")
                   .arg(table));
    QStringList rows;
    while (query.next())
        rows << query.value(0).toString() + ":" + query.value(1).toString() + ":" +
                    (query.value(2).toString().contains("保留的随笔") ? "kept"
                                                                      : query.value(2).toString());
    QCOMPARE(rows, QStringList({"0:今日随笔:kept", "1:今日整体评价:0", "2:专注度:8"}));
    QCOMPARE(Settings::read("summary_" + table + "_ScoreCount").toInt(), 2);
}

void TestDayView::chooserShowsAndDeletesSchedules()
{
    World w;
    makeDay(w.db, "Day20261207空时刻表", 2, true);
    makeDay(w.db, "Day20261207周计划", 2, false);
    orvaneView view(nullptr, nullptr, QString(), QString());
    auto *chooser = openDialog<dateChangedView>();
    QVERIFY(chooser);
    QVERIFY(!view.scheduleDrawn());
    QCOMPARE(view.dayXmlTemplates(), QStringList({"空时刻表", "周计划"}));
    w.prompts.answerButton(QMessageBox::Ok);
    chooser->onSelectComoboxClicked("周计划");
    QCOMPARE(w.prompts.messages().last(), QString("确定要显示记录\"周计划\"吗？"));
    QCOMPARE(view.currentTemplate(), QString("周计划"));
    QVERIFY(named<CustomTextEdit>(view, "textEditPlan_1"));
    QVERIFY(!named<QTimeEdit>(view, "fromTime_0"));

    view.drawDateSchedule(day);
    chooser = openDialog<dateChangedView>();
    w.prompts.answerButton(QMessageBox::Cancel);
    chooser->onDeleteComoboxClicked("周计划");
    QVERIFY(chooser->isVisible());
    w.prompts.answerButton(QMessageBox::Ok);
    chooser->onDeleteComoboxClicked("周计划");
    QCOMPARE(w.prompts.messages().last(), QString("确定要删除记录\"周计划\"吗？"));
    QCOMPARE(tablesLike(w.env.checkConnection(), "%周计划%"), QStringList());
    // With one schedule left the date draws it directly.
    view.drawDateSchedule(day);
    QCOMPARE(view.currentTemplate(), QString("空时刻表"));
    QVERIFY(named<QTimeEdit>(view, "fromTime_1"));
}

void TestDayView::templateNameWithQuotesWorks()
{
    World w;
    QFile::copy(w.env.appDir() + "/MyTemplates/空任务表.xml",
                w.env.appDir() + "/MyTemplates/Tom's \"plan\".xml");
    orvaneView view(nullptr, nullptr, QString(), QString());
    view.setScheduleTemplate("Tom's \"plan\"");
    QCOMPARE(view.currentTable(), QString("Day20261207Tom's \"plan\""));
    named<CustomTextEdit>(view, "textEditPlan_0")->setPlainText("x");
    view.writeRecordLabel(0, "a'b");
    button(&view, "保存修改")->click();
    QSqlQuery query(w.env.checkConnection());
    QVERIFY(
        query.exec("select label from \"Day20261207Tom's \"\"plan\"\"\" where manualIndex = 0"));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), QString("a'b"));
}

void TestDayView::taskColumnShowsFilteredTasks()
{
    World w;
    QSqlQuery query(w.db);
    QVERIFY(query.exec(Database::createTableSql));
    for (int i = 0; i < 3; ++i)
        QVERIFY(query.exec(QString("insert into star values(%1, %1, 'task %1', '', '', '重要', "
                                   "'紧急', %2, 0, '', 90)")
                               .arg(i)
                               .arg(i * 10)));
    orvaneView view(nullptr, nullptr, " where priority > 5", " order by priority desc");
    QList<CustomTextEdit *> boxes = view.taskContent()->findChildren<CustomTextEdit *>();
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes.at(0)->toPlainText(), QString("task 2"));
    QVERIFY(boxes.at(0)->isReadOnly());
}

// Text typed into two records and not yet saved is stored before a record change redraws the
// day, wherever the change happens.
void TestDayView::typedTextSurvivesRecordChanges_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("at");
    QTest::addColumn<QStringList>("plans"); // plain texts of the stored plans afterwards
    QTest::newRow("delete the first") << "删除记录" << 0 << QStringList{"p1", "typed 2"};
    QTest::newRow("delete the middle") << "删除记录" << 1 << QStringList{"typed 0", "typed 2"};
    QTest::newRow("add below the last")
        << "增加记录" << 2 << QStringList{"typed 0", "p1", "typed 2", ""};
    // What each step of the height dialog's slider does.
    QTest::newRow("height of a plan") << "height" << 1 << QStringList{"typed 0", "p1", "typed 2"};
}

void TestDayView::typedTextSurvivesRecordChanges()
{
    QFETCH(QString, change);
    QFETCH(int, at);
    QFETCH(QStringList, plans);
    World w;
    makeDay(w.db, table, 3, true);
    orvaneView view(nullptr, nullptr, QString(), QString());
    view.show();
    named<CustomTextEdit>(view, "textEditPlan_0")->setPlainText("typed 0");
    named<CustomTextEdit>(view, "textEditPlan_2")->setPlainText("typed 2");
    QList<QPushButton *> buttons;
    for (QPushButton *b : view.scheduleContent()->findChildren<QPushButton *>())
        if (b->text() == change)
            buttons.append(b);
    if (change == "height")
        view.updateCellHeight(at, DayStore::PlanHeight, 150, 0);
    else
        buttons.at(at)->click();
    if (auto *dialog = openDialog<addItem>())
        button(dialog, "确定")->click();
    QStringList stored;
    for (const QString &html : column(w.env.checkConnection(), table, "plan")) {
        QTextDocument document;
        document.setHtml(html);
        stored.append(document.toPlainText());
    }
    QCOMPARE(stored, plans);
    QCOMPARE(w.prompts.messages(), QStringList());
}

void TestDayView::leavingADayAsks_data()
{
    QTest::addColumn<bool>("typed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<bool>("left");
    QTest::newRow("save") << true << int(QMessageBox::Save) << true << true;
    QTest::newRow("do not save") << true << int(QMessageBox::Discard) << false << true;
    QTest::newRow("cancel") << true << int(QMessageBox::Cancel) << false << false;
    QTest::newRow("nothing typed") << false << 0 << false << true;
}

void TestDayView::leavingADayAsks()
{
    QFETCH(bool, typed);
    QFETCH(int, answer);
    QFETCH(bool, stored);
    QFETCH(bool, left);
    World w;
    makeDay(w.db, table, 2, true);
    orvaneView view(nullptr, nullptr, QString(), QString());
    view.show();
    if (typed)
        named<CustomTextEdit>(view, "textEditPlan_1")->setPlainText("unsaved");
    if (answer)
        w.prompts.answerButton(QMessageBox::StandardButton(answer));
    view.dateEdit()->setDate(day.addDays(1));

    const QStringList asked = w.prompts.messages();
    QCOMPARE(asked, typed ? QStringList{"这一天的修改还没有保存，要保存吗？"} : QStringList());
    QCOMPARE(column(w.env.checkConnection(), table, "plan").at(1).contains("unsaved"), stored);
    QCOMPARE(view.date(), left ? day.addDays(1) : day);
    QCOMPARE(view.dateEdit()->date(), view.date());
    if (!left)
        QCOMPARE(named<CustomTextEdit>(view, "textEditPlan_1")->toPlainText(), QString("unsaved"));
}

// A save the database refuses (here: a trigger) says so and leaves the edits on screen, also
// when a record change asked for it; the next save writes them.
void TestDayView::failedSaveKeepsTheEdits()
{
    World w;
    makeDay(w.db, table, 3, true);
    orvaneView view(nullptr, nullptr, QString(), QString());
    view.show();
    named<CustomTextEdit>(view, "textEditPlan_1")->setPlainText("kept");
    QSqlQuery query(w.db);
    QVERIFY(query.exec("create trigger refuse before update of plan on \"" + table +
                       "\" begin select raise(abort, 'disk full'); end"));

    button(&view, "保存修改")->click();
    QList<QPushButton *> deletes;
    for (QPushButton *b : view.scheduleContent()->findChildren<QPushButton *>())
        if (b->text() == "删除记录")
            deletes.append(b);
    deletes.at(0)->click();
    const QString failed = "保存失败，这一天的内容没有改变。请稍后再试。";
    QCOMPARE(w.prompts.messages(), QStringList({failed, failed}));
    QCOMPARE(column(w.env.checkConnection(), table, "plan"), QStringList({"p0", "p1", "p2"}));
    QCOMPARE(named<CustomTextEdit>(view, "textEditPlan_1")->toPlainText(), QString("kept"));
    QVERIFY(view.hasUnsavedEdits());

    QVERIFY(query.exec("drop trigger refuse"));
    button(&view, "保存修改")->click();
    QVERIFY(column(w.env.checkConnection(), table, "plan").at(1).contains("kept"));
    QVERIFY(!view.hasUnsavedEdits());
}

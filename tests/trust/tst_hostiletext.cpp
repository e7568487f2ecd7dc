// Hostile text typed into the windows' text entry points: nothing the person typed may make a
// statement fail or run one that was not meant, and after a restart on the same database and
// settings every window shows exactly what it showed before the save, or the person was told
// why the text cannot be used.
#include "app/database.h"
#include "app/semicolonlist.h"
#include "app/settings.h"
#include "history/historyview.h"
#include "history/selectdate.h"
#include "richtext/customtextedit.h"
#include "schedule/labeledit.h"
#include "schedule/orvaneview.h"
#include "schedule/planlabels.h"
#include "schedule/templatestore.h"
#include "schedule/todaysummary.h"
#include "tasklist/groupedit.h"
#include "tasklist/groupitemcondition.h"
#include "tasklist/groupstore.h"
#include "tasklist/labelother.h"
#include "tasklist/mainview.h"
#include "tasklist/tasklabels.h"
#include "tasklist/taskstore.h"
#include "tests/support/logcapture.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"
#include "tests/support/widgetfinder.h"
#include "tests/trust/hostiletext.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTextDocument>
#include <QtTest>

#include <memory>

namespace {
const QDate day(2026, 12, 7);
const QString dayTable = QStringLiteral("Day20261207空时刻表");

void addCorpusRows()
{
    QTest::addColumn<QString>("text");
    for (const HostileText::Sample &sample : HostileText::corpus())
        QTest::newRow(sample.name) << sample.text;
}

// Whether it goes in key by key (printable ASCII, as QTest types it); anything else arrives
// as an input method or a paste delivers it, all at once.
bool typeable(const QString &text)
{
    if (text.size() > 200)
        return false;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    }
    return true;
}

void type(QLineEdit *edit, const QString &text)
{
    QVERIFY(edit);
    edit->setFocus();
    if (typeable(text))
        QTest::keyClicks(edit, text);
    else
        edit->insert(text);
}

void type(QTextEdit *edit, const QString &text)
{
    QVERIFY(edit);
    edit->setFocus();
    edit->moveCursor(QTextCursor::End);
    if (typeable(text))
        QTest::keyClicks(edit, text);
    else
        edit->insertPlainText(text);
}

// Log lines of statements or files that failed.
QStringList failures(const LogCapture &log)
{
    QStringList found;
    for (const QString &line : log.lines()) {
        if (line.contains(QLatin1String("failed"), Qt::CaseInsensitive) ||
            line.contains(QLatin1String("rolled back")))
            found.append(QString(line.left(300)).replace(QChar(0), QStringLiteral("\\0")));
    }
    return found;
}

// Every table with its row count: a statement that was not meant shows here.
QStringList schema(QSqlDatabase db)
{
    QStringList tables;
    QSqlQuery query(db);
    query.exec(QStringLiteral("select name from sqlite_master where type = 'table' order by name"));
    while (query.next()) {
        // The search index's tables follow the data; their rows are not a count of what was typed.
        const QString name = query.value(0).toString();
        if (!name.startsWith(QLatin1String("search_")))
            tables.append(name);
    }
    QStringList counted;
    for (const QString &table : tables) {
        QSqlQuery count(db);
        count.exec(QStringLiteral("select count(*) from ") + Database::quoteIdentifier(table));
        counted.append(table + QLatin1Char('=') + (count.next() ? count.value(0).toString() : "?"));
    }
    return counted;
}

QPushButton *textButton(QWidget *root, const QString &text)
{
    for (QPushButton *button : root->findChildren<QPushButton *>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QString htmlOf(const QString &plain)
{
    QTextDocument document;
    document.setPlainText(plain);
    return document.toHtml();
}

void seedTask(const QString &plain, const QString &label = QString())
{
    QSqlDatabase db;
    Database::connect(&db);
    TaskStore store(db);
    store.ensureTable();
    QVERIFY(store.insert(0));
    TaskRecord task;
    task.manualIndex = 0;
    task.content = htmlOf(plain);
    task.label = label;
    QVERIFY(store.save(task));
}

CustomTextEdit *taskEditor(MainView &view, int index = 0)
{
    return findByName<CustomTextEdit>(view.listContainer(),
                                      QStringLiteral("textEdit%1").arg(index));
}

// The texts the list shows, top to bottom: group headings and task texts.
QStringList drawnSequence(MainView &view)
{
    QStringList seen;
    auto *grid = qobject_cast<QGridLayout *>(view.listContainer()->layout());
    for (int r = 0; grid && r < grid->rowCount(); ++r) {
        QLayoutItem *item = grid->itemAtPosition(r, 1);
        QWidget *widget = item ? item->widget() : nullptr;
        if (auto *editor = qobject_cast<CustomTextEdit *>(widget))
            seen.append(editor->toPlainText());
        else if (auto *label = qobject_cast<QLabel *>(widget))
            seen.append(label->text());
    }
    return seen;
}

template <class T> T *openWindow(QObject *root)
{
    for (T *window : root->findChildren<T *>()) {
        if (window->isVisible())
            return window;
    }
    return nullptr;
}

// The day view over the environment's database, as the program opens it.
std::unique_ptr<orvaneView> openDay()
{
    auto view = std::make_unique<orvaneView>(nullptr, nullptr, QString(), QString());
    view->show();
    return view;
}

template <class T> T *dayWidget(orvaneView &view, const QString &name)
{
    return view.scheduleContent()->findChild<T *>(name);
}

// The program closed and started again on the same files.
void restart()
{
    settle();
    TestEnvironment::dropProgramConnection();
}
} // namespace

class TestHostileText : public QObject {
    Q_OBJECT

private slots:
    void taskContent_data() { addCorpusRows(); }
    void taskContent()
    {
        QFETCH(QString, text);
        TestEnvironment env;
        seedTask(QStringLiteral("seed"));
        QString shown;
        {
            MainView view;
            view.show();
            PromptScript prompts;
            LogCapture log;
            CustomTextEdit *editor = taskEditor(view);
            QVERIFY(editor);
            editor->clear();
            type(editor, text);
            shown = editor->toPlainText();
            textButton(&view, "保存")->click();
            QVERIFY2(failures(log).isEmpty(), qPrintable(failures(log).join(" | ")));
            QCOMPARE(prompts.messages(), QStringList());
            QCOMPARE(schema(env.checkConnection()), QStringList{"star=1"});
        }
        restart();
        MainView again;
        QCOMPARE(taskEditor(again)->toPlainText(), shown);
    }

    // Task labels typed in "其它..." come back as the label list of every task.
    void taskLabelNames_data() { addCorpusRows(); }
    void taskLabelNames()
    {
        QFETCH(QString, text);
        TestEnvironment env;
        seedTask(QStringLiteral("seed"));
        QString shown;
        {
            MainView view;
            view.show();
            LogCapture log;
            view.onLabelOtherButtonClicked(0);
            auto *other = findTopLevel<LabelOther>();
            QVERIFY(other);
            if (!findByName<QLineEdit>(other, "lineEditOther1")) {
                // No label yet: the first line comes with "增加".
                textButton(other, "增加")->click();
                settle();
            }
            auto *line = findByName<QLineEdit>(other, "lineEditOther1");
            QVERIFY(line);
            type(line, text);
            shown = line->text();
            textButton(other, "确定")->click();
            settle();
            QVERIFY2(failures(log).isEmpty(), qPrintable(failures(log).join(" | ")));
        }
        restart();
        // "；" separates labels, and an emptied line is dropped.
        const QStringList expected = SemicolonList::split(SemicolonList::join({shown}), false);
        QCOMPARE(SemicolonList::split(TaskLabels::text(), false),
                 shown.isEmpty() ? QStringList() : expected);
        QCOMPARE(TaskLabels::count(), shown.isEmpty() ? 0 : expected.size());
    }

    // Keywords and label texts of the filter find the task that holds them as typed.
    void filterTexts_data() { addCorpusRows(); }
    void filterTexts()
    {
        QFETCH(QString, text);
        for (const char *edit : {"keyWordsEdit", "labelsEdit"}) {
            TestEnvironment env;
            const bool byLabel = QLatin1String(edit) == QLatin1String("labelsEdit");
            seedTask(byLabel ? QStringLiteral("labelled") : text,
                     byLabel ? text + SemicolonList::separator : QString());
            MainView view;
            view.show();
            PromptScript prompts;
            LogCapture log;
            const QStringList before = drawnSequence(view);
            if (byLabel)
                findByName<QComboBox>(&view, "filterLabelsCombo")->setCurrentIndex(0);
            auto *line = findByName<QLineEdit>(&view, edit);
            type(line, text);
            QPushButton *apply = findByName<QPushButton>(&view, "filterApplyButton");
            if (line->text().isEmpty()) {
                // Nothing to filter by: nothing to apply.
                QVERIFY(!apply->isEnabled() || (apply->click(), drawnSequence(view) == before));
            } else {
                QVERIFY(apply->isEnabled());
                apply->click();
                QVERIFY2(failures(log).isEmpty(), qPrintable(failures(log).join(" | ")));
                QCOMPARE(drawnSequence(view), before);
            }
            QCOMPARE(prompts.messages(), QStringList());
        }
    }

    // Group names and the keywords of a group's condition, stored, restarted and applied.
    void groupNameAndCondition_data() { addCorpusRows(); }
    void groupNameAndCondition()
    {
        QFETCH(QString, text);
        TestEnvironment env;
        seedTask(text);
        QString name;
        QString keywords;
        {
            MainView view;
            view.show();
            PromptScript prompts;
            LogCapture log;
            textButton(&view, "查看分组")->click();
            auto *edit = openWindow<GroupEdit>(&view);
            QVERIFY(edit);
            textButton(edit, "增加分组")->click();
            settle();
            type(findByName<QLineEdit>(edit, "groupName_0"), text);
            name = findByName<QLineEdit>(edit, "groupName_0")->text();
            findByName<QPushButton>(edit, "groupEditButton_0")->click();
            auto *condition = openWindow<GroupItemCondition>(edit);
            QVERIFY(condition);
            type(findByName<QLineEdit>(condition, "keyWordsEdit"), text);
            keywords = findByName<QLineEdit>(condition, "keyWordsEdit")->text();
            textButton(condition, "确定")->click();
            settle();
            textButton(edit, "确定")->click();
            settle();
            QVERIFY2(failures(log).isEmpty(), qPrintable(failures(log).join(" | ")));
        }
        restart();
        QCOMPARE(GroupStore::count(), 1);
        QCOMPARE(GroupStore::groups().at(0).name, name);
        QCOMPARE(GroupStore::state(0).value("keyWordsEditText").toString(), keywords);
        MainView view;
        view.show();
        PromptScript prompts;
        LogCapture log;
        view.onGroupApplyButtonClicked();
        QVERIFY2(failures(log).isEmpty(), qPrintable(failures(log).join(" | ")));
        const QStringList drawn = drawnSequence(view);
        // The task is under its group, whose heading carries the typed name, unless the
        // condition was empty and selects nothing.
        QTextDocument seeded;
        seeded.setHtml(htmlOf(text));
        const int task = drawn.indexOf(seeded.toPlainText());
        QVERIFY2(task >= 0, qPrintable(drawn.join(QLatin1Char('|')).left(300)));
        if (!keywords.isEmpty())
            QVERIFY(drawn.at(task - 1).contains(name));
    }

    // Plans, results and the summary text of a day, saved and opened again.
    void dayTexts_data() { addCorpusRows(); }
    void dayTexts()
    {
        QFETCH(QString, text);
        TestEnvironment env(QRect(0, 0, 1920, 1040), day);
        PromptScript prompts;
        const QStringList boxes = {"textEditPlan_0", "textEditResult_1", "summaryTextEdit_0"};
        QStringList shown;
        {
            auto view = openDay();
            prompts.clear();
            LogCapture log;
            for (const QString &name : boxes) {
                auto *box = dayWidget<CustomTextEdit>(*view, name);
                type(box, text);
                shown.append(box->toPlainText());
            }
            textButton(view.get(), "保存修改")->click();
            QVERIFY2(failures(log).isEmpty(), qPrintable(failures(log).join(" | ")));
            QCOMPARE(prompts.messages(), QStringList());
        }
        restart();
        auto view = openDay();
        for (int i = 0; i < boxes.size(); ++i)
            QCOMPARE(dayWidget<CustomTextEdit>(*view, boxes.at(i))->toPlainText(), shown.at(i));
    }

    // A plan label typed in the label dialog, chosen for a record, and shown on its button.
    void planLabels_data() { addCorpusRows(); }
    void planLabels()
    {
        QFETCH(QString, text);
        TestEnvironment env(QRect(0, 0, 1920, 1040), day);
        PromptScript prompts;
        QString typed;
        {
            auto view = openDay();
            LogCapture log;
            dayWidget<QPushButton>(*view, "labelButton_0")->click();
            auto *dialog = findTopLevel<LabelEdit>();
            QVERIFY(dialog);
            textButton(dialog, "增加")->click();
            settle();
            type(dialog->findChild<QLineEdit *>("addLine1"), text);
            typed = dialog->findChild<QLineEdit *>("addLine1")->text();
            textButton(dialog, "确定")->click();
            settle();
            const QStringList labels = PlanLabels::list();
            if (!labels.isEmpty()) {
                dayWidget<QPushButton>(*view, "labelButton_0")->click();
                dialog = findTopLevel<LabelEdit>();
                QVERIFY(dialog);
                QList<QRadioButton *> radios = dialog->findChildren<QRadioButton *>();
                QCOMPARE(radios.size(), labels.size());
                radios.first()->click();
                dialog->close();
            }
            textButton(view.get(), "保存修改")->click();
            QVERIFY2(failures(log).isEmpty(), qPrintable(failures(log).join(" | ")));
        }
        restart();
        const QStringList expected = SemicolonList::split(SemicolonList::join({typed}), false);
        QCOMPARE(PlanLabels::list(), typed.isEmpty() ? QStringList() : expected);
        auto view = openDay();
        const QString caption = dayWidget<QPushButton>(*view, "labelButton_0")->text();
        QCOMPARE(caption, expected.isEmpty() ? PlanLabels::placeholder
                                             : PlanLabels::caption(expected.first()));
        QCOMPARE(view->readRecordLabel(0), expected.isEmpty() ? QString() : expected.first());
    }

    // A summary item name is used, or refused with a message and the dialog kept open.
    void summaryItemNames_data() { addCorpusRows(); }
    void summaryItemNames()
    {
        QFETCH(QString, text);
        TestEnvironment env(QRect(0, 0, 1920, 1040), day);
        PromptScript prompts;
        QString typed;
        bool refused = false;
        {
            auto view = openDay();
            prompts.clear();
            LogCapture log;
            textButton(view.get(), "编辑今日小结")->click();
            auto *dialog = findTopLevel<todaySummary>();
            QVERIFY(dialog);
            textButton(dialog, "增加文本项目")->click();
            auto *line = dialog->findChild<QLineEdit *>("lineEditSummaryTextAdd_1");
            type(line, text);
            typed = line->text();
            QPointer<todaySummary> open(dialog);
            textButton(dialog, "确定")->click();
            settle();
            refused = open && open->isVisible();
            QVERIFY2(failures(log).isEmpty(), qPrintable(failures(log).join(" | ")));
            if (refused) {
                QCOMPARE(prompts.messages().size(), 1);
                open->close();
            } else if (!typed.trimmed().isEmpty()) {
                type(dayWidget<CustomTextEdit>(*view, "summaryTextEdit_1"), QStringLiteral("t"));
                textButton(view.get(), "保存修改")->click();
                QVERIFY2(failures(log).isEmpty(), qPrintable(failures(log).join(" | ")));
            }
        }
        restart();
        auto view = openDay();
        const QString names = view->readSummaryNames(0);
        if (refused || typed.trimmed().isEmpty()) {
            // Refused, or nothing to name an item by: no item was added.
            QVERIFY(!dayWidget<CustomTextEdit>(*view, "summaryTextEdit_1"));
        } else {
            QCOMPARE(SemicolonList::split(names, false).last(), typed.trimmed());
            QCOMPARE(dayWidget<CustomTextEdit>(*view, "summaryTextEdit_1")->toPlainText(),
                     QString("t"));
        }
    }

    // The date dialog of "历史记录": its two line edits take any text; what is not a date must
    // not reach a statement as one.
    void dateDialogLineEdits_data() { addCorpusRows(); }
    void dateDialogLineEdits()
    {
        QFETCH(QString, text);
        TestEnvironment env(QRect(0, 0, 1920, 1040), day);
        PromptScript prompts;
        auto view = openDay();
        type(dayWidget<CustomTextEdit>(*view, "textEditPlan_0"), QStringLiteral("plan"));
        textButton(view.get(), "保存修改")->click();
        prompts.clear();
        for (const char *name : {"startLineEdit", "stopLineEdit"}) {
            LogCapture log;
            textButton(view.get(), "历史记录")->click();
            auto *dialog = findTopLevel<selectDate>();
            QVERIFY(dialog);
            auto *edit = findByName<QLineEdit>(dialog, name);
            edit->clear();
            type(edit, text);
            findByName<QPushButton>(dialog, "okButton")->click();
            settle();
            QVERIFY2(failures(log).isEmpty(), qPrintable(failures(log).join(" | ")));
            if (historyView *history = historyView::current()) {
                history->close();
                settle();
            }
            view->show();
        }
    }

    // "另存为模板": the name is a file name; one that cannot be says so.
    void templateSaveAsName_data() { addCorpusRows(); }
    void templateSaveAsName()
    {
        QFETCH(QString, text);
        TestEnvironment env(QRect(0, 0, 1920, 1040), day);
        PromptScript prompts;
        auto view = openDay();
        type(dayWidget<CustomTextEdit>(*view, "textEditPlan_0"), QStringLiteral("plan"));
        textButton(view.get(), "保存修改")->click();
        prompts.clear();
        LogCapture log;
        prompts.answerText(text);
        view->onSaveAsTemplateButtClicked();
        const QStringList templates = TemplateStore::xmlTemplateNames();
        if (text.isEmpty()) {
            QCOMPARE(prompts.messages(), QStringList());
        } else if (templates.contains(text)) {
            QCOMPARE(prompts.messages(), QStringList());
            QVERIFY2(failures(log).isEmpty(), qPrintable(failures(log).join(" | ")));
            // A day made from it has the saved plan.
            restart();
            auto again = openDay();
            again->setScheduleTemplate(text);
            QCOMPARE(again->currentTemplate(), text);
            QCOMPARE(dayWidget<CustomTextEdit>(*again, "textEditPlan_0")->toPlainText(),
                     QString("plan"));
        } else {
            QCOMPARE(prompts.messages(), QStringList{"模板文件创建失败！请重命名文件。"});
        }
    }
};

QTEST_MAIN(TestHostileText)
#include "tst_hostiletext.moc"

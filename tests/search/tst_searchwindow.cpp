// The search window driven through its widgets: reached with Ctrl+Shift+F from the task list and
// the day view, the results listed, and a result opened where it was written.
#include "app/database.h"
#include "app/sql.h"
#include "schedule/dayactions.h"
#include "schedule/orvaneview.h"
#include "schedule/templatestore.h"
#include "search/excelcells.h"
#include "search/searchwindow.h"
#include "tasklist/mainview.h"
#include "tasklist/taskstore.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"
#include "xlsx/document.h"

#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextEdit>
#include <QtTest>

namespace {
const QDate oldDay(2023, 12, 5);
const QString oldTable = QStringLiteral("Day20231205空时刻表");

void seedTasks(int count, int special, const QString &text)
{
    QSqlDatabase db;
    Database::connect(&db);
    TaskStore store(db);
    store.ensureTable();
    for (int i = 0; i < count; ++i) {
        store.insert(i);
        TaskRecord task;
        task.id = i;
        task.manualIndex = i;
        task.content = i == special ? text : QStringLiteral("task %1").arg(i);
        task.importance = QStringLiteral("重要");
        task.emergency = QStringLiteral("紧急");
        store.save(task);
    }
}

// The old day made from the built-in time table, its eighth record planned.
void seedOldDay()
{
    QSqlDatabase db;
    Database::connect(&db);
    TemplateStore::createBuiltInTemplates();
    DayActions actions(db);
    actions.openSchedule(oldTable, nullptr);
    DayEdits edits;
    for (int i = 0; i < 9; ++i) {
        DayRecordEdit record;
        record.timed = true;
        record.start = QStringLiteral("%1:00").arg(9 + i, 2, 10, QLatin1Char('0'));
        record.end = QStringLiteral("%1:00").arg(10 + i, 2, 10, QLatin1Char('0'));
        record.plan = i == 7 ? QStringLiteral("去图书馆还书") : QString();
        record.planHeight = 300;
        record.labelCaption = QStringLiteral("类别标签");
        edits.records.append(record);
    }
    QVERIFY(actions.saveDay(oldTable, oldDay, edits));
}

// A date's Excel schedule as the editor leaves it: the registry and the workbook copy.
void seedExcelDay()
{
    QDir().mkpath(QStringLiteral("ExcelDB"));
    QXlsx::Document book;
    book.write(1, 1, QStringLiteral("周一"));
    book.write(3, 2, QStringLiteral("复习线性代数"));
    QVERIFY(book.saveAs(QStringLiteral("ExcelDB/Day20261201周计划.xlsx")));
    QSqlDatabase db;
    Database::connect(&db);
    QVERIFY(Sql::run(db, "create table \"Excel_Day20261201周计划\"(id int PRIMARY KEY, path TEXT)",
                     "create"));
    QVERIFY(Sql::run(db,
                     "insert into \"Excel_Day20261201周计划\" values(0, "
                     "'ExcelDB/Day20261201周计划.xlsx')",
                     "insert"));
}

SearchWindow *search(QWidget *from, const QString &text)
{
    // The shortcut belongs to the window the person is in.
    QApplication::setActiveWindow(from->window());
    if (!QTest::qWaitForWindowActive(from->window()))
        return nullptr;
    QTest::keyClick(from, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    auto *window = from->window()->findChild<SearchWindow *>();
    if (!window) {
        if (auto *day = qobject_cast<orvaneView *>(from))
            window = day->mainView()->findChild<SearchWindow *>();
    }
    if (!window)
        return nullptr;
    window->textEdit()->setText(text);
    QTest::keyClick(window->textEdit(), Qt::Key_Return);
    return window;
}

QStringList column(QTableWidget *table, int c)
{
    QStringList out;
    for (int r = 0; r < table->rowCount(); ++r)
        out.append(table->item(r, c)->text());
    return out;
}

bool inView(QScrollArea *area, QWidget *widget)
{
    const QRect shown(widget->mapTo(area->viewport(), QPoint(0, 0)), widget->size());
    return area->viewport()->rect().intersects(shown);
}
} // namespace

class TestSearchWindow : public QObject {
    Q_OBJECT

private slots:
    void openedFromBothWindows()
    {
        TestEnvironment env;
        PromptScript prompts;
        MainView main;
        main.show();
        SearchWindow *fromList = search(&main, QStringLiteral("x"));
        QVERIFY(fromList);
        QVERIFY(fromList->isVisible());
        fromList->close();
        main.onViewButtonClicked();
        orvaneView *day = main.dayView();
        QVERIFY(day && day->isVisible());
        const QRect dateEditPlace = day->dateEdit()->geometry();
        QCOMPARE(search(day, QStringLiteral("x")), fromList);
        QVERIFY(fromList->isVisible());
        QCOMPARE(day->dateEdit()->geometry(), dateEditPlace);
    }

    void listsPlacesWithHighlight()
    {
        TestEnvironment env;
        PromptScript prompts;
        seedTasks(3, 1, QStringLiteral("<p>比较 a&lt;b 和 还书</p>"));
        seedOldDay();
        MainView main;
        main.show();
        SearchWindow *window = search(&main, QStringLiteral("还书"));
        QVERIFY(window);
        QCOMPARE(column(window->resultTable(), 0), (QStringList{"清单", "2023.12.05"}));
        QCOMPARE(column(window->resultTable(), 1),
                 (QStringList{"任务内容", "记录计划（空时刻表）"}));
        auto *snippet = qobject_cast<QLabel *>(window->resultTable()->cellWidget(0, 2));
        QVERIFY(snippet);
        // The typed "<" stays text; only the match is marked.
        QVERIFY(snippet->text().contains("a&lt;b"));
        QVERIFY(snippet->text().contains("font-weight:600;\">还书</span>"));

        window->textEdit()->setText(QStringLiteral("没有写过"));
        QTest::keyClick(window->textEdit(), Qt::Key_Return);
        QCOMPARE(window->resultTable()->rowCount(), 0);
        QCOMPARE(window->statusLabel()->text(), QStringLiteral("没有找到“没有写过”。"));
    }

    void taskOpensInList()
    {
        TestEnvironment env;
        PromptScript prompts;
        seedTasks(30, 26, QStringLiteral("<p>续签护照</p>"));
        MainView main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        SearchWindow *window = search(&main, QStringLiteral("护照"));
        QVERIFY(window);
        QCOMPARE(window->resultTable()->rowCount(), 1);
        window->onResultActivated(0);
        auto *editor = main.listContainer()->findChild<QTextEdit *>("textEdit26");
        QVERIFY(editor);
        QTRY_VERIFY(inView(main.scrollArea(), editor));
        QVERIFY(main.scrollArea()->verticalScrollBar()->value() > 0);
        QCOMPARE(editor->textCursor().selectedText(), QStringLiteral("护照"));
    }

    void dayOpensAtDateWithRecord()
    {
        TestEnvironment env;
        PromptScript prompts;
        seedTasks(1, -1, QString());
        seedOldDay();
        MainView main;
        main.show();
        SearchWindow *window = search(&main, QStringLiteral("图书馆"));
        QVERIFY(window);
        QCOMPARE(window->resultTable()->rowCount(), 1);
        window->onResultActivated(0);
        orvaneView *day = main.dayView();
        QVERIFY(day && day->isVisible());
        QCOMPARE(day->date(), oldDay);
        QCOMPARE(day->dateEdit()->date(), oldDay);
        QCOMPARE(day->currentTable(), oldTable);
        auto *plan = day->scheduleContent()->findChild<QTextEdit *>("textEditPlan_7");
        QVERIFY(plan);
        QTRY_VERIFY(inView(day->rowScrollArea(), plan));
        QCOMPARE(plan->textCursor().selectedText(), QStringLiteral("图书馆"));

        // From the day view back to a task: the list comes back.
        window->textEdit()->setText(QStringLiteral("task 0"));
        QTest::keyClick(window->textEdit(), Qt::Key_Return);
        QCOMPARE(window->resultTable()->rowCount(), 1);
        window->onResultActivated(0);
        QVERIFY(main.isVisible());
        QVERIFY(!day->isVisible());
    }

    // The cells of a real workbook: read at the first start, and again after the editor saves.
    void excelCells()
    {
        TestEnvironment env;
        PromptScript prompts;
        seedExcelDay();
        MainView main;
        main.show();
        SearchWindow *window = search(&main, QStringLiteral("线性代数"));
        QVERIFY(window);
        QCOMPARE(column(window->resultTable(), 0), QStringList{"2026.12.01"});
        QCOMPARE(column(window->resultTable(), 1), QStringList{"Excel B3（周计划）"});

        QXlsx::Document book(QStringLiteral("ExcelDB/Day20261201周计划.xlsx"));
        book.write(3, 2, QStringLiteral("整理书架"));
        QVERIFY(book.save());
        ExcelCells::indexSavedCopy(QStringLiteral("ExcelDB/Day20261201周计划.xlsx"), book);
        QTest::keyClick(window->textEdit(), Qt::Key_Return);
        QCOMPARE(window->resultTable()->rowCount(), 0);
        window->textEdit()->setText(QStringLiteral("书架"));
        QTest::keyClick(window->textEdit(), Qt::Key_Return);
        QCOMPARE(window->resultTable()->rowCount(), 1);

        // A workbook that is no date's schedule (a template) is not indexed.
        QXlsx::Document other;
        other.write(1, 1, QStringLiteral("模板里的字"));
        ExcelCells::indexSavedCopy(env.appDir() + QStringLiteral("/MyTemplates/Excel/a.xlsx"),
                                   other);
        window->textEdit()->setText(QStringLiteral("模板里的字"));
        QTest::keyClick(window->textEdit(), Qt::Key_Return);
        QCOMPARE(window->resultTable()->rowCount(), 0);
    }
};

QTEST_MAIN(TestSearchWindow)
#include "tst_searchwindow.moc"

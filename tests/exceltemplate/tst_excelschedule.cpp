// A date's Excel schedule through the day view: chosen from a template, filled in the editor,
// saved, found again; listed and deleted in the chooser; workbooks imported as templates.
#include "tests/exceltemplate/tst_excelschedule.h"

#include "app/database.h"
#include "exceltemplate/exceltemplate.h"
#include "schedule/datechangedview.h"
#include "schedule/orvaneview.h"
#include "schedule/templatestore.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"
#include "tests/support/widgetfinder.h"
#include "xlsx/document.h"

#include <QComboBox>
#include <QSqlQuery>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

namespace {

const QDate day(2026, 12, 7);
const QString copyPath = QStringLiteral("ExcelDB/Day20261207日计划.xlsx");

struct World {
    TestEnvironment env{QRect(0, 0, 1920, 1040), day};
    PromptScript prompts;
    QSqlDatabase db;
    World()
    {
        Database::connect(&db);
        TemplateStore::createBuiltInTemplates();
        TemplateStore::ensureTemplateDirs();
        QXlsx::Document plan;
        plan.write(1, 1, QStringLiteral("上午"));
        plan.saveAs(TemplateStore::excelTemplatePath(QStringLiteral("日计划")));
    }
};

// The editor the view opened last; it is closed (and so deleted) by the caller.
ExcelTemplate *openedEditor()
{
    return findTopLevel<ExcelTemplate>();
}

QString cellText(ExcelTemplate *editor, int row, int column)
{
    const QTableWidgetItem *item = findByName<QTableWidget>(editor, "excelGrid")->item(row, column);
    return item ? item->text() : QString();
}

QStringList registryPaths(QSqlDatabase db, const QString &registry)
{
    QSqlQuery query(db);
    QStringList paths;
    if (query.exec(QStringLiteral("select path from \"%1\"").arg(registry))) {
        while (query.next())
            paths.append(query.value(0).toString());
    }
    return paths;
}

} // namespace

void TestExcelSchedule::scheduleFilledSavedAndFoundAgain()
{
    World w;
    TemplateStore::setDefaultTemplate("无");
    orvaneView view(nullptr, nullptr, QString(), QString());
    QVERIFY(!openedEditor());

    view.setScheduleTemplate("日计划");
    ExcelTemplate *editor = openedEditor();
    QVERIFY(editor);
    QCOMPARE(editor->path(), copyPath);
    QCOMPARE(registryPaths(w.env.checkConnection(), "Excel_Day20261207日计划"),
             QStringList{copyPath});
    QCOMPARE(cellText(editor, 0, 0), QString("上午"));
    findByName<QTableWidget>(editor, "excelGrid")->setItem(0, 1, new QTableWidgetItem("写报告"));
    findByName<QToolButton>(editor, "saveButton")->click();
    QVERIFY(editor->close());
    QVERIFY(w.prompts.messages().isEmpty());
    // The template itself is not touched by the date's edits.
    QVERIFY(!QXlsx::Document(TemplateStore::excelTemplatePath("日计划")).cellAt(1, 2));

    // The date's only schedule is its workbook, so drawing the date opens it with the edits.
    view.drawDateSchedule(day.addDays(1));
    QVERIFY(!openedEditor());
    view.drawDateSchedule(day);
    editor = openedEditor();
    QVERIFY(editor);
    QCOMPARE(cellText(editor, 0, 1), QString("写报告"));
    QVERIFY(editor->close());
}

void TestExcelSchedule::chooserShowsAndDeletesExcelSchedules()
{
    World w;
    orvaneView view(nullptr, nullptr, QString(), QString()); // today gets the time table
    // A time table without any text would count as no schedule at all.
    QVERIFY(QSqlQuery(w.db).exec(
        "update \"Day20261207空时刻表\" set plan = '早会' where manualIndex = 0"));
    view.setScheduleTemplate("日计划");
    QVERIFY(openedEditor()->close());

    view.drawDateSchedule(day);
    QCOMPARE(view.dayExcelTemplates(), QStringList{"日计划"});
    auto *chooser = findTopLevel<dateChangedView>();
    QVERIFY(chooser);
    const QList<QComboBox *> boxes = chooser->findChildren<QComboBox *>();
    QVERIFY(!boxes.isEmpty());
    for (const QComboBox *box : boxes) {
        QCOMPARE(box->count(), 2);
        QCOMPARE(box->itemText(0), QString("空时刻表"));
        QCOMPARE(box->itemText(1), QString("日计划"));
        QVERIFY(box->itemIcon(0).isNull());
        QVERIFY(!box->itemIcon(1).isNull());
    }
    w.prompts.answerButton(QMessageBox::Ok);
    chooser->onSelectComoboxClicked("日计划");
    ExcelTemplate *editor = openedEditor();
    QVERIFY(editor);
    QCOMPARE(editor->path(), copyPath);
    QVERIFY(editor->close());

    view.drawDateSchedule(day);
    chooser = findTopLevel<dateChangedView>();
    QVERIFY(chooser);
    w.prompts.answerButton(QMessageBox::Ok);
    chooser->onDeleteComoboxClicked("日计划");
    QCOMPARE(w.prompts.messages().last(), QString("确定要删除记录\"日计划\"吗？"));
    QVERIFY(!QFile::exists(w.env.workDir() + "/" + copyPath));
    QVERIFY(registryPaths(w.env.checkConnection(), "Excel_Day20261207日计划").isEmpty());
    QVERIFY(view.dayExcelTemplates().isEmpty());
    QVERIFY(QFile::exists(TemplateStore::excelTemplatePath("日计划")));
}

void TestExcelSchedule::importedWorkbookBecomesTemplate()
{
    World w;
    const QString outside = w.env.workDir() + "/a.xlsx";
    QXlsx::Document book;
    book.write(1, 1, QStringLiteral("外部"));
    QVERIFY(book.saveAs(outside));
    orvaneView view(nullptr, nullptr, QString(), QString());

    w.prompts.answerText(outside);
    view.onExportInTemplateButtClicked();
    QVERIFY(TemplateStore::excelTemplateNames().contains("Excel_a"));
    QVERIFY(view.templateComboBox()->findText("Excel_a") >= 0);
    // The editor works on the imported template, not on the file it came from.
    ExcelTemplate *editor = openedEditor();
    QVERIFY(editor);
    QCOMPARE(editor->path(), TemplateStore::excelTemplatePath("Excel_a"));
    QCOMPARE(cellText(editor, 0, 0), QString("外部"));
    QVERIFY(editor->close());
}

#include "richtext/customtextedit.h"
#include "richtext/listchoice.h"
#include "richtext/tableedit.h"
#include "richtext/tableoption.h"
#include "tests/richtext/richtesthelpers.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

namespace {
// A 3 x 3 table whose cells say where they started: "r1c2" and so on.
const QString gridHtml = QStringLiteral("<table><tr><td>r0c0</td><td>r0c1</td><td>r0c2</td></tr>"
                                        "<tr><td>r1c0</td><td>r1c1</td><td>r1c2</td></tr>"
                                        "<tr><td>r2c0</td><td>r2c1</td><td>r2c2</td></tr></table>");

QTextTable *firstTable(CustomTextEdit *box)
{
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        if (QTextTable *table = cursor.currentTable())
            return table;
    }
    return nullptr;
}

// The table as rows of "|"-joined cell texts; a place covered by a merged cell reads "^".
QStringList tableRows(QTextTable *table)
{
    QStringList rows;
    for (int r = 0; r < table->rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() != r || cell.column() != c) {
                cells.append(QStringLiteral("^"));
                continue;
            }
            QTextCursor text = cell.firstCursorPosition();
            text.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            cells.append(text.selectedText());
        }
        rows.append(cells.join(QLatin1Char('|')));
    }
    return rows;
}

// Clicks a check box on its indicator: a click beside a short text misses the box.
void clickOn(QCheckBox *box)
{
    QVERIFY(box);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(8, box->height() / 2));
}

void clickCheck(QWidget *window, const QString &text)
{
    const auto boxes = window->findChildren<QCheckBox *>();
    for (QCheckBox *box : boxes) {
        if (box->text() == text) {
            clickOn(box);
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no check box ") + text));
}

// Opens a dialog of the insert submenu with the mouse, as a person would.
void insertFromMenu(CustomTextEdit *box, const QString &entry)
{
    answerNextMenu(QStringLiteral("插入..."), nullptr, [entry] { answerNextMenu(entry); });
    openContextMenu(box, box->cursorRect().center());
}
} // namespace

class TestStructures : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { closeAllWindows(); }

    void tableOptionInsertsTable_data();
    void tableOptionInsertsTable();
    void tableOptionCancelInsertsNothing();
    void tableEditSteps_data();
    void tableEditSteps();
    void tableEditChecksExcludeEachOther();
    void listChoiceInsertsList_data();
    void listChoiceInsertsList();
};

void TestStructures::tableOptionInsertsTable_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QStringList>("checks");
    QTest::addColumn<QColor>("border"); // invalid: no colour chosen
    QTest::addColumn<int>("alignment");

    QTest::newRow("defaults") << 3 << 3 << QStringList() << QColor() << int(Qt::AlignLeft);
    QTest::newRow("centred at the bottom")
        << 2 << 4 << QStringList{"水平居中", "下对齐"} << QColor() << int(Qt::AlignHCenter);
    QTest::newRow("right, then left again")
        << 1 << 1 << QStringList{"右对齐", "左对齐", "垂直居中"} << QColor() << int(Qt::AlignLeft);
    QTest::newRow("justified, red border")
        << 4 << 2 << QStringList{"两端对齐"} << QColor(255, 0, 0) << int(Qt::AlignJustify);
}

void TestStructures::tableOptionInsertsTable()
{
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QStringList, checks);
    QFETCH(QColor, border);
    QFETCH(int, alignment);

    TestEnvironment env;
    PromptScript prompts;
    auto box = taskBox(nullptr, QStringLiteral("<p>above</p>"));
    placeCursor(box.get(), 5);
    insertFromMenu(box.get(), QStringLiteral("表格"));
    auto *dialog = openPopup<TableOption>();
    QVERIFY(dialog);

    findByName<QSpinBox>(dialog, QStringLiteral("rowCount"))->setValue(rows);
    findByName<QSpinBox>(dialog, QStringLiteral("columnCount"))->setValue(columns);
    for (const QString &check : checks)
        clickCheck(dialog, check);
    auto *colorButton = findByName<QPushButton>(dialog, QStringLiteral("colorButton"));
    if (border.isValid()) {
        prompts.answerColor(border);
        QTest::mouseClick(colorButton, Qt::LeftButton);
        QCOMPARE(colorButton->styleSheet(), QStringLiteral("background-color:") + border.name());
    }
    // Only one box of each group stays checked.
    int checked = 0;
    for (QCheckBox *check : dialog->findChildren<QCheckBox *>())
        checked += check->isChecked() ? 1 : 0;
    QCOMPARE(checked, 2);
    clickButton(dialog, QStringLiteral("确定"));
    QCOMPARE(openWindowCount("TableOption"), 0);

    QTextTable *table = firstTable(box.get());
    QVERIFY(table);
    QCOMPARE(table->rows(), rows);
    QCOMPARE(table->columns(), columns);
    const QTextTableFormat format = table->format();
    QCOMPARE(int(format.alignment() & Qt::AlignHorizontal_Mask), alignment);
    if (border.isValid())
        QCOMPARE(format.borderBrush().color(), border);
    // The table survives the owner's save and reload.
    const QString html = box->toHtml();
    box->setHtml(html);
    QTextTable *reloaded = firstTable(box.get());
    QVERIFY(reloaded);
    QCOMPARE(reloaded->rows(), rows);
    if (border.isValid())
        QCOMPARE(reloaded->format().borderBrush().color(), border);
}

void TestStructures::tableOptionCancelInsertsNothing()
{
    TestEnvironment env;
    auto box = taskBox(nullptr, QStringLiteral("<p>above</p>"));
    insertFromMenu(box.get(), QStringLiteral("表格"));
    auto *dialog = openPopup<TableOption>();
    QVERIFY(dialog);
    clickButton(dialog, QStringLiteral("取消"));
    QCOMPARE(openWindowCount("TableOption"), 0);
    QVERIFY(!firstTable(box.get()));
}

void TestStructures::tableEditSteps_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("from"); // cell text where the selection starts
    QTest::addColumn<QString>("to");   // cell text where the cursor ends
    QTest::addColumn<QVariantMap>("spins");
    QTest::addColumn<QString>("check"); // object name of the check box, empty for none
    QTest::addColumn<QStringList>("expected");

    const QString mergedHtml =
        QStringLiteral("<table><tr><td colspan='2'>wide</td><td>x</td></tr><tr><td>a</td><td>b</td>"
                       "<td>c</td></tr></table>");
    QTest::newRow("insert two rows, then delete the cursor's row")
        << gridHtml << "r1c1"
        << "r1c1" << QVariantMap{{"insertRow", 2}} << "deleteRow"
        << QStringList{"r0c0|r0c1|r0c2", "||", "||", "r2c0|r2c1|r2c2"};
    QTest::newRow("insert a column before the cursor's")
        << gridHtml << "r0c1"
        << "r0c1" << QVariantMap{{"insertColumn", 1}} << ""
        << QStringList{"r0c0||r0c1|r0c2", "r1c0||r1c1|r1c2", "r2c0||r2c1|r2c2"};
    QTest::newRow("append a row and a column")
        << gridHtml << "r2c2"
        << "r2c2" << QVariantMap{{"appendRow", 1}, {"appendColumn", 1}} << ""
        << QStringList{"r0c0|r0c1|r0c2|", "r1c0|r1c1|r1c2|", "r2c0|r2c1|r2c2|", "|||"};
    QTest::newRow("delete the cursor's column")
        << gridHtml << "r1c2"
        << "r1c2" << QVariantMap() << "deleteColumn"
        << QStringList{"r0c0|r0c1", "r1c0|r1c1", "r2c0|r2c1"};
    QTest::newRow("merge without a cell selection")
        << gridHtml << "r1c1"
        << "r1c1" << QVariantMap() << "mergeCells"
        << QStringList{"r0c0|r0c1|r0c2", "r1c0|r1c1|r1c2", "r2c0|r2c1|r2c2"};
    QTest::newRow("merge selected cells")
        << gridHtml << "r1c0"
        << "r2c1" << QVariantMap() << "mergeCells"
        << QStringList{"r0c0|r0c1|r0c2", QStringLiteral("r1c0 r1c1\u2029r2c0 r2c1|^|r1c2"),
                       "^|^|r2c2"};
    QTest::newRow("split a cell that is not merged")
        << gridHtml << "r0c0"
        << "r0c0" << QVariantMap() << "splitCells"
        << QStringList{"r0c0|r0c1|r0c2", "r1c0|r1c1|r1c2", "r2c0|r2c1|r2c2"};
    QTest::newRow("split a merged cell")
        << mergedHtml << "wide"
        << "wide" << QVariantMap() << "splitCells" << QStringList{"wide||x", "a|b|c"};
    QTest::newRow("delete the rows of a tall cell")
        << QStringLiteral("<table><tr><td rowspan='2'>tall</td><td>1</td></tr><tr><td>2</td>"
                          "</tr><tr><td>low</td><td>3</td></tr></table>")
        << "tall"
        << "tall" << QVariantMap() << "deleteRow" << QStringList{"low|3"};
    QTest::newRow("delete the columns of a wide cell")
        << QStringLiteral("<table><tr><td colspan='2'>wide</td><td>x</td></tr><tr><td>a</td>"
                          "<td>b</td><td>c</td></tr></table>")
        << "wide"
        << "wide" << QVariantMap() << "deleteColumn" << QStringList{"x", "c"};
    QTest::newRow("delete the only row")
        << QStringLiteral("<table><tr><td>one</td></tr></table>") << "one"
        << "one" << QVariantMap() << "deleteRow" << QStringList();
    QTest::newRow("inserts before appends")
        << gridHtml << "r0c0"
        << "r0c0" << QVariantMap{{"insertRow", 1}, {"appendRow", 1}} << ""
        << QStringList{"||", "r0c0|r0c1|r0c2", "r1c0|r1c1|r1c2", "r2c0|r2c1|r2c2", "||"};
}

void TestStructures::tableEditSteps()
{
    QFETCH(QString, html);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QVariantMap, spins);
    QFETCH(QString, check);
    QFETCH(QStringList, expected);

    TestEnvironment env;
    auto box = taskBox(nullptr, html, QPoint(100, 100), 300);
    const QTextCursor start = box->document()->find(from);
    const QTextCursor end = box->document()->find(to);
    if (from == to)
        placeCursor(box.get(), start.selectionStart() + 1);
    else
        selectText(box.get(), start.selectionStart(), end.selectionEnd());

    // A right click in the cell, then "格式..." from its menu.
    releaseButton(box.get(), Qt::RightButton);
    answerNextMenu(QStringLiteral("格式..."));
    openContextMenu(box.get(), box->cursorRect().center());
    auto *dialog = openPopup<TableEdit>();
    QVERIFY(dialog);

    for (auto it = spins.cbegin(); it != spins.cend(); ++it) {
        auto *spin = findByName<QSpinBox>(dialog, it.key());
        QVERIFY2(spin, qPrintable(it.key()));
        spin->setValue(it.value().toInt());
    }
    if (!check.isEmpty()) {
        auto *box = findByName<QCheckBox>(dialog, check);
        QVERIFY2(box, qPrintable(check));
        clickOn(box);
        QVERIFY(box->isChecked());
    }
    clickButton(dialog, QStringLiteral("确定"));
    QCOMPARE(openWindowCount("TableEdit"), 0);

    QTextTable *table = firstTable(box.get());
    if (expected.isEmpty()) {
        QVERIFY(!table); // the last row went and the table with it
        return;
    }
    QVERIFY(table);
    QCOMPARE(tableRows(table), expected);
}

void TestStructures::tableEditChecksExcludeEachOther()
{
    TestEnvironment env;
    auto box = taskBox(nullptr, gridHtml, QPoint(100, 100), 300);
    placeCursor(box.get(), 1);
    releaseButton(box.get(), Qt::RightButton);
    answerNextMenu(QStringLiteral("格式..."));
    openContextMenu(box.get(), box->cursorRect().center());
    auto *dialog = openPopup<TableEdit>();
    QVERIFY(dialog);

    const QStringList names{"deleteRow", "deleteColumn", "mergeCells", "splitCells"};
    for (const QString &name : names) {
        clickOn(findByName<QCheckBox>(dialog, name));
        for (const QString &other : names)
            QCOMPARE(findByName<QCheckBox>(dialog, other)->isEnabled(), other == name);
        clickOn(findByName<QCheckBox>(dialog, name));
        for (const QString &other : names)
            QVERIFY(findByName<QCheckBox>(dialog, other)->isEnabled());
    }
    // "取消" changes nothing.
    clickOn(findByName<QCheckBox>(dialog, QStringLiteral("deleteRow")));
    clickButton(dialog, QStringLiteral("取消"));
    QCOMPARE(firstTable(box.get())->rows(), 3);
}

void TestStructures::listChoiceInsertsList_data()
{
    QTest::addColumn<QString>("style"); // check box text, empty for none chosen
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<int>("indent");
    QTest::addColumn<int>("expectedStyle");
    QTest::addColumn<QStringList>("itemTexts"); // empty for bullets

    QTest::newRow("nothing chosen") << ""
                                    << ""
                                    << "" << 2 << int(QTextListFormat::ListDisc) << QStringList();
    QTest::newRow("decimal in brackets")
        << "数字"
        << "("
        << ")" << 2 << int(QTextListFormat::ListDecimal) << QStringList{"(1)", "(2)"};
    QTest::newRow("decimal, default decoration")
        << "数字"
        << ""
        << "" << 3 << int(QTextListFormat::ListDecimal) << QStringList{"1.", "2."};
    QTest::newRow("upper alpha") << "大写英文字母"
                                 << ""
                                 << "" << 1 << int(QTextListFormat::ListUpperAlpha)
                                 << QStringList{"A.", "B."};
    QTest::newRow("lower alpha") << "小写英文字母"
                                 << ""
                                 << ":" << 1 << int(QTextListFormat::ListLowerAlpha)
                                 << QStringList{"a:", "b:"};
    QTest::newRow("upper roman") << "大写罗马数字"
                                 << ""
                                 << "" << 1 << int(QTextListFormat::ListUpperRoman)
                                 << QStringList{"I.", "II."};
    QTest::newRow("lower roman") << "小写罗马数字"
                                 << ""
                                 << "" << 1 << int(QTextListFormat::ListLowerRoman)
                                 << QStringList{"i.", "ii."};
    QTest::newRow("circle") << "空心圆"
                            << ""
                            << "" << 1 << int(QTextListFormat::ListCircle) << QStringList();
    QTest::newRow("square") << "方块"
                            << ""
                            << "" << 1 << int(QTextListFormat::ListSquare) << QStringList();
}

void TestStructures::listChoiceInsertsList()
{
    QFETCH(QString, style);
    QFETCH(QString, prefix);
    QFETCH(QString, suffix);
    QFETCH(int, indent);
    QFETCH(int, expectedStyle);
    QFETCH(QStringList, itemTexts);

    TestEnvironment env;
    auto box = taskBox(nullptr, QStringLiteral("<p>intro</p>"));
    placeCursor(box.get(), 5);
    insertFromMenu(box.get(), QStringLiteral("列表"));
    auto *dialog = openPopup<ListChoice>();
    QVERIFY(dialog);
    if (!style.isEmpty())
        clickCheck(dialog, style);
    findByName<QSpinBox>(dialog, QStringLiteral("indentWidth"))->setValue(indent);
    QTest::keyClicks(findByName<QLineEdit>(dialog, QStringLiteral("numberPrefixString")), prefix);
    QTest::keyClicks(findByName<QLineEdit>(dialog, QStringLiteral("numberSuffixString")), suffix);
    clickButton(dialog, QStringLiteral("确定"));
    QCOMPARE(openWindowCount("ListChoice"), 0);

    // The user types two items.
    QTest::keyClicks(box.get(), QStringLiteral("first"));
    QTest::keyClick(box.get(), Qt::Key_Return);
    QTest::keyClicks(box.get(), QStringLiteral("second"));

    const QTextBlock first = box->document()->findBlock(box->document()->find("first").position());
    const QTextBlock second = first.next();
    QTextList *list = first.textList();
    QVERIFY(list);
    QCOMPARE(second.textList(), list);
    QCOMPARE(int(list->format().style()), expectedStyle);
    QCOMPARE(list->format().indent(), indent);
    if (!itemTexts.isEmpty()) { // bullets have no number text
        QCOMPARE(list->itemText(first), itemTexts.at(0));
        QCOMPARE(list->itemText(second), itemTexts.at(1));
    }
    QCOMPARE(first.previous().text(), QStringLiteral("intro"));
}

int runStructureTests(int argc, char **argv)
{
    TestStructures test;
    return runTestObject(&test, argc, argv);
}

#include "tst_structures.moc"

// The template editor driven through its widgets; what it saved is read back with openpyxl.
#include "tests/exceltemplate/tst_exceltemplate.h"

#include "app/paths.h"
#include "exceltemplate/bordermask.h"
#include "exceltemplate/exceltemplate.h"
#include "exceltemplate/rowheightcolumnwidthdialog.h"
#include "schedule/templatestore.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"
#include "tests/support/widgetfinder.h"
#include "xlsx/document.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFontComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

#include <csignal>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

using QXlsx::Format;
using Setup = std::function<void(QXlsx::Document &)>;
Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(Format::BorderStyle)

namespace {

const qint64 L = BorderMask::Left, R = BorderMask::Right, T = BorderMask::Top,
             B = BorderMask::Bottom, Thin = BorderMask::Thin, Thick = BorderMask::Thick;

// The world of one test: its folders, the prompt answers and the workbook the editor opens.
struct World {
    TestEnvironment env;
    PromptScript prompts;
    QString book = env.workDir() + "/ExcelDB/book.xlsx";

    World() { QDir().mkpath(env.workDir() + "/ExcelDB"); }
    bool make(const Setup &setup) const
    {
        QXlsx::Document doc;
        if (setup)
            setup(doc);
        return doc.saveAs(book);
    }
};

std::unique_ptr<ExcelTemplate> openEditor(const QString &path)
{
    auto editor = std::make_unique<ExcelTemplate>(nullptr, path);
    editor->show();
    return editor;
}

QTableWidget *grid(ExcelTemplate &editor)
{
    return findByName<QTableWidget>(&editor, "excelGrid");
}

void select(ExcelTemplate &editor, int top, int left, int bottom, int right)
{
    grid(editor)->clearSelection();
    grid(editor)->setRangeSelected(QTableWidgetSelectionRange(top, left, bottom, right), true);
}

// Picks an entry of one of the tool bar's boxes by its text, as a click on it would.
void choose(ExcelTemplate &editor, const QString &boxName, const QString &text)
{
    auto *box = findByName<QComboBox>(&editor, boxName);
    QVERIFY2(box, qPrintable(boxName));
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void press(ExcelTemplate &editor, const QString &name)
{
    if (auto *action = findByName<QAction>(&editor, name))
        action->trigger();
    else if (auto *button = findByName<QToolButton>(&editor, name))
        button->click();
    else
        QFAIL(qPrintable("no control " + name));
}

// Typing into a cell: the grid gets an item, or the item's text changes.
void type(ExcelTemplate &editor, int row, int column, const QString &text)
{
    if (QTableWidgetItem *item = grid(editor)->item(row, column))
        item->setText(text);
    else
        grid(editor)->setItem(row, column, new QTableWidgetItem(text));
}

qint64 mask(ExcelTemplate &editor, int row, int column)
{
    const QTableWidgetItem *item = grid(editor)->item(row, column);
    return item ? item->data(Qt::UserRole).toLongLong() : -1;
}

// What openpyxl reads from a workbook (see tests/xlsx/read_workbook.py).
QJsonObject readBack(const QString &path)
{
    QProcess python;
    python.start("/usr/bin/python3", {ORVANE_XLSX_TEST_DIR "/read_workbook.py", path});
    if (!python.waitForFinished(120000) || python.exitCode() != 0) {
        qWarning().noquote() << python.readAllStandardError();
        return {};
    }
    const QJsonObject json = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    if (!json.value("problems").toArray().isEmpty())
        qWarning() << "workbook problems:" << json.value("problems");
    return json;
}

QJsonValue cellField(const QJsonObject &book, const QString &cell, const QString &field)
{
    return book.value("cells").toObject().value(cell).toObject().value(field);
}

// The four sides' styles of a cell as openpyxl reads them ("" for none).
QStringList borderStyles(const QJsonObject &book, const QString &cell)
{
    QStringList styles;
    const QJsonArray sides = cellField(book, cell, "border").toArray();
    for (const QJsonValue &side : sides)
        styles.append(side.toArray().at(0).toString());
    return styles;
}

QStringList all(const QString &style)
{
    return {style, style, style, style};
}

} // namespace

void TestExcelTemplate::loadsCellsSizesAndMerges()
{
    World w;
    QVERIFY(w.make([](QXlsx::Document &doc) {
        Format title;
        title.setFontName("Arial");
        title.setFontSize(14);
        title.setFontBold(true);
        title.setFontColor(Qt::red);
        title.setPatternBackgroundColor(QColor("#FFFF00"));
        title.setHorizontalAlignment(Format::AlignHCenter);
        title.setVerticalAlignment(Format::AlignVCenter);
        doc.write(1, 1, "标题", title);
        Format rightTop;
        rightTop.setHorizontalAlignment(Format::AlignRight);
        rightTop.setVerticalAlignment(Format::AlignTop);
        doc.write(2, 2, 2.5, rightTop);
        doc.setRowHeight(2, 30);
        doc.setColumnWidth(1, 20);
        doc.mergeCells(QXlsx::CellRange(3, 3, 4, 4));
    }));
    auto editor = openEditor(w.book);
    QTableWidget *g = grid(*editor);
    QCOMPARE(g->rowCount(), 100);
    QCOMPARE(g->columnCount(), 52);
    QCOMPARE(g->horizontalHeaderItem(51)->text(), QString("AZ"));

    QCOMPARE(g->rowHeight(0), 27); // no height of its own
    QCOMPARE(g->rowHeight(1), 40); // (int)(30 * 1.33 + 1)
    QCOMPARE(g->columnWidth(0), 152);
    QCOMPARE(g->columnWidth(1), 64); // the default 8.43 characters

    const QTableWidgetItem *a1 = g->item(0, 0);
    QCOMPARE(a1->text(), QString("标题"));
    QVERIFY(a1->font().bold());
    QCOMPARE(a1->font().family(), QString("Arial"));
    QCOMPARE(a1->foreground().color(), QColor(Qt::red));
    QCOMPARE(a1->background().color(), QColor("#FFFF00"));
    QCOMPARE(a1->textAlignment(), 4 + 128);
    QCOMPARE(g->item(1, 1)->text(), QString("2.5"));
    QCOMPARE(g->item(1, 1)->textAlignment(), 2 + 32);
    QVERIFY(!g->item(0, 1)); // no workbook cell, no item
    QCOMPARE(g->rowSpan(2, 2), 2);
    QCOMPARE(g->columnSpan(2, 2), 2);

    // Saving right away changes nothing the user did not touch: the unsized first row gets
    // the 20 points it was shown with, the second row keeps its 30.
    press(*editor, "saveButton");
    const QJsonObject book = readBack(w.book);
    QCOMPARE(book.value("heights").toObject(), QJsonObject({{"1", 20.0}, {"2", 30.0}}));
    QCOMPARE(book.value("widths").toObject().value("1-1").toDouble(), 20.0);
    QCOMPARE(cellField(book, "A1", "value").toString(), QString("标题"));
    QCOMPARE(book.value("merges").toArray(), QJsonArray({"C3:D4"}));
    QVERIFY(!QFile::exists(w.env.workDir() + "/test.xlsx"));

    // Grid lines are only shown or hidden; the file does not change.
    press(*editor, "showGridLineButton");
    QVERIFY(!g->showGrid());
    QVERIFY(!editor->isModified());
    press(*editor, "showGridLineButton");
    QVERIFY(g->showGrid());
}

void TestExcelTemplate::loadedSideStyles_data()
{
    QTest::addColumn<Format::BorderStyle>("style");
    QTest::addColumn<qint64>("bits");

    const qint64 solid = BorderMask::Solid;
    QTest::newRow("thin") << Format::BorderThin << (L | Thin | solid);
    QTest::newRow("medium") << Format::BorderMedium << (L | Thick | solid);
    QTest::newRow("dashed") << Format::BorderDashed << (L | Thin | BorderMask::Dashed);
    QTest::newRow("dotted") << Format::BorderDotted << (L | Thin | BorderMask::Dotted);
    QTest::newRow("dashDot") << Format::BorderDashDot << (L | Thin | BorderMask::DashDot);
    QTest::newRow("dashDotDot") << Format::BorderDashDotDot << (L | Thin | BorderMask::DashDotDot);
    QTest::newRow("mediumDashed") << Format::BorderMediumDashed << (L | Thick | BorderMask::Dashed);
    QTest::newRow("mediumDashDot")
        << Format::BorderMediumDashDot << (L | Thick | BorderMask::DashDot);
    QTest::newRow("mediumDashDotDot")
        << Format::BorderMediumDashDotDot << (L | Thick | BorderMask::DashDotDot);
    QTest::newRow("double") << Format::BorderDouble << qint64(0);
    QTest::newRow("hair") << Format::BorderHair << qint64(0);
    QTest::newRow("thick") << Format::BorderThick << qint64(0);
    QTest::newRow("slantDashDot") << Format::BorderSlantDashDot << qint64(0);
}

void TestExcelTemplate::loadedSideStyles()
{
    QFETCH(Format::BorderStyle, style);
    QFETCH(qint64, bits);
    World w;
    QVERIFY(w.make([style](QXlsx::Document &doc) {
        Format format;
        format.setLeftBorderStyle(style);
        doc.write(1, 1, "x", format);
        // A coloured side adds its colour whether or not the grid can draw it.
        format.setLeftBorderColor(QColor(0x10, 0x20, 0x30));
        doc.write(2, 1, "y", format);
    }));
    auto editor = openEditor(w.book);
    QCOMPARE(mask(*editor, 0, 0), bits);
    QCOMPARE(mask(*editor, 1, 0), bits | BorderMask::withColor(0, 0x10, 0x20, 0x30));
}

void TestExcelTemplate::mergedTopLeftTakesCornerSides_data()
{
    QTest::addColumn<bool>("cornerCell");
    QTest::addColumn<qint64>("expected");
    const qint64 solid = BorderMask::Solid;
    QTest::newRow("corner cell in the workbook")
        << true << (L | T | Thin | solid | R | B | Thick | solid);
    QTest::newRow("no corner cell") << false << (L | T | Thin | solid);
}

void TestExcelTemplate::mergedTopLeftTakesCornerSides()
{
    QFETCH(bool, cornerCell);
    QFETCH(qint64, expected);
    World w;
    QVERIFY(w.make([cornerCell](QXlsx::Document &doc) {
        Format topLeft;
        topLeft.setBorderStyle(Format::BorderThin); // its own right and bottom are inside
        doc.write(2, 2, "merged", topLeft);
        if (cornerCell) {
            Format corner;
            corner.setBorderStyle(Format::BorderMedium);
            doc.write(4, 3, QVariant(), corner);
        }
        doc.currentWorksheet()->mergeCells(QXlsx::CellRange(2, 2, 4, 3));
    }));
    auto editor = openEditor(w.book);
    QCOMPARE(mask(*editor, 1, 1), expected);
}

void TestExcelTemplate::formatsSelectedItemsOnly_data()
{
    QTest::addColumn<QString>("control"); // action or box
    QTest::addColumn<QString>("entry");   // the box's entry, or the colour answered
    QTest::addColumn<QString>("field");   // what openpyxl reads: field and position
    QTest::addColumn<int>("position");
    QTest::addColumn<QVariant>("saved");

    QTest::newRow("italic") << "italicAction"
                            << ""
                            << "font" << 3 << QVariant(true);
    QTest::newRow("underline") << "underlineAction"
                               << ""
                               << "font" << 4 << QVariant("single");
    QTest::newRow("size") << "fontSizeComboBox"
                          << "22"
                          << "font" << 1 << QVariant(22.0);
    QTest::newRow("fill colour") << "fillColorAction"
                                 << "#00ff00"
                                 << "fill" << 1 << QVariant("FF00FF00");
    QTest::newRow("text colour") << "fontColorAction"
                                 << "#0000ff"
                                 << "font" << 5 << QVariant("FF0000FF");
    QTest::newRow("horizontal centre") << "fontAlignComboBox"
                                       << "水平居中"
                                       << "align" << 0 << QVariant("center");
    QTest::newRow("wrap") << "autoWrapButton"
                          << ""
                          << "align" << 2 << QVariant(true);
    // The family is whichever the box offers besides the one it shows first.
    QTest::newRow("font family") << "fontComboBox"
                                 << ""
                                 << "font" << 0 << QVariant();
}

void TestExcelTemplate::formatsSelectedItemsOnly()
{
    QFETCH(QString, control);
    QFETCH(QString, entry);
    QFETCH(QString, field);
    QFETCH(int, position);
    QFETCH(QVariant, saved);

    World w;
    QVERIFY(w.make([](QXlsx::Document &doc) { doc.write(1, 1, "text"); }));
    auto editor = openEditor(w.book);
    // B1 never had text or border: it has no item and stays as it is.
    select(*editor, 0, 0, 0, 1);
    if (control == "fontComboBox") {
        auto *box = findByName<QFontComboBox>(editor.get(), control);
        QVERIFY(box->count() > 1);
        box->setCurrentIndex(box->currentIndex() == 0 ? 1 : 0);
        saved = box->currentFont().family();
        QCOMPARE(grid(*editor)->item(0, 0)->font().family(), saved.toString());
    } else if (control.endsWith("ComboBox")) {
        choose(*editor, control, entry);
    } else {
        if (!entry.isEmpty())
            w.prompts.answerColor(QColor(entry));
        press(*editor, control);
    }
    QVERIFY(!grid(*editor)->item(0, 1));
    QVERIFY(editor->isModified());
    press(*editor, "saveButton");
    const QJsonObject book = readBack(w.book);
    QCOMPARE(cellField(book, "A1", field).toArray().at(position).toVariant(), saved);
    QCOMPARE(cellField(book, "A1", "value").toString(), QString("text"));
    QVERIFY(!book.value("cells").toObject().contains("B1"));
}

void TestExcelTemplate::boldTogglesEachCell()
{
    World w;
    QVERIFY(w.make([](QXlsx::Document &doc) {
        Format bold;
        bold.setFontBold(true);
        doc.write(1, 1, "bold", bold);
        doc.write(2, 1, "plain");
    }));
    auto editor = openEditor(w.book);
    select(*editor, 0, 0, 1, 0);
    press(*editor, "boldAction");
    QVERIFY(!grid(*editor)->item(0, 0)->font().bold());
    QVERIFY(grid(*editor)->item(1, 0)->font().bold());
    press(*editor, "saveButton");
    const QJsonObject book = readBack(w.book);
    QCOMPARE(cellField(book, "A1", "font").toArray().at(2).toBool(), false);
    QCOMPARE(cellField(book, "A2", "font").toArray().at(2).toBool(), true);
}

void TestExcelTemplate::alignmentKeepsTheOtherAxis()
{
    World w;
    QVERIFY(w.make([](QXlsx::Document &doc) {
        Format right;
        right.setHorizontalAlignment(Format::AlignRight);
        doc.write(1, 1, "r", right);
    }));
    auto editor = openEditor(w.book);
    select(*editor, 0, 0, 0, 0);
    choose(*editor, "fontAlignComboBox", "垂直居中");
    QCOMPARE(grid(*editor)->item(0, 0)->textAlignment(), 2 + 128);
    choose(*editor, "fontAlignComboBox", "左对齐");
    QCOMPARE(grid(*editor)->item(0, 0)->textAlignment(), 1 + 128);
    press(*editor, "saveButton");
    QCOMPARE(cellField(readBack(w.book), "A1", "align").toArray(),
             QJsonArray({"left", "center", false}));
}

void TestExcelTemplate::merges_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("horizontal");

    QTest::newRow("合并居中") << "合并居中"
                              << "a" << 4 + 128 << "center";
    QTest::newRow("合并单元格") << "合并单元格"
                                << "a" << 1 + 128 << "left";
    QTest::newRow("合并内容") << "合并内容"
                              << "a\nb" << 1 + 128 << "left";
}

void TestExcelTemplate::merges()
{
    QFETCH(QString, mode);
    QFETCH(QString, text);
    QFETCH(int, flags);
    QFETCH(QString, horizontal);

    World w;
    QVERIFY(w.make([](QXlsx::Document &doc) {
        doc.write(1, 1, "a");
        doc.write(3, 1, "b");
    }));
    auto editor = openEditor(w.book);
    QTableWidget *g = grid(*editor);
    select(*editor, 0, 0, 2, 0);
    choose(*editor, "cellMergeComboBox", mode);
    QCOMPARE(g->rowSpan(0, 0), 3);
    QCOMPARE(g->item(0, 0)->text(), text);
    QCOMPARE(g->item(0, 0)->textAlignment(), flags);
    QVERIFY(g->item(1, 0)); // every cell of the area has an item now
    press(*editor, "saveButton");
    QJsonObject book = readBack(w.book);
    QCOMPARE(book.value("merges").toArray(), QJsonArray({"A1:A3"}));
    QCOMPARE(cellField(book, "A1", "value").toString(), text);
    QCOMPARE(cellField(book, "A1", "align").toArray().at(0).toString(), horizontal);
    QCOMPARE(cellField(book, "A1", "align").toArray().at(1).toString(), QString("center"));

    select(*editor, 0, 0, 2, 0);
    choose(*editor, "cellMergeComboBox", "取消合并");
    QCOMPARE(g->rowSpan(0, 0), 1);
    press(*editor, "saveButton");
    book = readBack(w.book);
    QVERIFY(book.value("merges").toArray().isEmpty());
    QCOMPARE(cellField(book, "A1", "align").toArray().at(0).toString(), QString("left"));
    // The texts under the span were kept.
    QCOMPARE(cellField(book, "A3", "value").toString(), QString("b"));
}

void TestExcelTemplate::unmergesMergeFromFile()
{
    World w;
    QVERIFY(w.make([](QXlsx::Document &doc) {
        doc.write(2, 2, "x");
        doc.mergeCells(QXlsx::CellRange(2, 2, 3, 4));
        doc.mergeCells(QXlsx::CellRange(6, 1, 6, 2));
    }));
    auto editor = openEditor(w.book);
    select(*editor, 0, 0, 3, 5); // holds B2:D3 only
    choose(*editor, "cellMergeComboBox", "取消合并");
    QCOMPARE(grid(*editor)->columnSpan(1, 1), 1);
    QCOMPARE(grid(*editor)->columnSpan(5, 0), 2);
    press(*editor, "saveButton");
    QCOMPARE(readBack(w.book).value("merges").toArray(), QJsonArray({"A6:B6"}));
}

void TestExcelTemplate::sizesThroughTheContextMenu()
{
    World w;
    auto editor = openEditor(w.env.workDir() + "/ExcelDB/new.xlsx"); // no file yet: empty grid
    QTableWidget *g = grid(*editor);
    QVERIFY(!g->item(0, 0));
    const int defaultHeight = g->rowHeight(0);
    const int defaultWidth = g->columnWidth(0);

    auto setSize = [&](const QString &action, int row, int column, int value) {
        editor->onContextMenuClicked(
            QPoint(g->columnViewportPosition(column) + 2, g->rowViewportPosition(row) + 2));
        auto *menu = findByName<QMenu>(editor.get(), "gridContextMenu");
        QVERIFY(menu->isVisible());
        menu->hide();
        findByName<QAction>(editor.get(), action)->trigger();
        auto *dialog = findTopLevel<RowHeightColumnWidthDialog>();
        QVERIFY(dialog);
        dialog->findChild<QSpinBox *>()->setValue(value);
        QPointer<RowHeightColumnWidthDialog> closing = dialog;
        dialog->findChild<QPushButton *>("okButton")->click();
        QVERIFY(!findTopLevel<RowHeightColumnWidthDialog>());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!closing); // it deletes itself once closed
    };
    setSize("setRowHeightAction", 2, 0, 40);
    setSize("setColumnWidthAction", 0, 1, 150);
    QCOMPARE(g->rowHeight(2), 40);
    QCOMPARE(g->columnWidth(1), 150);

    press(*editor, "saveButton");
    const QJsonObject book = readBack(editor->path());
    const QJsonObject heights = book.value("heights").toObject();
    QCOMPARE(heights.value("3").toDouble(), 40 / 1.33);
    QCOMPARE(heights.value("1").toDouble(), defaultHeight / 1.33);
    QCOMPARE(heights.size(), 3);
    const QJsonObject widths = book.value("widths").toObject();
    QCOMPARE(widths.value("2-2").toDouble(), 150 / 7.58);
    QCOMPARE(widths.value("1-1").toDouble(), defaultWidth / 7.58);
}

void TestExcelTemplate::gridBorderReplacesOldBorder()
{
    World w;
    QVERIFY(w.make([](QXlsx::Document &doc) {
        Format dotted;
        dotted.setBorderStyle(Format::BorderDotted);
        dotted.setBorderColor(Qt::red);
        doc.write(1, 1, "x", dotted);
    }));
    auto editor = openEditor(w.book);
    QCOMPARE(mask(*editor, 0, 0), BorderMask::withColor(15 | Thin | BorderMask::Dotted, 255, 0, 0));
    select(*editor, 0, 0, 0, 0);
    choose(*editor, "cellGridComboBox", "内外框线");
    QCOMPARE(mask(*editor, 0, 0), qint64(47));
    press(*editor, "saveButton");
    const QJsonArray sides = cellField(readBack(w.book), "A1", "border").toArray();
    for (const QJsonValue &side : sides)
        QCOMPARE(side.toArray(), QJsonArray({"thin", QJsonValue::Null}));

    choose(*editor, "cellGridComboBox", "无框线");
    QCOMPARE(mask(*editor, 0, 0), qint64(0));
    press(*editor, "saveButton");
    QCOMPARE(borderStyles(readBack(w.book), "A1"), all(""));
}

void TestExcelTemplate::outlineBorders_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QRect>("area"); // columns as x, rows as y
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QPoint>("position"); // column, row
    QTest::addColumn<qint64>("expected");
    QTest::addColumn<QStringList>("saved");

    const qint64 blue = BorderMask::withColor(0, 0, 0, 255);
    QTest::newRow("one cell keeps its colour") << "外框线" << QRect(0, 0, 1, 1) << "A1"
                                               << QPoint(0, 0) << (blue | Thin | 15) << all("thin");
    QTest::newRow("thick one cell") << "加粗框线" << QRect(0, 0, 1, 1) << "A1" << QPoint(0, 0)
                                    << (blue | Thick | 15) << all("medium");
    QTest::newRow("3x3 centre") << "外框线" << QRect(1, 1, 3, 3) << "C3" << QPoint(2, 2)
                                << qint64(0) << all("");
    QTest::newRow("3x3 top-left") << "外框线" << QRect(1, 1, 3, 3) << "B2" << QPoint(1, 1)
                                  << (Thin | L | T) << QStringList{"thin", "", "thin", ""};
    QTest::newRow("3x3 bottom edge") << "外框线" << QRect(1, 1, 3, 3) << "C4" << QPoint(2, 3)
                                     << (Thin | B) << QStringList{"", "", "", "thin"};
    QTest::newRow("3x3 right edge") << "加粗框线" << QRect(1, 1, 3, 3) << "D3" << QPoint(3, 2)
                                    << (Thick | R) << QStringList{"", "medium", "", ""};
}

void TestExcelTemplate::outlineBorders()
{
    QFETCH(QString, entry);
    QFETCH(QRect, area);
    QFETCH(QString, cell);
    QFETCH(QPoint, position);
    QFETCH(qint64, expected);
    QFETCH(QStringList, saved);

    World w;
    auto editor = openEditor(w.book);
    // A1 was given a border colour before it had any border.
    select(*editor, 0, 0, 0, 0);
    choose(*editor, "cellGridStyleComboBox", "边框颜色...");
    QCOMPARE(w.prompts.requests().last().kind, Prompt::Kind::Color);
    QVERIFY(!grid(*editor)->item(0, 0)); // the colour dialog was cancelled
    editor->setCellGridColor(Qt::blue);

    select(*editor, area.top(), area.left(), area.bottom(), area.right());
    choose(*editor, "cellGridComboBox", entry);
    QCOMPARE(mask(*editor, position.y(), position.x()), expected);
    press(*editor, "saveButton");
    QCOMPARE(borderStyles(readBack(w.book), cell), saved);
}

void TestExcelTemplate::styleWithoutSidesDrawsNothing()
{
    World w;
    auto editor = openEditor(w.book);
    select(*editor, 0, 0, 0, 0);
    choose(*editor, "cellGridStyleComboBox", "点线");
    QCOMPARE(mask(*editor, 0, 0), BorderMask::Dotted);
    QVERIFY(!BorderMask::isDrawn(mask(*editor, 0, 0)));
    press(*editor, "saveButton");
    QCOMPARE(borderStyles(readBack(w.book), "A1"), all(""));

    // Once a border is set, it is drawn and saved dotted.
    choose(*editor, "cellGridComboBox", "外框线");
    QCOMPARE(mask(*editor, 0, 0), BorderMask::Dotted | Thin | 15);
    press(*editor, "saveButton");
    QCOMPARE(borderStyles(readBack(w.book), "A1"), all("dotted"));
}

void TestExcelTemplate::thickDashedComesBackThinDashed()
{
    World w;
    {
        auto editor = openEditor(w.book);
        select(*editor, 1, 1, 1, 1);
        choose(*editor, "cellGridComboBox", "加粗框线");
        choose(*editor, "cellGridStyleComboBox", "虚线");
        QCOMPARE(mask(*editor, 1, 1), Thick | BorderMask::Dashed | 15);
        press(*editor, "saveButton");
    }
    QCOMPARE(borderStyles(readBack(w.book), "B2"), all("dashed"));
    auto editor = openEditor(w.book);
    QCOMPARE(mask(*editor, 1, 1), Thin | BorderMask::Dashed | 15);
}

void TestExcelTemplate::bordersArePainted()
{
    World w;
    auto editor = openEditor(w.book);
    select(*editor, 3, 3, 3, 3);
    choose(*editor, "cellGridComboBox", "内外框线");
    editor->setCellGridColor(Qt::red);
    grid(*editor)->clearSelection();
    QTableWidget *g = grid(*editor);
    const QImage image = g->viewport()->grab().toImage();
    const QRect cell = g->visualItemRect(g->item(3, 3));
    const QRect plain = g->visualItemRect(g->item(3, 3)).translated(0, 3 * cell.height());
    auto isRed = [&image](int x, int y) {
        const QColor c = image.pixelColor(x, y);
        return c.red() > 200 && c.green() < 80 && c.blue() < 80;
    };
    // Each side is a 2-pixel line on the grid line before the cell's edge.
    QVERIFY(isRed(cell.left() - 2, cell.center().y()));
    QVERIFY(isRed(cell.right() - 1, cell.center().y()));
    QVERIFY(isRed(cell.center().x(), cell.top() - 2));
    QVERIFY(isRed(cell.center().x(), cell.bottom() - 1));
    QVERIFY(!isRed(cell.center().x(), cell.center().y()));
    QVERIFY(!isRed(plain.left() - 2, plain.center().y()));
}

void TestExcelTemplate::saveWritesTheOpenedWorkbook()
{
    World w;
    QVERIFY(w.make([](QXlsx::Document &doc) { doc.write(1, 1, "old"); }));
    {
        auto editor = openEditor(w.book);
        type(*editor, 0, 0, "new");
        type(*editor, 4, 2, "计划");
        QVERIFY(editor->isModified());
        press(*editor, "saveButton");
        QVERIFY(!editor->isModified());
    }
    QVERIFY(!QFile::exists(w.env.workDir() + "/test.xlsx"));
    const QJsonObject book = readBack(w.book);
    QCOMPARE(cellField(book, "A1", "value").toString(), QString("new"));
    QCOMPARE(cellField(book, "C5", "value").toString(), QString("计划"));
    auto again = openEditor(w.book);
    QCOMPARE(grid(*again)->item(4, 2)->text(), QString("计划"));
}

void TestExcelTemplate::failedSaveTellsAndKeepsTheFile()
{
    World w;
    QVERIFY(w.make([](QXlsx::Document &doc) { doc.write(1, 1, "kept"); }));
    QFile file(w.book);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    auto editor = openEditor(w.book);
    type(*editor, 0, 0, "lost?");
    const QString folder = QFileInfo(w.book).absolutePath();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    // The superuser writes into read-only folders; a file size limit of 0 stops it as a full
    // disk would.
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (geteuid() == 0) {
        rlimit none = previous;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    press(*editor, "saveButton");
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(w.prompts.messages(), QStringList{"文件保存失败，原有文件没有改动：\n" + w.book});
    QVERIFY(editor->isModified());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"book.xlsx"});
}

void TestExcelTemplate::saveAsNewTemplate()
{
    World w;
    QVERIFY(w.make([](QXlsx::Document &doc) { doc.write(1, 1, "plan"); }));
    auto editor = openEditor(w.book);
    type(*editor, 1, 0, "more");

    w.prompts.answerCancel();
    press(*editor, "saveAsTemplateButton");
    const Prompt::Request asked = w.prompts.requests().last();
    QCOMPARE(asked.kind, Prompt::Kind::SaveFile);
    QCOMPARE(asked.title, QString("保存模板 "));
    QCOMPARE(asked.value, w.env.appDir() + "/MyTemplates/Excel/");
    QCOMPARE(asked.filter, QString("Excel(*.xlsx)"));
    QVERIFY(TemplateStore::excelTemplateNames().isEmpty());

    // Whatever folder is chosen, the template lands in the Excel template folder.
    w.prompts.answerText(w.env.workDir() + "/elsewhere/plan.xlsx");
    press(*editor, "saveAsTemplateButton");
    QCOMPARE(TemplateStore::excelTemplateNames(), QStringList{"Excel_plan"});
    const QJsonObject book = readBack(w.env.appDir() + "/MyTemplates/Excel/Excel_plan.xlsx");
    QCOMPARE(cellField(book, "A2", "value").toString(), QString("more"));
    QVERIFY(!QFile::exists(w.env.workDir() + "/elsewhere/plan.xlsx"));
    // The workbook the editor was opened on is not the template: its edits are still pending.
    QVERIFY(editor->isModified());
    QVERIFY(cellField(readBack(w.book), "A2", "value").isUndefined());
}

void TestExcelTemplate::closeAsksAboutUnsavedEdits_data()
{
    QTest::addColumn<bool>("edited");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("saved");

    QTest::newRow("save") << true << int(QMessageBox::Save) << true << "edit";
    QTest::newRow("do not save") << true << int(QMessageBox::Discard) << true << "old";
    QTest::newRow("cancel") << true << int(QMessageBox::Cancel) << false << "old";
    QTest::newRow("nothing edited") << false << int(QMessageBox::Cancel) << true << "old";
}

void TestExcelTemplate::closeAsksAboutUnsavedEdits()
{
    QFETCH(bool, edited);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(QString, saved);

    World w;
    QVERIFY(w.make([](QXlsx::Document &doc) { doc.write(1, 1, "old"); }));
    auto editor = openEditor(w.book);
    if (edited)
        type(*editor, 0, 0, "edit");
    w.prompts.answerButton(QMessageBox::StandardButton(answer));
    QCOMPARE(editor->close(), closed);
    QCOMPARE(w.prompts.messages(),
             edited ? QStringList{"表格内容已修改，是否保存？"} : QStringList());
    QCOMPARE(cellField(readBack(w.book), "A1", "value").toString(), saved);
}

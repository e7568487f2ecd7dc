// Interoperability of the xlsx layer with openpyxl in both directions, and its behaviour on
// damaged and hostile files. The workbooks are made at test time by make_workbooks.py, and
// read_workbook.py reports what openpyxl sees in ours.

#include "xlsx/cellrange.h"
#include "xlsx/document.h"
#include "xlsx/sharedstrings.h"
#include "xlsx/styles.h"
#include "xlsx/worksheet.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace QXlsx;
using BS = Format::BorderStyle;

namespace {

const QString Python = QStringLiteral("/usr/bin/python3");

QString script(const char *name)
{
    return QStringLiteral(ORVANE_XLSX_TEST_DIR "/") + QLatin1String(name);
}

// Runs a helper script with Debian's interpreter; a missing interpreter or openpyxl fails.
bool runPython(const QStringList &arguments, QByteArray *output)
{
    QProcess process;
    process.start(Python, arguments);
    if (!process.waitForFinished(300000)) {
        qWarning() << "python did not finish:" << process.errorString();
        return false;
    }
    *output = process.readAllStandardOutput();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning().noquote() << process.readAllStandardError();
        return false;
    }
    return true;
}

// A worksheet part around the given sheetData content.
QByteArray sheetXml(const QByteArray &rows)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
           "xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
           "<sheetData>" +
           rows + "</sheetData></worksheet>";
}

// Reads a worksheet part whose shared strings are "zero" and "one"; returns the fault.
QString readSheet(const QByteArray &xml, Worksheet *sheet)
{
    SharedStrings strings;
    strings.add(QStringLiteral("zero"));
    strings.add(QStringLiteral("one"));
    Styles styles;
    QString error;
    const bool ok = sheet->readXml(xml, strings, styles, &error);
    if (ok != error.isEmpty())
        return QStringLiteral("result and error disagree");
    return error;
}

QByteArray utf16(const QString &text, bool bigEndian)
{
    QByteArray bytes;
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return bytes;
}

QString hex(const QColor &color)
{
    return color.isValid() ? color.name().mid(1).toUpper() : QString();
}

} // namespace

class TestXlsx : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void cellReferences_data();
    void cellReferences();
    void readValues_data();
    void readValues();
    void readFonts_data();
    void readFonts();
    void readColors_data();
    void readColors();
    void readAlignment_data();
    void readAlignment();
    void readBorders_data();
    void readBorders();
    void readLayout_data();
    void readLayout();
    void missingParts_data();
    void missingParts();
    void hostileFiles_data();
    void hostileFiles();
    void writtenFileReadByOpenpyxl_data();
    void writtenFileReadByOpenpyxl();
    void roundTripKeepsEverything_data();
    void roundTripKeepsEverything();
    void mergeReplacesOverlappingMerges();
    void failedSaveKeepsOldFile();
    void saveKeepsModeAndLinks();
    void sheetMarkup_data();
    void sheetMarkup();
    void malformedNumbers_data();
    void malformedNumbers();
    void refusedMarkup_data();
    void refusedMarkup();
    void sharedStringItems_data();
    void sharedStringItems();
    void otherEncodings_data();
    void otherEncodings();
    void numbersWrittenShortAndExact_data();
    void numbersWrittenShortAndExact();
    void cellTypesWrittenBack_data();
    void cellTypesWrittenBack();

private:
    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }
    QJsonValue written(const QString &where) const;

    QTemporaryDir m_dir;
    QJsonObject m_written;
};

void TestXlsx::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QByteArray output;
    QVERIFY2(runPython({script("make_workbooks.py"), m_dir.path()}, &output),
             "make_workbooks.py failed: is python3-openpyxl installed?");

    // The workbook the editor would write: values, every format attribute, merges, sizes.
    Document doc;
    Format font;
    font.setFontName(QStringLiteral("宋体"));
    font.setFontSize(14);
    font.setFontBold(true);
    font.setFontItalic(true);
    font.setFontUnderline(Format::FontUnderlineSingle);
    font.setFontColor(QColor(0x12, 0x34, 0x56));
    QVERIFY(doc.write(1, 1, QStringLiteral("日程 & <计划>"), font));
    doc.write(2, 1, QStringLiteral("  two\nlines  "));
    doc.write(3, 1, 0.1 + 0.2);
    doc.write(4, 1, -12345678901.5);
    doc.write(5, 1, true);
    Format fill;
    fill.setPatternBackgroundColor(QColor(0xFF, 0xC0, 0x00));
    fill.setHorizontalAlignment(Format::AlignHCenter);
    fill.setVerticalAlignment(Format::AlignVCenter);
    fill.setTextWrap(true);
    doc.write(2, 2, QStringLiteral("fill"), fill);
    Format border;
    border.setLeftBorderStyle(Format::BorderThin);
    border.setRightBorderStyle(Format::BorderMediumDashDotDot);
    border.setTopBorderStyle(Format::BorderDouble);
    border.setBottomBorderStyle(Format::BorderSlantDashDot);
    border.setLeftBorderColor(Qt::red);
    border.setBottomBorderColor(QColor(0x00, 0x80, 0x00));
    doc.write(3, 3, QStringLiteral("b"), border);
    Format merged;
    merged.setHorizontalAlignment(Format::AlignHCenter);
    merged.setVerticalAlignment(Format::AlignVCenter);
    merged.setBorderStyle(Format::BorderMedium);
    doc.write(99, 51, QStringLiteral("corner"));
    QVERIFY(doc.mergeCells(CellRange(99, 51, 100, 52), merged));
    QVERIFY(doc.mergeCells(CellRange::fromString(u"A10:C11")));
    QVERIFY(doc.mergeCells(CellRange::fromString(u"B11:D12"))); // replaces A10:C11
    QVERIFY(doc.setRowHeight(1, 40 / 1.33));
    QVERIFY(doc.setRowHeight(60, 9));
    QVERIFY(doc.setColumnWidth(1, 30));
    QVERIFY(doc.setColumnWidth(4, 6, 2.5));
    const QString ours = path("ours.xlsx");
    QVERIFY(doc.saveAs(ours));
    QVERIFY2(runPython({script("read_workbook.py"), ours}, &output), "openpyxl cannot read ours");
    m_written = QJsonDocument::fromJson(output).object();
    QVERIFY(!m_written.isEmpty());
}

void TestXlsx::cellReferences_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("first") << "A1" << 1 << 1;
    QTest::newRow("absolute") << "$AZ$100" << 100 << 52;
    QTest::newRow("lower case") << "ab7" << 7 << 28;
    QTest::newRow("last cell") << "XFD1048576" << 1048576 << 16384;
    QTest::newRow("column past the sheet") << "XFE1" << 0 << 0;
    QTest::newRow("row past the sheet") << "A1048577" << 0 << 0;
    QTest::newRow("row zero") << "A0" << 0 << 0;
    QTest::newRow("four letters") << "AAAA1" << 0 << 0;
    QTest::newRow("no row") << "B" << 0 << 0;
    QTest::newRow("trailing garbage") << "B2x" << 0 << 0;
    QTest::newRow("huge row") << "A99999999999" << 0 << 0;
}

void TestXlsx::cellReferences()
{
    QFETCH(QString, text);
    QFETCH(int, row);
    QFETCH(int, column);
    const CellReference ref = CellReference::fromString(text);
    QCOMPARE(ref.row(), row);
    QCOMPARE(ref.column(), column);
    if (ref.isValid())
        QCOMPARE(ref.toString(), text.toUpper().remove(QLatin1Char('$')));
}

void TestXlsx::readValues_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QVariant>("value");
    for (const char *file : {"values.xlsx", "relative_targets.xlsx"}) {
        auto row = [file](const char *cell, const QVariant &value) {
            QTest::addRow("%s %s", file, cell) << file << cell << value;
        };
        row("A1", QStringLiteral("你好，世界"));
        row("A2", QStringLiteral("a & b < c > d"));
        row("A3", QStringLiteral("  leading and trailing  "));
        row("A4", QStringLiteral("line one\nline two"));
        row("A5", 42.0);
        row("A6", -3.25);
        row("A7", 1e-7);
        row("A8", true);
        row("A9", QStringLiteral("inline & 内联"));
        row("A10", QStringLiteral("红 bold"));
        row("C12", QStringLiteral("last"));
        row("B1", QVariant());
    }
}

void TestXlsx::readValues()
{
    QFETCH(QString, file);
    QFETCH(QString, cell);
    QFETCH(QVariant, value);
    Document doc(m_dir.filePath(file));
    QVERIFY2(doc.isLoadPackage(), qPrintable(doc.loadError()));
    const CellReference ref = CellReference::fromString(cell);
    QCOMPARE(doc.read(ref.row(), ref.column()), value);
    QCOMPARE(doc.dimension().toString(), QStringLiteral("A1:C12"));
}

void TestXlsx::readFonts_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("size");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<int>("underline");
    QTest::newRow("styled") << "A1"
                            << "Arial" << 14.0 << true << true << int(Format::FontUnderlineSingle);
    QTest::newRow("cjk name") << "B1"
                              << "宋体" << 9.0 << false << false
                              << int(Format::FontUnderlineDouble);
    QTest::newRow("default") << "E3"
                             << "Calibri" << 11.0 << false << false
                             << int(Format::FontUnderlineNone);
}

void TestXlsx::readFonts()
{
    QFETCH(QString, cell);
    Document doc(path("formats.xlsx"));
    QVERIFY2(doc.isLoadPackage(), qPrintable(doc.loadError()));
    const CellReference ref = CellReference::fromString(cell);
    const Format f = doc.cellAt(ref.row(), ref.column())->format();
    QTEST(f.fontName(), "name");
    QTEST(f.fontSize(), "size");
    QTEST(f.fontBold(), "bold");
    QTEST(f.fontItalic(), "italic");
    QTEST(int(f.fontUnderline()), "underline");
    QCOMPARE(f.font().underline(), f.fontUnderline() != Format::FontUnderlineNone);
    QCOMPARE(f.font().bold(), f.fontBold());
}

void TestXlsx::readColors_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("fill");
    // Expected theme colours: the Office theme written by openpyxl, tinted in HLS space.
    // openpyxl's default font is coloured theme 1, the theme's dark text colour.
    QTest::newRow("rgb font") << "A1"
                              << "FF0000"
                              << "";
    QTest::newRow("solid rgb fill") << "A2"
                                    << "000000"
                                    << "00B050";
    QTest::newRow("indexed fill") << "B2"
                                  << "000000"
                                  << "FF0000";
    QTest::newRow("indexed fill 53") << "G2"
                                     << "000000"
                                     << "FF6600";
    QTest::newRow("theme fill, lighter 40%") << "C2"
                                             << "000000"
                                             << "95B3D7";
    QTest::newRow("pattern fill is tolerated") << "D2"
                                               << "000000"
                                               << "";
    QTest::newRow("theme text colour") << "E2"
                                       << "000000"
                                       << "";
    QTest::newRow("theme font, darker 25%") << "F2"
                                            << "953735"
                                            << "";
}

void TestXlsx::readColors()
{
    QFETCH(QString, cell);
    Document doc(path("formats.xlsx"));
    const CellReference ref = CellReference::fromString(cell);
    QVERIFY(doc.cellAt(ref.row(), ref.column()));
    const Format f = doc.cellAt(ref.row(), ref.column())->format();
    QTEST(hex(f.fontColor()), "font");
    QTEST(hex(f.patternBackgroundColor()), "fill");
}

void TestXlsx::readAlignment_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("horizontal");
    QTest::addColumn<int>("vertical");
    QTest::addColumn<bool>("wrap");
    QTest::newRow("left top") << 1 << int(Format::AlignLeft) << int(Format::AlignTop) << false;
    QTest::newRow("centre centre")
        << 2 << int(Format::AlignHCenter) << int(Format::AlignVCenter) << false;
    QTest::newRow("right bottom") << 3 << int(Format::AlignRight) << int(Format::AlignBottom)
                                  << false;
    QTest::newRow("justify wrapped")
        << 4 << int(Format::AlignHJustify) << int(Format::AlignVJustify) << true;
    QTest::newRow("unset reads as shown")
        << 5 << int(Format::AlignHGeneral) << int(Format::AlignBottom) << false;
    QTest::newRow("distributed") << 6 << int(Format::AlignHDistributed) << int(Format::AlignBottom)
                                 << true;
}

void TestXlsx::readAlignment()
{
    QFETCH(int, column);
    Document doc(path("formats.xlsx"));
    const Format f = doc.cellAt(3, column)->format();
    QTEST(int(f.horizontalAlignment()), "horizontal");
    QTEST(int(f.verticalAlignment()), "vertical");
    QTEST(f.textWrap(), "wrap");
}

void TestXlsx::readBorders_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("style");
    const BS styles[] = {
        Format::BorderThin,          Format::BorderMedium,       Format::BorderDashed,
        Format::BorderDotted,        Format::BorderThick,        Format::BorderDouble,
        Format::BorderHair,          Format::BorderMediumDashed, Format::BorderDashDot,
        Format::BorderMediumDashDot, Format::BorderDashDotDot,   Format::BorderMediumDashDotDot,
        Format::BorderSlantDashDot};
    for (int i = 0; i < 13; ++i)
        QTest::addRow("style %d", int(styles[i])) << 5 + i << int(styles[i]);
}

void TestXlsx::readBorders()
{
    QFETCH(int, row);
    QFETCH(int, style);
    Document doc(path("formats.xlsx"));
    const Format f = doc.cellAt(row, 1)->format();
    QCOMPARE(int(f.leftBorderStyle()), style);
    QCOMPARE(int(f.rightBorderStyle()), style);
    QCOMPARE(int(f.topBorderStyle()), style);
    QCOMPARE(int(f.bottomBorderStyle()), style);
    QCOMPARE(hex(f.leftBorderColor()), QStringLiteral("FF0000"));
    QCOMPARE(hex(f.rightBorderColor()), QStringLiteral("00FF00"));
    QCOMPARE(hex(f.topBorderColor()), QStringLiteral("0000FF"));
    QCOMPARE(hex(f.bottomBorderColor()), QStringLiteral("808080"));

    // One cell with a different style and colour kind on each side.
    const Format mixed = doc.cellAt(5, 2)->format();
    QCOMPARE(mixed.leftBorderStyle(), Format::BorderThin);
    QCOMPARE(mixed.rightBorderStyle(), Format::BorderDashed);
    QCOMPARE(mixed.topBorderStyle(), Format::BorderDouble);
    QCOMPARE(mixed.bottomBorderStyle(), Format::BorderHair);
    QCOMPARE(hex(mixed.topBorderColor()), QStringLiteral("0000FF"));
    QCOMPARE(hex(mixed.bottomBorderColor()), QStringLiteral("4F81BD"));
    QVERIFY(!mixed.leftBorderColor().isValid());
}

void TestXlsx::readLayout_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("own dimension") << "layout.xlsx";
    QTest::newRow("missing dimension") << "layout_nodim.xlsx";
    QTest::newRow("wrong dimension") << "layout_wrongdim.xlsx";
}

void TestXlsx::readLayout()
{
    QFETCH(QString, file);
    Document doc(m_dir.filePath(file));
    QVERIFY2(doc.isLoadPackage(), qPrintable(doc.loadError()));
    QCOMPARE(doc.dimension().toString(), QStringLiteral("A1:AZ100"));
    QList<CellRange> merges = doc.currentWorksheet()->mergedCells();
    QStringList names;
    for (const CellRange &range : merges)
        names << range.toString();
    names.sort();
    QCOMPARE(names, QStringList({"A1:B2", "A99:C100", "AX100:AZ100", "AY1:AZ3"}));
    QCOMPARE(doc.read(100, 50), QVariant(QStringLiteral("AX100")));
    QCOMPARE(doc.rowHeight(1), 30.0);
    QCOMPARE(doc.rowHeight(7), 12.75);
    QCOMPARE(doc.rowHeight(100), 409.0);
    QCOMPARE(doc.rowHeight(2), 0.0); // no height of its own
    QCOMPARE(doc.columnWidth(1), 20.0);
    QCOMPARE(doc.columnWidth(2), doc.currentWorksheet()->defaultColumnWidth());
    for (int column = 3; column <= 5; ++column)
        QCOMPARE(doc.columnWidth(column), 13.5);
    QCOMPARE(doc.columnWidth(6), doc.currentWorksheet()->defaultColumnWidth());
    QCOMPARE(doc.columnWidth(52), 3.0);
}

void TestXlsx::missingParts_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("status");
    QTest::addColumn<QVariant>("a1");
    QTest::addColumn<QVariant>("a5");
    // Without styles every cell has the default look; the file is still whole.
    QTest::newRow("no styles") << "no_styles.xlsx" << int(Document::Damaged)
                               << QVariant(QStringLiteral("x")) << QVariant(QStringLiteral("thin"));
    // Without strings the string cells are lost and the numbers kept.
    QTest::newRow("no shared strings")
        << "no_strings.xlsx" << int(Document::Damaged) << QVariant() << QVariant(42.0);
}

void TestXlsx::missingParts()
{
    QFETCH(QString, file);
    Document doc(m_dir.filePath(file));
    QTEST(int(doc.loadStatus()), "status");
    QVERIFY(!doc.isLoadPackage());
    QVERIFY(!doc.loadError().isEmpty());
    QTEST(doc.read(1, 1), "a1");
    QTEST(doc.read(5, 1), "a5");
    if (file == QLatin1String("no_styles.xlsx"))
        QCOMPARE(doc.cellAt(5, 1)->format().leftBorderStyle(), Format::BorderNone);
}

void TestXlsx::hostileFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("kept"); // a cell that must survive, "cell=value"
    QTest::newRow("truncated zip") << "hostile_truncated.xlsx" << int(Document::Failed) << "";
    QTest::newRow("not a zip") << "hostile_notzip.xlsx" << int(Document::Failed) << "";
    QTest::newRow("empty file") << "hostile_empty.xlsx" << int(Document::Failed) << "";
    QTest::newRow("billion laughs") << "hostile_dtd.xlsx" << int(Document::Damaged) << "A5=42";
    QTest::newRow("zip bomb") << "hostile_bomb.xlsx" << int(Document::Damaged) << "";
    QTest::newRow("dot-dot target") << "hostile_dotdot.xlsx" << int(Document::Failed) << "";
    QTest::newRow("references out of the sheet")
        << "hostile_refs.xlsx" << int(Document::Damaged) << "A5=42";
    QTest::newRow("string index out of range")
        << "hostile_strings.xlsx" << int(Document::Damaged) << "A3=  leading and trailing  ";
    QTest::newRow("no workbook part") << "hostile_noworkbook.xlsx" << int(Document::Failed) << "";
    QTest::newRow("overlapping merges")
        << "hostile_merges.xlsx" << int(Document::Damaged) << "A1=A1";
}

void TestXlsx::hostileFiles()
{
    QFETCH(QString, file);
    QFETCH(QString, kept);
    Document doc(m_dir.filePath(file));
    QTEST(int(doc.loadStatus()), "status");
    QVERIFY(!doc.isLoadPackage());
    QVERIFY(!doc.loadError().isEmpty());
    QVERIFY(doc.currentWorksheet());
    if (!kept.isEmpty()) {
        const QStringList parts = kept.split(QLatin1Char('='));
        const CellReference ref = CellReference::fromString(parts[0]);
        QCOMPARE(doc.read(ref.row(), ref.column()).toString(), parts[1]);
    }
    if (doc.loadStatus() == Document::Failed)
        QVERIFY(!doc.dimension().isValid());
    // What survives never overlaps, so it can be written and read back.
    const QList<CellRange> merges = doc.currentWorksheet()->mergedCells();
    for (int i = 0; i < merges.size(); ++i) {
        for (int j = i + 1; j < merges.size(); ++j)
            QVERIFY(!merges[i].intersects(merges[j]));
    }
    QVERIFY(doc.saveAs(path("rewritten.xlsx")));
    QCOMPARE(Document(path("rewritten.xlsx")).loadStatus(), Document::Loaded);
}

QJsonValue TestXlsx::written(const QString &where) const
{
    QJsonValue value = m_written;
    for (const QString &key : where.split(QLatin1Char('/'))) {
        bool isIndex = false;
        const int index = key.toInt(&isIndex);
        value =
            isIndex && value.isArray() ? value.toArray().at(index) : value.toObject().value(key);
    }
    return value;
}

void TestXlsx::writtenFileReadByOpenpyxl_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QJsonValue>("expected");
    auto row = [](const char *where, const QJsonValue &expected) {
        QTest::newRow(where) << where << expected;
    };
    row("problems", QJsonArray());
    row("dimension", "A1:AZ100");
    row("cells/A1/value", "日程 & <计划>");
    row("cells/A1/font", QJsonArray({"宋体", 14.0, true, true, "single", "FF123456"}));
    row("cells/A2/value", "  two\nlines  ");
    row("cells/A3/value", 0.1 + 0.2);
    row("cells/A4/value", -12345678901.5);
    row("cells/A5/value", true);
    row("cells/B2/fill", QJsonArray({"solid", "FFFFC000"}));
    row("cells/B2/align", QJsonArray({"center", "center", true}));
    row("cells/C3/border",
        QJsonArray(
            {QJsonArray({"thin", "FFFF0000"}), QJsonArray({"mediumDashDotDot", QJsonValue()}),
             QJsonArray({"double", QJsonValue()}), QJsonArray({"slantDashDot", "FF008000"})}));
    row("cells/AY99/value", "corner");
    row("cells/AY99/border/1/0", "medium");
    row("merges", QJsonArray({"AY99:AZ100", "B11:D12"}));
    row("heights/1", 40 / 1.33);
    row("heights/60", 9.0);
    row("widths/1-1", 30.0);
    row("widths/4-6", 2.5);
}

void TestXlsx::writtenFileReadByOpenpyxl()
{
    QFETCH(QString, where);
    QFETCH(QJsonValue, expected);
    const QJsonValue actual = written(where);
    if (expected.isDouble())
        QCOMPARE(actual.toDouble(), expected.toDouble());
    else
        QCOMPARE(actual, expected);
}

void TestXlsx::roundTripKeepsEverything_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("style");
    QTest::addColumn<QColor>("color");
    QTest::newRow("control characters") << QVariant(QStringLiteral("a\x01b\x1f")) << 0 << QColor();
    QTest::newRow("escape-like text")
        << QVariant(QStringLiteral("_x0041_ stays")) << 1 << QColor(Qt::blue);
    QTest::newRow("carriage return") << QVariant(QStringLiteral("a\r\nb")) << 2 << QColor();
    QTest::newRow("two-byte, three-byte and four-byte characters")
        << QVariant(QStringLiteral("é 日程 \U0001F600 ok")) << 2 << QColor();
    QTest::newRow("tiny number") << QVariant(5e-324) << 3 << QColor(1, 2, 3);
    QTest::newRow("huge number") << QVariant(1.7976931348623157e308) << 4 << QColor();
    QTest::newRow("false") << QVariant(false) << 5 << QColor(Qt::white);
    for (int style = 6; style <= 13; ++style)
        QTest::addRow("border %d", style) << QVariant(QStringLiteral("s")) << style << QColor();
}

void TestXlsx::roundTripKeepsEverything()
{
    QFETCH(QVariant, value);
    QFETCH(int, style);
    QFETCH(QColor, color);
    Format format;
    format.setBorderStyle(BS(style));
    format.setBorderColor(color);
    format.setFontStrikeOut(true);
    {
        Document doc;
        QVERIFY(doc.write(7, 9, value, format));
        QVERIFY(doc.saveAs(path("roundtrip.xlsx")));
    }
    Document doc(path("roundtrip.xlsx"));
    QVERIFY2(doc.isLoadPackage(), qPrintable(doc.loadError()));
    QCOMPARE(doc.read(7, 9), value);
    const Format f = doc.cellAt(7, 9)->format();
    QCOMPARE(int(f.topBorderStyle()), style);
    QCOMPARE(int(f.rightBorderStyle()), style);
    QCOMPARE(f.bottomBorderColor(), color);
    QVERIFY(f.fontStrikeOut());
    QCOMPARE(doc.dimension(), CellRange(7, 9, 7, 9));
}

void TestXlsx::mergeReplacesOverlappingMerges()
{
    Document doc;
    QVERIFY(doc.mergeCells(CellRange(1, 1, 2, 2)));
    QVERIFY(doc.mergeCells(CellRange(5, 5, 6, 6)));
    QVERIFY(!doc.mergeCells(CellRange(3, 3, 3, 3))); // a single cell is no merge
    QVERIFY(!doc.mergeCells(CellRange(1, 1, 2, 16385)));
    QVERIFY(doc.mergeCells(CellRange(2, 2, 5, 5)));
    QCOMPARE(doc.currentWorksheet()->mergedCells(), QList<CellRange>({CellRange(2, 2, 5, 5)}));
    QVERIFY(!doc.unmergeCells(CellRange(2, 2, 4, 4)));
    QVERIFY(doc.unmergeCells(CellRange(2, 2, 5, 5)));
    QVERIFY(doc.currentWorksheet()->mergedCells().isEmpty());
}

void TestXlsx::failedSaveKeepsOldFile()
{
    const QString target = path("keep.xlsx");
    Document small;
    small.write(1, 1, QStringLiteral("old"));
    QVERIFY(small.saveAs(target));
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    QVERIFY(!small.saveAs(m_dir.filePath(QStringLiteral("no/such/dir/x.xlsx"))));
    QVERIFY(!small.saveAs(m_dir.path())); // a directory

#ifdef Q_OS_UNIX
    // Run out of file size half-way through the write: the old file must stay as it was.
    Document big;
    for (int row = 1; row <= 2000; ++row)
        big.write(row, 1, QStringLiteral("text %1").arg(row * 7919));
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old;
    limit.rlim_cur = rlim_t(before.size() + 512);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const bool saved = big.saveAs(target);
    setrlimit(RLIMIT_FSIZE, &old);
    QVERIFY(!saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    file.close();
    QCOMPARE(Document(target).read(1, 1), QVariant(QStringLiteral("old")));
    const QStringList leftovers =
        QDir(m_dir.path()).entryList({QStringLiteral("keep.xlsx.*")}, QDir::Files);
    QVERIFY2(leftovers.isEmpty(), qPrintable(leftovers.join(QLatin1Char(' '))));
#endif
}

void TestXlsx::saveKeepsModeAndLinks()
{
#ifdef Q_OS_UNIX
    // A save replaces the file by a new one: it must still be the file other programs know,
    // with the access rights it had.
    const QString target = path("shared.xlsx");
    const QString link = path("shortcut.xlsx");
    Document doc;
    doc.write(1, 1, QStringLiteral("first"));
    QVERIFY(doc.saveAs(target));
    const QFile::Permissions mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(target, mode));
    QVERIFY(QFile::link(target, link));

    doc.write(1, 1, QStringLiteral("second"));
    QVERIFY(doc.saveAs(link));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(Document(target).read(1, 1), QVariant(QStringLiteral("second")));
    const QFile::Permissions everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                        QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                        QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(QFile::permissions(target) & everyone, mode);
    QVERIFY(QDir(m_dir.path()).entryList({QStringLiteral("shared.xlsx.*")}, QDir::Files).isEmpty());
#endif
}

void TestXlsx::sheetMarkup_data()
{
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QVariant>("value");
    const QVariant blank;
    QTest::newRow("attributes in any order")
        << QByteArray("<row r=\"2\"><c t=\"s\" s=\"0\" r=\"B2\"><v>1</v></c></row>") << "B2"
        << QVariant(QStringLiteral("one"));
    QTest::newRow("single quotes, spaces around =")
        << QByteArray("<row r='1'><c r = 'A1'\n\tt = 's' ><v>0</v></c></row>") << "A1"
        << QVariant(QStringLiteral("zero"));
    QTest::newRow("self-closing row, then cells")
        << QByteArray("<row r=\"1\"/><row><c r=\"C2\"><v>3</v></c></row>") << "C2" << QVariant(3.0);
    QTest::newRow("self-closing cell is blank")
        << QByteArray("<row r=\"1\"><c r=\"A1\"/><c r=\"B1\"><v>2</v></c></row>") << "A1" << blank;
    QTest::newRow("cell without reference follows the previous")
        << QByteArray("<row r=\"4\"><c r=\"B4\"><v>1</v></c><c><v>2</v></c></row>") << "C4"
        << QVariant(2.0);
    QTest::newRow("row without number follows the previous")
        << QByteArray("<row r=\"6\"/><row><c><v>5</v></c></row>") << "A7" << QVariant(5.0);
    QTest::newRow("exponent") << QByteArray("<row><c r=\"A1\"><v>-1.5E3</v></c></row>") << "A1"
                              << QVariant(-1500.0);
    QTest::newRow("white space around a number")
        << QByteArray("<row><c r=\"A1\"><v>\n 42\t</v></c></row>") << "A1" << QVariant(42.0);
    QTest::newRow("plus sign, leading point")
        << QByteArray("<row><c r=\"A1\"><v>+.25</v></c></row>") << "A1" << QVariant(0.25);
    QTest::newRow("reference inside a number")
        << QByteArray("<row><c r=\"A1\"><v>&#52;2</v></c></row>") << "A1" << QVariant(42.0);
    QTest::newRow("comment splitting a number")
        << QByteArray("<row><c r=\"A1\"><v>1<!-- x -->2</v></c></row>") << "A1" << QVariant(12.0);
    QTest::newRow("prefixed elements")
        << QByteArray("<x:row><x:c r=\"A1\"><x:v>7</x:v></x:c></x:row>") << "A1" << QVariant(7.0);
    QTest::newRow("boolean with white space")
        << QByteArray("<row><c r=\"A1\" t=\"b\"><v> 1 </v></c></row>") << "A1" << QVariant(true);
    QTest::newRow("formula result text, formula skipped")
        << QByteArray("<row><c r=\"A1\" t=\"str\"><f>B1&amp;\"&lt;\"</f><v>a&amp;b</v></c></row>")
        << "A1" << QVariant(QStringLiteral("a&b"));
    QTest::newRow("entities in an inline string")
        << QByteArray("<row><c r=\"A1\" t=\"inlineStr\"><is><t>a &amp; b &lt;c&gt; "
                      "&quot;&apos;&#x4E2D;&#25991;&#x1F600;</t></is></c></row>")
        << "A1" << QVariant(QStringLiteral("a & b <c> \"'中文\U0001F600"));
    QTest::newRow("white space kept in t")
        << QByteArray("<row><c r=\"A1\" t=\"inlineStr\"><is><t xml:space=\"preserve\">  two\n "
                      "lines\t</t></is></c></row>")
        << "A1" << QVariant(QStringLiteral("  two\n lines\t"));
    QTest::newRow("line ends normalised, escaped return kept")
        << QByteArray("<row><c r=\"A1\" t=\"inlineStr\"><is><t>a\r\nb\rc&#13;</t></is></c></row>")
        << "A1" << QVariant(QStringLiteral("a\nb\nc\r"));
    QTest::newRow("CDATA is literal")
        << QByteArray("<row><c r=\"A1\" t=\"inlineStr\"><is><t>x<![CDATA[<b>&amp;]]]]>"
                      "<![CDATA[>]]>y</t></is></c></row>")
        << "A1" << QVariant(QStringLiteral("x<b>&amp;]]>y"));
    QTest::newRow("rich runs without the phonetic guide")
        << QByteArray("<row><c r=\"A1\" t=\"inlineStr\"><is><r><rPr><b/></rPr><t>bold</t></r>"
                      "<r><t xml:space=\"preserve\"> plain</t></r><rPh sb=\"0\" eb=\"1\"><t>ふ</t>"
                      "</rPh></is></c></row>")
        << "A1" << QVariant(QStringLiteral("bold plain"));
    QTest::newRow("escaped character in an inline string")
        << QByteArray("<row><c r=\"A1\" t=\"inlineStr\"><is><t>a_x000D_b</t></is></c></row>")
        << "A1" << QVariant(QStringLiteral("a\rb"));
    QTest::newRow("UTF-8 byte order mark")
        << QByteArray("\xEF\xBB\xBF") + "<row><c r=\"A1\"><v>1</v></c></row>"
        << "A1" << QVariant(1.0);
}

void TestXlsx::sheetMarkup()
{
    QFETCH(QByteArray, rows);
    QFETCH(QString, cell);
    QFETCH(QVariant, value);
    // A byte order mark goes before the declaration, not inside sheetData.
    const bool bom = rows.startsWith("\xEF\xBB\xBF");
    const QByteArray xml = bom ? rows.left(3) + sheetXml(rows.mid(3)) : sheetXml(rows);
    Worksheet sheet(QStringLiteral("S"));
    QCOMPARE(readSheet(xml, &sheet), QString());
    const CellReference ref = CellReference::fromString(cell);
    QCOMPARE(sheet.read(ref.row(), ref.column()), value);
}

void TestXlsx::malformedNumbers_data()
{
    QTest::addColumn<QByteArray>("number");
    for (const char *text :
         {"",    " ",   "1,5", "1.5.2", "0x10", "1e",    "1e999", "-1e999", "inf", "-inf",
          "nan", "--1", "+-1", "++1",   "1 2",  "12abc", ".",     "-",      "e5",  "&#49;&#x2C;5"})
        QTest::addRow("'%s'", text) << QByteArray(text);
}

void TestXlsx::malformedNumbers()
{
    QFETCH(QByteArray, number);
    Worksheet sheet(QStringLiteral("S"));
    const QString error = readSheet(
        sheetXml("<row><c r=\"A1\"><v>" + number + "</v></c><c r=\"B1\"><v>2</v></c></row>"),
        &sheet);
    QVERIFY2(error.contains(QLatin1String("malformed number")), qPrintable(error));
    QCOMPARE(sheet.read(1, 1), QVariant());
    QCOMPARE(sheet.read(1, 2), QVariant(2.0)); // the rest of the row is still read
}

void TestXlsx::refusedMarkup_data()
{
    QTest::addColumn<QByteArray>("xml");
    const QByteArray cell = "<row><c r=\"A1\"><v>1</v></c></row>";
    const QByteArray good = sheetXml(cell);
    const int body = good.indexOf("<worksheet");
    QTest::newRow("document type") << good.left(body) + "<!DOCTYPE worksheet>" + good.mid(body);
    QTest::newRow("entity declarations")
        << good.left(body) + "<!DOCTYPE w [<!ENTITY a \"aaaa\"><!ENTITY b \"&a;&a;\">]>" +
               good.mid(body);
    QTest::newRow("undeclared entity") << sheetXml(cell + "<row><c><v>&a;</v></c></row>");
    QTest::newRow("reference without semicolon")
        << sheetXml(cell + "<row><c><v>&amp 1</v></c></row>");
    QTest::newRow("reference to NUL") << sheetXml(cell + "<row><c><v>&#0;</v></c></row>");
    QTest::newRow("reference past Unicode")
        << sheetXml(cell + "<row><c><v>&#x110000;</v></c></row>");
    QTest::newRow("reference to a surrogate")
        << sheetXml(cell + "<row><c><v>&#xD800;</v></c></row>");
    QTest::newRow("empty reference") << sheetXml(cell + "<row><c><v>&#x;</v></c></row>");
    QTest::newRow("control character") << sheetXml(cell + "<row><c><v>1\x01</v></c></row>");
    QTest::newRow("control character in CDATA")
        << sheetXml(cell + "<row><c><v><![CDATA[\x02]]></v></c></row>");
    QTest::newRow("mismatched end tag") << sheetXml(cell + "<row><c><v>1</c></v></row>");
    QTest::newRow("end tag without start") << sheetXml(cell + "</row>");
    QTest::newRow("duplicate attribute") << sheetXml(cell + "<row><c r=\"B1\" r=\"C1\"/></row>");
    QTest::newRow("'<' in a value") << sheetXml(cell + "<row><c r=\"<\"/></row>");
    QTest::newRow("unquoted value") << sheetXml(cell + "<row><c r=B1/></row>");
    QTest::newRow("attribute without space") << sheetXml(cell + "<row><c r=\"B1\"s=\"0\"/></row>");
    QTest::newRow("truncated") << good.left(good.size() - 20);
    QTest::newRow("unterminated CDATA") << good.left(good.indexOf("</v>")) + "<![CDATA[1";
    QTest::newRow("unterminated comment") << good + "<!-- ";
    QTest::newRow("text after the root") << good + "x";
    QTest::newRow("second root") << good + "<worksheet/>";
    QTest::newRow("unknown encoding")
        << QByteArray("<?xml version=\"1.0\" encoding=\"x-no-such\"?>") + good.mid(body);
}

void TestXlsx::refusedMarkup()
{
    QFETCH(QByteArray, xml);
    Worksheet sheet(QStringLiteral("S"));
    QVERIFY(!readSheet(xml, &sheet).isEmpty());
    // Nothing of a refused declaration is expanded; cells before a fault may stay.
    QVERIFY(sheet.cellCount() <= 1);
    QVERIFY(sheet.read(1, 1) == QVariant() || sheet.read(1, 1) == QVariant(1.0));
}

void TestXlsx::sharedStringItems_data()
{
    QTest::addColumn<QByteArray>("items");
    QTest::addColumn<QStringList>("strings");
    QTest::newRow("plain, empty and self-closing")
        << QByteArray("<si><t>a</t></si><si><t></t></si><si><t/></si><si/>")
        << QStringList{"a", "", "", ""};
    QTest::newRow("runs, phonetic guide, properties")
        << QByteArray("<si><r><rPr><sz val=\"11\"/></rPr><t>日程</t></r><r><t>表</t></r>"
                      "<rPh><t>にってい</t></rPh><phoneticPr fontId=\"1\"/></si>")
        << QStringList{"日程表"};
    QTest::newRow("entities, CDATA, escapes")
        << QByteArray("<si><t>&lt;&amp;&gt;</t></si><si><t><![CDATA[&lt;]]></t></si>"
                      "<si><t>_x0009__x005F_x0041_</t></si>")
        << QStringList{"<&>", "&lt;", "\t_x0041_"};
    QTest::newRow("element inside t is not text")
        << QByteArray("<si><t>a<x>b</x>c</t></si>") << QStringList{"ac"};
}

void TestXlsx::sharedStringItems()
{
    QFETCH(QByteArray, items);
    QFETCH(QStringList, strings);
    const QByteArray xml = "<?xml version=\"1.0\"?><sst xmlns=\"http://schemas.openxmlformats.org/"
                           "spreadsheetml/2006/main\">" +
                           items + "</sst>";
    SharedStrings table;
    QString error;
    QVERIFY2(table.read(xml, &error), qPrintable(error));
    QCOMPARE(table.count(), strings.size());
    for (int i = 0; i < strings.size(); ++i) {
        QString text;
        QVERIFY(table.at(i, &text));
        QCOMPARE(text, strings[i]);
    }
    // The same items cut short: what was read stays, and the fault is reported.
    SharedStrings cut;
    QVERIFY(!cut.read(xml.left(xml.size() - 7), &error));
    QVERIFY(cut.count() <= strings.size());
}

void TestXlsx::otherEncodings_data()
{
    QTest::addColumn<QByteArray>("xml");
    const QString text = QStringLiteral("<sst><si><t>é&amp;中</t></si></sst>");
    QTest::newRow("UTF-16 with byte order mark") << QByteArray("\xFF\xFE") + utf16(text, false);
    QTest::newRow("UTF-16 without byte order mark") << utf16(text, false);
    QTest::newRow("UTF-16 big-endian, declared")
        << QByteArray("\xFE\xFF") +
               utf16(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>") + text, true);
    QTest::newRow("declared GB18030")
        << QByteArray("<?xml version=\"1.0\" encoding=\"GB18030\"?>"
                      "<sst><si><t>\xA8\xA6&amp;\xD6\xD0</t></si></sst>");
}

void TestXlsx::otherEncodings()
{
    QFETCH(QByteArray, xml);
    SharedStrings table;
    QString error;
    QVERIFY2(table.read(xml, &error), qPrintable(error));
    QString text;
    QVERIFY(table.at(0, &text));
    QCOMPARE(text, QStringLiteral("é&中"));
}

void TestXlsx::numbersWrittenShortAndExact_data()
{
    QTest::addColumn<double>("number");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("zero") << 0.0 << QByteArray("0");
    QTest::newRow("negative zero") << -0.0 << QByteArray("-0");
    QTest::newRow("whole") << 42.0 << QByteArray("42");
    QTest::newRow("negative quarter") << -13.75 << QByteArray("-13.75");
    QTest::newRow("tenth") << 0.1 << QByteArray("0.1");
    QTest::newRow("sum that is not 0.3") << 0.1 + 0.2 << QByteArray("0.30000000000000004");
    QTest::newRow("leading zeros in the decimals") << 5.0625 << QByteArray("5.0625");
    QTest::newRow("smallest scaled") << 1e-4 << QByteArray("0.0001");
    QTest::newRow("below the scaled range") << 2.5e-5 << QByteArray("2.5e-05");
    QTest::newRow("third") << 1.0 / 3 << QByteArray("0.3333333333333333");
    QTest::newRow("largest scaled") << 999999999999999.0 << QByteArray("999999999999999");
    QTest::newRow("decimals past 2^53 when scaled")
        << 900719925474.0993 << QByteArray("900719925474.0992"); // the same double
    QTest::newRow("above the scaled range") << 1e15 << QByteArray("1e+15");
    QTest::newRow("beyond 2^53") << 9007199254740994.0 << QByteArray("9007199254740994");
    QTest::newRow("huge") << 1.7976931348623157e308 << QByteArray("1.7976931348623157e+308");
    QTest::newRow("tiny") << 5e-324 << QByteArray("5e-324");
}

void TestXlsx::numbersWrittenShortAndExact()
{
    QFETCH(double, number);
    QFETCH(QByteArray, text);
    Worksheet sheet(QStringLiteral("S"));
    QVERIFY(sheet.write(1, 1, number));
    SharedStrings strings;
    Styles styles;
    const QByteArray xml = sheet.toXml(&strings, &styles);
    QVERIFY2(xml.contains("<v>" + text + "</v>"), xml.constData());
    Worksheet back(QStringLiteral("S"));
    QCOMPARE(readSheet(xml, &back), QString());
    const double read = back.read(1, 1).toDouble();
    // Exactly the same double, sign of zero included.
    QVERIFY(std::memcmp(&read, &number, sizeof read) == 0);
}

void TestXlsx::cellTypesWrittenBack_data()
{
    QTest::addColumn<QByteArray>("cell");    // as read
    QTest::addColumn<QByteArray>("written"); // as written again
    QTest::newRow("error") << QByteArray("<c r=\"B3\" t=\"e\"><v>#DIV/0!</v></c>")
                           << QByteArray("<c r=\"B3\" t=\"e\"><v>#DIV/0!</v></c>");
    QTest::newRow("error that needs escaping")
        << QByteArray("<c r=\"B3\" t=\"e\"><v>#&lt;&amp;&gt;</v></c>")
        << QByteArray("<c r=\"B3\" t=\"e\"><v>#&lt;&amp;&gt;</v></c>");
    QTest::newRow("true") << QByteArray("<c r=\"B3\" t=\"b\"><v>1</v></c>")
                          << QByteArray("<c r=\"B3\" t=\"b\"><v>1</v></c>");
    QTest::newRow("false") << QByteArray("<c r=\"B3\" t=\"b\"><v>0</v></c>")
                           << QByteArray("<c r=\"B3\" t=\"b\"><v>0</v></c>");
    QTest::newRow("text becomes shared")
        << QByteArray("<c r=\"B3\" t=\"inlineStr\"><is><t>x</t></is></c>")
        << QByteArray("<c r=\"B3\" t=\"s\"><v>0</v></c>");
    QTest::newRow("last column, last row") << QByteArray("<c r=\"XFD1048576\"><v>-2.5</v></c>")
                                           << QByteArray("<c r=\"XFD1048576\"><v>-2.5</v></c>");
}

void TestXlsx::cellTypesWrittenBack()
{
    QFETCH(QByteArray, cell);
    QFETCH(QByteArray, written);
    Worksheet sheet(QStringLiteral("S"));
    QCOMPARE(readSheet(sheetXml("<row>" + cell + "</row>"), &sheet), QString());
    SharedStrings strings;
    Styles styles;
    const QByteArray xml = sheet.toXml(&strings, &styles);
    QVERIFY2(xml.contains(written), xml.constData());
    Worksheet back(QStringLiteral("S"));
    QCOMPARE(readSheet(xml, &back), QString());
    const CellRange used = sheet.dimension();
    QCOMPARE(back.dimension(), used);
    QCOMPARE(back.cellAt(used.firstRow(), used.firstColumn())->cellType(),
             sheet.cellAt(used.firstRow(), used.firstColumn())->cellType());
}

QTEST_GUILESS_MAIN(TestXlsx)
#include "tst_xlsx.moc"

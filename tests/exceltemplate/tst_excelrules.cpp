// The template editor's sheet rules that need no window: outlines over merged areas, border
// masks after style and colour choices, alignment choices and the size caches.
#include "exceltemplate/bordermask.h"
#include "exceltemplate/cellarea.h"
#include "exceltemplate/cellrules.h"
#include "exceltemplate/sizecache.h"

#include <QtTest>

Q_DECLARE_METATYPE(CellArea)

class TestExcelRules : public QObject {
    Q_OBJECT
private slots:
    void outlineSides_data();
    void outlineSides();
    void styleAndColorKeepTheirBits_data();
    void styleAndColorKeepTheirBits();
    void alignmentChoices_data();
    void alignmentChoices();
    void columnNames();
    void sizeWriteBack_data();
    void sizeWriteBack();
};

namespace {
const qint64 L = BorderMask::Left, R = BorderMask::Right, T = BorderMask::Top,
             B = BorderMask::Bottom;
CellArea area(int topRow, int leftColumn, int bottomRow, int rightColumn)
{
    return CellArea::fromCorners(topRow, leftColumn, bottomRow, rightColumn);
}
} // namespace

void TestExcelRules::outlineSides_data()
{
    QTest::addColumn<CellArea>("outline");
    QTest::addColumn<CellAreas>("merges");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<qint64>("sides");

    const CellArea square = area(2, 2, 4, 4);
    QTest::newRow("single cell") << area(5, 5, 5, 5) << CellAreas() << 5 << 5 << (L | R | T | B);
    QTest::newRow("3x3 centre") << square << CellAreas() << 3 << 3 << qint64(0);
    QTest::newRow("3x3 top-left") << square << CellAreas() << 2 << 2 << (L | T);
    QTest::newRow("3x3 top edge") << square << CellAreas() << 2 << 3 << T;
    QTest::newRow("3x3 right edge") << square << CellAreas() << 3 << 4 << R;
    QTest::newRow("3x3 bottom-right") << square << CellAreas() << 4 << 4 << (R | B);
    QTest::newRow("3x3 bottom-left") << square << CellAreas() << 4 << 2 << (L | B);
    // A merged area is painted by its top-left cell, which takes the outer sides it ends on.
    QTest::newRow("merge over the right column")
        << square << CellAreas{area(2, 3, 2, 4)} << 2 << 3 << (T | R);
    QTest::newRow("merge down to the bottom row")
        << square << CellAreas{area(3, 2, 4, 2)} << 3 << 2 << (L | B);
    QTest::newRow("merge on the bottom-right corner")
        << square << CellAreas{area(3, 3, 4, 4)} << 3 << 3 << (R | B);
    QTest::newRow("whole area merged") << square << CellAreas{square} << 2 << 2 << (L | R | T | B);
    QTest::newRow("merge inside, off the edges")
        << area(1, 1, 5, 5) << CellAreas{area(2, 2, 3, 3)} << 2 << 2 << qint64(0);
}

void TestExcelRules::outlineSides()
{
    QFETCH(CellArea, outline);
    QFETCH(CellAreas, merges);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(qint64, sides);
    QCOMPARE(BorderMask::outlineSides(outline, row, column, merges), sides);
}

void TestExcelRules::styleAndColorKeepTheirBits_data()
{
    QTest::addColumn<qint64>("mask");
    QTest::addColumn<int>("styleIndex");
    QTest::addColumn<qint64>("styled");
    QTest::addColumn<int>("workbookStyle");

    const qint64 red = qint64(0xFF) << 16;
    QTest::newRow("thin solid to dotted")
        << (L | T | BorderMask::Thin | BorderMask::Solid | red) << 2
        << (L | T | BorderMask::Thin | BorderMask::Dotted | red) << int(BorderMask::DottedLine);
    QTest::newRow("thick dashed to solid")
        << (B | BorderMask::Thick | BorderMask::Dashed) << 0
        << (B | BorderMask::Thick | BorderMask::Solid) << int(BorderMask::MediumLine);
    // The workbook has no thick dashed line of ours: both widths write the thin one.
    QTest::newRow("thick to dashed")
        << (B | BorderMask::Thick) << 1 << (B | BorderMask::Thick | BorderMask::Dashed)
        << int(BorderMask::DashedLine);
    QTest::newRow("thin to dash-dot-dot")
        << (R | BorderMask::Thin) << 4 << (R | BorderMask::Thin | BorderMask::DashDotDot)
        << int(BorderMask::DashDotDotLine);
    QTest::newRow("no width, solid")
        << qint64(0) << 0 << BorderMask::Solid << int(BorderMask::Unchanged);
    // Nothing is drawn yet, so the workbook keeps its borders until a border is set.
    QTest::newRow("no width, dotted")
        << qint64(0) << 2 << BorderMask::Dotted << int(BorderMask::Unchanged);
    QTest::newRow("thin dotted to solid")
        << (T | BorderMask::Thin | BorderMask::Dotted) << 0
        << (T | BorderMask::Thin | BorderMask::Solid) << int(BorderMask::ThinLine);
}

void TestExcelRules::styleAndColorKeepTheirBits()
{
    QFETCH(qint64, mask);
    QFETCH(int, styleIndex);
    QFETCH(qint64, styled);
    QFETCH(int, workbookStyle);
    QCOMPARE(BorderMask::withStyle(mask, styleIndex), styled);
    QCOMPARE(BorderMask::workbookStyleForChoice(mask, styleIndex), workbookStyle);

    // A colour keeps sides, width and style and replaces the old colour completely.
    const qint64 coloured = BorderMask::withColor(styled, 0x12, 0x34, 0x56);
    QCOMPARE(coloured & 0xFFFF, styled & 0xFFFF);
    QCOMPARE(BorderMask::red(coloured), 0x12);
    QCOMPARE(BorderMask::green(coloured), 0x34);
    QCOMPARE(BorderMask::blue(coloured), 0x56);
    QCOMPARE(coloured >> 40, qint64(0));
}

void TestExcelRules::alignmentChoices_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<QList<int>>("choices");
    QTest::addColumn<int>("expected");

    QTest::newRow("right, then vertical centre") << 2 << QList<int>{5} << 2 + 128;
    QTest::newRow("right, vertical centre, left") << 2 << QList<int>{5, 0} << 1 + 128;
    QTest::newRow("bottom-left to horizontal centre") << 1 + 64 << QList<int>{1} << 4 + 64;
    QTest::newRow("justify, then top") << 0 << QList<int>{3, 4} << 8 + 32;
    QTest::newRow("no flags take the choice alone") << 0 << QList<int>{6} << 64;
    QTest::newRow("vertical choices replace each other") << 1 + 32 << QList<int>{6, 5} << 1 + 128;
}

void TestExcelRules::alignmentChoices()
{
    QFETCH(int, flags);
    QFETCH(QList<int>, choices);
    QFETCH(int, expected);
    for (int index : choices)
        flags = CellRules::alignmentAfterChoice(flags, index);
    QCOMPARE(flags, expected);
}

void TestExcelRules::columnNames()
{
    QStringList names;
    for (int column = 0; column < CellRules::GridColumns; ++column)
        names.append(CellRules::columnName(column));
    QCOMPARE(names.first(), QString("A"));
    QCOMPARE(names.at(25), QString("Z"));
    QCOMPARE(names.at(26), QString("AA"));
    QCOMPARE(names.last(), QString("AZ"));
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), 52);
}

void TestExcelRules::sizeWriteBack_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<double>>("loaded");
    QTest::addColumn<QList<int>>("shownPixels"); // the grid's pixels at load
    QTest::addColumn<QVector<int>>("pixelsAtSave");
    QTest::addColumn<QList<double>>("written");

    QTest::newRow("row without height kept at 20 points")
        << int(SizeCache::Rows) << QList<double>{0} << QList<int>{27} << QVector<int>{27}
        << QList<double>{20.0};
    // Pixels do not convert back exactly; an untouched row keeps its height through any number
    // of saves instead of growing by a pixel each time.
    QTest::newRow("untouched row keeps its points")
        << int(SizeCache::Rows) << QList<double>{30.0, 12.75} << QList<int>{40, 17}
        << QVector<int>{40, 17} << QList<double>{30.0, 12.75};
    QTest::newRow("resized row and a new row")
        << int(SizeCache::Rows) << QList<double>{15.0} << QList<int>{20} << QVector<int>{40, 33}
        << QList<double>{40 / 1.33, 33 / 1.33};
    QTest::newRow("default column width kept")
        << int(SizeCache::Columns) << QList<double>{8.43} << QList<int>{64} << QVector<int>{64}
        << QList<double>{8.43};
    QTest::newRow("resized column")
        << int(SizeCache::Columns) << QList<double>{8.43, 20} << QList<int>{64, 152}
        << QVector<int>{64, 100} << QList<double>{8.43, 100 / 7.58};
}

void TestExcelRules::sizeWriteBack()
{
    QFETCH(int, kind);
    QFETCH(QList<double>, loaded);
    QFETCH(QList<int>, shownPixels);
    QFETCH(QVector<int>, pixelsAtSave);
    QFETCH(QList<double>, written);

    SizeCache cache{SizeCache::Kind(kind)};
    for (int i = 0; i < loaded.size(); ++i)
        QCOMPARE(cache.addLoaded(loaded[i]), shownPixels[i]);
    const QVector<double> sizes = cache.writeBack(pixelsAtSave);
    QCOMPARE(sizes.size(), written.size());
    for (int i = 0; i < written.size(); ++i)
        QCOMPARE(sizes[i], written[i]);
    // A second save of the same grid writes the same sizes.
    QCOMPARE(cache.writeBack(pixelsAtSave), sizes);
}

QTEST_GUILESS_MAIN(TestExcelRules)
#include "tst_excelrules.moc"

#include "exceltemplate/excelcellformat.h"

#include "exceltemplate/bordermask.h"

using QXlsx::Format;

// The logic layer numbers workbook border styles as the file does; so does the xlsx layer.
static_assert(int(BorderMask::ThinLine) == int(Format::BorderThin) &&
                  int(BorderMask::MediumLine) == int(Format::BorderMedium) &&
                  int(BorderMask::DashedLine) == int(Format::BorderDashed) &&
                  int(BorderMask::DottedLine) == int(Format::BorderDotted) &&
                  int(BorderMask::DashDotLine) == int(Format::BorderDashDot) &&
                  int(BorderMask::DashDotDotLine) == int(Format::BorderDashDotDot),
              "border style numbers differ");

namespace {

qint64 sideBits(Format::BorderStyle style, const QColor &color, qint64 side)
{
    qint64 bits = 0;
    const qint64 drawn = BorderMask::bitsOfWorkbookStyle(int(style));
    if (drawn != 0)
        bits = drawn | side;
    if (color.isValid())
        bits |= BorderMask::withColor(0, color.red(), color.green(), color.blue());
    return bits;
}

} // namespace

int ExcelCellFormat::gridAlignment(const Format &format)
{
    int horizontal = Qt::AlignLeft;
    switch (format.horizontalAlignment()) {
    case Format::AlignHCenter:
        horizontal = Qt::AlignHCenter;
        break;
    case Format::AlignRight:
        horizontal = Qt::AlignRight;
        break;
    case Format::AlignHJustify:
        horizontal = Qt::AlignJustify;
        break;
    default:
        break;
    }
    int vertical = Qt::AlignTop;
    switch (format.verticalAlignment()) {
    case Format::AlignVCenter:
        vertical = Qt::AlignVCenter;
        break;
    case Format::AlignBottom:
        vertical = Qt::AlignBottom;
        break;
    default:
        break;
    }
    return horizontal | vertical;
}

void ExcelCellFormat::applyAlignmentChoice(Format *format, int index)
{
    static constexpr Format::HorizontalAlignment Horizontal[] = {
        Format::AlignLeft, Format::AlignHCenter, Format::AlignRight, Format::AlignHJustify};
    static constexpr Format::VerticalAlignment Vertical[] = {Format::AlignTop, Format::AlignVCenter,
                                                             Format::AlignBottom};
    if (index >= 0 && index < 4)
        format->setHorizontalAlignment(Horizontal[index]);
    else if (index >= 4 && index < 7)
        format->setVerticalAlignment(Vertical[index - 4]);
}

qint64 ExcelCellFormat::borderMask(const Format &format)
{
    return sideBits(format.leftBorderStyle(), format.leftBorderColor(), BorderMask::Left) |
           sideBits(format.rightBorderStyle(), format.rightBorderColor(), BorderMask::Right) |
           sideBits(format.topBorderStyle(), format.topBorderColor(), BorderMask::Top) |
           sideBits(format.bottomBorderStyle(), format.bottomBorderColor(), BorderMask::Bottom);
}

qint64 ExcelCellFormat::mergedBorderMask(const Format &topLeft, const Format *bottomRight)
{
    qint64 mask = sideBits(topLeft.leftBorderStyle(), topLeft.leftBorderColor(), BorderMask::Left) |
                  sideBits(topLeft.topBorderStyle(), topLeft.topBorderColor(), BorderMask::Top);
    if (bottomRight) {
        mask |= sideBits(bottomRight->rightBorderStyle(), bottomRight->rightBorderColor(),
                         BorderMask::Right) |
                sideBits(bottomRight->bottomBorderStyle(), bottomRight->bottomBorderColor(),
                         BorderMask::Bottom);
    }
    return mask;
}

void ExcelCellFormat::applyStyleChoice(Format *format, qint64 oldMask, int styleIndex)
{
    // Only the sides the grid draws get the style, so the file never shows a border the
    // grid did not.
    const int style = BorderMask::workbookStyleForChoice(oldMask, styleIndex);
    if (style != BorderMask::Unchanged)
        applySides(format, oldMask & BorderMask::AllSides, Format::BorderStyle(style));
}

void ExcelCellFormat::applySides(Format *format, qint64 sides, Format::BorderStyle style)
{
    if (sides & BorderMask::Left)
        format->setLeftBorderStyle(style);
    if (sides & BorderMask::Right)
        format->setRightBorderStyle(style);
    if (sides & BorderMask::Top)
        format->setTopBorderStyle(style);
    if (sides & BorderMask::Bottom)
        format->setBottomBorderStyle(style);
}

QColor ExcelCellFormat::maskColor(qint64 mask)
{
    return QColor(BorderMask::red(mask), BorderMask::green(mask), BorderMask::blue(mask));
}

qint64 ExcelCellFormat::withColor(qint64 mask, const QColor &color)
{
    return BorderMask::withColor(mask, color.red(), color.green(), color.blue());
}

#include "exceltemplate/bordermask.h"

qint64 BorderMask::styleBit(int styleIndex)
{
    static constexpr qint64 Bits[] = {Solid, Dashed, Dotted, DashDot, DashDotDot};
    return styleIndex >= 0 && styleIndex < 5 ? Bits[styleIndex] : 0;
}

qint64 BorderMask::withStyle(qint64 mask, int styleIndex)
{
    return (mask & KeptByStyle) | styleBit(styleIndex);
}

qint64 BorderMask::withColor(qint64 mask, int red, int green, int blue)
{
    return (mask & KeptByColor) | (qint64(red & 0xFF) << 16) | (qint64(green & 0xFF) << 24) |
           (qint64(blue & 0xFF) << 32);
}

Qt::PenStyle BorderMask::penStyle(qint64 mask)
{
    if (mask & Solid)
        return Qt::SolidLine;
    if (mask & Dashed)
        return Qt::DashLine;
    if (mask & Dotted)
        return Qt::DotLine;
    if (mask & DashDot)
        return Qt::DashDotLine;
    if (mask & DashDotDot)
        return Qt::DashDotDotLine;
    return Qt::SolidLine;
}

int BorderMask::workbookStyleOf(qint64 mask)
{
    if (!isDrawn(mask))
        return Unchanged;
    if (mask & Solid)
        return (mask & Thin) ? ThinLine : MediumLine;
    // A workbook has medium dashed lines, but the grid's dashes have always been written thin.
    if (mask & Dashed)
        return DashedLine;
    if (mask & Dotted)
        return DottedLine;
    if (mask & DashDot)
        return DashDotLine;
    if (mask & DashDotDot)
        return DashDotDotLine;
    return (mask & Thin) ? ThinLine : MediumLine;
}

int BorderMask::workbookStyleForChoice(qint64 oldMask, int styleIndex)
{
    if (styleBit(styleIndex) == 0)
        return Unchanged;
    return workbookStyleOf(withStyle(oldMask, styleIndex));
}

qint64 BorderMask::bitsOfWorkbookStyle(int workbookStyle)
{
    switch (workbookStyle) {
    case 1: // thin
        return Thin | Solid;
    case 2: // medium
        return Thick | Solid;
    case 3: // dashed
        return Thin | Dashed;
    case 4: // dotted
        return Thin | Dotted;
    case 9: // dashDot
        return Thin | DashDot;
    case 11: // dashDotDot
        return Thin | DashDotDot;
    case 8: // mediumDashed
        return Thick | Dashed;
    case 10: // mediumDashDot
        return Thick | DashDot;
    case 12: // mediumDashDotDot
        return Thick | DashDotDot;
    default:
        return 0;
    }
}

qint64 BorderMask::outlineSides(const CellArea &area, int row, int column, const CellAreas &merges)
{
    qint64 sides = 0;
    if (row == area.firstRow)
        sides |= Top;
    if (row == area.lastRow)
        sides |= Bottom;
    if (column == area.firstColumn)
        sides |= Left;
    if (column == area.lastColumn)
        sides |= Right;
    for (const CellArea &merge : merges) {
        if (merge.firstRow != row || merge.firstColumn != column)
            continue;
        if (merge.lastRow == area.lastRow)
            sides |= Bottom;
        if (merge.lastColumn == area.lastColumn)
            sides |= Right;
    }
    return sides;
}

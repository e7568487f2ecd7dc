#ifndef ORVANE_EXCELTEMPLATE_EXCELCELLFORMAT_H
#define ORVANE_EXCELTEMPLATE_EXCELCELLFORMAT_H

#include "xlsx/format.h"

#include <QColor>
#include <QtGlobal>

// How a grid cell's alignment flags and border mask map to the workbook format of its cell,
// both ways. No widgets: the editor applies these to its items.
class ExcelCellFormat {
public:
    // Qt alignment flags of a workbook cell: one horizontal and one vertical flag.
    static int gridAlignment(const QXlsx::Format &format);
    // Alignment box entry `index`: horizontal alignment for 0 to 3, vertical for 4 to 6.
    static void applyAlignmentChoice(QXlsx::Format *format, int index);

    // The border mask a loaded cell shows. For the top-left cell of a merged range the right
    // and bottom sides are those of the range's bottom-right cell (none when the workbook has
    // no cell there), since the grid paints the whole area with the top-left item.
    static qint64 borderMask(const QXlsx::Format &format);
    static qint64 mergedBorderMask(const QXlsx::Format &topLeft, const QXlsx::Format *bottomRight);

    // Border style box entry `styleIndex` on a cell whose mask was `oldMask`: the style goes
    // on the sides the mask draws.
    static void applyStyleChoice(QXlsx::Format *format, qint64 oldMask, int styleIndex);
    // Gives the listed sides (BorderMask side bits) one style.
    static void applySides(QXlsx::Format *format, qint64 sides, QXlsx::Format::BorderStyle style);

    static QColor maskColor(qint64 mask);
    static qint64 withColor(qint64 mask, const QColor &color);
};

#endif

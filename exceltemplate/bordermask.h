#ifndef ORVANE_EXCELTEMPLATE_BORDERMASK_H
#define ORVANE_EXCELTEMPLATE_BORDERMASK_H

#include "exceltemplate/cellarea.h"

#include <QtGlobal>

// The 64-bit border mask each grid cell carries: which sides are drawn, one width, one line
// style and one colour for all of them. A mask without width bit draws nothing.
class BorderMask {
public:
    static constexpr qint64 Left = 1;
    static constexpr qint64 Right = 2;
    static constexpr qint64 Top = 4;
    static constexpr qint64 Bottom = 8;
    static constexpr qint64 AllSides = 15;
    static constexpr qint64 Thin = 32;
    static constexpr qint64 Thick = 64;
    static constexpr qint64 Solid = 256;
    static constexpr qint64 Dashed = 512;
    static constexpr qint64 Dotted = 1024;
    static constexpr qint64 DashDot = 2048;
    static constexpr qint64 DashDotDot = 4096;
    // "内外框线": four thin sides in black.
    static constexpr qint64 Grid = AllSides | Thin;
    // Sides, widths and colour survive a style choice; sides and style survive a colour choice.
    static constexpr qint64 KeptByStyle = 0xFFFFFF00FFLL;
    static constexpr qint64 KeptByColor = 0xFFFFLL;

    // Border styles of a workbook cell, numbered as the file numbers them.
    enum WorkbookStyle {
        NoBorder = 0,
        ThinLine = 1,
        MediumLine = 2,
        DashedLine = 3,
        DottedLine = 4,
        DashDotLine = 9,
        DashDotDotLine = 11,
        // What a style choice writes when the mask has no width yet: nothing.
        Unchanged = -1
    };

    // Style box entries 0 to 4: solid, dashed, dotted, dash-dot, dash-dot-dot.
    static qint64 styleBit(int styleIndex);
    static qint64 withStyle(qint64 mask, int styleIndex);
    static qint64 withColor(qint64 mask, int red, int green, int blue);
    static int red(qint64 mask) { return int((mask >> 16) & 0xFF); }
    static int green(qint64 mask) { return int((mask >> 24) & 0xFF); }
    static int blue(qint64 mask) { return int((mask >> 32) & 0xFF); }
    static bool isDrawn(qint64 mask) { return (mask & (Thin | Thick)) != 0; }
    static Qt::PenStyle penStyle(qint64 mask);
    static int penWidth(qint64 mask) { return (mask & Thin) ? 2 : 4; }

    // The workbook style of the sides a mask draws: thin or medium for solid lines; the thin
    // dashed, dotted, dash-dot and dash-dot-dot styles for either width. Unchanged when the
    // mask draws nothing.
    static int workbookStyleOf(qint64 mask);
    // The workbook style a style choice writes on the sides the mask draws.
    static int workbookStyleForChoice(qint64 oldMask, int styleIndex);
    // Width and style bits one workbook side adds to the mask; 0 for styles the grid cannot
    // draw (double, hair, thick, slantDashDot).
    static qint64 bitsOfWorkbookStyle(int workbookStyle);

    // Sides the outline of `area` puts on one of its cells. A merged area is painted by its
    // top-left cell, so the outer sides of a recorded merge ending on the outline go there.
    static qint64 outlineSides(const CellArea &area, int row, int column, const CellAreas &merges);
};

#endif

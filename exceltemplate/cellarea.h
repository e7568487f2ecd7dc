#ifndef ORVANE_EXCELTEMPLATE_CELLAREA_H
#define ORVANE_EXCELTEMPLATE_CELLAREA_H

#include <QList>

// A rectangle of grid cells, 0-based and inclusive, as the editor records merged areas.
struct CellArea {
    int firstColumn = 0;
    int firstRow = 0;
    int lastRow = 0;
    int lastColumn = 0;

    static CellArea fromCorners(int topRow, int leftColumn, int bottomRow, int rightColumn);

    int rowCount() const { return lastRow - firstRow + 1; }
    int columnCount() const { return lastColumn - firstColumn + 1; }
    bool isSingleCell() const { return rowCount() == 1 && columnCount() == 1; }
    bool contains(int row, int column) const;
    bool contains(const CellArea &other) const;
    bool overlaps(const CellArea &other) const;
    bool operator==(const CellArea &other) const;
    bool operator!=(const CellArea &other) const { return !(*this == other); }
};
using CellAreas = QList<CellArea>;

#endif

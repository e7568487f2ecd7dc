#include "exceltemplate/cellarea.h"

#include <algorithm>

CellArea CellArea::fromCorners(int topRow, int leftColumn, int bottomRow, int rightColumn)
{
    // The first and last selected ranges need not be ordered, so normalise the corners.
    CellArea area;
    area.firstRow = std::min(topRow, bottomRow);
    area.lastRow = std::max(topRow, bottomRow);
    area.firstColumn = std::min(leftColumn, rightColumn);
    area.lastColumn = std::max(leftColumn, rightColumn);
    return area;
}

bool CellArea::contains(int row, int column) const
{
    return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
}

bool CellArea::contains(const CellArea &other) const
{
    return contains(other.firstRow, other.firstColumn) && contains(other.lastRow, other.lastColumn);
}

bool CellArea::overlaps(const CellArea &other) const
{
    return firstRow <= other.lastRow && other.firstRow <= lastRow &&
           firstColumn <= other.lastColumn && other.firstColumn <= lastColumn;
}

bool CellArea::operator==(const CellArea &other) const
{
    return firstColumn == other.firstColumn && firstRow == other.firstRow &&
           lastRow == other.lastRow && lastColumn == other.lastColumn;
}

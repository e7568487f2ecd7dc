#ifndef ORVANE_XLSX_CELLRANGE_H
#define ORVANE_XLSX_CELLRANGE_H

#include "xlsx/cellreference.h"

#include <QString>
#include <QStringView>

namespace QXlsx {

// A rectangle of cells, 1-based rows and columns as in a spreadsheet.
class CellRange {
public:
    CellRange() = default;
    CellRange(int firstRow, int firstColumn, int lastRow, int lastColumn)
        : m_firstRow(firstRow), m_firstColumn(firstColumn), m_lastRow(lastRow),
          m_lastColumn(lastColumn)
    {
    }
    CellRange(const CellReference &topLeft, const CellReference &bottomRight)
        : CellRange(topLeft.row(), topLeft.column(), bottomRight.row(), bottomRight.column())
    {
    }

    // Parses "A1:C3" or a single "B2"; anything malformed or out of the sheet is invalid.
    static CellRange fromString(QStringView text);

    int firstRow() const { return m_firstRow; }
    int firstColumn() const { return m_firstColumn; }
    int lastRow() const { return m_lastRow; }
    int lastColumn() const { return m_lastColumn; }
    int rowCount() const { return m_lastRow - m_firstRow + 1; }
    int columnCount() const { return m_lastColumn - m_firstColumn + 1; }
    CellReference topLeft() const { return CellReference(m_firstRow, m_firstColumn); }
    CellReference bottomRight() const { return CellReference(m_lastRow, m_lastColumn); }

    bool isValid() const;
    bool contains(int row, int column) const;
    bool contains(const CellRange &other) const;
    bool intersects(const CellRange &other) const;
    // "A1:C3", or "B2" for a single cell; empty when invalid.
    QString toString() const;

    bool operator==(const CellRange &other) const;
    bool operator!=(const CellRange &other) const { return !(*this == other); }

private:
    int m_firstRow = -1;
    int m_firstColumn = -1;
    int m_lastRow = -2;
    int m_lastColumn = -2;
};

} // namespace QXlsx

#endif

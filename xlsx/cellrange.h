#ifndef ORVANE_XLSX_CELLRANGE_H
#define ORVANE_XLSX_CELLRANGE_H

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
    int firstRow() const { return m_firstRow; }
    int firstColumn() const { return m_firstColumn; }
    int lastRow() const { return m_lastRow; }
    int lastColumn() const { return m_lastColumn; }
    bool isValid() const;

private:
    int m_firstRow = -1;
    int m_firstColumn = -1;
    int m_lastRow = -2;
    int m_lastColumn = -2;
};

} // namespace QXlsx

#endif

#ifndef ORVANE_XLSX_WORKSHEET_H
#define ORVANE_XLSX_WORKSHEET_H

#include "xlsx/cell.h"
#include "xlsx/cellrange.h"
#include "xlsx/format.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include <map>
#include <utility>
#include <vector>

namespace QXlsx {

class SharedStrings;
class Styles;

// One sheet of cells, with its merged ranges, row heights and column widths.
// Rows and columns are 1-based.
class Worksheet {
public:
    // A sheet holds at most this many cells; a file with more is read up to here.
    static constexpr int MaxCells = 4000000;
    static constexpr int MaxMerges = 20000;

    explicit Worksheet(const QString &name);

    QString sheetName() const { return m_name; }

    // Writes a value and keeps the cell's format. An invalid value or an empty string leaves
    // a blank cell; a blank cell without a format is removed.
    bool write(int row, int column, const QVariant &value);
    // Writes a value with a format, replacing the cell's format.
    bool write(int row, int column, const QVariant &value, const Format &format);
    QVariant read(int row, int column) const;
    // The cell at a position, or nullptr; valid until the sheet next changes.
    const Cell *cellAt(int row, int column) const;

    // Merges a range of two or more cells. Merged ranges it overlaps are dropped first, as a
    // spreadsheet does. A non-empty format is given to every cell of the range, so that
    // borders and fill cover the whole area; the values stay.
    bool mergeCells(const CellRange &range, const Format &format = Format());
    // Removes the merged range equal to the given one.
    bool unmergeCells(const CellRange &range);
    QList<CellRange> mergedCells() const { return m_merges; }

    // Heights in points, at most 409. rowHeight() is 0 for a row that has no height of its
    // own; the caller decides what default to show.
    bool setRowHeight(int row, double points);
    double rowHeight(int row) const;
    double defaultRowHeight() const { return m_defaultRowHeight; }
    // Widths in character units, at most 255. columnWidth() of a column without a width of
    // its own is the sheet's default width.
    bool setColumnWidth(int column, double width);
    bool setColumnWidth(int firstColumn, int lastColumn, double width);
    double columnWidth(int column) const;
    double defaultColumnWidth() const { return m_defaultColumnWidth; }

    // The used range, computed from the cells and merged ranges; invalid for an empty sheet.
    CellRange dimension() const;
    int cellCount() const { return m_cellCount; }

    // The worksheet part. Reading keeps what it understood and reports faults in *error.
    bool readXml(const QByteArray &data, const SharedStrings &strings, const Styles &styles,
                 QString *error);
    QByteArray toXml(SharedStrings *strings, Styles *styles) const;

private:
    using RowCells = std::vector<std::pair<int, Cell>>;
    Cell *findCell(int row, int column);
    Cell &cellAtOrInsert(int row, int column);
    void removeCell(int row, int column);
    bool addMerge(const CellRange &range);

    QString m_name;
    std::map<int, RowCells> m_rows;
    int m_cellCount = 0;
    std::map<int, double> m_rowHeights;
    std::vector<double> m_columnWidths; // by column - 1; negative when unset
    QList<CellRange> m_merges;
    double m_defaultRowHeight = 15;
    double m_defaultColumnWidth = 8.43;
    bool m_hasDefaultColumnWidth = false;
};

} // namespace QXlsx

#endif

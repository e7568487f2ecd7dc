#ifndef ORVANE_XLSX_CELLREFERENCE_H
#define ORVANE_XLSX_CELLREFERENCE_H

#include <QString>
#include <QStringView>

#include <string_view>

namespace QXlsx {

// The sheet's hard limits; anything outside them in a file is refused, not clamped.
constexpr int MaxRows = 1048576;
constexpr int MaxColumns = 16384;

// One cell position, 1-based, written "B3" in a workbook.
class CellReference {
public:
    CellReference() = default;
    CellReference(int row, int column) : m_row(row), m_column(column) {}

    // Parses "B3" or "$B$3"; an out-of-range or malformed text gives an invalid reference.
    static CellReference fromString(QStringView text);
    // The same for the bytes of a file.
    static CellReference fromLatin1(std::string_view text);
    // Column letters of a 1-based column ("A", "Z", "AA"); empty when out of range.
    static QString columnName(int column);

    int row() const { return m_row; }
    int column() const { return m_column; }
    bool isValid() const;
    QString toString() const;

    bool operator==(const CellReference &other) const
    {
        return m_row == other.m_row && m_column == other.m_column;
    }
    bool operator!=(const CellReference &other) const { return !(*this == other); }

private:
    int m_row = 0;
    int m_column = 0;
};

} // namespace QXlsx

#endif

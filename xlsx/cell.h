#ifndef ORVANE_XLSX_CELL_H
#define ORVANE_XLSX_CELL_H

#include "xlsx/format.h"

#include <QVariant>

#include <utility>

namespace QXlsx {

// One cell of a worksheet: its value and its format. Rich text runs are read as their plain
// text; formulas are kept only by their last computed value.
class Cell {
public:
    enum CellType { BlankType, NumberType, StringType, BooleanType, ErrorType };

    Cell() = default;
    Cell(QVariant value, CellType type, const Format &format = Format())
        : m_value(std::move(value)), m_format(format), m_type(type)
    {
    }

    CellType cellType() const { return m_type; }
    // A QString, a double, a bool, or an invalid QVariant for a blank cell.
    const QVariant &value() const { return m_value; }
    const Format &format() const { return m_format; }
    void setFormat(const Format &format) { m_format = format; }

    // The type a value is stored as: strings, numbers, booleans; anything else as text.
    static CellType typeOf(const QVariant &value);

private:
    QVariant m_value;
    Format m_format;
    CellType m_type = BlankType;
};

} // namespace QXlsx

#endif

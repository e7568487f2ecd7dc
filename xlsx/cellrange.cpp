#include "xlsx/cellrange.h"

namespace QXlsx {

CellRange CellRange::fromString(QStringView text)
{
    const int colon = text.indexOf(QLatin1Char(':'));
    const CellReference first = CellReference::fromString(colon < 0 ? text : text.left(colon));
    const CellReference last = colon < 0 ? first : CellReference::fromString(text.mid(colon + 1));
    if (!first.isValid() || !last.isValid())
        return {};
    const CellRange range(first, last);
    return range.isValid() ? range : CellRange();
}

bool CellRange::isValid() const
{
    return m_firstRow >= 1 && m_firstColumn >= 1 && m_lastRow >= m_firstRow &&
           m_lastColumn >= m_firstColumn && m_lastRow <= MaxRows && m_lastColumn <= MaxColumns;
}

bool CellRange::contains(int row, int column) const
{
    return row >= m_firstRow && row <= m_lastRow && column >= m_firstColumn &&
           column <= m_lastColumn;
}

bool CellRange::contains(const CellRange &other) const
{
    return contains(other.m_firstRow, other.m_firstColumn) &&
           contains(other.m_lastRow, other.m_lastColumn);
}

bool CellRange::intersects(const CellRange &other) const
{
    return m_firstRow <= other.m_lastRow && other.m_firstRow <= m_lastRow &&
           m_firstColumn <= other.m_lastColumn && other.m_firstColumn <= m_lastColumn;
}

QString CellRange::toString() const
{
    if (!isValid())
        return QString();
    const QString first = topLeft().toString();
    if (m_firstRow == m_lastRow && m_firstColumn == m_lastColumn)
        return first;
    return first + QLatin1Char(':') + bottomRight().toString();
}

bool CellRange::operator==(const CellRange &other) const
{
    return m_firstRow == other.m_firstRow && m_firstColumn == other.m_firstColumn &&
           m_lastRow == other.m_lastRow && m_lastColumn == other.m_lastColumn;
}

} // namespace QXlsx

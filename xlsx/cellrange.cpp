#include "xlsx/cellrange.h"

namespace QXlsx {

bool CellRange::isValid() const
{
    return m_firstRow >= 1 && m_firstColumn >= 1 && m_lastRow >= m_firstRow &&
           m_lastColumn >= m_firstColumn;
}

} // namespace QXlsx

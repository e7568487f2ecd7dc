#include "xlsx/cell.h"

namespace QXlsx {

Cell::CellType Cell::typeOf(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return BlankType;
    switch (static_cast<QMetaType::Type>(value.userType())) {
    case QMetaType::Bool:
        return BooleanType;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return NumberType;
    default:
        return StringType;
    }
}

} // namespace QXlsx

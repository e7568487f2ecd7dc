#include "xlsx/cellreference.h"

namespace QXlsx {

namespace {

char16_t unit(QChar c)
{
    return c.unicode();
}

char16_t unit(char c)
{
    return char16_t(static_cast<unsigned char>(c));
}

// One parser for UTF-16 and for bytes, so that both read references identically.
template <typename Text> CellReference parseReference(const Text &text)
{
    int i = 0;
    const int n = int(text.size());
    if (i < n && unit(text[i]) == '$')
        ++i;
    int column = 0;
    int letters = 0;
    for (; i < n; ++i) {
        const auto c = unit(text[i]);
        if (c >= 'a' && c <= 'z')
            column = column * 26 + (c - 'a' + 1);
        else if (c >= 'A' && c <= 'Z')
            column = column * 26 + (c - 'A' + 1);
        else
            break;
        // Three letters reach XFD; more can only be garbage and would overflow.
        if (++letters > 3)
            return {};
    }
    if (i < n && unit(text[i]) == '$')
        ++i;
    int row = 0;
    int digits = 0;
    for (; i < n; ++i) {
        const auto c = unit(text[i]);
        if (c < '0' || c > '9')
            return {};
        row = row * 10 + (c - '0');
        if (++digits > 7)
            return {};
    }
    const CellReference ref(row, column);
    return ref.isValid() ? ref : CellReference();
}

} // namespace

CellReference CellReference::fromString(QStringView text)
{
    return parseReference(text);
}

CellReference CellReference::fromLatin1(std::string_view text)
{
    return parseReference(text);
}

QString CellReference::columnName(int column)
{
    if (column < 1 || column > MaxColumns)
        return QString();
    QString name;
    while (column > 0) {
        const int rest = (column - 1) % 26;
        name.prepend(QChar(char16_t('A' + rest)));
        column = (column - 1) / 26;
    }
    return name;
}

bool CellReference::isValid() const
{
    return m_row >= 1 && m_row <= MaxRows && m_column >= 1 && m_column <= MaxColumns;
}

QString CellReference::toString() const
{
    if (!isValid())
        return QString();
    return columnName(m_column) + QString::number(m_row);
}

} // namespace QXlsx

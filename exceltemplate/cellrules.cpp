#include "exceltemplate/cellrules.h"

#include <iterator>

namespace {
constexpr int FontSizes[] = {9, 12, 14, 16, 18, 22, 26, 30, 36, 42};
constexpr int AlignmentFlags[] = {0x1, 0x4, 0x2, 0x8, 0x20, 0x80, 0x40};
constexpr int HorizontalMask = 0xF;
constexpr int VerticalMask = 0xE0;
} // namespace

QString CellRules::columnName(int column)
{
    const QChar last(QLatin1Char(char('A' + column % 26)));
    return column < 26 ? QString(last) : QString(QLatin1Char(char('A' + column / 26 - 1))) + last;
}

QStringList CellRules::fontSizeItems()
{
    QStringList items;
    for (int size : FontSizes)
        items.append(QString::number(size));
    return items;
}

int CellRules::fontSizeAt(int index)
{
    return index >= 0 && index < int(std::size(FontSizes)) ? FontSizes[index] : FontSizes[0];
}

int CellRules::alignmentAfterChoice(int oldFlags, int index)
{
    if (index < 0 || index >= int(std::size(AlignmentFlags)))
        return oldFlags;
    const int flag = AlignmentFlags[index];
    if (oldFlags == 0)
        return flag;
    return (oldFlags & (isHorizontalChoice(index) ? VerticalMask : HorizontalMask)) | flag;
}

QString CellRules::joinedTexts(const QStringList &textsInReadingOrder)
{
    QStringList parts;
    for (const QString &text : textsInReadingOrder) {
        if (!text.isEmpty())
            parts.append(text);
    }
    return parts.join(QLatin1Char('\n'));
}

#include "xlsx/format.h"

#include <QHash>

#include <array>

namespace QXlsx {

namespace {
enum Side { Left, Right, Top, Bottom };
}

class FormatPrivate : public QSharedData {
public:
    QString fontName;
    double fontSize = 0;
    bool bold = false;
    bool italic = false;
    bool strikeOut = false;
    Format::FontUnderline underline = Format::FontUnderlineNone;
    QColor fontColor;
    QColor fillColor;
    Format::HorizontalAlignment hAlign = Format::AlignHGeneral;
    Format::VerticalAlignment vAlign = Format::AlignBottom;
    bool wrap = false;
    std::array<Format::BorderStyle, 4> borderStyle{Format::BorderNone, Format::BorderNone,
                                                   Format::BorderNone, Format::BorderNone};
    std::array<QColor, 4> borderColor;
    // Which groups were given, so that an untouched group stays the workbook's default.
    bool hasFont = false;
    bool hasFill = false;
    bool hasBorder = false;
    bool hasAlignment = false;
};

Format::Format() : d(new FormatPrivate) {}
Format::Format(const Format &other) = default;
Format &Format::operator=(const Format &other) = default;
Format::~Format() = default;

bool Format::isEmpty() const
{
    return !d->hasFont && !d->hasFill && !d->hasBorder && !d->hasAlignment;
}
bool Format::hasFontData() const
{
    return d->hasFont;
}
bool Format::hasFillData() const
{
    return d->hasFill;
}
bool Format::hasBorderData() const
{
    return d->hasBorder;
}
bool Format::hasAlignmentData() const
{
    return d->hasAlignment;
}

QString Format::fontName() const
{
    return d->fontName;
}
void Format::setFontName(const QString &name)
{
    d->fontName = name;
    d->hasFont = true;
}
double Format::fontSize() const
{
    return d->fontSize;
}
void Format::setFontSize(double points)
{
    d->fontSize = points > 0 && points < 4096 ? points : 0;
    d->hasFont = true;
}
bool Format::fontBold() const
{
    return d->bold;
}
void Format::setFontBold(bool bold)
{
    d->bold = bold;
    d->hasFont = true;
}
bool Format::fontItalic() const
{
    return d->italic;
}
void Format::setFontItalic(bool italic)
{
    d->italic = italic;
    d->hasFont = true;
}
Format::FontUnderline Format::fontUnderline() const
{
    return d->underline;
}
void Format::setFontUnderline(FontUnderline underline)
{
    d->underline = underline;
    d->hasFont = true;
}
bool Format::fontStrikeOut() const
{
    return d->strikeOut;
}
void Format::setFontStrikeOut(bool strikeOut)
{
    d->strikeOut = strikeOut;
    d->hasFont = true;
}
QColor Format::fontColor() const
{
    return d->fontColor;
}
void Format::setFontColor(const QColor &color)
{
    d->fontColor = color;
    d->hasFont = true;
}

QFont Format::font() const
{
    QFont font;
    if (!d->fontName.isEmpty())
        font.setFamily(d->fontName);
    if (d->fontSize > 0)
        font.setPointSizeF(d->fontSize);
    font.setBold(d->bold);
    font.setItalic(d->italic);
    font.setUnderline(d->underline != FontUnderlineNone);
    font.setStrikeOut(d->strikeOut);
    return font;
}

void Format::setFont(const QFont &font)
{
    d->fontName = font.family();
    if (font.pointSizeF() > 0)
        setFontSize(font.pointSizeF());
    else if (font.pixelSize() > 0)
        setFontSize(font.pixelSize());
    d->bold = font.bold();
    d->italic = font.italic();
    // Keep a double underline double when the font only says "underlined".
    if (!font.underline())
        d->underline = FontUnderlineNone;
    else if (d->underline == FontUnderlineNone)
        d->underline = FontUnderlineSingle;
    d->strikeOut = font.strikeOut();
    d->hasFont = true;
}

QColor Format::patternBackgroundColor() const
{
    return d->fillColor;
}
void Format::setPatternBackgroundColor(const QColor &color)
{
    d->fillColor = color;
    d->hasFill = true;
}

Format::HorizontalAlignment Format::horizontalAlignment() const
{
    return d->hAlign;
}
void Format::setHorizontalAlignment(HorizontalAlignment alignment)
{
    d->hAlign = alignment;
    d->hasAlignment = true;
}
Format::VerticalAlignment Format::verticalAlignment() const
{
    return d->vAlign;
}
void Format::setVerticalAlignment(VerticalAlignment alignment)
{
    d->vAlign = alignment;
    d->hasAlignment = true;
}
bool Format::textWrap() const
{
    return d->wrap;
}
void Format::setTextWrap(bool wrap)
{
    d->wrap = wrap;
    d->hasAlignment = true;
}

#define ORVANE_BORDER_SIDE(Name, side)                                                             \
    Format::BorderStyle Format::Name##BorderStyle() const                                          \
    {                                                                                              \
        return d->borderStyle[side];                                                               \
    }                                                                                              \
    QColor Format::Name##BorderColor() const                                                       \
    {                                                                                              \
        return d->borderColor[side];                                                               \
    }

ORVANE_BORDER_SIDE(left, Left)
ORVANE_BORDER_SIDE(right, Right)
ORVANE_BORDER_SIDE(top, Top)
ORVANE_BORDER_SIDE(bottom, Bottom)
#undef ORVANE_BORDER_SIDE

void Format::setLeftBorderStyle(BorderStyle style)
{
    d->borderStyle[Left] = style;
    d->hasBorder = true;
}
void Format::setRightBorderStyle(BorderStyle style)
{
    d->borderStyle[Right] = style;
    d->hasBorder = true;
}
void Format::setTopBorderStyle(BorderStyle style)
{
    d->borderStyle[Top] = style;
    d->hasBorder = true;
}
void Format::setBottomBorderStyle(BorderStyle style)
{
    d->borderStyle[Bottom] = style;
    d->hasBorder = true;
}
void Format::setLeftBorderColor(const QColor &color)
{
    d->borderColor[Left] = color;
    d->hasBorder = true;
}
void Format::setRightBorderColor(const QColor &color)
{
    d->borderColor[Right] = color;
    d->hasBorder = true;
}
void Format::setTopBorderColor(const QColor &color)
{
    d->borderColor[Top] = color;
    d->hasBorder = true;
}
void Format::setBottomBorderColor(const QColor &color)
{
    d->borderColor[Bottom] = color;
    d->hasBorder = true;
}
void Format::setBorderStyle(BorderStyle style)
{
    d->borderStyle.fill(style);
    d->hasBorder = true;
}
void Format::setBorderColor(const QColor &color)
{
    d->borderColor.fill(color);
    d->hasBorder = true;
}

bool Format::operator==(const Format &other) const
{
    if (d == other.d)
        return true;
    const FormatPrivate &a = *d;
    const FormatPrivate &b = *other.d;
    return a.hasFont == b.hasFont && a.hasFill == b.hasFill && a.hasBorder == b.hasBorder &&
           a.hasAlignment == b.hasAlignment && a.fontName == b.fontName &&
           a.fontSize == b.fontSize && a.bold == b.bold && a.italic == b.italic &&
           a.strikeOut == b.strikeOut && a.underline == b.underline && a.fontColor == b.fontColor &&
           a.fillColor == b.fillColor && a.hAlign == b.hAlign && a.vAlign == b.vAlign &&
           a.wrap == b.wrap && a.borderStyle == b.borderStyle && a.borderColor == b.borderColor;
}

uint Format::hash() const
{
    const FormatPrivate &a = *d;
    uint h = ::qHash(a.fontName);
    auto mix = [&h](uint v) { h = h * 31u + v; };
    mix(::qHash(a.fontSize));
    mix(uint(a.bold) | uint(a.italic) << 1 | uint(a.strikeOut) << 2 | uint(a.wrap) << 3 |
        uint(a.hasFont) << 4 | uint(a.hasFill) << 5 | uint(a.hasBorder) << 6 |
        uint(a.hasAlignment) << 7);
    mix(uint(a.underline) | uint(a.hAlign) << 4 | uint(a.vAlign) << 8);
    mix(a.fontColor.isValid() ? a.fontColor.rgba() : 1u);
    mix(a.fillColor.isValid() ? a.fillColor.rgba() : 1u);
    for (int side = 0; side < 4; ++side) {
        mix(uint(a.borderStyle[side]));
        mix(a.borderColor[side].isValid() ? a.borderColor[side].rgba() : 1u);
    }
    return h;
}

} // namespace QXlsx

#ifndef ORVANE_XLSX_FORMAT_H
#define ORVANE_XLSX_FORMAT_H

#include <QColor>
#include <QFont>
#include <QSharedDataPointer>
#include <QString>

namespace QXlsx {

class FormatPrivate;

// The look of one cell: font, solid fill, alignment, wrap and the four borders.
// Implicitly shared, so a whole sheet of cells can carry the same format cheaply.
// An attribute that was never set reads as what a spreadsheet shows for it (no colour,
// general/bottom alignment, no border) and is not written.
class Format {
public:
    // The fourteen border styles of a workbook, in the file's own order.
    enum BorderStyle {
        BorderNone = 0,
        BorderThin = 1,
        BorderMedium = 2,
        BorderDashed = 3,
        BorderDotted = 4,
        BorderThick = 5,
        BorderDouble = 6,
        BorderHair = 7,
        BorderMediumDashed = 8,
        BorderDashDot = 9,
        BorderMediumDashDot = 10,
        BorderDashDotDot = 11,
        BorderMediumDashDotDot = 12,
        BorderSlantDashDot = 13
    };
    enum HorizontalAlignment {
        AlignHGeneral,
        AlignLeft,
        AlignHCenter,
        AlignRight,
        AlignHFill,
        AlignHJustify,
        AlignHMerge,
        AlignHDistributed
    };
    enum VerticalAlignment {
        AlignTop,
        AlignVCenter,
        AlignBottom,
        AlignVJustify,
        AlignVDistributed
    };
    enum FontUnderline {
        FontUnderlineNone,
        FontUnderlineSingle,
        FontUnderlineDouble,
        FontUnderlineSingleAccounting,
        FontUnderlineDoubleAccounting
    };

    Format();
    Format(const Format &other);
    Format &operator=(const Format &other);
    ~Format();

    // True while no attribute has been set.
    bool isEmpty() const;
    bool hasFontData() const;
    bool hasFillData() const;
    bool hasBorderData() const;
    bool hasAlignmentData() const;

    // An empty name or a size of 0 means the workbook's default font.
    QString fontName() const;
    void setFontName(const QString &name);
    double fontSize() const;
    void setFontSize(double points);
    bool fontBold() const;
    void setFontBold(bool bold);
    bool fontItalic() const;
    void setFontItalic(bool italic);
    FontUnderline fontUnderline() const;
    void setFontUnderline(FontUnderline underline);
    bool fontStrikeOut() const;
    void setFontStrikeOut(bool strikeOut);
    QColor fontColor() const;
    void setFontColor(const QColor &color);
    QFont font() const;
    // Takes family, size, bold, italic, underline and strike-out. A font sized in pixels
    // gives its pixel size as the point size, the grid's number being the one the user chose.
    void setFont(const QFont &font);

    // Colour of a solid fill; invalid when the cell has no solid fill.
    QColor patternBackgroundColor() const;
    void setPatternBackgroundColor(const QColor &color);

    HorizontalAlignment horizontalAlignment() const;
    void setHorizontalAlignment(HorizontalAlignment alignment);
    VerticalAlignment verticalAlignment() const;
    void setVerticalAlignment(VerticalAlignment alignment);
    bool textWrap() const;
    void setTextWrap(bool wrap);

    BorderStyle leftBorderStyle() const;
    void setLeftBorderStyle(BorderStyle style);
    BorderStyle rightBorderStyle() const;
    void setRightBorderStyle(BorderStyle style);
    BorderStyle topBorderStyle() const;
    void setTopBorderStyle(BorderStyle style);
    BorderStyle bottomBorderStyle() const;
    void setBottomBorderStyle(BorderStyle style);
    QColor leftBorderColor() const;
    void setLeftBorderColor(const QColor &color);
    QColor rightBorderColor() const;
    void setRightBorderColor(const QColor &color);
    QColor topBorderColor() const;
    void setTopBorderColor(const QColor &color);
    QColor bottomBorderColor() const;
    void setBottomBorderColor(const QColor &color);
    // All four sides at once.
    void setBorderStyle(BorderStyle style);
    void setBorderColor(const QColor &color);

    bool operator==(const Format &other) const;
    bool operator!=(const Format &other) const { return !(*this == other); }
    uint hash() const;
    // Cheap identity test: two formats copied from one another share their data.
    bool sharesDataWith(const Format &other) const { return d == other.d; }

private:
    QSharedDataPointer<FormatPrivate> d;
};

inline uint qHash(const Format &format, uint seed = 0)
{
    return format.hash() ^ seed;
}

} // namespace QXlsx

#endif

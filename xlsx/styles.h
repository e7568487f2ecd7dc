#ifndef ORVANE_XLSX_STYLES_H
#define ORVANE_XLSX_STYLES_H

#include "xlsx/format.h"

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QString>
#include <QVector>

class QXmlStreamReader;

namespace QXlsx {

// The style sheet of a workbook. Reading turns every cell style into a self-contained
// Format, with colours resolved to what a spreadsheet shows; writing collects the formats
// used by the cells and numbers them.
class Styles {
public:
    Styles();

    // Reading. A missing or damaged part leaves the defaults; the result says whether the
    // whole part was understood.
    bool read(const QByteArray &xml, QString *error);
    // The theme's colour scheme, for colours given as theme indexes.
    bool readTheme(const QByteArray &xml, QString *error);
    // The format of a cell style index; an empty format when the index is out of range.
    Format format(int index, bool *ok) const;
    int formatCount() const { return m_cellFormats.size(); }
    QString defaultFontName() const { return m_defaultFontName; }
    double defaultFontSize() const { return m_defaultFontSize; }
    void setDefaultFont(const QString &name, double size);

    // Writing: the style index of a format (0 for the empty one), and the whole part.
    int addFormat(const Format &format);
    QByteArray toXml() const;

    // A colour element's attributes (rgb, indexed, theme, tint, auto) as shown on screen;
    // invalid for "automatic" or an unknown index.
    QColor readColor(QXmlStreamReader &xml) const;
    static QColor applyTint(const QColor &color, double tint);

private:
    void readFont(QXmlStreamReader &xml, Format *format) const;
    void readFill(QXmlStreamReader &xml, Format *format) const;
    void readBorder(QXmlStreamReader &xml, Format *format) const;
    static void readAlignment(QXmlStreamReader &xml, Format *format);
    int addPart(QVector<QByteArray> *list, QHash<QByteArray, int> *index, const QByteArray &xml);

    // Reading state.
    QVector<QColor> m_palette;
    QVector<QColor> m_theme;
    QVector<Format> m_fonts;
    QVector<Format> m_fills;
    QVector<Format> m_borders;
    QVector<Format> m_cellFormats;
    QString m_defaultFontName = QStringLiteral("Calibri");
    double m_defaultFontSize = 11;

    // Writing state.
    QVector<QByteArray> m_fontXml;
    QVector<QByteArray> m_fillXml;
    QVector<QByteArray> m_borderXml;
    QVector<QByteArray> m_xfXml;
    QHash<QByteArray, int> m_fontIndex;
    QHash<QByteArray, int> m_fillIndex;
    QHash<QByteArray, int> m_borderIndex;
    QHash<QByteArray, int> m_xfIndex;
    QHash<Format, int> m_formatIndex;
};

} // namespace QXlsx

#endif

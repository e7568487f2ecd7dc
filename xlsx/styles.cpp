#include "xlsx/styles.h"

#include "xlsx/package.h"

#include <QLocale>
#include <QXmlStreamReader>

#include <array>

namespace QXlsx {

namespace {

// The 64 colours of the legacy palette that "indexed" colours refer to.
const std::array<QRgb, 64> StandardPalette = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};

// Theme colour slots in the order cells number them: the light and dark pairs are swapped
// against the order of the theme part itself.
const std::array<const char *, 12> ThemeSlots = {"lt1",     "dk1",     "lt2",     "dk2",
                                                 "accent1", "accent2", "accent3", "accent4",
                                                 "accent5", "accent6", "hlink",   "folHlink"};
// The Office theme, used when a workbook carries none.
const std::array<QRgb, 12> DefaultTheme = {0xFFFFFF, 0x000000, 0xEEECE1, 0x1F497D,
                                           0x4F81BD, 0xC0504D, 0x9BBB59, 0x8064A2,
                                           0x4BACC6, 0xF79646, 0x0000FF, 0x800080};

const std::array<const char *, 14> BorderNames = {"none",
                                                  "thin",
                                                  "medium",
                                                  "dashed",
                                                  "dotted",
                                                  "thick",
                                                  "double",
                                                  "hair",
                                                  "mediumDashed",
                                                  "dashDot",
                                                  "mediumDashDot",
                                                  "dashDotDot",
                                                  "mediumDashDotDot",
                                                  "slantDashDot"};

const std::array<const char *, 8> HorizontalNames = {
    "general", "left", "center", "right", "fill", "justify", "centerContinuous", "distributed"};
const std::array<const char *, 5> VerticalNames = {"top", "center", "bottom", "justify",
                                                   "distributed"};
const std::array<const char *, 5> UnderlineNames = {"none", "single", "double", "singleAccounting",
                                                    "doubleAccounting"};

template <size_t N>
int indexOf(const std::array<const char *, N> &names, QStringRef value, int fallback)
{
    for (size_t i = 0; i < N; ++i) {
        if (value == QLatin1String(names[i]))
            return int(i);
    }
    return fallback;
}

// A boolean property element such as <b/> or <b val="0"/>.
bool flagValue(const QXmlStreamReader &xml)
{
    const QStringRef val = xml.attributes().value(QLatin1String("val"));
    return val.isEmpty() || (val != QLatin1String("0") && val != QLatin1String("false"));
}

int intAttribute(const QXmlStreamAttributes &attributes, const char *name, int fallback)
{
    bool ok = false;
    const int v = attributes.value(QLatin1String(name)).toInt(&ok);
    return ok ? v : fallback;
}

QByteArray colorXml(const char *element, const QColor &color)
{
    return QByteArray("<") + element + " rgb=\"FF" +
           QByteArray::number(color.rgb() & 0xFFFFFF, 16).rightJustified(6, '0').toUpper() + "\"/>";
}

QByteArray escaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

// Skips to the end of the current element, refusing DTDs on the way like every other read.
void skipElement(QXmlStreamReader &xml)
{
    int depth = 1;
    while (depth > 0 && Package::readNext(xml)) {
        if (xml.isStartElement())
            ++depth;
        else if (xml.isEndElement())
            --depth;
    }
}

} // namespace

Styles::Styles()
{
    for (QRgb rgb : DefaultTheme)
        m_theme.append(QColor(rgb));
    setDefaultFont(m_defaultFontName, m_defaultFontSize);
}

void Styles::setDefaultFont(const QString &name, double size)
{
    m_defaultFontName = name.isEmpty() ? QStringLiteral("Calibri") : name;
    m_defaultFontSize = size > 0 ? size : 11;
    m_fontXml.clear();
    m_fillXml.clear();
    m_borderXml.clear();
    m_xfXml.clear();
    m_fontIndex.clear();
    m_fillIndex.clear();
    m_borderIndex.clear();
    m_xfIndex.clear();
    m_formatIndex.clear();
    // Index 0 of each list is the default, and the two first fills are required by Excel.
    addFormat(Format());
    addPart(&m_fillXml, &m_fillIndex,
            QByteArrayLiteral("<fill><patternFill patternType=\"gray125\"/></fill>"));
}

QColor Styles::applyTint(const QColor &color, double tint)
{
    if (!color.isValid() || tint == 0 || tint < -1 || tint > 1)
        return color;
    qreal h, s, l;
    color.getHslF(&h, &s, &l);
    l = tint < 0 ? l * (1 + tint) : l * (1 - tint) + tint;
    return QColor::fromHslF(h < 0 ? 0 : h, s, qBound<qreal>(0, l, 1));
}

QColor Styles::readColor(QXmlStreamReader &xml) const
{
    const QXmlStreamAttributes a = xml.attributes();
    QColor color;
    const QStringRef rgb = a.value(QLatin1String("rgb"));
    bool ok = false;
    if (!rgb.isEmpty()) {
        const uint value = rgb.toUInt(&ok, 16);
        if (ok && (rgb.size() == 6 || rgb.size() == 8))
            color = QColor(QRgb(value & 0xFFFFFF)); // the alpha byte is ignored by Excel too
    } else if (a.hasAttribute(QLatin1String("theme"))) {
        const int index = a.value(QLatin1String("theme")).toInt(&ok);
        if (ok && index >= 0 && index < m_theme.size())
            color = m_theme.at(index);
    } else if (a.hasAttribute(QLatin1String("indexed"))) {
        const int index = a.value(QLatin1String("indexed")).toInt(&ok);
        if (ok && index >= 0 && index < m_palette.size())
            color = m_palette.at(index);
        else if (ok && index >= 0 && index < int(StandardPalette.size()))
            color = QColor(StandardPalette[size_t(index)]);
        // 64 and 65 are the system's window text and window colours: left to the viewer.
    }
    const double tint = a.value(QLatin1String("tint")).toDouble(&ok);
    return ok ? applyTint(color, tint) : color;
}

bool Styles::readTheme(const QByteArray &data, QString *error)
{
    QXmlStreamReader xml(data);
    QString slot;
    while (Package::readNext(xml)) {
        if (xml.isEndElement() && xml.name() == QLatin1String("clrScheme"))
            break;
        if (!xml.isStartElement())
            continue;
        const QStringRef name = xml.name();
        const int index = indexOf(ThemeSlots, name, -1);
        if (index >= 0) {
            slot = name.toString();
            continue;
        }
        QStringRef value;
        if (name == QLatin1String("srgbClr"))
            value = xml.attributes().value(QLatin1String("val"));
        else if (name == QLatin1String("sysClr"))
            value = xml.attributes().value(QLatin1String("lastClr"));
        const int slotIndex = indexOf(ThemeSlots, QStringRef(&slot), -1);
        bool ok = false;
        const uint rgb = value.toUInt(&ok, 16);
        if (slotIndex >= 0 && ok && value.size() == 6)
            m_theme[slotIndex] = QColor(QRgb(rgb));
    }
    if (xml.hasError()) {
        *error = QStringLiteral("theme: ") + xml.errorString();
        return false;
    }
    return true;
}

void Styles::readFont(QXmlStreamReader &xml, Format *format) const
{
    while (Package::readNext(xml)) {
        if (xml.isEndElement())
            break;
        if (!xml.isStartElement())
            continue;
        const QStringRef name = xml.name();
        const QXmlStreamAttributes a = xml.attributes();
        if (name == QLatin1String("b")) {
            format->setFontBold(flagValue(xml));
        } else if (name == QLatin1String("i")) {
            format->setFontItalic(flagValue(xml));
        } else if (name == QLatin1String("strike")) {
            format->setFontStrikeOut(flagValue(xml));
        } else if (name == QLatin1String("u")) {
            const QStringRef val = a.value(QLatin1String("val"));
            format->setFontUnderline(Format::FontUnderline(
                val.isEmpty() ? 1 : indexOf(UnderlineNames, val, Format::FontUnderlineSingle)));
        } else if (name == QLatin1String("sz")) {
            format->setFontSize(a.value(QLatin1String("val")).toDouble());
        } else if (name == QLatin1String("color")) {
            format->setFontColor(readColor(xml));
        } else if (name == QLatin1String("name") || name == QLatin1String("rFont")) {
            format->setFontName(a.value(QLatin1String("val")).toString());
        }
        skipElement(xml);
    }
}

void Styles::readFill(QXmlStreamReader &xml, Format *format) const
{
    bool solid = false;
    QColor foreground;
    while (Package::readNext(xml)) {
        if (xml.isEndElement() && xml.name() == QLatin1String("fill"))
            break;
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("patternFill"))
            solid = xml.attributes().value(QLatin1String("patternType")) == QLatin1String("solid");
        else if (xml.name() == QLatin1String("fgColor"))
            foreground = readColor(xml);
    }
    // Only a solid fill has one colour to show; other patterns keep the cell unfilled.
    if (solid)
        format->setPatternBackgroundColor(foreground.isValid() ? foreground : QColor(Qt::black));
}

void Styles::readBorder(QXmlStreamReader &xml, Format *format) const
{
    while (Package::readNext(xml)) {
        if (xml.isEndElement())
            break;
        if (!xml.isStartElement())
            continue;
        const QStringRef name = xml.name();
        const auto style = Format::BorderStyle(
            indexOf(BorderNames, xml.attributes().value(QLatin1String("style")), 0));
        QColor color;
        while (Package::readNext(xml)) {
            if (xml.isEndElement() && xml.name() == name)
                break;
            if (xml.isStartElement() && xml.name() == QLatin1String("color"))
                color = readColor(xml);
        }
        if (name == QLatin1String("left") || name == QLatin1String("start")) {
            format->setLeftBorderStyle(style);
            format->setLeftBorderColor(color);
        } else if (name == QLatin1String("right") || name == QLatin1String("end")) {
            format->setRightBorderStyle(style);
            format->setRightBorderColor(color);
        } else if (name == QLatin1String("top")) {
            format->setTopBorderStyle(style);
            format->setTopBorderColor(color);
        } else if (name == QLatin1String("bottom")) {
            format->setBottomBorderStyle(style);
            format->setBottomBorderColor(color);
        }
    }
}

void Styles::readAlignment(QXmlStreamReader &xml, Format *format)
{
    const QXmlStreamAttributes a = xml.attributes();
    if (a.hasAttribute(QLatin1String("horizontal")))
        format->setHorizontalAlignment(Format::HorizontalAlignment(
            indexOf(HorizontalNames, a.value(QLatin1String("horizontal")), 0)));
    if (a.hasAttribute(QLatin1String("vertical")))
        format->setVerticalAlignment(Format::VerticalAlignment(
            indexOf(VerticalNames, a.value(QLatin1String("vertical")), Format::AlignBottom)));
    const QStringRef wrap = a.value(QLatin1String("wrapText"));
    if (wrap == QLatin1String("1") || wrap == QLatin1String("true"))
        format->setTextWrap(true);
}

bool Styles::read(const QByteArray &data, QString *error)
{
    QXmlStreamReader xml(data);
    bool faults = false;
    while (Package::readNext(xml)) {
        if (!xml.isStartElement())
            continue;
        const QStringRef name = xml.name();
        if (name == QLatin1String("rgbColor")) {
            m_palette.append(readColor(xml));
        } else if (name == QLatin1String("font")) {
            Format font;
            readFont(xml, &font);
            m_fonts.append(font);
        } else if (name == QLatin1String("fill")) {
            Format fill;
            readFill(xml, &fill);
            m_fills.append(fill);
        } else if (name == QLatin1String("border")) {
            Format border;
            readBorder(xml, &border);
            m_borders.append(border);
        } else if (name == QLatin1String("cellStyleXfs") || name == QLatin1String("dxfs") ||
                   name == QLatin1String("mruColors")) {
            skipElement(xml);
        } else if (name == QLatin1String("xf")) {
            const QXmlStreamAttributes a = xml.attributes();
            const int font = intAttribute(a, "fontId", 0);
            const int fill = intAttribute(a, "fillId", 0);
            const int border = intAttribute(a, "borderId", 0);
            Format format;
            if (font >= 0 && font < m_fonts.size()) {
                const Format &f = m_fonts.at(font);
                format.setFontName(f.fontName());
                format.setFontSize(f.fontSize());
                format.setFontBold(f.fontBold());
                format.setFontItalic(f.fontItalic());
                format.setFontUnderline(f.fontUnderline());
                format.setFontStrikeOut(f.fontStrikeOut());
                format.setFontColor(f.fontColor());
            } else if (font != 0) {
                faults = true;
            }
            if (fill >= 0 && fill < m_fills.size()) {
                if (m_fills.at(fill).hasFillData())
                    format.setPatternBackgroundColor(m_fills.at(fill).patternBackgroundColor());
            } else if (fill != 0) {
                faults = true;
            }
            if (border >= 0 && border < m_borders.size()) {
                const Format &b = m_borders.at(border);
                if (b.hasBorderData()) {
                    format.setLeftBorderStyle(b.leftBorderStyle());
                    format.setRightBorderStyle(b.rightBorderStyle());
                    format.setTopBorderStyle(b.topBorderStyle());
                    format.setBottomBorderStyle(b.bottomBorderStyle());
                    format.setLeftBorderColor(b.leftBorderColor());
                    format.setRightBorderColor(b.rightBorderColor());
                    format.setTopBorderColor(b.topBorderColor());
                    format.setBottomBorderColor(b.bottomBorderColor());
                }
            } else if (border != 0) {
                faults = true;
            }
            while (Package::readNext(xml)) {
                if (xml.isEndElement() && xml.name() == QLatin1String("xf"))
                    break;
                if (xml.isStartElement() && xml.name() == QLatin1String("alignment"))
                    readAlignment(xml, &format);
            }
            m_cellFormats.append(format);
        }
    }
    if (!m_fonts.isEmpty()) {
        m_defaultFontName = m_fonts.first().fontName();
        m_defaultFontSize = m_fonts.first().fontSize();
    }
    if (xml.hasError()) {
        *error = QStringLiteral("styles: ") + xml.errorString();
        return false;
    }
    if (faults)
        *error = QStringLiteral("styles: a cell style refers to a missing font, fill or border");
    return !faults;
}

Format Styles::format(int index, bool *ok) const
{
    *ok = index >= 0 && (index < m_cellFormats.size() || (index == 0 && m_cellFormats.isEmpty()));
    return index >= 0 && index < m_cellFormats.size() ? m_cellFormats.at(index) : Format();
}

int Styles::addPart(QVector<QByteArray> *list, QHash<QByteArray, int> *index, const QByteArray &xml)
{
    const auto found = index->constFind(xml);
    if (found != index->constEnd())
        return found.value();
    list->append(xml);
    index->insert(xml, list->size() - 1);
    return list->size() - 1;
}

int Styles::addFormat(const Format &format)
{
    const auto known = m_formatIndex.constFind(format);
    if (known != m_formatIndex.constEnd())
        return known.value();

    QByteArray font = "<font>";
    if (format.fontBold())
        font += "<b/>";
    if (format.fontItalic())
        font += "<i/>";
    if (format.fontStrikeOut())
        font += "<strike/>";
    if (format.fontUnderline() != Format::FontUnderlineNone)
        font += QByteArray("<u val=\"") + UnderlineNames[format.fontUnderline()] + "\"/>";
    const double size = format.fontSize() > 0 ? format.fontSize() : m_defaultFontSize;
    font += "<sz val=\"" + QByteArray::number(size, 'g', QLocale::FloatingPointShortest) + "\"/>";
    if (format.fontColor().isValid())
        font += colorXml("color", format.fontColor());
    const QString name = format.fontName().isEmpty() ? m_defaultFontName : format.fontName();
    font += "<name val=\"" + escaped(name) + "\"/><family val=\"2\"/></font>";
    const int fontId = addPart(&m_fontXml, &m_fontIndex, font);

    QByteArray fill = "<fill><patternFill patternType=\"none\"/></fill>";
    if (format.patternBackgroundColor().isValid())
        fill = "<fill><patternFill patternType=\"solid\">" +
               colorXml("fgColor", format.patternBackgroundColor()) +
               "<bgColor indexed=\"64\"/></patternFill></fill>";
    const int fillId = addPart(&m_fillXml, &m_fillIndex, fill);

    QByteArray border = "<border>";
    const std::array<std::pair<Format::BorderStyle, QColor>, 4> sides = {
        std::make_pair(format.leftBorderStyle(), format.leftBorderColor()),
        std::make_pair(format.rightBorderStyle(), format.rightBorderColor()),
        std::make_pair(format.topBorderStyle(), format.topBorderColor()),
        std::make_pair(format.bottomBorderStyle(), format.bottomBorderColor())};
    const std::array<const char *, 4> sideNames = {"left", "right", "top", "bottom"};
    for (size_t i = 0; i < sides.size(); ++i) {
        border += QByteArray("<") + sideNames[i];
        if (sides[i].first != Format::BorderNone)
            border += QByteArray(" style=\"") + BorderNames[sides[i].first] + "\"";
        if (sides[i].second.isValid())
            border += ">" + colorXml("color", sides[i].second) + "</" + sideNames[i] + ">";
        else
            border += "/>";
    }
    border += "<diagonal/></border>";
    const int borderId = addPart(&m_borderXml, &m_borderIndex, border);

    QByteArray alignment;
    if (format.horizontalAlignment() != Format::AlignHGeneral)
        alignment +=
            QByteArray(" horizontal=\"") + HorizontalNames[format.horizontalAlignment()] + "\"";
    if (format.verticalAlignment() != Format::AlignBottom)
        alignment += QByteArray(" vertical=\"") + VerticalNames[format.verticalAlignment()] + "\"";
    if (format.textWrap())
        alignment += " wrapText=\"1\"";

    QByteArray xf = "<xf numFmtId=\"0\" fontId=\"" + QByteArray::number(fontId) + "\" fillId=\"" +
                    QByteArray::number(fillId) + "\" borderId=\"" + QByteArray::number(borderId) +
                    "\" xfId=\"0\"";
    if (fontId != 0)
        xf += " applyFont=\"1\"";
    if (fillId != 0)
        xf += " applyFill=\"1\"";
    if (borderId != 0)
        xf += " applyBorder=\"1\"";
    if (alignment.isEmpty())
        xf += "/>";
    else
        xf += " applyAlignment=\"1\"><alignment" + alignment + "/></xf>";
    const int index = addPart(&m_xfXml, &m_xfIndex, xf);
    m_formatIndex.insert(format, index);
    return index;
}

QByteArray Styles::toXml() const
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                     "<styleSheet "
                     "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
    auto list = [&xml](const char *name, const QVector<QByteArray> &items) {
        xml += QByteArray("<") + name + " count=\"" + QByteArray::number(items.size()) + "\">";
        for (const QByteArray &item : items)
            xml += item;
        xml += QByteArray("</") + name + ">";
    };
    list("fonts", m_fontXml);
    list("fills", m_fillXml);
    list("borders", m_borderXml);
    xml += "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
           "borderId=\"0\"/></cellStyleXfs>";
    list("cellXfs", m_xfXml);
    xml += "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/>"
           "</cellStyles><dxfs count=\"0\"/><tableStyles count=\"0\"/></styleSheet>";
    return xml;
}

} // namespace QXlsx

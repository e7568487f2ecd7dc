#include "xlsx/sharedstrings.h"

#include "xlsx/xmlscanner.h"

#include <algorithm>
#include <limits>

namespace QXlsx {

namespace {

bool isHex(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

// True when text[i] starts an escape of the form _xHHHH_.
bool isEscapeAt(const QString &text, int i)
{
    if (i + 7 > text.size() || text[i] != QLatin1Char('_') || text[i + 1] != QLatin1Char('x') ||
        text[i + 6] != QLatin1Char('_'))
        return false;
    for (int k = 2; k < 6; ++k) {
        if (!isHex(text[i + k]))
            return false;
    }
    return true;
}

QString decodeEscapes(const QString &text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (isEscapeAt(text, i)) {
            out.append(QChar(char16_t(text.midRef(i + 2, 4).toUInt(nullptr, 16))));
            i += 6;
        } else {
            out.append(text[i]);
        }
    }
    return out;
}

bool needsEscape(char16_t c)
{
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0xFFFE || c == 0xFFFF;
}

// Encodes straight onto the end of the output: a save of many strings would otherwise
// allocate and free one temporary array per string.
void appendUtf8(QByteArray *out, const QString &text)
{
    const int start = out->size();
    out->resize(start + text.size() * 3);
    char *p = out->data() + start;
    const char16_t *u = reinterpret_cast<const char16_t *>(text.utf16());
    const char16_t *end = u + text.size();
    while (u < end) {
        char32_t c = *u++;
        if (c < 0x80) {
            *p++ = char(c);
        } else if (c < 0x800) {
            *p++ = char(0xC0 | (c >> 6));
            *p++ = char(0x80 | (c & 0x3F));
        } else {
            if (c >= 0xD800 && c < 0xDC00 && u < end && *u >= 0xDC00 && *u < 0xE000)
                c = 0x10000 + ((c - 0xD800) << 10) + (*u++ - 0xDC00);
            else if (c >= 0xD800 && c < 0xE000)
                c = 0xFFFD; // a lone surrogate cannot be written in UTF-8
            if (c < 0x10000) {
                *p++ = char(0xE0 | (c >> 12));
            } else {
                *p++ = char(0xF0 | (c >> 18));
                *p++ = char(0x80 | ((c >> 12) & 0x3F));
            }
            *p++ = char(0x80 | ((c >> 6) & 0x3F));
            *p++ = char(0x80 | (c & 0x3F));
        }
    }
    out->resize(int(p - out->data()));
}

} // namespace

bool SharedStrings::read(const QByteArray &data, QString *error)
{
    XmlScanner xml(data);
    std::string buffer;
    for (XmlScanner::Token t = xml.next(); t != XmlScanner::EndDocument && t != XmlScanner::Invalid;
         t = xml.next()) {
        if (t == XmlScanner::StartElement && XmlScanner::equals(xml.name(), "si"))
            m_strings.append(readItem(xml, &buffer));
    }
    if (xml.hasError()) {
        *error = QStringLiteral("shared strings: ") + xml.errorString();
        return false;
    }
    return true;
}

bool SharedStrings::at(int index, QString *text) const
{
    if (index < 0 || index >= m_strings.size())
        return false;
    *text = m_strings.at(index);
    return true;
}

QString SharedStrings::readItem(XmlScanner &xml, std::string *buffer)
{
    buffer->clear();
    int depth = 1;
    while (depth > 0) {
        switch (xml.next()) {
        case XmlScanner::StartElement:
            if (XmlScanner::equals(xml.name(), "rPh")) {
                xml.skipElement(); // the phonetic guide is not part of the text
            } else if (XmlScanner::equals(xml.name(), "t")) {
                // Only the t element's own text; anything nested in it is not.
                for (XmlScanner::Token t = xml.next(); t != XmlScanner::EndElement;
                     t = xml.next()) {
                    if (t == XmlScanner::Characters)
                        buffer->append(xml.text());
                    else if (t == XmlScanner::StartElement)
                        xml.skipElement();
                    else
                        return QString();
                }
            } else {
                ++depth;
            }
            break;
        case XmlScanner::EndElement:
            --depth;
            break;
        case XmlScanner::Characters:
            break;
        case XmlScanner::EndDocument:
        case XmlScanner::Invalid:
            return QString();
        }
    }
    return decodeEscapes(QString::fromUtf8(buffer->data(), int(buffer->size())));
}

void SharedStrings::appendText(QByteArray *out, const QString &text)
{
    const bool preserve =
        !text.isEmpty() && (text.front().isSpace() || text.back().isSpace() ||
                            text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\t')));
    out->append(preserve ? "<t xml:space=\"preserve\">" : "<t>");
    // Most strings need no escaping at all; they are converted in one go.
    bool plain = true;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '&' || u == '<' || u == '>' || u == '\r' || u == '_' || needsEscape(u)) {
            plain = false;
            break;
        }
    }
    if (plain) {
        appendUtf8(out, text);
        out->append("</t>");
        return;
    }
    QString buffer;
    buffer.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case '&':
            buffer += QLatin1String("&amp;");
            break;
        case '<':
            buffer += QLatin1String("&lt;");
            break;
        case '>':
            buffer += QLatin1String("&gt;");
            break;
        case '\r':
            buffer += QLatin1String("&#13;");
            break;
        default:
            if (needsEscape(c.unicode()) || isEscapeAt(text, i))
                buffer += QStringLiteral("_x%1_")
                              .arg(uint(c.unicode()), 4, 16, QLatin1Char('0'))
                              .toUpper()
                              .replace(QLatin1String("_X"), QLatin1String("_x"));
            else
                buffer += c;
        }
    }
    out->append(buffer.toUtf8());
    out->append("</t>");
}

void SharedStrings::reserve(int count)
{
    m_strings.reserve(count);
    m_index.reserve(count);
}

int SharedStrings::add(const QString &text)
{
    const auto found = m_index.constFind(text);
    if (found != m_index.constEnd())
        return found.value();
    m_strings.append(text);
    m_index.insert(text, m_strings.size() - 1);
    return m_strings.size() - 1;
}

QByteArray SharedStrings::toXml() const
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                     "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                     "count=\"" +
                     QByteArray::number(m_strings.size()) + "\" uniqueCount=\"" +
                     QByteArray::number(m_strings.size()) + "\">";
    qsizetype characters = 0;
    for (const QString &s : m_strings)
        characters += s.size();
    xml.reserve(int(std::min<qsizetype>(xml.size() + characters * 3 + m_strings.size() * 32,
                                        std::numeric_limits<int>::max() / 2)));
    for (const QString &s : m_strings) {
        xml += "<si>";
        appendText(&xml, s);
        xml += "</si>";
    }
    xml += "</sst>";
    return xml;
}

} // namespace QXlsx

#include "xlsx/xmlscanner.h"

#include <QTextCodec>

#include <array>
#include <cstring>

namespace QXlsx {

namespace {

enum CharClass : unsigned char {
    Space = 1,     // XML white space
    TextStop = 2,  // ends a plain run of text: '<', '&', '\r', forbidden characters
    ValueStop = 4, // ends a plain run of an attribute value: the above, quotes, '\t', '\n'
    Forbidden = 8, // control characters XML does not allow anywhere
    NameStart = 16,
    NameChar = 32,
};

constexpr std::array<unsigned char, 256> makeClasses()
{
    std::array<unsigned char, 256> classes{};
    for (int c = 0; c < 0x20; ++c)
        classes[size_t(c)] = Forbidden | TextStop | ValueStop;
    classes['\t'] = Space | ValueStop;
    classes['\n'] = Space | ValueStop;
    classes['\r'] = Space | TextStop | ValueStop;
    classes[' '] = Space;
    classes['<'] = TextStop | ValueStop;
    classes['&'] = TextStop | ValueStop;
    classes['"'] = ValueStop;
    classes['\''] = ValueStop;
    for (int c = 'a'; c <= 'z'; ++c)
        classes[size_t(c)] = NameStart | NameChar;
    for (int c = 'A'; c <= 'Z'; ++c)
        classes[size_t(c)] = NameStart | NameChar;
    for (int c = 0x80; c < 0x100; ++c)
        classes[size_t(c)] = NameStart | NameChar;
    classes['_'] = NameStart | NameChar;
    classes[':'] = NameStart | NameChar;
    for (int c = '0'; c <= '9'; ++c)
        classes[size_t(c)] = NameChar;
    classes['-'] = NameChar;
    classes['.'] = NameChar;
    return classes;
}

constexpr std::array<unsigned char, 256> Classes = makeClasses();

inline unsigned char classOf(char c)
{
    return Classes[static_cast<unsigned char>(c)];
}

bool startsWith(const char *p, const char *end, const char *prefix)
{
    const size_t n = std::strlen(prefix);
    return size_t(end - p) >= n && std::memcmp(p, prefix, n) == 0;
}

inline bool isCdataAt(const char *p, const char *end)
{
    return end - p >= 9 && p[1] == '!' && std::memcmp(p, "<![CDATA[", 9) == 0;
}

std::string_view localName(std::string_view qualified)
{
    const size_t colon = qualified.find(':');
    return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

bool isXmlChar(uint32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

void appendUtf8(uint32_t c, std::string *out)
{
    if (c < 0x80) {
        out->push_back(char(c));
    } else if (c < 0x800) {
        out->push_back(char(0xC0 | (c >> 6)));
        out->push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(char(0xE0 | (c >> 12)));
        out->push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(char(0x80 | (c & 0x3F)));
    } else {
        out->push_back(char(0xF0 | (c >> 18)));
        out->push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(char(0x80 | (c & 0x3F)));
    }
}

// The encoding named by the XML declaration, lower-cased; empty when there is none.
QByteArray declaredEncoding(const QByteArray &data)
{
    if (!data.startsWith("<?xml"))
        return QByteArray();
    const int end = data.indexOf("?>");
    if (end < 0)
        return QByteArray();
    const QByteArray declaration = data.left(end);
    const int at = declaration.indexOf("encoding");
    if (at < 0)
        return QByteArray();
    int i = at + 8;
    while (i < declaration.size() && (classOf(declaration[i]) & Space || declaration[i] == '='))
        ++i;
    if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\''))
        return QByteArray();
    const int close = declaration.indexOf(declaration[i], i + 1);
    return close < 0 ? QByteArray() : declaration.mid(i + 1, close - i - 1).toLower();
}

} // namespace

XmlScanner::XmlScanner(const QByteArray &data)
{
    const char *begin = data.constData();
    const char *end = begin + data.size();
    const QByteArray encoding = declaredEncoding(data);
    const bool utf16 =
        data.size() >= 2 && ((uchar(data[0]) == 0xFE && uchar(data[1]) == 0xFF) ||
                             (uchar(data[0]) == 0xFF && uchar(data[1]) == 0xFE) ||
                             (data[0] == 0 && data[1] == '<') || (data[0] == '<' && data[1] == 0));
    if (utf16 || (!encoding.isEmpty() && encoding != "utf-8" && encoding != "utf8")) {
        // Rare in workbooks: convert once and scan the UTF-8 copy.
        QTextCodec *codec = nullptr;
        if (!utf16)
            codec = QTextCodec::codecForName(encoding);
        else if (data[0] == 0) // no byte order mark: the zero byte of '<' tells the order
            codec = QTextCodec::codecForName("UTF-16BE");
        else if (data[1] == 0)
            codec = QTextCodec::codecForName("UTF-16LE");
        else
            codec = QTextCodec::codecForUtfText(data, nullptr);
        if (!codec) {
            fail("unsupported encoding");
            return;
        }
        m_converted = codec->toUnicode(data).toUtf8();
        begin = m_converted.constData();
        end = begin + m_converted.size();
    }
    if (startsWith(begin, end, "\xEF\xBB\xBF"))
        begin += 3;
    m_p = begin;
    m_end = end;
    m_token = StartElement; // anything but Invalid, until the first next()
}

XmlScanner::Token XmlScanner::fail(const char *message)
{
    if (m_error.isEmpty())
        m_error = QString::fromLatin1(message);
    m_p = m_end;
    m_token = Invalid;
    return Invalid;
}

XmlScanner::Token XmlScanner::next()
{
    if (m_token == Invalid || m_token == EndDocument)
        return m_token;
    if (m_pendingEnd) {
        m_pendingEnd = false;
        m_name = localName(m_open.back());
        m_open.pop_back();
        return m_token = EndElement;
    }
    for (;;) {
        if (m_p >= m_end) {
            if (!m_open.empty())
                return fail("premature end of document");
            if (!m_seenRoot)
                return fail("no root element");
            return m_token = EndDocument;
        }
        if (*m_p != '<' || isCdataAt(m_p, m_end)) {
            const Token t = readCharacters();
            if (t == Characters || t == Invalid)
                return t;
            continue; // white space outside the root element
        }
        if (m_p + 1 >= m_end)
            return fail("premature end of document");
        const char c = m_p[1];
        if (c == '/')
            return readEndTag();
        if (c == '?') {
            if (!skipPast("?>"))
                return fail("unterminated processing instruction");
            continue;
        }
        if (c == '!') {
            if (startsWith(m_p, m_end, "<!--")) {
                if (!skipPast("-->"))
                    return fail("unterminated comment");
                continue;
            }
            if (startsWith(m_p, m_end, "<!DOCTYPE"))
                return fail("document type declarations are refused");
            return fail("unexpected markup declaration");
        }
        return readStartTag();
    }
}

bool XmlScanner::skipPast(const char *terminator)
{
    const size_t n = std::strlen(terminator);
    for (const char *q = m_p + 2; q + n <= m_end; ++q) {
        if (*q == *terminator && std::memcmp(q, terminator, n) == 0) {
            m_p = q + n;
            return true;
        }
    }
    return false;
}

bool XmlScanner::readName(std::string_view *name, std::string_view *local)
{
    const char *start = m_p;
    if (m_p >= m_end || !(classOf(*m_p) & NameStart))
        return false;
    const char *localStart = *m_p == ':' ? m_p + 1 : m_p;
    ++m_p;
    while (m_p < m_end && (classOf(*m_p) & NameChar)) {
        if (*m_p == ':' && localStart == start)
            localStart = m_p + 1;
        ++m_p;
    }
    *name = std::string_view(start, size_t(m_p - start));
    if (local)
        *local = std::string_view(localStart, size_t(m_p - localStart));
    return true;
}

XmlScanner::Token XmlScanner::readStartTag()
{
    if (m_open.empty() && m_seenRoot)
        return fail("content after the root element");
    ++m_p; // '<'
    std::string_view qualified;
    if (!readName(&qualified, &m_name))
        return fail("malformed element name");
    m_attributes.clear();
    m_attributeBuffer.clear();
    for (;;) {
        const char *before = m_p;
        while (m_p < m_end && (classOf(*m_p) & Space))
            ++m_p;
        if (m_p >= m_end)
            return fail("premature end of document");
        if (*m_p == '>') {
            ++m_p;
            break;
        }
        if (*m_p == '/') {
            if (m_p + 1 >= m_end || m_p[1] != '>')
                return fail("malformed start tag");
            m_p += 2;
            m_pendingEnd = true;
            break;
        }
        Attribute a;
        if (m_p == before || !readName(&a.name, nullptr))
            return fail("malformed attribute");
        while (m_p < m_end && (classOf(*m_p) & Space))
            ++m_p;
        if (m_p >= m_end || *m_p != '=')
            return fail("attribute without a value");
        ++m_p;
        while (m_p < m_end && (classOf(*m_p) & Space))
            ++m_p;
        if (m_p >= m_end || (*m_p != '"' && *m_p != '\''))
            return fail("unquoted attribute value");
        const char quote = *m_p++;
        const char *start = m_p;
        bool plain = true;
        for (;;) {
            while (m_p < m_end && !(classOf(*m_p) & ValueStop))
                ++m_p;
            if (m_p >= m_end || *m_p == quote)
                break;
            if (classOf(*m_p) & Forbidden)
                return fail("character not allowed in XML");
            if (*m_p == '<')
                return fail("'<' in an attribute value");
            if (*m_p != '"' && *m_p != '\'')
                plain = false; // a reference or a white space character to normalise
            ++m_p;
        }
        if (m_p >= m_end)
            return fail("premature end of document");
        a.raw = std::string_view(start, size_t(m_p - start));
        ++m_p; // closing quote
        if (!plain) {
            a.decoded = true;
            a.offset = m_attributeBuffer.size();
            if (!appendDecoded(a.raw, true, &m_attributeBuffer))
                return Invalid;
            a.length = m_attributeBuffer.size() - a.offset;
        }
        for (const Attribute &other : m_attributes) {
            // Names are short and rarely share their first byte; test that before the rest.
            if (other.name.size() == a.name.size() && other.name[0] == a.name[0] &&
                other.name == a.name)
                return fail("duplicate attribute");
        }
        m_attributes.push_back(a);
    }
    m_open.push_back(qualified);
    m_seenRoot = true;
    return m_token = StartElement;
}

XmlScanner::Token XmlScanner::readEndTag()
{
    m_p += 2; // "</"
    std::string_view qualified;
    if (!readName(&qualified, &m_name))
        return fail("malformed end tag");
    while (m_p < m_end && (classOf(*m_p) & Space))
        ++m_p;
    if (m_p >= m_end || *m_p != '>')
        return fail("malformed end tag");
    ++m_p;
    if (m_open.empty() || m_open.back() != qualified)
        return fail("end tag does not match its start tag");
    m_open.pop_back();
    return m_token = EndElement;
}

// Resolves the reference at m_p (on '&') into out.
bool XmlScanner::decodeReference(std::string *out)
{
    const char *semicolon = m_p + 1;
    while (semicolon < m_end && semicolon - m_p <= 12 && *semicolon != ';')
        ++semicolon;
    if (semicolon >= m_end || *semicolon != ';') {
        fail("malformed reference");
        return false;
    }
    const std::string_view ref(m_p + 1, size_t(semicolon - m_p - 1));
    m_p = semicolon + 1;
    if (ref == "amp")
        out->push_back('&');
    else if (ref == "lt")
        out->push_back('<');
    else if (ref == "gt")
        out->push_back('>');
    else if (ref == "quot")
        out->push_back('"');
    else if (ref == "apos")
        out->push_back('\'');
    else if (ref.size() >= 2 && ref[0] == '#') {
        const bool hex = ref[1] == 'x';
        const std::string_view digits = ref.substr(hex ? 2 : 1);
        uint32_t code = 0;
        for (const char c : digits) {
            uint32_t d;
            if (c >= '0' && c <= '9')
                d = uint32_t(c - '0');
            else if (hex && c >= 'a' && c <= 'f')
                d = uint32_t(c - 'a' + 10);
            else if (hex && c >= 'A' && c <= 'F')
                d = uint32_t(c - 'A' + 10);
            else
                code = 0x110000, d = 0;
            code = code * (hex ? 16 : 10) + d;
            if (code > 0x10FFFF)
                break;
        }
        if (digits.empty() || !isXmlChar(code)) {
            fail("invalid character reference");
            return false;
        }
        appendUtf8(code, out);
    } else {
        // Only a document type declaration could define other entities, and those are refused.
        fail("undeclared entity");
        return false;
    }
    return true;
}

// Appends raw text with its references resolved and its line ends normalised; an attribute
// value also turns its white space characters into spaces.
bool XmlScanner::appendDecoded(std::string_view raw, bool attribute, std::string *out)
{
    const char *savedP = m_p;
    const char *savedEnd = m_end;
    m_p = raw.data();
    m_end = raw.data() + raw.size();
    bool ok = true;
    while (m_p < m_end) {
        const char c = *m_p;
        if (c == '&') {
            if (!decodeReference(out)) {
                ok = false;
                break;
            }
            continue;
        }
        if (c == '\r') {
            if (m_p + 1 < m_end && m_p[1] == '\n')
                ++m_p;
            out->push_back(attribute ? ' ' : '\n');
        } else if (attribute && (c == '\n' || c == '\t')) {
            out->push_back(' ');
        } else {
            out->push_back(c);
        }
        ++m_p;
    }
    m_p = savedP;
    m_end = savedEnd;
    if (!ok)
        m_p = m_end; // keep the failure final
    return ok;
}

XmlScanner::Token XmlScanner::readCharacters()
{
    // Runs of plain text are reported straight from the data; only text with references, a
    // carriage return or CDATA is copied.
    const char *start = m_p;
    bool copied = false;
    bool whiteOnly = true;
    m_textBuffer.clear();
    while (m_p < m_end) {
        if (*m_p == '<') {
            if (!isCdataAt(m_p, m_end))
                break;
            if (!copied) {
                m_textBuffer.assign(start, size_t(m_p - start));
                copied = true;
            }
            const char *content = m_p + 9;
            const char *close = content;
            while (close + 3 <= m_end && std::memcmp(close, "]]>", 3) != 0)
                ++close;
            if (close + 3 > m_end)
                return fail("unterminated CDATA section");
            for (const char *q = content; q < close; ++q) {
                if (classOf(*q) & Forbidden)
                    return fail("character not allowed in XML");
                if (*q == '\r') {
                    if (q + 1 < close && q[1] == '\n')
                        ++q;
                    m_textBuffer.push_back('\n');
                } else {
                    m_textBuffer.push_back(*q);
                }
            }
            whiteOnly = false;
            m_p = close + 3;
            continue;
        }
        // A run of plain text: used in place unless something before it needed copying.
        const char *run = m_p;
        while (m_p < m_end && !(classOf(*m_p) & TextStop))
            ++m_p;
        if (copied)
            m_textBuffer.append(run, size_t(m_p - run));
        if (whiteOnly && m_open.empty()) {
            for (const char *q = run; q < m_p && whiteOnly; ++q)
                whiteOnly = classOf(*q) & Space;
        }
        if (m_p >= m_end || *m_p == '<')
            continue;
        if (classOf(*m_p) & Forbidden)
            return fail("character not allowed in XML");
        if (!copied) {
            m_textBuffer.assign(start, size_t(m_p - start));
            copied = true;
        }
        if (*m_p == '&') {
            whiteOnly = false;
            if (!decodeReference(&m_textBuffer))
                return Invalid;
            continue;
        }
        // '\r', alone or before '\n', is a line end.
        if (m_p + 1 < m_end && m_p[1] == '\n')
            ++m_p;
        m_textBuffer.push_back('\n');
        ++m_p;
    }
    if (m_open.empty()) {
        if (!whiteOnly)
            return fail("text outside the root element");
        return m_token = EndDocument; // nothing to report; the caller reads on
    }
    m_text = copied ? std::string_view(m_textBuffer) : std::string_view(start, size_t(m_p - start));
    return m_token = Characters;
}

void XmlScanner::skipElement()
{
    int depth = 1;
    while (depth > 0) {
        switch (next()) {
        case StartElement:
            ++depth;
            break;
        case EndElement:
            --depth;
            break;
        case Characters:
            break;
        case EndDocument:
        case Invalid:
            return;
        }
    }
}

} // namespace QXlsx

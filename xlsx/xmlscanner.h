#ifndef ORVANE_XLSX_XMLSCANNER_H
#define ORVANE_XLSX_XMLSCANNER_H

#include <QByteArray>
#include <QString>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace QXlsx {

// A small, strict pull reader for the large parts of a workbook (worksheets, shared strings).
// It works on the UTF-8 bytes, so a cell costs no QString or attribute list of its own, which
// QXmlStreamReader would build for every token. It refuses every document type declaration,
// every entity other than the five predefined ones and character references, mismatched or
// unclosed elements, duplicate attributes and characters XML does not allow. Namespaces are
// not checked: names are matched by their local part, as the rest of the layer does.
class XmlScanner {
public:
    enum Token { StartElement, EndElement, Characters, EndDocument, Invalid };

    // The data must outlive the scanner unless it needed converting to UTF-8.
    explicit XmlScanner(const QByteArray &data);

    Token next();
    Token token() const { return m_token; }
    // The local name of the current start or end element, without its prefix.
    std::string_view name() const { return m_name; }
    // The value of an attribute of the current start element, by qualified name, with
    // references resolved; empty and *found false when absent.
    template <size_t N>
    std::string_view attribute(const char (&qualifiedName)[N], bool *found = nullptr) const
    {
        for (const Attribute &a : m_attributes) {
            if (equals(a.name, qualifiedName)) {
                if (found)
                    *found = true;
                return valueOf(a);
            }
        }
        if (found)
            *found = false;
        return std::string_view();
    }
    // Compares with a literal of known length, which the compiler can do inline.
    template <size_t N> static bool equals(std::string_view text, const char (&literal)[N])
    {
        return text.size() == N - 1 && std::memcmp(text.data(), literal, N - 1) == 0;
    }
    // Text and CDATA of the current Characters token, references resolved, line ends as "\n".
    std::string_view text() const { return m_text; }
    // From a start element, skips everything up to and including its end.
    void skipElement();

    bool hasError() const { return !m_error.isEmpty(); }
    QString errorString() const { return m_error; }

private:
    struct Attribute {
        std::string_view name;
        std::string_view raw;
        size_t offset = 0; // into m_attributeBuffer when decoded
        size_t length = 0;
        bool decoded = false;
    };

    std::string_view valueOf(const Attribute &a) const
    {
        return a.decoded ? std::string_view(m_attributeBuffer).substr(a.offset, a.length) : a.raw;
    }
    Token fail(const char *message);
    Token readStartTag();
    Token readEndTag();
    Token readCharacters();
    bool readName(std::string_view *name, std::string_view *local);
    bool skipPast(const char *terminator);
    bool decodeReference(std::string *out);
    bool appendDecoded(std::string_view raw, bool attribute, std::string *out);

    QByteArray m_converted;
    const char *m_p = nullptr;
    const char *m_end = nullptr;
    Token m_token = Invalid;
    std::string_view m_name;
    std::string_view m_text;
    std::string m_textBuffer;
    std::vector<Attribute> m_attributes;
    std::string m_attributeBuffer;
    std::vector<std::string_view> m_open; // qualified names of the open elements
    bool m_pendingEnd = false;            // a self-closing element still has to end
    bool m_seenRoot = false;
    QString m_error;
};

} // namespace QXlsx

#endif

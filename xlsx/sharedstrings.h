#ifndef ORVANE_XLSX_SHAREDSTRINGS_H
#define ORVANE_XLSX_SHAREDSTRINGS_H

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>

#include <string>

namespace QXlsx {

class XmlScanner;

// The workbook's table of strings that cells refer to by index.
class SharedStrings {
public:
    bool read(const QByteArray &xml, QString *error);
    int count() const { return m_strings.size(); }
    // The string at an index; false when the index is out of range.
    bool at(int index, QString *text) const;

    int add(const QString &text);
    // Room for this many strings, so that collecting a sheet's strings does not rehash.
    void reserve(int count);
    QByteArray toXml() const;

    // Reads the text of a string item (<si> or <is>): plain or rich runs, without the phonetic
    // guide. The scanner is left on the item's end element; buffer is scratch space.
    static QString readItem(XmlScanner &xml, std::string *buffer);
    // Appends a <t> element for the text, escaped for XML; characters XML cannot carry are
    // written as "_xHHHH_", the way spreadsheets do.
    static void appendText(QByteArray *out, const QString &text);

private:
    QVector<QString> m_strings;
    QHash<QString, int> m_index;
};

} // namespace QXlsx

#endif

#ifndef ORVANE_OPENEXPORT_CSVWRITER_H
#define ORVANE_OPENEXPORT_CSVWRITER_H

#include <QByteArray>
#include <QString>
#include <QStringList>

// Comma-separated values as spreadsheet programs read them: UTF-8 with a byte-order mark (so
// they do not guess a local code page), rows ended by CR LF, and a field put in double quotes,
// with its quotes doubled, whenever it holds a comma, a quote, a line break or leading or
// trailing blanks.
class CsvWriter {
public:
    static QString field(const QString &text);

    void addRow(const QStringList &fields);
    int rowCount() const { return m_rows; }
    QByteArray document() const; // the byte-order mark, then every row

private:
    QString m_text;
    int m_rows = 0;
};

#endif

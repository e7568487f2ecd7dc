#ifndef ORVANE_HISTORY_DAYEXPORT_H
#define ORVANE_HISTORY_DAYEXPORT_H

#include "history/historystore.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>

// The two export formats of a range of days and of the task list: the HTML that becomes the PDF
// and the plain text appended to a text file. Turning stored rich text into plain text needs a
// text document, which this layer does not link; the caller supplies that conversion.
class DayExport {
public:
    using PlainText = std::function<QString(const QString &html)>;

    // The date heading of each day in the HTML: red, in this size and CSS weight.
    struct HeadingStyle {
        int pointSize = 13;
        int cssWeight = 416;
    };

    DayExport(const QSqlDatabase &db, PlainText plainText);
    DayExport(const QSqlDatabase &db, PlainText plainText, HeadingStyle heading);

    // The date as the history and the exports write it (weekday, month, day, year).
    static QString dateText(const QDate &date);
    // The day tables among names (in name order) whose date lies from start to end (yyyyMMdd).
    // Only day tables take part, so a table of another kind can neither end the walk early nor
    // slip into the export.
    static QStringList tablesInRange(const QStringList &names, const QString &start,
                                     const QString &end);

    QString dayHtml(const QString &dayTable);
    // The whole HTML document of collected day and task list HTML, with any style sheet of the
    // rich texts they hold other than the editor's own, each once.
    QString document(const QString &body) const;
    QString dayText(const QString &dayTable);
    // The whole task list; empty, with ok false, when the star table cannot be read.
    QString taskListHtml(bool *ok = nullptr);
    QString taskListText(bool *ok = nullptr);

    // Text exports append to their file; it is created empty first when missing.
    static bool createIfMissing(const QString &fileName);
    // Appends UTF-8 text without a byte-order mark to an existing file, line feeds unchanged.
    // Logs "file open failed!" and returns false when the file is missing or cannot be written.
    static bool append(const QString &fileName, const QString &text);

private:
    QString plain(const QString &html) const;
    // Stored rich text as a block of the export: a whole editor document (doctype, head with
    // its style sheet, body) becomes a division with the body's style. The editor's own sheet
    // (paragraphs and list items keep their blanks) is written into those tags instead: the
    // rich-text reader matches every element against every sheet rule anew for each element
    // it reads, which takes minutes for a year of days. Any other sheet is kept for the head.
    QString inlined(const QString &html);

    HistoryStore m_store;
    PlainText m_plainText;
    HeadingStyle m_heading;
    QStringList m_styleSheets;
};

#endif

#ifndef ORVANE_OPENEXPORT_OPENEXPORT_H
#define ORVANE_OPENEXPORT_OPENEXPORT_H

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

// The data in formats other programs open: CSV of the task list, of the records of a range of
// days and of the label minutes per day, and an iCalendar file of the range's timed records
// (events) and of the tasks with a stop date (to-dos). Rich text goes out as the text a person
// sees. Each file is written whole, through a temporary file, or not at all.
class OpenExport {
public:
    struct Result {
        bool written = false;
        int rows = 0;    // CSV rows below the header, or events
        int todos = 0;   // iCalendar only
        int skipped = 0; // records without a readable time, tasks without a readable stop date
        bool readFailed = false; // a table could not be read (logged); the file lacks its rows
    };

    explicit OpenExport(const QSqlDatabase &db);

    Result tasksCsv(const QString &fileName);
    Result recordsCsv(const QDate &start, const QDate &end, const QString &fileName);
    Result labelMinutesCsv(const QDate &start, const QDate &end, const QString &fileName);
    // stamp becomes every component's DTSTAMP.
    Result calendar(const QDate &start, const QDate &end, const QString &fileName,
                    const QDateTime &stamp = QDateTime::currentDateTimeUtc());

    // Stored rich text as plain text, without the line breaks around it.
    static QString plain(const QString &html);
    // A record's label as a person named it; the empty-label caption counts as none.
    static QString recordLabel(const QString &stored);

private:
    QStringList dayTables(const QDate &start, const QDate &end, bool *ok);
    static bool write(const QString &fileName, const QByteArray &data);

    QSqlDatabase m_db;
};

#endif

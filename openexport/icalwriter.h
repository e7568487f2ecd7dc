#ifndef ORVANE_OPENEXPORT_ICALWRITER_H
#define ORVANE_OPENEXPORT_ICALWRITER_H

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

// An iCalendar file (RFC 5545) of events and to-dos: CR LF line ends, lines folded at 75
// octets without splitting a character, TEXT values escaped. Times are floating local times,
// as the schedule keeps them.
class ICalWriter {
public:
    struct Event {
        QString uid;
        QDateTime start;
        QDateTime end; // invalid: the event ends when it starts
        QString summary;
        QString description;
        QStringList categories;
    };
    struct Todo {
        QString uid;
        QDate due;
        QDate start; // invalid: none
        QString summary;
        QString description;
        int priority = 0; // 0 undefined, 1 highest to 9 lowest
        int percentComplete = 0;
        QStringList categories;
    };

    // stamp is written as every component's DTSTAMP (in UTC).
    explicit ICalWriter(const QDateTime &stamp);

    void addEvent(const Event &event);
    void addTodo(const Todo &todo);
    QByteArray document() const;

    static QString escapeText(const QString &text);
    // One content line folded into lines of at most 75 octets, each ended by CR LF.
    static QByteArray folded(const QString &line);

    // A record's time text, "hh:mm--hh:mm" (also one-digit hours, a full-width colon and a
    // single dash or tilde between the times), on a date. An end before the start runs past
    // midnight; "24:00" is the next midnight; an end equal to the start leaves end invalid.
    // False when the text holds no such span.
    static bool parseSpan(const QString &text, const QDate &date, QDateTime *start, QDateTime *end);
    // The task list's priority (0 to 100, higher is more important; 0 unset) as RFC 5545's.
    static int priority(int taskPriority);

private:
    void add(const QString &line);

    QString m_stamp;
    QByteArray m_body;
};

#endif

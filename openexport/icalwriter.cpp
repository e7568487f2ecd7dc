#include "openexport/icalwriter.h"

#include <QRegularExpression>

namespace {
QString localTime(const QDateTime &when)
{
    return when.toString(QStringLiteral("yyyyMMdd'T'HHmmss"));
}
} // namespace

ICalWriter::ICalWriter(const QDateTime &stamp)
    : m_stamp(stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")))
{
}

QString ICalWriter::escapeText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') || c == QLatin1Char(';') || c == QLatin1Char(',')) {
            out += QLatin1Char('\\');
            out += c;
        } else if (c == QLatin1Char('\r')) {
            out += QStringLiteral("\\n");
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('\n')) {
            out += QStringLiteral("\\n");
        } else if (c.unicode() < 0x20 && c != QLatin1Char('\t')) {
            continue; // other control characters are not allowed in TEXT
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray ICalWriter::folded(const QString &line)
{
    const QByteArray utf8 = line.toUtf8();
    QByteArray out;
    int start = 0;
    int limit = 75; // the first line; later ones lose an octet to the leading blank
    while (utf8.size() - start > limit) {
        int cut = start + limit;
        // Never inside a character: back off continuation bytes (10xxxxxx).
        while (cut > start && (static_cast<unsigned char>(utf8.at(cut)) & 0xC0) == 0x80)
            --cut;
        out += utf8.mid(start, cut - start);
        out += "\r\n ";
        start = cut;
        limit = 74;
    }
    out += utf8.mid(start);
    out += "\r\n";
    return out;
}

bool ICalWriter::parseSpan(const QString &text, const QDate &date, QDateTime *start, QDateTime *end)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^\\s*(\\d{1,2})[:：](\\d{2})\\s*(?:--|-|~|～|—|–)\\s*(\\d{1,2})[:：](\\d{2})\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch() || !date.isValid())
        return false;
    const int h1 = match.captured(1).toInt();
    const int m1 = match.captured(2).toInt();
    const int h2 = match.captured(3).toInt();
    const int m2 = match.captured(4).toInt();
    if (h1 > 23 || m1 > 59 || m2 > 59 || h2 > 24 || (h2 == 24 && m2 != 0))
        return false;
    *start = QDateTime(date, QTime(h1, m1));
    if (h2 == 24) {
        *end = QDateTime(date.addDays(1), QTime(0, 0));
        return true;
    }
    const QTime to(h2, m2);
    if (to == start->time())
        *end = QDateTime();
    else
        *end = QDateTime(to < start->time() ? date.addDays(1) : date, to);
    return true;
}

int ICalWriter::priority(int taskPriority)
{
    if (taskPriority <= 0)
        return 0;
    // 100 is the highest (1), 1 the lowest that is set (9).
    return 9 - (qMin(taskPriority, 100) - 1) * 8 / 99;
}

void ICalWriter::add(const QString &line)
{
    m_body += folded(line);
}

void ICalWriter::addEvent(const Event &event)
{
    add(QStringLiteral("BEGIN:VEVENT"));
    add(QStringLiteral("UID:") + escapeText(event.uid));
    add(QStringLiteral("DTSTAMP:") + m_stamp);
    add(QStringLiteral("DTSTART:") + localTime(event.start));
    if (event.end.isValid())
        add(QStringLiteral("DTEND:") + localTime(event.end));
    add(QStringLiteral("SUMMARY:") + escapeText(event.summary));
    if (!event.description.isEmpty())
        add(QStringLiteral("DESCRIPTION:") + escapeText(event.description));
    if (!event.categories.isEmpty()) {
        QStringList escaped;
        for (const QString &category : event.categories)
            escaped.append(escapeText(category));
        add(QStringLiteral("CATEGORIES:") + escaped.join(QLatin1Char(',')));
    }
    add(QStringLiteral("END:VEVENT"));
}

void ICalWriter::addTodo(const Todo &todo)
{
    add(QStringLiteral("BEGIN:VTODO"));
    add(QStringLiteral("UID:") + escapeText(todo.uid));
    add(QStringLiteral("DTSTAMP:") + m_stamp);
    if (todo.start.isValid() && todo.start <= todo.due)
        add(QStringLiteral("DTSTART;VALUE=DATE:") +
            todo.start.toString(QStringLiteral("yyyyMMdd")));
    add(QStringLiteral("DUE;VALUE=DATE:") + todo.due.toString(QStringLiteral("yyyyMMdd")));
    add(QStringLiteral("SUMMARY:") + escapeText(todo.summary));
    if (!todo.description.isEmpty())
        add(QStringLiteral("DESCRIPTION:") + escapeText(todo.description));
    if (todo.priority > 0)
        add(QStringLiteral("PRIORITY:%1").arg(todo.priority));
    const int percent = qBound(0, todo.percentComplete, 100);
    add(QStringLiteral("PERCENT-COMPLETE:%1").arg(percent));
    add(QStringLiteral("STATUS:") + (percent >= 100 ? QStringLiteral("COMPLETED")
                                     : percent > 0  ? QStringLiteral("IN-PROCESS")
                                                    : QStringLiteral("NEEDS-ACTION")));
    if (!todo.categories.isEmpty()) {
        QStringList escaped;
        for (const QString &category : todo.categories)
            escaped.append(escapeText(category));
        add(QStringLiteral("CATEGORIES:") + escaped.join(QLatin1Char(',')));
    }
    add(QStringLiteral("END:VTODO"));
}

QByteArray ICalWriter::document() const
{
    QByteArray out = folded(QStringLiteral("BEGIN:VCALENDAR"));
    out += folded(QStringLiteral("VERSION:2.0"));
    out += folded(QStringLiteral("PRODID:-//Velmark//Orvane//ZH"));
    out += folded(QStringLiteral("CALSCALE:GREGORIAN"));
    out += m_body;
    out += folded(QStringLiteral("END:VCALENDAR"));
    return out;
}

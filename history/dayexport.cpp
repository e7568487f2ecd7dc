#include "history/dayexport.h"

#include "app/logging.h"
#include "schedule/daytables.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

namespace {
const QString lineBreak = QStringLiteral("\n");
const QString htmlBreak = QStringLiteral("<br />");

// The task line shared by both formats; the HTML form escapes each value.
QString taskLine(const TaskRecord &task, bool html)
{
    auto value = [html](const QString &text) { return html ? text.toHtmlEscaped() : text; };
    return QStringLiteral("开始日期：") + value(task.startDate) + QStringLiteral("  截止日期：") +
           value(task.stopDate) + QStringLiteral("  重要性：") + value(task.importance) +
           QStringLiteral("  紧急度：") + value(task.emergency) + QStringLiteral("  优先级：") +
           QString::number(task.priority) + QStringLiteral("  进度：") +
           QString::number(task.progress) + QStringLiteral("  标签：") + value(task.label);
}
} // namespace

DayExport::DayExport(const QSqlDatabase &db, PlainText plainText)
    : DayExport(db, std::move(plainText), HeadingStyle())
{
}

DayExport::DayExport(const QSqlDatabase &db, PlainText plainText, HeadingStyle heading)
    : m_store(db), m_plainText(std::move(plainText)), m_heading(heading)
{
}

QString DayExport::dateText(const QDate &date)
{
    return date.toString(Qt::TextDate);
}

QStringList DayExport::tablesInRange(const QStringList &names, const QString &start,
                                     const QString &end)
{
    QStringList tables;
    for (const QString &name : names) {
        if (!HistoryStore::isDayTable(name))
            continue;
        const QString date = name.mid(3, 8);
        if (date < start)
            continue;
        if (date > end)
            break;
        tables.append(name);
    }
    return tables;
}

QString DayExport::plain(const QString &html) const
{
    return m_plainText ? m_plainText(html) : html;
}

QString DayExport::inlined(const QString &html)
{
    static const QRegularExpression body(QStringLiteral("<body([^>]*)>(.*)</body>"),
                                         QRegularExpression::DotMatchesEverythingOption |
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression style(QStringLiteral("<style[^>]*>(.*?)</style>"),
                                          QRegularExpression::DotMatchesEverythingOption |
                                              QRegularExpression::CaseInsensitiveOption);
    static const QString editorSheet = QStringLiteral("p, li { white-space: pre-wrap; }");
    const QRegularExpressionMatch match = body.match(html);
    if (!match.hasMatch())
        return html;
    bool preWrap = false;
    QRegularExpressionMatchIterator sheets = style.globalMatch(html.left(match.capturedStart()));
    while (sheets.hasNext()) {
        const QString sheet = sheets.next().captured(1).trimmed();
        if (sheet == editorSheet)
            preWrap = true;
        else if (!sheet.isEmpty() && !m_styleSheets.contains(sheet))
            m_styleSheets.append(sheet);
    }
    QString inner = match.captured(2);
    if (preWrap) {
        static const QRegularExpression blockTag(QStringLiteral("<(p|li)(\\s[^>]*)?>"),
                                                 QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression styleAttribute(QStringLiteral("\\sstyle=\""));
        QString rewritten;
        rewritten.reserve(inner.size() + inner.size() / 8);
        int done = 0;
        QRegularExpressionMatchIterator tags = blockTag.globalMatch(inner);
        while (tags.hasNext()) {
            const QRegularExpressionMatch tag = tags.next();
            QString attributes = tag.captured(2);
            const QRegularExpressionMatch styled = styleAttribute.match(attributes);
            if (styled.hasMatch())
                attributes.insert(styled.capturedEnd(), QStringLiteral("white-space: pre-wrap;"));
            else
                attributes += QStringLiteral(" style=\"white-space: pre-wrap;\"");
            rewritten += inner.midRef(done, tag.capturedStart() - done);
            rewritten += QLatin1Char('<') + tag.captured(1) + attributes + QLatin1Char('>');
            done = tag.capturedEnd();
        }
        rewritten += inner.midRef(done);
        inner = rewritten;
    }
    return QStringLiteral("<div") + match.captured(1) + QLatin1Char('>') + inner +
           QStringLiteral("</div>");
}

QString DayExport::document(const QString &body) const
{
    QString head;
    if (!m_styleSheets.isEmpty())
        head = QStringLiteral("<head><style type=\"text/css\">\n") +
               m_styleSheets.join(QLatin1Char('\n')) + QStringLiteral("\n</style></head>");
    return QStringLiteral("<html>") + head + QStringLiteral("<body>") + body +
           QStringLiteral("</body></html>");
}

QString DayExport::dayHtml(const QString &dayTable)
{
    QString html = QStringLiteral("<p><span style=\" font-size:%1pt; font-weight:%2; "
                                  "color:#ff0000;\">%3</span></p>")
                       .arg(m_heading.pointSize)
                       .arg(m_heading.cssWeight)
                       .arg(dateText(HistoryStore::dateOf(dayTable)).toHtmlEscaped());
    bool ok = false;
    const QList<ScheduleRecord> records = m_store.exportRecords(dayTable, &ok);
    for (const ScheduleRecord &record : records) {
        if (!record.time.isEmpty())
            html += QStringLiteral("<p>") + record.time.toHtmlEscaped() + htmlBreak +
                    QStringLiteral("</p>");
        html += QStringLiteral("计划：") + inlined(record.plan) + htmlBreak;
        html += QStringLiteral("结果：") + inlined(record.result) + htmlBreak;
    }
    const QList<SummaryItem> summary = m_store.exportSummary(dayTable, &ok);
    for (const SummaryItem &item : summary) {
        // Summary texts are stored rich text; scores are plain values.
        const QString detail =
            item.type == QLatin1String("summaryText") ? item.detail : item.detail.toHtmlEscaped();
        html += item.name.toHtmlEscaped() + QLatin1Char(':') + detail + htmlBreak;
    }
    return html;
}

QString DayExport::dayText(const QString &dayTable)
{
    QString text = lineBreak + dateText(HistoryStore::dateOf(dayTable)) + lineBreak;
    bool ok = false;
    const QList<ScheduleRecord> records = m_store.exportRecords(dayTable, &ok);
    for (const ScheduleRecord &record : records) {
        if (!record.time.isEmpty())
            text += record.time + lineBreak;
        text += QStringLiteral("计划：") + plain(record.plan) + lineBreak;
        text += QStringLiteral("结果：") + plain(record.result) + lineBreak;
    }
    const QList<SummaryItem> summary = m_store.exportSummary(dayTable, &ok);
    for (const SummaryItem &item : summary)
        text += item.name + QStringLiteral(": ") + plain(item.detail) + lineBreak;
    return text;
}

QString DayExport::taskListHtml(bool *ok)
{
    bool read = false;
    const QList<TaskRecord> tasks = m_store.tasks(&read);
    if (ok)
        *ok = read;
    if (!read)
        return QString();
    QString html = QStringLiteral("<br /><br /><br />清单总库<br />");
    for (const TaskRecord &task : tasks) {
        html += QStringLiteral("<b>内容:</b>") + inlined(task.content) + htmlBreak;
        html += QStringLiteral("<b>") + taskLine(task, true) + QStringLiteral("</b>") + htmlBreak;
    }
    return html;
}

QString DayExport::taskListText(bool *ok)
{
    bool read = false;
    const QList<TaskRecord> tasks = m_store.tasks(&read);
    if (ok)
        *ok = read;
    if (!read)
        return QString();
    QString text = QStringLiteral("清单总库") + lineBreak;
    for (const TaskRecord &task : tasks) {
        text += QStringLiteral("内容:") + plain(task.content) + lineBreak;
        text += taskLine(task, false) + lineBreak;
    }
    return text;
}

bool DayExport::createIfMissing(const QString &fileName)
{
    if (QFile::exists(fileName))
        return true;
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        logLine(QStringLiteral("file open failed!"), file.errorString());
        return false;
    }
    file.close();
    return true;
}

bool DayExport::append(const QString &fileName, const QString &text)
{
    QFile file(fileName);
    // Appending never creates the file; binary mode keeps every line break a single line feed.
    if (!file.exists() || !file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        logLine(QStringLiteral("file open failed!"));
        return false;
    }
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    stream.setGenerateByteOrderMark(false);
    stream << text;
    stream.flush();
    const bool written = stream.status() == QTextStream::Ok && file.error() == QFile::NoError;
    file.close();
    if (!written)
        logLine(QStringLiteral("file write failed!"), file.errorString());
    return written;
}

#include "openexport/csvwriter.h"

QString CsvWriter::field(const QString &text)
{
    const bool quoted = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                        text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) ||
                        (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quoted)
        return text;
    QString escaped = text;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

void CsvWriter::addRow(const QStringList &fields)
{
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString &text : fields)
        quoted.append(field(text));
    m_text += quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    ++m_rows;
}

QByteArray CsvWriter::document() const
{
    return QByteArray("\xEF\xBB\xBF") + m_text.toUtf8();
}

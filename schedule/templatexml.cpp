#include "schedule/templatexml.h"

#include <QIODevice>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {
const QString unexpectedElementMessage = QStringLiteral("错误：文件解析失败。\n");
const QString xmlErrorMessage = QStringLiteral("错误：文件解析失败！\n");
const QString tooManyRecordsMessage = QStringLiteral("错误：每日计划不要超过50项。\n");
const QString tooManyItemsMessage = QStringLiteral("错误：每日小结不能超过20项。\n");

int heightOf(const QString &text)
{
    bool ok = false;
    const int height = text.trimmed().toInt(&ok);
    return ok && height > 0 ? height : 100;
}

bool isRecordField(const QString &name)
{
    return name == QLatin1String("plan") || name == QLatin1String("label") ||
           name == QLatin1String("result") || name == QLatin1String("planHeight") ||
           name == QLatin1String("resultHeight");
}

class Reader {
public:
    Reader(QIODevice *device, const QString &path) : m_xml(device), m_path(path) {}

    TemplateXml::ReadResult run()
    {
        bool haveToken = false;
        while (!m_stopped) {
            if (!haveToken)
                m_xml.readNext();
            haveToken = false;
            if (m_xml.atEnd() || m_xml.hasError())
                break;
            if (!m_xml.isStartElement())
                continue;
            const QString name = m_xml.name().toString();
            if (name == QLatin1String("summaryText") || name == QLatin1String("summaryScore")) {
                flushRecord();
                m_recordPartDone = true;
                readSection(name == QLatin1String("summaryText"));
            } else if (m_recordPartDone) {
                // Nothing but summary sections is looked at after the records.
                m_xml.skipCurrentElement();
            } else if (name == QLatin1String("root") || name == QLatin1String("template") ||
                       name.contains(QLatin1String("line"))) {
                continue;
            } else if (name == QLatin1String("name")) {
                m_xml.readElementText(); // the file name is the template's name
            } else if (name == QLatin1String("isSchedule")) {
                m_result.content.hasIsSchedule = true;
                m_result.content.timed = m_xml.readElementText() == QLatin1String("Yes");
            } else if (name == QLatin1String("time")) {
                startRecord();
            } else if (isRecordField(name)) {
                readField(name);
            } else {
                // An unknown element may only wrap other elements; one that holds text is a
                // misspelling we must not guess at.
                haveToken = skipWrapperStart();
                if (!haveToken && !m_xml.hasError())
                    stop(unexpectedElementMessage);
            }
        }
        if (m_xml.hasError()) {
            if (!m_stopped)
                stop(xmlErrorMessage);
        } else if (!m_stopped) {
            flushRecord();
        }
        return m_result;
    }

private:
    void stop(const QString &message)
    {
        m_result.messages.append(message + m_path);
        m_stopped = true;
    }

    // Reads past blank text and comments; true when a start element follows (left current).
    bool skipWrapperStart()
    {
        for (;;) {
            m_xml.readNext();
            if (m_xml.hasError())
                return false;
            if (m_xml.isComment() || m_xml.isProcessingInstruction())
                continue;
            if (m_xml.isCharacters() && m_xml.isWhitespace())
                continue;
            return m_xml.isStartElement();
        }
    }

    void startRecord()
    {
        flushRecord();
        const QString time = m_xml.readElementText();
        if (m_result.content.records.size() >= TemplateXml::maxRecords) {
            if (!m_recordsFull)
                m_result.messages.append(tooManyRecordsMessage + m_path);
            m_recordsFull = true;
        }
        m_record = TemplateRecord();
        m_record.time = time;
        m_inRecord = true;
    }

    void readField(const QString &name)
    {
        const QString value = m_xml.readElementText();
        if (m_xml.hasError())
            return;
        if (!m_inRecord) {
            stop(unexpectedElementMessage);
            return;
        }
        if (name == QLatin1String("plan"))
            m_record.plan = value;
        else if (name == QLatin1String("label"))
            m_record.label = value;
        else if (name == QLatin1String("result"))
            m_record.result = value;
        else if (name == QLatin1String("planHeight"))
            m_record.planHeight = heightOf(value);
        else
            m_record.resultHeight = heightOf(value);
        if (name == QLatin1String("resultHeight"))
            flushRecord();
    }

    void flushRecord()
    {
        if (m_inRecord && !m_recordsFull)
            m_result.content.records.append(m_record);
        m_inRecord = false;
    }

    // Items are the direct children of the section, whatever their names ("text" included);
    // their own children are "text" and, for text items, "height".
    void readSection(bool textSection)
    {
        TemplateContent &content = m_result.content;
        while (m_xml.readNextStartElement()) {
            TemplateSummaryItem item;
            item.name = m_xml.name().toString();
            item.height = textSection ? 100 : 30;
            while (m_xml.readNextStartElement()) {
                const auto child = m_xml.name();
                if (child == QLatin1String("text"))
                    item.text = m_xml.readElementText();
                else if (textSection && child == QLatin1String("height"))
                    item.height = heightOf(m_xml.readElementText());
                else
                    m_xml.skipCurrentElement();
            }
            if (m_xml.hasError())
                return;
            if (content.texts.size() + content.scores.size() >= TemplateXml::maxSummaryItems) {
                if (!m_itemsFull)
                    m_result.messages.append(tooManyItemsMessage + m_path);
                m_itemsFull = true;
                continue;
            }
            (textSection ? content.texts : content.scores).append(item);
        }
    }

    QXmlStreamReader m_xml;
    QString m_path;
    TemplateXml::ReadResult m_result;
    TemplateRecord m_record;
    bool m_inRecord = false;
    bool m_recordsFull = false;
    bool m_itemsFull = false;
    bool m_recordPartDone = false;
    bool m_stopped = false;
};

// A reader takes a carriage return in the file for a line feed unless it comes as a character
// reference, and CDATA has none: the text is written in pieces around each "\r".
void writeText(QXmlStreamWriter &xml, const QString &name, const QString &text, bool cdata)
{
    xml.writeStartElement(name);
    const QStringList pieces = TemplateXml::xmlSafe(text).split(QLatin1Char('\r'));
    for (int i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            xml.writeEntityReference(QStringLiteral("#13"));
        if (!cdata)
            xml.writeCharacters(pieces.at(i));
        else if (!pieces.at(i).isEmpty() || pieces.size() == 1)
            xml.writeCDATA(pieces.at(i));
    }
    xml.writeEndElement();
}

void writeCData(QXmlStreamWriter &xml, const QString &name, const QString &text)
{
    writeText(xml, name, text, true);
}
} // namespace

TemplateXml::ReadResult TemplateXml::read(QIODevice *device, const QString &path)
{
    return Reader(device, path).run();
}

bool TemplateXml::isElementName(const QString &name)
{
    if (name.isEmpty())
        return false;
    // Ask the reader itself, so writer and reader can never disagree about a name.
    QXmlStreamReader probe(QLatin1Char('<') + name + QStringLiteral("/>"));
    if (!probe.readNextStartElement() || probe.name() != name)
        return false;
    while (!probe.atEnd())
        probe.readNext();
    return !probe.hasError();
}

QString TemplateXml::firstUnwritableName(const TemplateContent &content)
{
    for (const QVector<TemplateSummaryItem> *items : {&content.texts, &content.scores}) {
        for (const TemplateSummaryItem &item : *items) {
            if (!isElementName(item.name))
                return item.name.isEmpty() ? QStringLiteral("\"\"") : item.name;
        }
    }
    return QString();
}

QString TemplateXml::xmlSafe(const QString &text)
{
    QString safe;
    safe.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const ushort u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            safe.append(c);
            safe.append(text.at(++i));
        } else if (c.isSurrogate()) {
            continue;
        } else if (u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u <= 0xFFFD)) {
            safe.append(c);
        }
    }
    return safe;
}

bool TemplateXml::write(QIODevice *device, const TemplateContent &content, int firstLine)
{
    if (!firstUnwritableName(content).isEmpty())
        return false;
    QXmlStreamWriter xml(device);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("root"));
    xml.writeStartElement(QStringLiteral("template"));
    xml.writeTextElement(QStringLiteral("name"), xmlSafe(content.name));
    if (content.hasIsSchedule) {
        xml.writeTextElement(QStringLiteral("isSchedule"),
                             content.timed ? QStringLiteral("Yes") : QStringLiteral("No"));
    }
    xml.writeEndElement();

    int line = firstLine;
    for (const TemplateRecord &record : content.records) {
        if (firstLine >= 0)
            xml.writeStartElement(QStringLiteral("line%1").arg(line++));
        writeText(xml, QStringLiteral("time"), record.time, false);
        writeCData(xml, QStringLiteral("plan"), record.plan);
        xml.writeTextElement(QStringLiteral("planHeight"), QString::number(record.planHeight));
        writeCData(xml, QStringLiteral("label"), record.label);
        writeCData(xml, QStringLiteral("result"), record.result);
        xml.writeTextElement(QStringLiteral("resultHeight"), QString::number(record.resultHeight));
        if (firstLine >= 0)
            xml.writeEndElement();
    }

    if (!content.texts.isEmpty()) {
        xml.writeStartElement(QStringLiteral("summaryText"));
        for (const TemplateSummaryItem &item : content.texts) {
            xml.writeStartElement(item.name);
            writeCData(xml, QStringLiteral("text"), item.text);
            xml.writeTextElement(QStringLiteral("height"), QString::number(item.height));
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    if (!content.scores.isEmpty()) {
        xml.writeStartElement(QStringLiteral("summaryScore"));
        for (const TemplateSummaryItem &item : content.scores) {
            xml.writeStartElement(item.name);
            writeCData(xml, QStringLiteral("text"), item.text);
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return !xml.hasError();
}

namespace {
TemplateContent builtInSummary()
{
    TemplateContent content;
    TemplateSummaryItem diary;
    diary.name = QStringLiteral("今日随笔");
    diary.height = 100;
    content.texts.append(diary);
    TemplateSummaryItem rating;
    rating.name = QStringLiteral("今日整体评价");
    rating.height = 30;
    content.scores.append(rating);
    return content;
}
} // namespace

TemplateContent TemplateXml::emptySchedule()
{
    TemplateContent content = builtInSummary();
    content.name = QStringLiteral("空时刻表");
    content.hasIsSchedule = true;
    content.timed = true;
    for (int k = 3; k <= 11; ++k) {
        TemplateRecord record;
        record.time = QStringLiteral("%1:00--%2:00")
                          .arg(6 + k, 2, 10, QLatin1Char('0'))
                          .arg(7 + k, 2, 10, QLatin1Char('0'));
        content.records.append(record);
    }
    return content;
}

TemplateContent TemplateXml::emptyTaskList()
{
    TemplateContent content = builtInSummary();
    content.name = QStringLiteral("空任务表");
    content.hasIsSchedule = true;
    content.timed = false;
    content.records.resize(6);
    return content;
}

#ifndef ORVANE_SCHEDULE_TEMPLATEXML_H
#define ORVANE_SCHEDULE_TEMPLATEXML_H

#include <QString>
#include <QStringList>
#include <QVector>

class QIODevice;

struct TemplateRecord {
    QString time; // "hh:mm--hh:mm" or empty
    QString plan;
    QString label;
    QString result;
    int planHeight = 100;
    int resultHeight = 100;
};

struct TemplateSummaryItem {
    QString name; // also the element name in the file
    QString text; // content of a text item, the score of a score item
    int height = 100;
};

// What one template file holds.
struct TemplateContent {
    QString name;
    bool hasIsSchedule = false; // a template without records may omit it
    bool timed = false;
    QVector<TemplateRecord> records;
    QVector<TemplateSummaryItem> texts;
    QVector<TemplateSummaryItem> scores;
};

// Reading and writing of the XML template format, without files or database.
class TemplateXml {
public:
    static constexpr int maxRecords = 50;
    static constexpr int maxSummaryItems = 20;

    struct ReadResult {
        TemplateContent content;
        // Messages for the user in the order the problems were met; the content read before a
        // problem is kept.
        QStringList messages;
    };

    // path only goes into the messages.
    static ReadResult read(QIODevice *device, const QString &path);

    // Writes with automatic indentation; texts of records and summary items as CDATA. With
    // firstLine >= 0 every record is wrapped in "line<n>" as in the built-in templates.
    // Returns false when an item name cannot be an element name (nothing useful is written
    // then) or the device failed.
    static bool write(QIODevice *device, const TemplateContent &content, int firstLine = -1);

    // Whether the reader will give back this exact name for an element named so.
    static bool isElementName(const QString &name);
    // The first summary item name that cannot be written, or an empty text.
    static QString firstUnwritableName(const TemplateContent &content);
    // Removes characters XML 1.0 cannot carry at all (most control characters, lone surrogates).
    static QString xmlSafe(const QString &text);

    static TemplateContent emptySchedule(); // "空时刻表"
    static TemplateContent emptyTaskList(); // "空任务表"
};

#endif

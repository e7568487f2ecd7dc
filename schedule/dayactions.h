#ifndef ORVANE_SCHEDULE_DAYACTIONS_H
#define ORVANE_SCHEDULE_DAYACTIONS_H

#include "app/usermessage.h"
#include "schedule/daystore.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariantList>
#include <QVariantMap>
#include <functional>

// What the day view shows of one record when the person saves: plain values read from its
// editors, in display order.
struct DayRecordEdit {
    // The same texts and times (heights aside): nothing the person typed differs.
    bool sameText(const DayRecordEdit &other) const
    {
        return start == other.start && end == other.end && plan == other.plan &&
               result == other.result;
    }

    bool timed = false; // the row has time editors
    QString start;      // "hh:mm" as shown, empty for an untimed row
    QString end;
    QString plan; // editor HTML
    QString result;
    int planHeight = 100;
    int resultHeight = 100;
    QString labelCaption; // the label button's caption
};

struct DaySummaryTextEdit {
    QString html;
    int height = 200;
};

// Everything of a day that is edited in the view and written by a save.
struct DayEdits {
    QList<DayRecordEdit> records;
    QList<DaySummaryTextEdit> texts; // summary text editors, in order
    QList<int> scores;               // summary score boxes, in order

    // Whether anything typed differs from `other` (the day as it was drawn).
    bool differsFrom(const DayEdits &other) const;
};

// The day view's actions on the database, each one transaction: a failure leaves the stored
// day as it was. No widgets: the view reads its editors into DayEdits and calls these.
class DayActions {
public:
    explicit DayActions(const QSqlDatabase &db);

    // What a date shows when it is opened.
    struct DateSchedule {
        enum Kind {
            LookupFailed,   // the table list could not be read: leave the view as it is
            None,           // no schedule and the default template is "无"
            NewFromDefault, // no schedule yet: make one from `templateName`, the default
            Xml,            // one XML schedule
            Excel,          // one Excel schedule
            Chooser         // several: the person picks
        };
        Kind kind = LookupFailed;
        QString templateName;
        QStringList xmlTemplates;   // the date's schedules with content
        QStringList excelTemplates; // the date's Excel schedules
        QStringList excelRegistries;
    };
    DateSchedule scheduleOfDate(const QDate &date);

    // Told when a new day's tables could not be made.
    static inline const QString dayCreateFailedMessage =
        QStringLiteral("无法为这一天创建记录：数据库无法写入（磁盘可能已满或文件只读）。");

    // Makes sure the day table exists: a missing one is created with its summary and label
    // tables and filled from its template (messages for the person are added to *messages).
    // Returns the table's state (HasContent for a new one; *created tells); TableCreateFailure
    // when it could not be made.
    DayStore::TableState openSchedule(const QString &dayTable, UserMessages *messages,
                                      bool *created = nullptr);

    // "保存修改": records, the day's label table, the week, month and year totals the date
    // closes or changes, and the summary.
    bool saveDay(const QString &dayTable, const QDate &date, const DayEdits &edits);

    // A change to the day's records or summary (add, merge, delete, label, height, summary
    // items) after the edits on screen are stored as "保存修改" would store them, all in one
    // transaction, so the redraw that follows shows what was typed. edits may be null (nothing
    // of the day on screen). False when anything failed: nothing is changed.
    bool saveThen(const QString &dayTable, const QDate &date, const DayEdits *edits,
                  const std::function<bool()> &change);

    // Drops an XML schedule of a date with its summary and label tables, refreshes the closed
    // totals and removes the summary's settings keys.
    bool dropSchedule(const QString &dayTable, const QDate &date);

    // Deletes a record and closes the gap; a day whose minutes are counted has its label table
    // and the totals it belongs to recomputed from the records that stay, as a save would.
    bool deleteRecord(const QString &dayTable, const QDate &date, int index);

    // Taking back deletes, each in one transaction. A record's row as DayStore::recordRow read
    // it; the minutes are recomputed as after deleteRecord, and totals that come out as they
    // were before the delete (totalsBefore, LabelDurationStore::totalsOf) keep their old stamp.
    bool restoreRecord(const QString &dayTable, const QDate &date, const QVariantList &row,
                       const QList<TableSnapshot> &totalsBefore = {});
    // Everything dropSchedule removes: the three tables and the summary's settings keys.
    struct ScheduleCopy {
        QString dayTable;
        QDate date;
        QList<TableSnapshot> tables;
        QVariantMap summaryKeys;
        QList<TableSnapshot> totals; // the closed totals of the date before the delete
    };
    bool readSchedule(const QString &dayTable, const QDate &date, ScheduleCopy *copy);
    // Creates the tables again (none of them may exist), writes the keys back and refreshes the
    // closed totals of the date.
    bool restoreSchedule(const ScheduleCopy &copy);

private:
    bool writeDay(const QString &dayTable, const QDate &date, const DayEdits &edits);
    // The label table and totals from the stored records, when the day's minutes are counted.
    bool recountLabels(const QString &dayTable, const QDate &date);

    QSqlDatabase m_db;
    DayStore m_store;
};

#endif

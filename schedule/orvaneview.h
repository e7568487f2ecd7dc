#ifndef ORVANE_SCHEDULE_ORVANEVIEW_H
#define ORVANE_SCHEDULE_ORVANEVIEW_H

#include "richtext/schedulecellowner.h"
#include "schedule/dayactions.h"
#include "undo/undojournal.h"

#include <QDate>
#include <QPointer>
#include <QSqlDatabase>
#include <QStringList>
#include <QTime>
#include <QWidget>
#include <functional>

class DayStore;
class QComboBox;
class QDateEdit;
class QGridLayout;
class QLayout;
class QPushButton;
class QScrollArea;
class QVBoxLayout;
class UndoNotice;

// The day view: the schedule of one date (records with time span, plan, label and result, and
// the day's summary) beside the task list shown read-only.
class orvaneView : public QWidget, public ScheduleCellOwner {
    Q_OBJECT

public:
    static const int TABLE_CREATE_FAILURE = -1;

    // mainView: the task list window that "返回" goes back to.
    orvaneView(QWidget *parent, QWidget *mainView, const QString &filterCondition,
               const QString &sortCondition);
    ~orvaneView() override;

    int tableIsNotEmpty(const QString &tableName);
    void drawScheduleTable(const QString &tableName);
    void drawSchedule(const QString &templat);
    void clearLayoutItems(QLayout *layout);

    void updateCellHeight(int index, int kind, int newHeight, int scrollPos) override;
    QScrollArea *rowScrollArea() const override { return m_scheduleScroll; }

    void addTimedRecord(int index, bool above, const QTime &start, const QTime &end);
    void addUntimedRecord(int index, bool above);
    void mergeRecords(int fromIndex, int withIndex, int placeIndex, int option, const QTime &start,
                      const QTime &end);
    QString readRecordLabel(int index);
    void writeRecordLabel(int index, const QString &label);
    QString readSummaryNames(int kind);
    void applySummaryItems(const QString &textNames, const QString &scoreNames);
    void fillTemplateComboBox();
    void showDaySchedule(const QString &templat);
    void deleteDaySchedule(const QString &templat);

    // Whether texts, times or scores on screen differ from what was drawn or last saved.
    bool hasUnsavedEdits() const;
    // Saves unsaved edits without asking (the program is being shut down).
    void storeUnsavedEdits();

    // State read by the dialogs and the tests.
    QDate date() const { return m_date; }
    QString dayName() const { return m_dayName; }
    QString currentTemplate() const { return m_currentTemplate; }
    QString currentTable() const { return m_dayName + m_currentTemplate; }
    QStringList dayXmlTemplates() const { return m_dayXmlTemplates; }
    QStringList dayExcelTemplates() const { return m_dayExcelTemplates; }
    int recordCount() const { return m_recordCount; }
    bool lastRecordTimed() const { return m_lastRecordTimed; }
    bool scheduleDrawn() const { return m_scheduleDrawn; }
    QWidget *scheduleContent() const { return m_scheduleContent; }
    QWidget *taskContent() const { return m_taskContent; }
    QDateEdit *dateEdit() const { return m_dateEdit; }
    QComboBox *templateComboBox() const { return m_templateCombo; }
    QSqlDatabase database() const { return m_db; }
    const UndoJournal &undoJournal() const { return m_undo; }
    UndoNotice *undoNotice() const { return m_undoNotice; }

    // Ctrl+Z and "撤销": takes back the newest delete of this window (a record, a date's
    // schedule, a template) and shows the day it belongs to as a fresh drawing would.
    void undoLastDelete();

public slots:
    void onBackButtonClicked();
    void onSaveButtonClicked();
    void checkLabelDurationStatistic();
    void updateYearMonthWeekLabelDuration();
    int weekCountInMonth(int year, int month);
    bool checkTableExistOrNot(QString tableName);
    void onHistoryButtonClicked();
    void drawDateSchedule(QDate date);
    void setScheduleTemplate(QString templat);
    void onSaveAsTemplateButtClicked();
    void onSelectDefaultTemplateButtClicked();
    void onDeleteTemplateButtClicked();
    void onExportInTemplateButtClicked();
    void onExportOutTemplateButtClicked();
    void setDefaultTemplate(QString defaultTemplate);
    void deleteOneTemplate(QString templat);
    void onAddItemClicked(int index);
    void onDeleteItemClicked(int index);
    void onMergeItemClicked(int index);
    void onLabelButtonClicked(int index);
    void onEditTodaySummaryButtonClicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Asks before the day's unsaved edits would be drawn over; false: stay on the day.
    bool confirmLeave();
    bool saveDayEdits();
    void drawTaskPanel();
    void resetScheduleArea();
    void showScheduleContent();
    void clearSchedule();
    void createControls();
    void drawSummary(int row);
    // The day's texts, times, heights, labels and scores as they are on screen.
    DayEdits readEdits() const;
    // Stores the edits on screen, then makes the change, in one transaction; tells the person
    // when it failed.
    bool saveThen(const std::function<bool()> &change);
    QComboBox *makeTemplateBox(bool withNone);
    void toggleSmallBox(QPointer<QComboBox> &box, bool withNone, const char *slot, int x);
    void openExcelEditor(const QString &path);
    void journal(const UndoEntry &entry);

    QWidget *m_mainView;
    QString m_filterCondition;
    QString m_sortCondition;
    QSqlDatabase m_db;
    DayStore *m_store = nullptr;
    DayActions *m_actions = nullptr;
    DayEdits m_drawnEdits; // the day as drawn or last saved

    QDate m_date;
    QString m_dayName;
    QString m_currentTemplate;
    QString m_defaultTemplate;
    QStringList m_dayXmlTemplates;
    QStringList m_dayExcelTemplates;
    int m_recordCount = 0;
    bool m_lastRecordTimed = false;
    // False while the schedule area shows nothing of the date (an Excel schedule, the chooser,
    // "无"): a save then writes nothing.
    bool m_scheduleDrawn = false;

    QRect m_taskArea;
    QRect m_scheduleArea;
    QScrollArea *m_taskScroll = nullptr;
    QWidget *m_taskContent = nullptr;
    QScrollArea *m_scheduleScroll = nullptr;
    QWidget *m_scheduleContent = nullptr;
    QGridLayout *m_grid = nullptr;
    QDateEdit *m_dateEdit = nullptr;
    QComboBox *m_templateCombo = nullptr;
    QPointer<QComboBox> m_defaultBox;
    QPointer<QComboBox> m_deleteBox;
    QPointer<QWidget> m_chooser;
    UndoJournal m_undo;
    UndoNotice *m_undoNotice = nullptr;
};

#endif

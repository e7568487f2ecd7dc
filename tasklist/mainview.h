#ifndef ORVANE_TASKLIST_MAINVIEW_H
#define ORVANE_TASKLIST_MAINVIEW_H

#include "richtext/taskrowowner.h"
#include "tasklist/taskrow.h"
#include "tasklist/taskstore.h"
#include "undo/undojournal.h"

#include <QDate>
#include <QHash>
#include <QPointer>
#include <QRect>
#include <QSqlDatabase>
#include <QVector>
#include <QWidget>
#include <array>

class QGridLayout;
class QLabel;
class QPushButton;
class QScrollArea;
class FilterPanel;
class SortPanel;
class orvaneView;
class UndoNotice;

// The task list: the program's main window. Every task is an editable row; edits are collected
// in a pending list and written on save, add, delete, leaving for the day view and close.
//
// A drawing reads the list once into entries, one per drawn task; the first rows get their
// widgets at once, the others keep a placeholder of their height in the grid and get their
// widgets as they come near the viewport (or when asked through taskRow), so a long list opens
// as fast as a short one and the scroll bar spans the whole list from the start. Adding,
// deleting and moving rows in the plain manual order, and height changes, touch only the rows
// concerned; a change of mode (sort, filter, groups) draws everything anew.
class MainView : public QWidget, public TaskRowOwner {
    Q_OBJECT

public:
    explicit MainView(QWidget *parent = nullptr);
    ~MainView() override;

    bool openDatabase();

    // mode 0: plain list, 1: grouped list.
    void createListContainer(int mode);
    void buildRows(const TaskQuery &query);
    // The grouped list: each group's tasks under its heading, each task only under the first
    // group that selects it, the rest under "其它：未分组".
    void buildGroupedRows();

    // Draws the whole list again from the table in the current mode (plain, sorted, filtered or
    // grouped), keeping the scroll position. Pending edits must have been saved first.
    void redrawFromTable();
    // The row drawn for a manualIndex, its widgets made now if they were not yet; null when the
    // current drawing does not show that task.
    TaskRow *taskRow(int manualIndex);
    // Gives every drawn row its widgets (for a search over the whole list).
    void makeAllRows();
    // Drawn tasks whose widgets exist.
    int madeRowCount() const { return m_rows.size(); }
    const TaskRowShared &rowShared() const { return m_rowShared; }

    void setItemHeight(int index, int newHeight, int scrollPos) override;
    QScrollArea *rowScrollArea() const override { return m_scrollArea; }
    QScrollArea *scrollArea() const { return m_scrollArea; }
    QWidget *listContainer() const { return m_container; }
    TaskStore *store() const { return m_store; }

    QString sortCondition() const { return m_sortCondition; }
    QString filterCondition() const { return m_filterCondition; }
    int shownRowCount() const { return m_shownRowCount; }
    int pendingCount() const { return m_pendingLast + 1; }
    QRect headerArea() const { return m_headerArea; }
    const UndoJournal &undoJournal() const { return m_undo; }
    UndoNotice *undoNotice() const { return m_undoNotice; }
    // The groups' deletes, kept here because the group window is made anew for every use.
    UndoJournal &groupUndoJournal() { return m_groupUndo; }

    // Ctrl+Z and "撤销": takes back the newest task delete and draws the list as after a delete.
    void undoLastDelete();

    // Only "groupCount" is handled; any other key reads as an invalid value and is not stored.
    QVariant getSettingValue(const QString &key) const;
    void setSettingValue(const QString &key, const QVariant &value);
    // "共%1个分组" with the stored group count.
    void updateGroupCountLabel();

public slots:
    void onAddButtonClicked();
    void onViewButtonClicked();
    void onAboutButtonClicked();
    void saveTextEdit();
    void setTextEditIndex(int index);
    void setDeleteButtonIndex(int index);
    void onDelButtonClicked();
    void onStartDateButtonClicked(int index);
    void onStopDateButtonClicked(int index);
    void onStartCalendarClicked(QDate date, int index);
    void onStopCalendarClicked(QDate date, int index);
    void onLabelComboBoxStateChanged(int index, QString text);
    void onLabelOtherButtonClicked(int index);
    void onUpArrowClicked(int index, int id);
    void onDownArrowClicked(int index, int id);
    void onSortApplyButtonClicked(QString sortCondition);
    void onSortCancelButtonClicked();
    void onFilterCalendarButtonClicked(int order);
    void onFilterCalendarClicked(int order, QDate date);
    void setFilterApplyButtonEnabled(QString text);
    void onFilterApplyButtonClicked();
    void onFilterCancelButtonClicked();
    void onGroupEditButtonClicked();
    void onGroupApplyButtonClicked();
    void onGroupCancelButtonClicked();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void destroyListContainer();
    // Plain list in manual order, as after add, delete and moves.
    void redrawManualOrder();
    // Grouped drawing when the grouped view is on, else the plain list read by the statement.
    void redrawCurrentMode(const TaskQuery &query);
    // Saves the pending rows; false (the person told, the edits kept pending) when it failed.
    bool savePending();
    // The list's current filter and order.
    TaskQuery currentQuery() const;
    void buildPanelStrip();
    void updateFilterButtons();
    // Adding a task redraws the plain manual order, so it is only offered while that is shown.
    void updateAddButton();
    bool sorted() const;
    // One drawn task: where it sits in the grid and its row once made.
    struct Entry {
        TaskRecord task;
        int gridRow = 0;
        TaskRow *row = nullptr;
    };
    // Rows made when a list is drawn, before any scrolling.
    static constexpr int initialRows = 100;

    void addEntry(const TaskRecord &task, int gridRow);
    TaskRow *makeRow(int entry);
    // Makes the rows within a viewport's height above and two below what is shown.
    void makeVisibleRows();
    void setPlaceholder(const Entry &entry);
    int entryOf(int manualIndex) const;
    void finishList();
    void resizeContainer(int delta);
    // The incremental edits of the plain manual order.
    bool appendRow(int position);
    void removeRow(int entry);
    void swapRows(int upper);
    void openCalendar(int index, bool start);
    void setDateText(const QString &stem, QDate date, int index);

    QSqlDatabase m_db;
    TaskStore *m_store = nullptr;

    std::array<int, 1000> pendingRows{};
    int m_pendingLast = -1;
    int m_lastPendingRow = -1;
    int mDeletingNo = 0;
    int nextId = 0;
    int m_shownRowCount = 0;
    int m_savedScrollPos = 0;
    int m_groupCount = 0;
    QString m_sortCondition;
    QString m_filterCondition;

    QRect m_listArea;
    QRect m_headerArea;
    QLabel *m_title = nullptr;
    QPushButton *m_aboutButton = nullptr;
    QPushButton *m_viewButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    QPushButton *m_addButton = nullptr;
    SortPanel *m_sortPanel = nullptr;
    FilterPanel *m_filterPanel = nullptr;
    QLabel *m_groupCountLabel = nullptr;
    QPushButton *m_groupApplyButton = nullptr;
    QPushButton *m_groupCancelButton = nullptr;
    QScrollArea *m_scrollArea = nullptr;
    QWidget *m_container = nullptr;
    QGridLayout *m_grid = nullptr;
    // The drawn tasks in drawing order; entry r is drawn as "r + 1.".
    QVector<Entry> m_entries;
    // The made rows by manualIndex, so a save reaches a row's widgets without searching the
    // whole list.
    QHash<int, TaskRow *> m_rows;
    // True while the drawing is the plain list in manual order (entry r holds manualIndex r).
    bool m_plainDrawn = false;
    bool m_makingRows = false;
    TaskRowShared m_rowShared;
    QPointer<orvaneView> m_dayView;
    UndoJournal m_undo;
    UndoJournal m_groupUndo;
    UndoNotice *m_undoNotice = nullptr;
};

#endif

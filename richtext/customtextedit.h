#ifndef ORVANE_RICHTEXT_CUSTOMTEXTEDIT_H
#define ORVANE_RICHTEXT_CUSTOMTEXTEDIT_H

#include <QPoint>
#include <QSize>
#include <QTextEdit>

class TaskRowOwner;
class ScheduleCellOwner;
class historyView;

// The editor of every text cell: a QTextEdit with its own context menu, a format popup that
// follows a mouse selection, Ctrl + left click on links and a fixed height owned by its window.
// It never saves; the owner fills it with HTML and reads it back.
class CustomTextEdit : public QTextEdit {
    Q_OBJECT
public:
    // A task row of the task list: editable.
    CustomTextEdit(TaskRowOwner *owner, int height, int rowKey);
    // A box of the day view: kind 0 plan, 1 result, 2 day summary; mode 0 editable, 1 read-only
    // list (the context menu offers only the search).
    CustomTextEdit(ScheduleCellOwner *owner, int height, int rowKey, int kind, int mode);
    // A box of the history browser: read-only, no context menu. The owner is not kept.
    CustomTextEdit(historyView *owner, int height, int mode);

    int boxHeight() const { return m_height; }
    // A new fixed height, as the height dialog chose it.
    void setBoxHeight(int height)
    {
        m_height = height;
        setFixedHeight(height);
    }
    int rowKey() const { return m_rowKey; }
    // The row moved (a task above it was deleted, or it was swapped with a neighbour).
    void setRowKey(int rowKey) { m_rowKey = rowKey; }
    int columnKind() const { return m_columnKind; }
    int mode() const { return m_mode; }
    TaskRowOwner *taskRowOwner() const { return m_taskOwner; }
    ScheduleCellOwner *scheduleOwner() const { return m_scheduleOwner; }

    // Where a popup of the given size goes when anchored at a point of the text (global
    // coordinates), keeping it on the available screen area.
    static QPoint popupPosition(const QPoint &anchor, const QSize &size);
    // Where a dialog opened from the context menu goes: at the menu position, moved up to
    // fallbackTop when fewer than minSpace pixels are left below it.
    static QPoint menuDialogPosition(const QPoint &pos, int minSpace, int fallbackTop);

public slots:
    void onFormatActionTriggered();
    void onInsertObjectActionTriggered(QPoint postion);
    void onFindTextActionTriggered(QPoint postion);
    void onAdjustHeightActionTriggered(QPoint postion);
    void onInsertImageTriggered();
    void onInsertListTriggered(QPoint postion);
    void onInsertTableTriggered(QPoint postion);
    void onInsertUrlTriggered(QPoint postion);
    void setHighlight();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void setUp();
    // Places a popup next to the cursor and shows it; atLeftEdge anchors at the cursor
    // rectangle's left edge instead of just right of it.
    void showPopup(QWidget *popup, const QSize &size, bool atLeftEdge = false);

    int m_height;
    int m_rowKey;
    int m_columnKind = 0;
    int m_mode = 0;
    TaskRowOwner *m_taskOwner = nullptr;
    ScheduleCellOwner *m_scheduleOwner = nullptr;
    bool m_contextMenuShown = false;
};

#endif

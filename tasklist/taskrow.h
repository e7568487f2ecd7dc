#ifndef ORVANE_TASKLIST_TASKROW_H
#define ORVANE_TASKLIST_TASKROW_H

#include "tasklist/taskrecord.h"

#include <QHash>
#include <QIcon>
#include <QObject>
#include <QPointer>

class CustomQComboBox;
class CustomTextEdit;
class MainView;
class QGridLayout;
class QLabel;
class QPushButton;
class QWidget;

// What every row of the list shares: made once by the window, not once per row.
struct TaskRowShared {
    QIcon upArrow;
    QIcon downArrow;
};

// One task of the list: creates the widgets of its two grid rows, knows its manualIndex and
// connects them to the main window. The widgets belong to the list container. A row keeps its
// widgets when the list around it changes: a deletion above renumbers it, a move swaps it with
// its neighbour (setManualIndex, setPosition, placeAt).
class TaskRow : public QObject {
    Q_OBJECT

public:
    // gridRow: the first of the task's two grid rows; position: the drawn row number r, shown
    // as "r + 1.".
    TaskRow(MainView *view, QGridLayout *grid, int gridRow, int position, const TaskRecord &task,
            bool manualOrder, bool last);

    int manualIndex() const { return m_task.manualIndex; }
    int id() const { return m_task.id; }
    int position() const { return m_position; }
    CustomTextEdit *editor() const { return m_editor; }
    QLabel *numberLabel() const { return m_number; }
    QPushButton *upButton() const { return m_upButton; }
    QPushButton *downButton() const { return m_downButton; }
    // The row's widget whose object name is stem + manualIndex ("startDate", "comboLabel", ...);
    // null when there is none or it is gone.
    QWidget *field(const QString &stem) const { return m_named.value(stem); }

    // Renames every named widget for the new manualIndex; the connections follow.
    void setManualIndex(int index);
    // The drawn number and the arrows: up off on the first row, down off on the last.
    void setPosition(int position, bool last);
    // Moves the row's widgets to the grid rows gridRow and gridRow + 1.
    void placeAt(QGridLayout *grid, int gridRow);
    void takeFrom(QGridLayout *grid);
    // Takes the widgets out of the grid, hides them and deletes them and this row later (the
    // click that asked for it may still be running inside one of them).
    void discard(QGridLayout *grid);

private:
    void connectToView(MainView *view);
    QList<QWidget *> gridWidgets() const;

    TaskRecord m_task;
    int m_position = 0;
    bool m_manualOrder = false;
    QLabel *m_number = nullptr;
    CustomTextEdit *m_editor = nullptr;
    QPushButton *m_deleteButton = nullptr;
    QPushButton *m_upButton = nullptr;
    QPushButton *m_downButton = nullptr;
    QWidget *m_fields = nullptr;
    QWidget *m_arrows = nullptr;
    CustomQComboBox *m_labelBox = nullptr;
    QHash<QString, QPointer<QWidget>> m_named;
};

#endif

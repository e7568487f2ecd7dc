#ifndef ORVANE_TASKLIST_TASKROW_H
#define ORVANE_TASKLIST_TASKROW_H

#include "tasklist/taskrecord.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class CustomQComboBox;
class CustomTextEdit;
class MainView;
class QGridLayout;
class QPushButton;

// One task of the list: creates the widgets of its two grid rows, knows its manualIndex and
// connects them to the main window. The widgets belong to the list container.
class TaskRow : public QObject {
    Q_OBJECT

public:
    // gridRow: the first of the task's two grid rows; position: the drawn row number r, shown
    // as "r + 1.".
    TaskRow(MainView *view, QGridLayout *grid, int gridRow, int position, const TaskRecord &task,
            bool manualOrder, bool last);

    int manualIndex() const { return m_task.manualIndex; }
    int id() const { return m_task.id; }
    CustomTextEdit *editor() const { return m_editor; }
    // The row's widget whose object name is stem + manualIndex ("startDate", "comboLabel", ...);
    // null when there is none or it is gone.
    QWidget *field(const QString &stem) const { return m_named.value(stem); }

private:
    void connectToView(MainView *view);

    TaskRecord m_task;
    CustomTextEdit *m_editor = nullptr;
    QPushButton *m_deleteButton = nullptr;
    QPushButton *m_upButton = nullptr;
    QPushButton *m_downButton = nullptr;
    QWidget *m_fields = nullptr;
    QHash<QString, QPointer<QWidget>> m_named;
};

#endif

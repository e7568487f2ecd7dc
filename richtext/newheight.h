#ifndef ORVANE_RICHTEXT_NEWHEIGHT_H
#define ORVANE_RICHTEXT_NEWHEIGHT_H

#include <QWidget>

class CustomTextEdit;
class TaskRowOwner;
class ScheduleCellOwner;

// Changes the height of one text box. The height belongs to the box's window, which is told
// at once while the slider moves and lays its rows out again; "取消" puts the first height back.
class NewHeight : public QWidget {
    Q_OBJECT
public:
    // The window the box belongs to; with NoOwner nothing is changed.
    enum OwnerKind { TaskListOwner = 1, DayViewOwner = 2, NoOwner = 3 };

    NewHeight(QWidget *parent, CustomTextEdit *editor, OwnerKind ownerKind, int columnKind,
              int height, int rowKey);

public slots:
    void updateSliderValue();
    void synchronizeNewHeight(int height);
    void onOkButtonClicked();
    void onCancelButtonClicked();

private:
    void handBack(int height);

    // Only read while opening: the window rebuilds its rows, and with them this box, every
    // time a height is handed back.
    CustomTextEdit *m_editor;
    OwnerKind m_ownerKind;
    TaskRowOwner *m_taskOwner = nullptr;
    ScheduleCellOwner *m_scheduleOwner = nullptr;
    int m_columnKind;
    int m_rowKey;
    int m_currentHeight;
    int m_startHeight;
    int m_scrollPos = 0;
};

#endif

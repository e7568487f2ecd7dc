#ifndef ORVANE_RICHTEXT_TASKROWOWNER_H
#define ORVANE_RICHTEXT_TASKROWOWNER_H

class QScrollArea;

// What a text box of the task list needs of the window that owns its row: the height dialog
// hands the new height back, and the window stores it and lays the list out again.
class TaskRowOwner {
public:
    virtual ~TaskRowOwner() = default;
    virtual void setItemHeight(int index, int newHeight, int scrollPos) = 0;
    // The scroll area holding the rows; its vertical position is restored after the redraw.
    virtual QScrollArea *rowScrollArea() const = 0;
};

#endif

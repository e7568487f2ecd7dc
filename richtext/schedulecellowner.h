#ifndef ORVANE_RICHTEXT_SCHEDULECELLOWNER_H
#define ORVANE_RICHTEXT_SCHEDULECELLOWNER_H

class QScrollArea;

// What a text box of the day view needs of its window: kind 0 plan, 1 result, 2 day summary.
class ScheduleCellOwner {
public:
    virtual ~ScheduleCellOwner() = default;
    virtual void updateCellHeight(int index, int kind, int newHeight, int scrollPos) = 0;
    virtual QScrollArea *rowScrollArea() const = 0;
};

#endif

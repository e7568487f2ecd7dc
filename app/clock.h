#ifndef ORVANE_APP_CLOCK_H
#define ORVANE_APP_CLOCK_H

#include <QDate>

// Today's date as the program sees it. Tests fix the day so that "today" and the ranges
// counted from it are the same on every run.
class Clock {
public:
    static QDate today();
    static void setToday(const QDate &date); // an invalid date restores the system clock's
};

#endif

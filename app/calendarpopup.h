#ifndef ORVANE_APP_CALENDARPOPUP_H
#define ORVANE_APP_CALENDARPOPUP_H

#include <QDate>
#include <QRect>
#include <functional>

class QCalendarWidget;
class QWidget;

// The calendar that pops up over a window to pick one date: application-modal, closed and
// deleted by the first click, which is handed to `chosen`.
class CalendarPopup {
public:
    static QCalendarWidget *open(QWidget *parent, const QRect &geometry,
                                 std::function<void(const QDate &)> chosen);
};

#endif

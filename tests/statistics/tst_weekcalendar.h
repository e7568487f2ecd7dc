#ifndef ORVANE_TESTS_STATISTICS_TST_WEEKCALENDAR_H
#define ORVANE_TESTS_STATISTICS_TST_WEEKCALENDAR_H

#include <QObject>

class TestWeekCalendar : public QObject {
    Q_OBJECT

private slots:
    void weekOfDate_data();
    void weekOfDate();
    void weekCountInMonth_data();
    void weekCountInMonth();
    void numberedWeeksCoverEachMonthOnce();
    void tableNames_data();
    void tableNames();
};

#endif

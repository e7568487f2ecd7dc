#ifndef ORVANE_SCHEDULE_SCHEDULERECORD_H
#define ORVANE_SCHEDULE_SCHEDULERECORD_H

#include <QString>

// One row of a day table, columns in stored order.
struct ScheduleRecord {
    int manualIndex = 0;
    QString time; // "hh:mm--hh:mm", empty for an untimed record
    QString plan; // editor HTML as stored (apostrophes as "&#39;")
    QString label;
    QString result;
    QString createDate;
    int planHeight = 100;
    int resultHeight = 100;
    int isSchedule = 0;
};

#endif

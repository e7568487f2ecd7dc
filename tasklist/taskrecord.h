#ifndef ORVANE_TASKLIST_TASKRECORD_H
#define ORVANE_TASKLIST_TASKRECORD_H

#include <QString>

// One row of the star table, columns in stored order.
struct TaskRecord {
    int id = 0;
    int manualIndex = 0;
    QString content; // editor HTML as stored (apostrophes as "&#39;")
    QString startDate;
    QString stopDate;
    QString importance;
    QString emergency;
    int priority = 0;
    int progress = 0;
    QString label;
    int height = 100;
};

#endif

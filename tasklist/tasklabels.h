#ifndef ORVANE_TASKLIST_TASKLABELS_H
#define ORVANE_TASKLIST_TASKLABELS_H

#include <QString>
#include <QStringList>

// The list of task labels offered by every row's label box, kept in the settings file as one
// text ("label", every label followed by "；") and its length ("labelCount").
class TaskLabels {
public:
    static const QString textKey;  // "label"
    static const QString countKey; // "labelCount"

    static QString text(); // the stored text as it is
    static int count();
    static void store(const QStringList &names);
};

#endif

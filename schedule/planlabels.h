#ifndef ORVANE_SCHEDULE_PLANLABELS_H
#define ORVANE_SCHEDULE_PLANLABELS_H

#include <QString>
#include <QStringList>

// The global list of plan labels ("planLabels", "planLabelsCount") and how a record's label is
// shown on its button.
class PlanLabels {
public:
    static const QString placeholder; // "类别标签": the caption of a record without label

    // "类别标签" when empty, "标签:" + label below 4 characters, else its first 3 and "..".
    static QString caption(const QString &label);

    static QString text();     // the stored string, every label followed by "；"
    static QStringList list(); // the labels, empty parts dropped
    static int count();
    static void store(const QString &text, int count);
};

#endif

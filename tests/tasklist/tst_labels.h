#ifndef ORVANE_TESTS_TASKLIST_TST_LABELS_H
#define ORVANE_TESTS_TASKLIST_TST_LABELS_H

#include <QObject>

class TestLabels : public QObject {
    Q_OBJECT

private slots:
    void tickRules_data();
    void tickRules();
    void popupListsNamesWithRowTicks();
    void tickingWritesLabelAtOnce();
    void otherEntryOpensLabelOther();
    void labelOtherDropsEmptiedName();
    void labelOtherAddKeepsTypedNames();
};

#endif

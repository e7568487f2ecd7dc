#ifndef ORVANE_TESTS_TASKLIST_TST_SORTING_H
#define ORVANE_TESTS_TASKLIST_TST_SORTING_H

#include <QObject>

class TestSorting : public QObject {
    Q_OBJECT

private slots:
    void sortOrders_data();
    void sortOrders();
    void buttonEnabling();
    void sortedListLocksRowsAndAdding();
    void cancelRestoresManualOrder();
    void cancelWithFilterKeepsFilterInManualOrder();
    void cancelInGroupedViewReturnsToGroups();
};

#endif

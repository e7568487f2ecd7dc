#ifndef ORVANE_TESTS_TASKLIST_TST_TASKSTORE_H
#define ORVANE_TESTS_TASKLIST_TST_TASKSTORE_H

#include <QObject>

class TestTaskStore : public QObject {
    Q_OBJECT

private slots:
    void insertIntoEmptyTable();
    void secondUnsavedInsertFails();
    void deleteInTheMiddleRenumbers();
    void moves_data();
    void moves();
    void textsAreStoredAsTyped_data();
    void textsAreStoredAsTyped();
    void identicalContentIsRefusedOnSave();
    void failedRenumberLeavesTableAsBefore();
    void failedMoveLeavesTableAsBefore();
    void lostCounterStillAppendsAtNextPosition();
    void selectReadsManualOrderAndLogs();
};

#endif

#ifndef ORVANE_TESTS_TASKLIST_TST_MAINVIEW_H
#define ORVANE_TESTS_TASKLIST_TST_MAINVIEW_H

#include <QObject>

class TestMainView : public QObject {
    Q_OBJECT

private slots:
    void emptyTableThenAdd();
    void secondAddOfUntouchedTaskIsRefused();
    void rowsShowStoredValues();
    void typingRecordsEachChangeAndSavesInOrder();
    void pickedDateReachesTableOnlyOnSave();
    void arrowsAndDeleteEnabling();
    void arrowsMoveRows();
    void deleteKeepsScrollAndAddScrollsToBottom();
    void closingSavesPendingEdits();
    void tooManyChangesAreRefusedUntilSave();
    void missingRowWidgetStopsSave();
    void heightDialogStoresAndRedraws();
    void geometryFollowsScreen();
    void aboutBoxNamesMakerAndLicences();
    void dayViewTakesOverAndBackReturns();
};

#endif

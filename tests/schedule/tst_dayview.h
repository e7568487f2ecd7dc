#ifndef ORVANE_TESTS_SCHEDULE_TST_DAYVIEW_H
#define ORVANE_TESTS_SCHEDULE_TST_DAYVIEW_H

#include <QObject>

class TestDayView : public QObject {
    Q_OBJECT

private slots:
    void newDateGetsDefaultSchedule();
    void defaultNoneCreatesNothing();
    void emptyOnlyTableTakesDefault();
    void savedTimesAndTextsRoundTrip();
    void saveWritesLabelMinutes();
    void labelCaptions_data();
    void labelCaptions();
    void labelDialogChoosesAddsAndDeletes();
    void tooManyRecordsStopDrawing();
    void addRecords_data();
    void addRecords();
    void deleteRecordCloses();
    void mergePlacements_data();
    void mergePlacements();
    void mergeDialogKeepsEqualTimesApart();
    void heightChangeStoredAndRedrawn();
    void summaryValidation_data();
    void summaryValidation();
    void newScoreItemIsSaved();
    void chooserShowsAndDeletesSchedules();
    void templateNameWithQuotesWorks();
    void taskColumnShowsFilteredTasks();
    void typedTextSurvivesRecordChanges_data();
    void typedTextSurvivesRecordChanges();
    void leavingADayAsks_data();
    void leavingADayAsks();
    void failedSaveKeepsTheEdits();
};

#endif

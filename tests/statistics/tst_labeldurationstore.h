#ifndef ORVANE_TESTS_STATISTICS_TST_LABELDURATIONSTORE_H
#define ORVANE_TESTS_STATISTICS_TST_LABELDURATIONSTORE_H

#include <QObject>

class TestLabelDurationStore : public QObject {
    Q_OBJECT

private slots:
    void recordDuration_data();
    void recordDuration();
    void dayTableHoldsOneRowPerRecord();
    void closingDays_data();
    void closingDays();
    void openWeekWritesOnlyDayTable();
    void resavedDayRefreshesClosedTotals_data();
    void resavedDayRefreshesClosedTotals();
    void labelsMergeByExactNameInFirstSeenOrder();
    void anyLabelAndTemplateText_data();
    void anyLabelAndTemplateText();
    void unreadableDayTableKeepsOldLabels();
    void failedStatementIsReportedAndRollsBack();
    void deletedScheduleLeavesTheTotals();
};

#endif

#ifndef ORVANE_TESTS_TASKLIST_TST_FILTERING_H
#define ORVANE_TESTS_TASKLIST_TST_FILTERING_H

#include <QObject>

class TestFiltering : public QObject {
    Q_OBJECT

private slots:
    void clauseTexts_data();
    void clauseTexts();
    void shownRows_data();
    void shownRows();
    void ruleCombosEnableTheirInputs();
    void applyAndCancelButtons();
    void calendarWritesDateIntoButton();
    void applyLocksRowsAndCancelRestores();
    void sortSurvivesFilterApplyAndCancel();
    void closingForgetsFilter();
};

#endif

#ifndef ORVANE_TESTS_EXCELTEMPLATE_TST_EXCELSCHEDULE_H
#define ORVANE_TESTS_EXCELTEMPLATE_TST_EXCELSCHEDULE_H

#include <QObject>

class TestExcelSchedule : public QObject {
    Q_OBJECT
private slots:
    void scheduleFilledSavedAndFoundAgain();
    void chooserShowsAndDeletesExcelSchedules();
    void importedWorkbookBecomesTemplate();
};

#endif

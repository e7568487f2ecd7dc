#ifndef ORVANE_TESTS_SCHEDULE_TST_TEMPLATESTORE_H
#define ORVANE_TESTS_SCHEDULE_TST_TEMPLATESTORE_H

#include <QObject>

class TestTemplateStore : public QObject {
    Q_OBJECT

private slots:
    void builtInTemplatesFillADay_data();
    void builtInTemplatesFillADay();
    void limits_data();
    void limits();
    void damagedTemplateKeepsRecordsReadBeforeIt_data();
    void damagedTemplateKeepsRecordsReadBeforeIt();
    void dayWrittenAsTemplateFillsAnotherDay_data();
    void dayWrittenAsTemplateFillsAnotherDay();
    void saveAsIsRefused_data();
    void saveAsIsRefused();
    void exportAddsSuffixAndCanBeImported();
    void import_data();
    void import();
    void deleteKeepsDaysAndBuiltInComesBack();
    void excelSchedule_data();
    void excelSchedule();
};

#endif

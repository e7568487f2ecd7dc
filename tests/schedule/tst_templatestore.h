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
    void missingSummaryTableWritesNoFile();
    void exportAddsSuffixAndCanBeImported();
    void import_data();
    void import();
    void deleteKeepsDaysAndBuiltInComesBack();
    void defaultTemplateKey();
    void excelScheduleRegistryAndCopy_data();
    void excelScheduleRegistryAndCopy();
    void excelScheduleWithoutWorkbookLeavesNoRegistry();
};

#endif

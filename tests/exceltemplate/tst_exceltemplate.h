#ifndef ORVANE_TESTS_EXCELTEMPLATE_TST_EXCELTEMPLATE_H
#define ORVANE_TESTS_EXCELTEMPLATE_TST_EXCELTEMPLATE_H

#include <QObject>

class TestExcelTemplate : public QObject {
    Q_OBJECT
private slots:
    void loadsCellsSizesAndMerges();
    void loadedSideStyles_data();
    void loadedSideStyles();
    void mergedTopLeftTakesCornerSides_data();
    void mergedTopLeftTakesCornerSides();
    void formatsSelectedItemsOnly_data();
    void formatsSelectedItemsOnly();
    void boldTogglesEachCell();
    void alignmentKeepsTheOtherAxis();
    void merges_data();
    void merges();
    void unmergesMergeFromFile();
    void sizesThroughTheContextMenu();
    void gridBorderReplacesOldBorder();
    void outlineBorders_data();
    void outlineBorders();
    void styleWithoutSidesDrawsNothing();
    void thickDashedComesBackThinDashed();
    void bordersArePainted();
    void saveWritesTheOpenedWorkbook();
    void failedSaveTellsAndKeepsTheFile();
    void saveAsNewTemplate();
    void closeAsksAboutUnsavedEdits_data();
    void closeAsksAboutUnsavedEdits();
};

#endif

#ifndef ORVANE_TESTS_TASKLIST_TST_GROUPS_H
#define ORVANE_TESTS_TASKLIST_TST_GROUPS_H

#include <QObject>

class TestGroups : public QObject {
    Q_OBJECT

private slots:
    void groupedDrawing_data();
    void groupedDrawing();
    void conditionWindowStoresQueryTextAndState_data();
    void conditionWindowStoresQueryTextAndState();
    void conditionWindowRestoresItsWidgets();
    void storedQueryRunsOnlyWhenSelectOnStar_data();
    void storedQueryRunsOnlyWhenSelectOnStar();
    void moveUpTakesEveryKey();
    void deleteFirstOfThree();
    void typedNamesSurviveAddAndMove();
    void thousandGroupsAtMost();
    void applyCancelAndRestart();
    void groupedHeightAndHeightChange();
};

#endif

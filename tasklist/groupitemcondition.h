#ifndef ORVANE_TASKLIST_GROUPITEMCONDITION_H
#define ORVANE_TASKLIST_GROUPITEMCONDITION_H

#include <QDate>
#include <QVariantMap>
#include <QWidget>

class CriteriaWidgets;
class GroupEdit;
class SortWidgets;

// The condition of one group: a sort key and the criteria of the filter panel. Whatever the
// window shows when it is left ("确定", "取消" or closed) becomes the group's query, its
// readable text and its stored dialog state.
class GroupItemCondition : public QWidget {
    Q_OBJECT

public:
    // A window of its own, destroyed with the group list at the latest.
    GroupItemCondition(GroupEdit *groupEdit, int index);

    QString conditionText() const { return mText; }
    QString conditionSyntax() const { return mSyntax; }

public slots:
    void onFilterCalendarButtonClicked(int index);
    void onFilterCalendarSelected(int index, QDate date);
    void onFilterCancelButtonClicked();
    void onFilterApplyButtonClicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void restore(const QVariantMap &state);
    QVariantMap widgetState() const;

    GroupEdit *mGroupEdit;
    int mIndex;
    QString mOrder;
    QString mWhere;
    QString mSyntax;
    QString mText;
    SortWidgets *mSort = nullptr;
    CriteriaWidgets *mCriteria = nullptr;
};

#endif

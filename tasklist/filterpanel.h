#ifndef ORVANE_TASKLIST_FILTERPANEL_H
#define ORVANE_TASKLIST_FILTERPANEL_H

#include <QWidget>

class CriteriaWidgets;
class QPushButton;

// The filter panel of the task list's panel strip: the eight criteria, "应用" and "取消".
class FilterPanel : public QWidget {
    Q_OBJECT

public:
    explicit FilterPanel(QWidget *parent);

    CriteriaWidgets *criteria() const { return m_criteria; }
    QPushButton *applyButton() const { return m_apply; }
    QPushButton *cancelButton() const { return m_cancel; }
    // The enabling of "应用" and "取消" for whether a criterion is chosen and a filter applied.
    void updateButtons(bool chosen, bool applied);

private:
    CriteriaWidgets *m_criteria;
    QPushButton *m_apply;
    QPushButton *m_cancel;
};

#endif

#ifndef ORVANE_TASKLIST_SORTPANEL_H
#define ORVANE_TASKLIST_SORTPANEL_H

#include <QWidget>

class QPushButton;
class SortWidgets;

// The sort panel of the task list's panel strip: key, direction, "应用" and "取消".
class SortPanel : public QWidget {
    Q_OBJECT

public:
    explicit SortPanel(QWidget *parent);

    SortWidgets *sort() const { return m_sort; }
    QPushButton *applyButton() const { return m_apply; }
    QPushButton *cancelButton() const { return m_cancel; }
    // Back to nothing chosen: no key, all four buttons disabled.
    void reset();

private:
    SortWidgets *m_sort;
    QPushButton *m_apply;
    QPushButton *m_cancel;
};

#endif

#ifndef ORVANE_TASKLIST_SORTWIDGETS_H
#define ORVANE_TASKLIST_SORTWIDGETS_H

#include <QList>
#include <QObject>

class QComboBox;
class QPushButton;
class QWidget;

// The sort key combo box with "升序" and "降序" and the direction they choose. The sort panel
// adds its "应用", which the key and the direction buttons enable; the group condition window
// has none.
class SortWidgets : public QObject {
    Q_OBJECT

public:
    SortWidgets(QWidget *parent, QPushButton *apply = nullptr);

    // "排序:", "按照条件", the combo box and the two direction buttons.
    QList<QWidget *> widgets() const { return m_widgets; }
    bool ascending() const { return m_ascending; }
    void setAscending(bool ascending) { m_ascending = ascending; }
    // The chosen key, empty when none or the blank item is chosen.
    QString key() const;

    QComboBox *combo;
    QPushButton *ascendingButton;
    QPushButton *descendingButton;

private:
    QPushButton *m_apply;
    bool m_ascending = true;
    QList<QWidget *> m_widgets;
};

#endif

#ifndef ORVANE_SCHEDULE_ADDITEM_H
#define ORVANE_SCHEDULE_ADDITEM_H

#include <QWidget>

class orvaneView;
class QRadioButton;
class QTimeEdit;

// Asks where a new record goes (above or below) and, in a timed schedule, its time span.
class addItem : public QWidget {
    Q_OBJECT

public:
    addItem(orvaneView *view, int index, bool timed, QWidget *parent = nullptr);

public slots:
    void onOkButtonClicked();

private:
    orvaneView *m_view;
    int m_index;
    bool m_timed;
    QRadioButton *m_above = nullptr;
    QTimeEdit *m_start = nullptr;
    QTimeEdit *m_end = nullptr;
};

#endif

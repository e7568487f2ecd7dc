#ifndef ORVANE_SCHEDULE_DATECHANGEDVIEW_H
#define ORVANE_SCHEDULE_DATECHANGEDVIEW_H

#include <QWidget>

class orvaneView;
class QComboBox;

// Shown when a date holds two or more schedules: show one of them, or delete one.
class dateChangedView : public QWidget {
    Q_OBJECT

public:
    explicit dateChangedView(orvaneView *view, QWidget *parent = nullptr);

public slots:
    void onSelectComoboxClicked(QString text);
    void onDeleteComoboxClicked(QString text);

private:
    QComboBox *makeBox();

    orvaneView *m_view;
};

#endif

#ifndef ORVANE_SCHEDULE_MERGEITEM_H
#define ORVANE_SCHEDULE_MERGEITEM_H

#include <QStringList>
#include <QWidget>

class orvaneView;
class QButtonGroup;
class QTimeEdit;

// Merges a timed record with another one: the partner, the merged time span, where the merged
// record goes and whose contents it keeps.
class mergeItem : public QWidget {
    Q_OBJECT

public:
    mergeItem(orvaneView *view, int index, const QString &time, const QStringList &times,
              QWidget *parent = nullptr);

public slots:
    void onCancelButtonClicked();
    void onOkButtonClicked();

private:
    orvaneView *m_view;
    // Records are shown by their time texts but kept by position, so two records with the same
    // time text are never mistaken for each other (which could merge a record with itself).
    int m_index;
    QString m_time;
    QStringList m_times;
    QButtonGroup *m_partners = nullptr;
    QButtonGroup *m_places = nullptr;
    QButtonGroup *m_options = nullptr;
    QTimeEdit *m_start = nullptr;
    QTimeEdit *m_end = nullptr;
};

#endif

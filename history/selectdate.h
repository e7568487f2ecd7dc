#ifndef ORVANE_HISTORY_SELECTDATE_H
#define ORVANE_HISTORY_SELECTDATE_H

#include <QPointer>
#include <QString>
#include <QWidget>

class QCalendarWidget;
class QLineEdit;
class historyView;
class orvaneView;
class statictisView;

// Asks for a start and an end date. Its owner fixes what 确定 does: the day view opens the
// history of the range, the history view exports the range, the statistics view takes the range.
class selectDate : public QWidget {
    Q_OBJECT

public:
    enum Role { HistoryRole, ExportRole, StatisticsRole };

    explicit selectDate(orvaneView *owner);
    explicit selectDate(historyView *owner);
    // The statistics role; the number is always 0.
    selectDate(statictisView *owner, int zero);

    Role role() const { return m_role; }

public slots:
    void onStartButtonClicked();
    void onStopButtonClicked();
    void onStartCalendarClicked();
    void onStopCalendarClicked();
    void onCheckBoxClicked();
    void onPageOrientationChanged(QString orientation);
    void onPageSizeChanged(QString size);
    void onOkButtonClicked();
    void onCancelButtonClicked();

private:
    selectDate(Role role, QWidget *owner);
    void createControls();
    // The calendar of one date row, made on first use and shown again afterwards.
    QCalendarWidget *calendar(QPointer<QCalendarWidget> &calendar, const QString &name,
                              void (selectDate::*slot)());

    Role m_role;
    QPointer<QWidget> m_owner;
    QLineEdit *m_startEdit = nullptr;
    QLineEdit *m_stopEdit = nullptr;
    QPointer<QCalendarWidget> m_startCalendar;
    QPointer<QCalendarWidget> m_stopCalendar;
    bool m_includeTaskList = false;
    QString m_orientation = QStringLiteral("纵向");
    QString m_pageSize = QStringLiteral("A4");
};

#endif

#ifndef ORVANE_OPENEXPORT_OPENEXPORTBUTTON_H
#define ORVANE_OPENEXPORT_OPENEXPORTBUTTON_H

#include <QSqlDatabase>
#include <QToolButton>

class QAction;

// "其他格式..." beside the history view's "导出...": a menu of the CSV and iCalendar exports of
// the history's range and of the task list. It asks for the file, lets OpenExport write it and
// says where it went.
class OpenExportButton : public QToolButton {
    Q_OBJECT

public:
    // start and end: the range as the history shows it, "yyyy.MM.dd".
    OpenExportButton(QWidget *view, const QSqlDatabase &db, const QString &start,
                     const QString &end);

    QAction *tasksAction() const { return m_tasks; }
    QAction *recordsAction() const { return m_records; }
    QAction *minutesAction() const { return m_minutes; }
    QAction *calendarAction() const { return m_calendar; }

public slots:
    void onTasksActionTriggered();
    void onRecordsActionTriggered();
    void onMinutesActionTriggered();
    void onCalendarActionTriggered();

private:
    QString askFile(const QString &caption, const QString &suggested, const QString &filter,
                    const QString &suffix);

    QSqlDatabase m_db;
    QString m_start;
    QString m_end;
    QAction *m_tasks = nullptr;
    QAction *m_records = nullptr;
    QAction *m_minutes = nullptr;
    QAction *m_calendar = nullptr;
};

#endif

#ifndef ORVANE_SEARCH_SEARCHWINDOW_H
#define ORVANE_SEARCH_SEARCHWINDOW_H

#include "search/searchquery.h"

#include <QList>
#include <QPointer>
#include <QSqlDatabase>
#include <QWidget>

class MainView;
class orvaneView;
class QLabel;
class QLineEdit;
class QTableWidget;

// "查找全部内容": a text looked for in everything written (tasks, records, summaries, Excel
// schedules), the places listed newest first; opening one shows the task in the list or the day
// with the record in view. Reached with Ctrl+Shift+F from the task list and the day view.
class SearchWindow : public QWidget {
    Q_OBJECT

public:
    static const QString shortcut; // "Ctrl+Shift+F"

    // The shortcut on a window.
    static void attach(QWidget *view);
    // Opens the search window (one for the program, owned by the task list window) from the
    // task list or the day view, or brings it to the front.
    static SearchWindow *open(QWidget *from);
    // At start: the index learns to read Excel schedules and is built when missing or stale.
    static void prepareIndex(const QSqlDatabase &db);

    SearchWindow(MainView *mainView, QWidget *parent);

    QLineEdit *textEdit() const { return m_text; }
    QTableWidget *resultTable() const { return m_table; }
    QLabel *statusLabel() const { return m_status; }
    const QList<SearchHit> &hits() const { return m_hits; }
    void setDayView(orvaneView *view) { m_dayView = view; }

public slots:
    void onSearchButtonClicked();
    void onResultActivated(int row);

private:
    void showTask(const SearchHit &hit);
    void showDay(const SearchHit &hit);
    QSqlDatabase database() const;

    QPointer<MainView> m_mainView;
    QPointer<orvaneView> m_dayView; // the day view it was last opened from
    QLineEdit *m_text = nullptr;
    QTableWidget *m_table = nullptr;
    QLabel *m_status = nullptr;
    QList<SearchHit> m_hits;
    QString m_searched;
};

#endif

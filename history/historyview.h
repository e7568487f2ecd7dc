#ifndef ORVANE_HISTORY_HISTORYVIEW_H
#define ORVANE_HISTORY_HISTORYVIEW_H

#include "history/historystore.h"

#include <QList>
#include <QPointer>
#include <QSqlDatabase>
#include <QString>
#include <QWidget>

class QLayoutItem;
class QProgressBar;
class QScrollArea;
class QVBoxLayout;

// The history of a range of days, read-only in one scrolling column: for each schedule of each
// day its date, its records (time, plan, result) and its summary. From here the range is
// exported or its statistics opened.
//
// A year of days holds thousands of editors, so a schedule's editors are made when it first
// scrolls into view; until then a layout item of the editor's height keeps its place.
class historyView : public QWidget {
    Q_OBJECT

public:
    historyView(QWidget *parent, QWidget *dayView, const QString &start, const QString &end);
    ~historyView() override;

    // The newest history view; showing a new one deletes the previous one.
    static historyView *current();
    static void makeCurrent(historyView *view);

    void exportDays(const QString &start, const QString &end, bool daysOnly,
                    const QString &orientation, const QString &size);
    bool exportDayToText(const QString &fileName, const QString &dayTable);

    QString startText() const { return m_start; }
    QString endText() const { return m_end; }
    QWidget *dayView() const { return m_dayView; }
    QScrollArea *scrollArea() const { return m_scroll; }
    QWidget *content() const { return m_content; }
    QSqlDatabase database() const { return m_db; }
    int scheduleCount() const { return m_blocks.size(); }
    // Whether the editors of the schedule at this position were made yet.
    bool scheduleBuilt(int index) const;

public slots:
    void onBackButtonClicked();
    void onStatictisButtonClicked();
    void onExportButtonClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    struct PendingEditor {
        QVBoxLayout *layout = nullptr;
        QLayoutItem *place = nullptr;
        QString name;
        QString html;
        int height = 0;
    };
    struct Block {
        QWidget *widget = nullptr;
        QList<PendingEditor> editors;
        bool built = false;
    };

    void displayTable(const HistoryTable &table);
    void addEditor(Block &block, QVBoxLayout *layout, const QString &name, const QString &html,
                   int height);
    void buildBlock(Block &block);
    void scheduleFill();
    void fillVisible();
    // Hides the progress bar and tells the user where the file is or that it failed.
    void reportExport(bool written, const QString &fileName);

    QPointer<QWidget> m_dayView;
    QString m_start;
    QString m_end;
    QSqlDatabase m_db;
    QScrollArea *m_scroll = nullptr;
    QWidget *m_content = nullptr;
    QVBoxLayout *m_layout = nullptr;
    QProgressBar *m_progress = nullptr;
    QPointer<QWidget> m_statistics;
    QList<Block> m_blocks;
    bool m_fillPending = false;
};

#endif

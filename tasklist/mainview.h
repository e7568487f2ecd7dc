#ifndef ORVANE_TASKLIST_MAINVIEW_H
#define ORVANE_TASKLIST_MAINVIEW_H

#include "richtext/taskrowowner.h"
#include "tasklist/taskstore.h"

#include <QSqlDatabase>
#include <QWidget>

class QScrollArea;

// The task list: the program's main window.
class MainView : public QWidget, public TaskRowOwner {
    Q_OBJECT

public:
    explicit MainView(QWidget *parent = nullptr);
    ~MainView() override;

    bool openDatabase();

    void setItemHeight(int index, int newHeight, int scrollPos) override;
    QScrollArea *rowScrollArea() const override;

public slots:
    void saveTextEdit();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QSqlDatabase m_db;
    TaskStore *m_store = nullptr;
};

#endif

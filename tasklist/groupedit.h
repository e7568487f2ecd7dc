#ifndef ORVANE_TASKLIST_GROUPEDIT_H
#define ORVANE_TASKLIST_GROUPEDIT_H

#include <QWidget>

class MainView;
class QScrollArea;
class QVBoxLayout;
class UndoNotice;

// The list of groups: one row per group with its name, its readable condition and the buttons
// to edit the condition, delete the group or move it; below them "增加分组", "保存", "确定".
class GroupEdit : public QWidget {
    Q_OBJECT

public:
    // A window of its own, destroyed with the main window at the latest.
    explicit GroupEdit(MainView *mainView);

    // Draws the rows again from the settings.
    void rebuild();
    // Ctrl+Z and "撤销": takes back the newest group delete (kept by the main window, so it
    // outlives this window) and draws the rows again.
    void undoLastDelete();
    UndoNotice *undoNotice() const { return mUndoNotice; }

public slots:
    void onEditButtonClicked(int index);
    void onDeleteButtonClicked(int index);
    void onUpArrowButtonClicked(int index);
    void onDownArrowButtonClicked(int index);
    void onAddButtonClicked();
    void onSaveButtonClicked();
    void onOkButtonClicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    MainView *mMainView;
    int mCount = 0;
    QScrollArea *mScrollArea = nullptr;
    QWidget *mContainer = nullptr;
    QVBoxLayout *mBox = nullptr;
    UndoNotice *mUndoNotice = nullptr;
};

#endif

#ifndef ORVANE_BACKUP_BACKUPBUTTON_H
#define ORVANE_BACKUP_BACKUPBUTTON_H

#include <QToolButton>
#include <functional>

class QAction;

// The task list window's way to its backups: one tool button in the free lower right corner
// with the menu "备份..." (Ctrl+Shift+B) and "恢复..." (Ctrl+Shift+R); the shortcuts work
// anywhere in the window. It only asks and shows; the work is BackupArchive's and
// BackupRestore's.
//
// After a restore the windows must read everything anew: the event loop is ended with
// reopenCode, and the program's entry point opens a fresh task list window on the restored
// data.
class BackupButton : public QToolButton {
    Q_OBJECT

public:
    static constexpr int reopenCode = 0xBAC;

    // savePending writes the window's unsaved edits and says whether it could; a backup then
    // holds them, and a restore never runs over edits that would be lost.
    BackupButton(QWidget *window, std::function<bool()> savePending);

    QAction *backupAction() const { return m_backup; }
    QAction *restoreAction() const { return m_restore; }

    // What happens after a restore; tests replace the end of the event loop. An empty function
    // restores it.
    static void setReopenHandler(std::function<void()> handler);

public slots:
    void onBackupActionTriggered();
    void onRestoreActionTriggered();

private:
    QAction *m_backup = nullptr;
    QAction *m_restore = nullptr;
    std::function<bool()> m_savePending;
};

#endif

#ifndef ORVANE_UNDO_UNDONOTICE_H
#define ORVANE_UNDO_UNDONOTICE_H

#include <QFrame>
#include <functional>

class QLabel;
class QPushButton;
class QShortcut;
class QTimer;

// The short notice after a delete: "已删除…" and the button "撤销", floating over the bottom
// of its window for a few seconds without moving anything in it. It also gives the window its
// Ctrl+Z. Both call the window's undo, which decides what there is to take back.
class UndoNotice : public QFrame {
    Q_OBJECT

public:
    static constexpr int shownMilliseconds = 6000;

    UndoNotice(QWidget *window, std::function<void()> undo);

    // "已删除" + what, shown anew for the full time.
    void showDeleted(const QString &what);

    QLabel *textLabel() const { return m_text; }
    QPushButton *undoButton() const { return m_button; }
    QShortcut *shortcut() const { return m_shortcut; }

private:
    void place();

    std::function<void()> m_undo;
    QLabel *m_text = nullptr;
    QPushButton *m_button = nullptr;
    QShortcut *m_shortcut = nullptr;
    QTimer *m_timer = nullptr;
};

#endif

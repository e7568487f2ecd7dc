#ifndef ORVANE_UNDO_UNDOJOURNAL_H
#define ORVANE_UNDO_UNDOJOURNAL_H

#include "app/usermessage.h"

#include <QDate>
#include <QList>
#include <QString>
#include <functional>

// One delete that can be taken back: what it removed, already read through the stores, and
// how to put exactly that back.
struct UndoEntry {
    QString what; // shown after "已删除", e.g. "任务“买菜”"
    QDate date;   // the day the deleted thing belongs to; invalid for tasks, templates, groups
    // Puts it back in one transaction; false (with what to tell the person) when it could not.
    std::function<bool(UserMessages *)> restore;
};

// The deletes of one window that can still be taken back, newest last. It lives in memory
// only, as long as its window: nothing of it is offered after the program starts again.
class UndoJournal {
public:
    static constexpr int capacity = 50; // older deletes are forgotten

    enum Result { NothingToUndo, Restored, Failed };

    void push(UndoEntry entry);
    bool isEmpty() const { return m_entries.isEmpty(); }
    int size() const { return m_entries.size(); }
    // The newest entry; only while not empty.
    const UndoEntry &last() const { return m_entries.last(); }

    // Takes back the newest delete. A restore that fails stays in the journal, so what it
    // holds is not lost and can be tried again once the conflict is gone.
    Result undo(UserMessages *messages, UndoEntry *undone = nullptr);

private:
    QList<UndoEntry> m_entries;
};

#endif

#include "undo/undojournal.h"

#include "app/logging.h"

void UndoJournal::push(UndoEntry entry)
{
    m_entries.append(std::move(entry));
    while (m_entries.size() > capacity)
        m_entries.removeFirst();
}

UndoJournal::Result UndoJournal::undo(UserMessages *messages, UndoEntry *undone)
{
    if (m_entries.isEmpty())
        return NothingToUndo;
    UndoEntry &entry = m_entries.last();
    logLine(QStringLiteral("undo delete of ") + entry.what);
    if (!entry.restore || !entry.restore(messages)) {
        logLine(QStringLiteral("undo failed!"));
        return Failed;
    }
    if (undone)
        *undone = entry;
    m_entries.removeLast();
    return Restored;
}

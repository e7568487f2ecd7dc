#ifndef ORVANE_UNDO_DELETIONS_H
#define ORVANE_UNDO_DELETIONS_H

#include "undo/undojournal.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>

// Reads, through the stores and before a delete runs, everything the delete will remove, and
// makes the journal entry that puts it back. Each returns false when the read failed; the
// window then deletes as before, only without offering to take it back.
namespace Deletions {

// The task at a position of the star table.
bool task(QSqlDatabase db, int manualIndex, UndoEntry *entry);
// One record of a day table; its minutes are counted again on restore as a save counts them.
bool record(QSqlDatabase db, const QString &dayTable, const QDate &date, int manualIndex,
            UndoEntry *entry);
// A date's schedule as the chooser deletes it: an XML schedule's three tables and summary
// keys, or an Excel schedule's registry and workbook copy.
bool schedule(QSqlDatabase db, const QDate &date, const QString &templateName, bool excel,
              UndoEntry *entry);
// A template file (XML or workbook).
bool templateFile(const QString &name, UndoEntry *entry);
// A group of the task list, with its dialog state.
bool group(int index, UndoEntry *entry);

// A short plain-text excerpt of stored rich text, for the notice.
QString excerpt(const QString &html);

} // namespace Deletions

#endif

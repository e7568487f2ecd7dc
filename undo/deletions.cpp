#include "undo/deletions.h"

#include "app/htmltext.h"
#include "schedule/dayactions.h"
#include "schedule/daystore.h"
#include "schedule/templatestore.h"
#include "statistics/labeldurationstore.h"
#include "tasklist/groupstore.h"
#include "tasklist/taskstore.h"

namespace {
void tell(UserMessages *messages, const QString &text)
{
    if (messages)
        messages->append({UserMessage::Warning, QStringLiteral("提示"), text});
}

QString quoted(const QString &text)
{
    return QStringLiteral("“") + text + QStringLiteral("”");
}
} // namespace

namespace Deletions {

QString excerpt(const QString &html)
{
    const QString text = HtmlText::plain(html).simplified();
    return text.size() > 12 ? text.left(12) + QStringLiteral("…") : text;
}

bool task(QSqlDatabase db, int manualIndex, UndoEntry *entry)
{
    const QList<TaskRecord> rows = TaskStore(db).selectAt(manualIndex);
    if (rows.size() != 1)
        return false;
    const TaskRecord task = rows.first();
    const QString text = excerpt(task.content);
    entry->what = text.isEmpty() ? QStringLiteral("第%1条任务").arg(manualIndex + 1)
                                 : QStringLiteral("任务") + quoted(text);
    entry->date = QDate();
    entry->restore = [db, task](UserMessages *messages) {
        if (TaskStore(db).restore(task))
            return true;
        tell(messages,
             QStringLiteral("无法撤销删除：清单中已有内容相同的任务，或者数据库无法写入。"));
        return false;
    };
    return true;
}

bool record(QSqlDatabase db, const QString &dayTable, const QDate &date, int manualIndex,
            UndoEntry *entry)
{
    bool ok = false;
    const QVariantList row = DayStore(db).recordRow(dayTable, manualIndex, &ok);
    if (!ok || row.isEmpty())
        return false;
    const QString plan = excerpt(row.value(DayStore::PlanColumn).toString());
    entry->what = plan.isEmpty() ? QStringLiteral("第%1条记录").arg(manualIndex + 1)
                                 : QStringLiteral("记录") + quoted(plan);
    entry->date = date;
    const QList<TableSnapshot> totals = LabelDurationStore(db).totalsOf(date);
    entry->restore = [db, dayTable, date, row, totals](UserMessages *messages) {
        DayStore store(db);
        if (!store.tableExists(dayTable)) {
            tell(messages, QStringLiteral("这条记录所在的日程已被删除，无法撤销。"));
            return false;
        }
        if (DayActions(db).restoreRecord(dayTable, date, row, totals))
            return true;
        tell(messages, QStringLiteral("记录无法恢复，删除没有撤销。"));
        return false;
    };
    return true;
}

bool schedule(QSqlDatabase db, const QDate &date, const QString &templateName, bool excel,
              UndoEntry *entry)
{
    const QString dayName = DayStore::dayName(date);
    entry->what = QStringLiteral("日程") + quoted(templateName);
    entry->date = date;
    if (excel) {
        TemplateStore::ExcelScheduleCopy copy;
        if (!TemplateStore::readExcelSchedule(db, dayName, templateName, &copy) ||
            copy.registry.isEmpty())
            return false;
        entry->restore = [db, copy](UserMessages *messages) {
            return TemplateStore::restoreExcelSchedule(db, copy, messages);
        };
        return true;
    }
    DayActions::ScheduleCopy copy;
    const QString dayTable = dayName + templateName;
    if (!DayActions(db).readSchedule(dayTable, date, &copy) || copy.tables.isEmpty() ||
        copy.tables.first().isEmpty())
        return false;
    entry->restore = [db, copy](UserMessages *messages) {
        DayStore store(db);
        for (const TableSnapshot &table : copy.tables) {
            if (!table.isEmpty() && store.tableExists(table.name)) {
                tell(messages,
                     QStringLiteral("这一天已经重新建立了同一模板的日程，无法撤销删除。"));
                return false;
            }
        }
        if (DayActions(db).restoreSchedule(copy))
            return true;
        tell(messages, QStringLiteral("日程无法恢复，删除没有撤销。"));
        return false;
    };
    return true;
}

bool templateFile(const QString &name, UndoEntry *entry)
{
    bool excel = false;
    QByteArray bytes;
    if (!TemplateStore::readTemplateFile(name, &excel, &bytes))
        return false;
    entry->what = QStringLiteral("模板") + quoted(name);
    entry->date = QDate();
    entry->restore = [name, excel, bytes](UserMessages *messages) {
        return TemplateStore::restoreTemplateFile(name, excel, bytes, messages);
    };
    return true;
}

bool group(int index, UndoEntry *entry)
{
    if (index < 0 || index >= GroupStore::count())
        return false;
    const GroupStore::Stored stored = GroupStore::stored(index);
    entry->what = stored.entry.name.isEmpty() ? QStringLiteral("分组%1").arg(index + 1)
                                              : QStringLiteral("分组") + quoted(stored.entry.name);
    entry->date = QDate();
    entry->restore = [index, stored](UserMessages *messages) {
        if (GroupStore::restore(index, stored))
            return true;
        tell(messages, QStringLiteral("支持最大分组数量1000个。"));
        return false;
    };
    return true;
}

} // namespace Deletions

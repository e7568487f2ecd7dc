#include "openexport/openexport.h"

#include "app/database.h"
#include "app/htmltext.h"
#include "app/logging.h"
#include "app/semicolonlist.h"
#include "app/sql.h"
#include "history/dayexport.h"
#include "history/historystore.h"
#include "openexport/csvwriter.h"
#include "openexport/icalwriter.h"
#include "schedule/daystore.h"
#include "schedule/planlabels.h"

#include <QCryptographicHash>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
const QString isoDate = QStringLiteral("yyyy-MM-dd");

// Task dates are "yyyy-MM-dd" when picked from the calendar, free text when typed.
QDate taskDate(const QString &text)
{
    const QString trimmed = text.trimmed();
    for (const char *format : {"yyyy-MM-dd", "yyyy-M-d", "yyyy.MM.dd", "yyyy.M.d", "yyyy/M/d"}) {
        const QDate date = QDate::fromString(trimmed, QLatin1String(format));
        if (date.isValid())
            return date;
    }
    return QDate();
}

QString firstLine(const QString &text)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (!line.trimmed().isEmpty())
            return line.trimmed();
    }
    return QString();
}
} // namespace

OpenExport::OpenExport(const QSqlDatabase &db) : m_db(db) {}

QString OpenExport::plain(const QString &html)
{
    // In the editor's HTML a raw line break only lays out the markup; the lines a person sees
    // come from the paragraphs and breaks.
    QString text =
        html.contains(QLatin1String("<body"), Qt::CaseInsensitive)
            ? HtmlText::plain(QString(html).remove(QLatin1Char('\r')).remove(QLatin1Char('\n')))
            : HtmlText::plain(html);
    while (text.startsWith(QLatin1Char('\n')))
        text.remove(0, 1);
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

QString OpenExport::recordLabel(const QString &stored)
{
    return stored == PlanLabels::placeholder ? QString() : stored;
}

bool OpenExport::write(const QString &fileName, const QByteArray &data)
{
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return true;
    logLine(QStringLiteral("file open failed! ") + fileName, file.errorString());
    return false;
}

QStringList OpenExport::dayTables(const QDate &start, const QDate &end, bool *ok)
{
    const QStringList names = HistoryStore(m_db).allTables(ok);
    return DayExport::tablesInRange(names, start.toString(QStringLiteral("yyyyMMdd")),
                                    end.toString(QStringLiteral("yyyyMMdd")));
}

OpenExport::Result OpenExport::tasksCsv(const QString &fileName)
{
    Result result;
    bool ok = false;
    const QList<TaskRecord> tasks = HistoryStore(m_db).tasks(&ok);
    result.readFailed = !ok;
    CsvWriter csv;
    csv.addRow({QStringLiteral("序号"), QStringLiteral("内容"), QStringLiteral("开始日期"),
                QStringLiteral("截止日期"), QStringLiteral("重要性"), QStringLiteral("紧急度"),
                QStringLiteral("优先级"), QStringLiteral("进度"), QStringLiteral("标签")});
    for (const TaskRecord &task : tasks) {
        csv.addRow({QString::number(task.manualIndex + 1), plain(task.content), task.startDate,
                    task.stopDate, task.importance, task.emergency, QString::number(task.priority),
                    QString::number(task.progress), task.label});
    }
    result.rows = tasks.size();
    result.written = write(fileName, csv.document());
    return result;
}

OpenExport::Result OpenExport::recordsCsv(const QDate &start, const QDate &end,
                                          const QString &fileName)
{
    Result result;
    bool ok = false;
    const QStringList tables = dayTables(start, end, &ok);
    result.readFailed = !ok;
    CsvWriter csv;
    csv.addRow({QStringLiteral("日期"), QStringLiteral("日程表"), QStringLiteral("时间"),
                QStringLiteral("计划"), QStringLiteral("标签"), QStringLiteral("结果")});
    HistoryStore store(m_db);
    for (const QString &table : tables) {
        const QString date = HistoryStore::dateOf(table).toString(isoDate);
        bool read = false;
        const QList<ScheduleRecord> records = store.exportRecords(table, &read);
        result.readFailed = result.readFailed || !read;
        for (const ScheduleRecord &record : records) {
            csv.addRow({date, DayStore::templateOf(table), record.time, plain(record.plan),
                        recordLabel(record.label), plain(record.result)});
            ++result.rows;
        }
    }
    result.written = write(fileName, csv.document());
    return result;
}

OpenExport::Result OpenExport::labelMinutesCsv(const QDate &start, const QDate &end,
                                               const QString &fileName)
{
    Result result;
    bool ok = false;
    const QStringList tables = dayTables(start, end, &ok);
    result.readFailed = !ok;
    CsvWriter csv;
    csv.addRow({QStringLiteral("日期"), QStringLiteral("标签"), QStringLiteral("分钟")});
    // The minutes of a day over all of its schedules, labels in the order first met.
    QString day;
    QStringList order;
    QHash<QString, qint64> minutes;
    auto flush = [&]() {
        for (const QString &label : qAsConst(order)) {
            csv.addRow({day, label, QString::number(minutes.value(label))});
            ++result.rows;
        }
        order.clear();
        minutes.clear();
    };
    for (const QString &table : tables) {
        const QString date = HistoryStore::dateOf(table).toString(isoDate);
        if (date != day) {
            flush();
            day = date;
        }
        const QString labelTable = DayStore::labelTable(table);
        bool lookedUp = false;
        if (!Sql::tableExists(m_db, labelTable, &lookedUp)) {
            result.readFailed = result.readFailed || !lookedUp;
            continue; // a schedule never saved has no minutes yet
        }
        QSqlQuery query(m_db);
        if (!query.exec(QStringLiteral("select labelName, labelDuration from %1")
                            .arg(Database::quoteIdentifier(labelTable)))) {
            logLine(QStringLiteral("select label minutes failed! "), query.lastError().text());
            result.readFailed = true;
            continue;
        }
        while (query.next()) {
            const QString label = recordLabel(query.value(0).toString());
            const qint64 value = query.value(1).toLongLong();
            if (label.isEmpty() || value <= 0)
                continue;
            if (!minutes.contains(label))
                order.append(label);
            minutes[label] += value;
        }
    }
    flush();
    result.written = write(fileName, csv.document());
    return result;
}

OpenExport::Result OpenExport::calendar(const QDate &start, const QDate &end,
                                        const QString &fileName, const QDateTime &stamp)
{
    Result result;
    bool ok = false;
    const QStringList tables = dayTables(start, end, &ok);
    result.readFailed = !ok;
    ICalWriter ical(stamp);
    HistoryStore store(m_db);
    for (const QString &table : tables) {
        const QDate date = HistoryStore::dateOf(table);
        bool read = false;
        const QList<ScheduleRecord> records = store.exportRecords(table, &read);
        result.readFailed = result.readFailed || !read;
        // Stable across exports, so a calendar program updates rather than duplicates.
        const QByteArray tableKey =
            QCryptographicHash::hash(table.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
        for (const ScheduleRecord &record : records) {
            ICalWriter::Event event;
            if (!ICalWriter::parseSpan(record.time, date, &event.start, &event.end)) {
                ++result.skipped;
                continue;
            }
            const QString planText = plain(record.plan);
            const QString resultText = plain(record.result);
            const QString label = recordLabel(record.label);
            event.uid = QStringLiteral("%1-%2@orvane")
                            .arg(QString::fromLatin1(tableKey))
                            .arg(record.manualIndex);
            event.summary = firstLine(planText);
            if (event.summary.isEmpty())
                event.summary = label.isEmpty() ? QStringLiteral("日程记录") : label;
            event.description =
                QStringLiteral("计划：") + planText + QStringLiteral("\n结果：") + resultText;
            if (!label.isEmpty())
                event.categories.append(label);
            ical.addEvent(event);
            ++result.rows;
        }
    }

    bool tasksRead = false;
    const QList<TaskRecord> tasks = store.tasks(&tasksRead);
    result.readFailed = result.readFailed || !tasksRead;
    for (const TaskRecord &task : tasks) {
        if (task.stopDate.trimmed().isEmpty())
            continue;
        ICalWriter::Todo todo;
        todo.due = taskDate(task.stopDate);
        if (!todo.due.isValid()) {
            ++result.skipped;
            continue;
        }
        todo.start = taskDate(task.startDate);
        const QString content = plain(task.content);
        todo.uid = QStringLiteral("task-%1@orvane").arg(task.id);
        todo.summary = firstLine(content);
        if (todo.summary.isEmpty())
            todo.summary = QStringLiteral("任务");
        todo.description = content;
        todo.priority = ICalWriter::priority(task.priority);
        todo.percentComplete = task.progress;
        const QStringList labels = SemicolonList::split(task.label, false);
        for (const QString &label : labels) {
            if (!label.trimmed().isEmpty())
                todo.categories.append(label.trimmed());
        }
        ical.addTodo(todo);
        ++result.todos;
    }
    result.written = write(fileName, ical.document());
    return result;
}

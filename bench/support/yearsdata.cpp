#include "bench/support/yearsdata.h"

#include "app/sql.h"
#include "schedule/daystore.h"
#include "schedule/templatestore.h"
#include "schedule/templatexml.h"

#include <QFile>
#include <QTime>

namespace YearsData {
namespace {
const QStringList labels = {QStringLiteral("工作"), QStringLiteral("学习"), QStringLiteral("运动"),
                            QStringLiteral("阅读"), QStringLiteral("家务")};
const QStringList summaryTexts = {QStringLiteral("今日总结"), QStringLiteral("明日打算")};
const QStringList summaryScores = {QStringLiteral("评分")};
const int daysPerBatch = 31;

// Record n of a schedule: half an hour from 06:00 on, the second template from 06:15.
QString spanStart(int templateIndex, int n)
{
    return QTime(6, 0)
        .addSecs(60 * (30 * n + 15 * templateIndex))
        .toString(QStringLiteral("hh:mm"));
}

QString spanEnd(int templateIndex, int n)
{
    return QTime(6, 0)
        .addSecs(60 * (30 * n + 15 * templateIndex + 25))
        .toString(QStringLiteral("hh:mm"));
}

TemplateContent content(int templateIndex)
{
    TemplateContent made;
    made.name = templateNames().at(templateIndex);
    made.hasIsSchedule = true;
    made.timed = true;
    for (int n = 0; n < recordsPerSchedule; ++n) {
        TemplateRecord record;
        record.time = DayTables::timeSpan(spanStart(templateIndex, n), spanEnd(templateIndex, n));
        record.label = labels.at((n + templateIndex) % labels.size());
        made.records.append(record);
    }
    for (const QString &name : summaryTexts)
        made.texts.append({name, QString(), 200});
    for (const QString &name : summaryScores)
        made.scores.append({name, QStringLiteral("0"), 100});
    return made;
}
} // namespace

QStringList templateNames()
{
    return {QStringLiteral("工作日"), QStringLiteral("学习日")};
}

bool writeTemplates()
{
    TemplateStore::ensureTemplateDirs();
    for (int t = 0; t < templateNames().size(); ++t) {
        QFile file(TemplateStore::xmlTemplatePath(templateNames().at(t)));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            !TemplateXml::write(&file, content(t)))
            return false;
    }
    return true;
}

DayEdits dayEdits(const QDate &date, int templateIndex)
{
    const QString day = date.toString(QStringLiteral("yyyy-MM-dd"));
    DayEdits edits;
    for (int n = 0; n < recordsPerSchedule; ++n) {
        DayRecordEdit record;
        record.timed = true;
        record.start = spanStart(templateIndex, n);
        record.end = spanEnd(templateIndex, n);
        record.plan =
            QStringLiteral("<p>%1 计划 %2：整理资料，写出提纲并安排下一步</p>").arg(day).arg(n);
        record.result =
            QStringLiteral("<p>%1 结果 %2：完成了大部分，余下明天继续</p>").arg(day).arg(n);
        record.labelCaption = labels.at((n + templateIndex) % labels.size());
        edits.records.append(record);
    }
    for (const QString &name : summaryTexts)
        edits.texts.append({QStringLiteral("<p>%1 %2：按计划完成。</p>").arg(day, name), 200});
    edits.scores.append(60 + (date.dayOfYear() + templateIndex) % 40);
    return edits;
}

bool fill(QSqlDatabase db, const QDate &first, const QDate &last)
{
    if (!writeTemplates())
        return false;
    DayActions actions(db);
    const QStringList names = templateNames();
    for (QDate batchStart = first; batchStart <= last;
         batchStart = batchStart.addDays(daysPerBatch)) {
        Sql::Transaction batch(db);
        for (QDate date = batchStart; date <= last && date < batchStart.addDays(daysPerBatch);
             date = date.addDays(1)) {
            for (int t = 0; t < names.size(); ++t) {
                const QString table = DayStore::dayName(date) + names.at(t);
                if (actions.openSchedule(table, nullptr) != DayStore::HasContent ||
                    !actions.saveDay(table, date, dayEdits(date, t)))
                    return false;
            }
        }
        if (!batch.commit())
            return false;
    }
    return true;
}

QDate lastDay()
{
    return QDate(2026, 12, 7);
}

bool fillThreeYears(QSqlDatabase db)
{
    return fill(db, lastDay().addYears(-3).addDays(1), lastDay());
}

bool fillOneWeek(QSqlDatabase db)
{
    return fill(db, lastDay().addDays(-6), lastDay());
}

} // namespace YearsData

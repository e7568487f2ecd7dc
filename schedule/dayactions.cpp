#include "schedule/dayactions.h"

#include "app/logging.h"
#include "app/sql.h"
#include "schedule/planlabels.h"
#include "schedule/summarystore.h"
#include "schedule/templatestore.h"
#include "search/searchindex.h"
#include "statistics/labeldurationstore.h"

#include <QSqlError>
#include <QVector>

bool DayEdits::differsFrom(const DayEdits &other) const
{
    if (records.size() != other.records.size() || texts.size() != other.texts.size() ||
        scores != other.scores)
        return true;
    for (int i = 0; i < records.size(); ++i) {
        if (!records.at(i).sameText(other.records.at(i)))
            return true;
    }
    for (int i = 0; i < texts.size(); ++i) {
        if (texts.at(i).html != other.texts.at(i).html)
            return true;
    }
    return false;
}

DayActions::DayActions(const QSqlDatabase &db) : m_db(db), m_store(db) {}

DayActions::DateSchedule DayActions::scheduleOfDate(const QDate &date)
{
    DateSchedule choice;
    const QString dayName = DayStore::dayName(date);
    QStringList dayTables;
    if (!m_store.tablesOfDate(dayName, &dayTables, &choice.excelRegistries))
        return choice;
    // A schedule whose records are all blank counts as none, so the default template can
    // replace it.
    for (const QString &table : dayTables) {
        if (m_store.tableState(table) != DayStore::Empty)
            choice.xmlTemplates.append(DayStore::templateOf(table));
    }
    const int registryPrefix = QStringLiteral("Excel_").size() + dayName.size();
    for (const QString &registry : choice.excelRegistries)
        choice.excelTemplates.append(registry.mid(registryPrefix));

    const int xml = choice.xmlTemplates.size();
    const int excel = choice.excelTemplates.size();
    if (xml == 0 && excel == 0) {
        choice.templateName = TemplateStore::defaultTemplate();
        choice.kind = choice.templateName == TemplateStore::noTemplate
                          ? DateSchedule::None
                          : DateSchedule::NewFromDefault;
    } else if (excel == 0 && xml == 1) {
        choice.kind = DateSchedule::Xml;
        choice.templateName = choice.xmlTemplates.first();
    } else if (xml == 0 && excel == 1) {
        choice.kind = DateSchedule::Excel;
        choice.templateName = choice.excelTemplates.first();
    } else {
        choice.kind = DateSchedule::Chooser;
    }
    return choice;
}

DayStore::TableState DayActions::openSchedule(const QString &dayTable, UserMessages *messages,
                                              bool *created)
{
    if (created)
        *created = false;
    const DayStore::TableState state = m_store.tableState(dayTable);
    if (state != DayStore::Missing) {
        if (state == DayStore::HasContent || state == DayStore::Empty)
            SummaryStore(m_db, dayTable).repairKeys();
        return state;
    }
    // The three tables and the template's rows come together: a day is never left half made.
    // A failure (a full disk, a read-only file) is told: the day would otherwise just look empty.
    auto failed = [messages]() {
        if (messages)
            messages->append(
                UserMessage{UserMessage::Warning, QStringLiteral("提示"), dayCreateFailedMessage});
        return DayStore::TableCreateFailure;
    };
    Sql::Transaction transaction(m_db);
    if (!m_store.createTables(dayTable))
        return failed();
    if (TemplateStore::loadTemplateIntoDay(m_db, dayTable.left(DayTables::dayPrefixLength),
                                           DayStore::templateOf(dayTable), messages) < 0)
        return failed();
    SearchIndex(m_db).reindexDay(dayTable);
    if (!transaction.commit())
        return failed();
    if (created)
        *created = true;
    return DayStore::HasContent;
}

bool DayActions::writeDay(const QString &dayTable, const QDate &date, const DayEdits &edits)
{
    bool ok = true;
    QVector<int> durations;
    for (int i = 0; i < edits.records.size(); ++i) {
        const DayRecordEdit &record = edits.records.at(i);
        durations.append(
            LabelDurationStore::recordDuration(record.start, record.end, record.labelCaption));
        if (!ok)
            continue;
        const QString time = DayTables::timeSpan(record.start, record.end);
        logLine(QStringLiteral("m_date m_currentTemplate is updating: ") + dayTable);
        logLine(time);
        ok = m_store.updateRecord(dayTable, i, time, record.plan, record.result, record.planHeight,
                                  record.resultHeight);
    }
    LabelDurationStore labels(m_db);
    if (!edits.records.isEmpty() && edits.records.first().timed) {
        logLine(QStringLiteral("hasTime is true!"));
        ok = labels.rebuildDayLabelTable(dayTable, durations, date) && ok;
    } else {
        logLine(QStringLiteral("hasTime is false!"));
    }
    ok = labels.checkLabelDurationStatistic(date) && ok;

    SummaryStore summary(m_db, dayTable);
    // Without its settings keys (a lost or replaced settings file) the view shows the items of
    // the table; those are what is saved, and the keys are written again.
    if (!summary.hasKeys() && !summary.writeKeysFromTable())
        return false;
    const int texts = summary.textCount();
    const int scores = summary.scoreCount();
    for (int i = 0; ok && i < texts && i < edits.texts.size(); ++i)
        ok = summary.saveText(i, edits.texts.at(i).html, edits.texts.at(i).height);
    for (int i = 0; ok && i < scores && i < edits.scores.size(); ++i)
        ok = summary.saveScore(texts + i, edits.scores.at(i));
    return ok;
}

bool DayActions::saveDay(const QString &dayTable, const QDate &date, const DayEdits &edits)
{
    Sql::Transaction transaction(m_db);
    if (writeDay(dayTable, date, edits) && transaction.commit())
        return true;
    logLine(QStringLiteral("day save rolled back"), m_db.lastError().text());
    return false;
}

bool DayActions::saveThen(const QString &dayTable, const QDate &date, const DayEdits *edits,
                          const std::function<bool()> &change)
{
    Sql::Transaction transaction(m_db);
    if ((!edits || writeDay(dayTable, date, *edits)) && change() && transaction.commit())
        return true;
    logLine(QStringLiteral("day save rolled back"), m_db.lastError().text());
    return false;
}

bool DayActions::dropSchedule(const QString &dayTable, const QDate &date)
{
    Sql::Transaction transaction(m_db);
    if (!m_store.dropSchedule(dayTable) ||
        !LabelDurationStore(m_db).removeScheduleLabels(dayTable, date) || !transaction.commit())
        return false;
    SummaryStore::removeKeys(DayStore::summaryTable(dayTable));
    return true;
}

bool DayActions::recountLabels(const QString &dayTable, const QDate &date)
{
    LabelDurationStore labels(m_db);
    if (!labels.hasDayLabels(dayTable))
        return true;
    bool ok = false;
    const QList<ScheduleRecord> records = m_store.records(dayTable, &ok);
    if (!ok)
        return false;
    bool written = true;
    if (!records.isEmpty() && !records.first().time.isEmpty()) {
        QVector<int> durations;
        for (const ScheduleRecord &record : records)
            durations.append(LabelDurationStore::recordDuration(DayTables::spanStart(record.time),
                                                                DayTables::spanEnd(record.time),
                                                                PlanLabels::caption(record.label)));
        written = labels.rebuildDayLabelTable(dayTable, durations, date);
    }
    return labels.checkLabelDurationStatistic(date) && written;
}

bool DayActions::deleteRecord(const QString &dayTable, const QDate &date, int index)
{
    Sql::Transaction transaction(m_db);
    return m_store.deleteRecord(dayTable, index) && recountLabels(dayTable, date) &&
           transaction.commit();
}

bool DayActions::restoreRecord(const QString &dayTable, const QDate &date, const QVariantList &row,
                               const QList<TableSnapshot> &totalsBefore)
{
    Sql::Transaction transaction(m_db);
    if (!m_store.restoreRecord(dayTable, row) || !recountLabels(dayTable, date) ||
        !LabelDurationStore(m_db).keepUnchangedTotals(totalsBefore))
        return false;
    SearchIndex(m_db).reindexDayTable(dayTable);
    return transaction.commit();
}

bool DayActions::readSchedule(const QString &dayTable, const QDate &date, ScheduleCopy *copy)
{
    copy->dayTable = dayTable;
    copy->date = date;
    copy->summaryKeys = SummaryStore::keys(DayStore::summaryTable(dayTable));
    copy->totals = LabelDurationStore(m_db).totalsOf(date);
    return m_store.readSchedule(dayTable, &copy->tables);
}

bool DayActions::restoreSchedule(const ScheduleCopy &copy)
{
    Sql::Transaction transaction(m_db);
    LabelDurationStore labels(m_db);
    if (!m_store.restoreTables(copy.tables) || !labels.refreshTotals(copy.date) ||
        !labels.keepUnchangedTotals(copy.totals) || !transaction.commit())
        return false;
    SummaryStore::restoreKeys(DayStore::summaryTable(copy.dayTable), copy.summaryKeys);
    // The summary's item names live in the settings, so the day is indexed once they are back.
    SearchIndex(m_db).reindexDay(copy.dayTable);
    return true;
}

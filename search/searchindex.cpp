#include "search/searchindex.h"

#include "app/database.h"
#include "app/htmltext.h"
#include "app/logging.h"
#include "app/sql.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

const int SearchIndex::formatVersion = 1;
const QString SearchIndex::taskSource = QStringLiteral("star");

namespace {

SearchIndex::ExcelReader &excelReader()
{
    static SearchIndex::ExcelReader reader;
    return reader;
}

const QString docTable = QStringLiteral("search_doc");
const QString ftsTable = QStringLiteral("search_fts");
const QString metaTable = QStringLiteral("search_meta");
const QString versionKey = QStringLiteral("version");

const QString summaryPrefix = QStringLiteral("summary_");
const QString excelPrefix = QStringLiteral("Excel_");
// "Day" + yyyyMMdd at the head of a name, as a GLOB pattern.
const QString dayGlob = QStringLiteral("Day[0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9]?*");

const char *const createStatements[] = {
    "create table search_doc(id INTEGER PRIMARY KEY, source TEXT NOT NULL, ref INT NOT NULL, "
    "field INT NOT NULL, day INT NOT NULL, body TEXT NOT NULL)",
    "create index search_doc_source on search_doc(source, ref)",
    "create table search_meta(key TEXT PRIMARY KEY, value TEXT)",
};
const char *const ftsStatement =
    "create virtual table search_fts using fts5(body, content='search_doc', "
    "content_rowid='id', tokenize='trigram')";
// The FTS table holds no copy of the texts; these keep it in step with search_doc.
const char *const triggerStatements[] = {
    "create trigger search_doc_insert after insert on search_doc begin "
    "insert into search_fts(rowid, body) values(new.id, new.body); end",
    "create trigger search_doc_delete after delete on search_doc begin "
    "insert into search_fts(search_fts, rowid, body) values('delete', old.id, old.body); end",
    "create trigger search_doc_update after update of body on search_doc begin "
    "insert into search_fts(search_fts, rowid, body) values('delete', old.id, old.body); "
    "insert into search_fts(rowid, body) values(new.id, new.body); end",
};
const char *const dropStatements[] = {
    "drop trigger if exists search_doc_insert", "drop trigger if exists search_doc_delete",
    "drop trigger if exists search_doc_update", "drop table if exists search_fts",
    "drop table if exists search_doc",          "drop table if exists search_meta",
};

bool exec(QSqlQuery &query, const char *failureLog)
{
    if (query.exec())
        return true;
    logLine(QString::fromLatin1(failureLog), query.lastError().text());
    return false;
}

bool runAll(const QSqlDatabase &db, const char *const *statements, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (!Sql::run(db, QString::fromLatin1(statements[i]),
                      QStringLiteral("search index statement failed: ") +
                          QString::fromLatin1(statements[i])))
            return false;
    }
    return true;
}

void add(QList<SearchDocument> *docs, const QString &source, int ref, int field, int day,
         const QString &body)
{
    if (body.trimmed().isEmpty())
        return;
    docs->append({source, ref, field, day, body});
}

QStringList tablesLike(const QSqlDatabase &db, const QString &glob, bool *ok)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral(
        "select name from sqlite_master where type = 'table' and name glob ? order by name"));
    query.addBindValue(glob);
    QStringList names;
    *ok = exec(query, "search index table list failed");
    while (*ok && query.next())
        names.append(query.value(0).toString());
    return names;
}

// Whether a table exists, from SQLite's in-memory schema: a statement over it only compiles when
// it does. Reading sqlite_master instead scans every table of years of days, at every save.
bool tableKnown(const QSqlDatabase &db, const QString &name)
{
    QSqlQuery probe(db);
    return probe.prepare(QStringLiteral("select 1 from ") + Database::quoteIdentifier(name) +
                         QStringLiteral(" where 0"));
}

} // namespace

void SearchIndex::setExcelReader(const ExcelReader &reader)
{
    excelReader() = reader;
}

SearchIndex::SearchIndex(const QSqlDatabase &db) : m_db(db) {}

bool SearchIndex::exists()
{
    return tableKnown(m_db, docTable) && tableKnown(m_db, ftsTable) && tableKnown(m_db, metaTable);
}

bool SearchIndex::isCurrent()
{
    if (!exists())
        return false;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("select value from search_meta where key = ?"));
    query.addBindValue(versionKey);
    return query.exec() && query.next() && query.value(0).toInt() == formatVersion;
}

bool SearchIndex::ensure(bool *rebuilt)
{
    if (rebuilt)
        *rebuilt = false;
    if (isCurrent())
        return true;
    if (!rebuild())
        return false;
    if (rebuilt)
        *rebuilt = true;
    return true;
}

bool SearchIndex::markStale()
{
    return Sql::run(m_db, QStringLiteral("delete from search_meta"),
                    QStringLiteral("search index mark stale failed"));
}

bool SearchIndex::rebuild()
{
    logLine(QStringLiteral("search index rebuild"));
    Sql::Transaction transaction(m_db);
    if (!runAll(m_db, dropStatements, std::size(dropStatements)) ||
        !runAll(m_db, createStatements, std::size(createStatements)))
        return false;

    QList<SearchDocument> docs;
    if (!collectTasks(QString(), QVariant(), &docs, nullptr))
        return false;
    bool ok = true;
    const QStringList dayTables = tablesLike(m_db, dayGlob, &ok);
    if (!ok)
        return false;
    const QStringList summaries = tablesLike(m_db, summaryPrefix + dayGlob, &ok);
    if (!ok)
        return false;
    for (const QString &dayTable : dayTables) {
        bool missing = false;
        if (!collectRecords(dayTable, nullptr, &docs, &missing))
            return false;
        // A summary belongs to its day table: one left without it is not reachable.
        if (summaries.contains(summaryPrefix + dayTable) &&
            !collectSummary(dayTable, nullptr, &docs, &missing))
            return false;
    }
    const QStringList registries = tablesLike(m_db, excelPrefix + dayGlob, &ok);
    if (!ok)
        return false;
    for (const QString &registry : registries) {
        bool missing = false;
        if (!collectExcel(registry, &docs, &missing))
            return false;
    }
    if (!insertAll(docs))
        return false;
    // Filling the FTS table once from the finished texts is much faster than row by row.
    if (!runAll(m_db, &ftsStatement, 1) ||
        !Sql::run(m_db, QStringLiteral("insert into search_fts(search_fts) values('rebuild')"),
                  QStringLiteral("search index fill failed")) ||
        !runAll(m_db, triggerStatements, std::size(triggerStatements)))
        return false;
    QSqlQuery version(m_db);
    version.prepare(QStringLiteral("insert into search_meta(key, value) values(?, ?)"));
    version.addBindValue(versionKey);
    version.addBindValue(QString::number(formatVersion));
    if (!exec(version, "search index version failed"))
        return false;
    if (!transaction.commit(QStringLiteral("search index rebuild failed")))
        return false;
    logLine(QStringLiteral("search index rebuilt: %1 texts").arg(docs.size()));
    return true;
}

qint64 SearchIndex::firstId(int day)
{
    // Tasks above every date, so that the newest texts have the largest ids.
    return qint64(day == 0 ? 99999999 : day) << idBitsPerDay;
}

bool SearchIndex::insertAll(const QList<SearchDocument> &docs)
{
    // Ids grow with the date: a search reads the index from the largest id down and stops at
    // the first hundred hits. Within a day they are handed out after the largest one in use.
    QHash<int, qint64> next;
    QSqlQuery largest(m_db);
    largest.prepare(QStringLiteral("select max(id) from search_doc where id >= ? and id < ?"));
    QSqlQuery insert(m_db);
    insert.prepare(QStringLiteral(
        "insert into search_doc(id, source, ref, field, day, body) values(?, ?, ?, ?, ?, ?)"));
    for (const SearchDocument &doc : docs) {
        auto slot = next.find(doc.day);
        if (slot == next.end()) {
            const qint64 first = firstId(doc.day);
            largest.bindValue(0, first);
            largest.bindValue(1, first + (qint64(1) << idBitsPerDay));
            if (!exec(largest, "search index id lookup failed"))
                return false;
            const QVariant used = largest.next() ? largest.value(0) : QVariant();
            slot = next.insert(doc.day, used.isNull() ? first : used.toLongLong() + 1);
        }
        // A day that used up its ids (a million changes since the last rebuild) waits for the
        // next rebuild.
        if (*slot >= firstId(doc.day) + (qint64(1) << idBitsPerDay)) {
            logLine(QStringLiteral("search index ids of a day used up"));
            return false;
        }
        insert.bindValue(0, *slot);
        insert.bindValue(1, doc.source);
        insert.bindValue(2, doc.ref);
        insert.bindValue(3, doc.field);
        insert.bindValue(4, doc.day);
        insert.bindValue(5, doc.body);
        if (!exec(insert, "search index insert failed"))
            return false;
        ++*slot;
    }
    return true;
}

QList<SearchDocument> SearchIndex::documents(bool *ok)
{
    QList<SearchDocument> docs;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("select source, ref, field, day, body from search_doc "
                                 "order by source, ref, field"));
    const bool ran = exec(query, "search index read failed");
    if (ok)
        *ok = ran;
    while (ran && query.next()) {
        docs.append({query.value(0).toString(), query.value(1).toInt(), query.value(2).toInt(),
                     query.value(3).toInt(), query.value(4).toString()});
    }
    return docs;
}

int SearchIndex::dayOfSource(const QString &source)
{
    int start = -1;
    if (source.startsWith(QLatin1String("Day")))
        start = 3;
    else if (source.startsWith(summaryPrefix + QLatin1String("Day")))
        start = summaryPrefix.size() + 3;
    else if (source.startsWith(excelPrefix + QLatin1String("Day")))
        start = excelPrefix.size() + 3;
    if (start < 0)
        return 0;
    bool ok = false;
    const int day = source.mid(start, 8).toInt(&ok);
    return ok && source.mid(start, 8).size() == 8 ? day : 0;
}

QString SearchIndex::registryOfCopy(const QString &path)
{
    const QFileInfo file(path);
    const QString base = file.completeBaseName();
    if (file.suffix() != QLatin1String("xlsx") || dayOfSource(base) == 0 || base.size() <= 11)
        return QString();
    const QString copyDir = QFileInfo(QStringLiteral("ExcelDB")).absoluteFilePath();
    if (QDir::cleanPath(file.absolutePath()) != QDir::cleanPath(copyDir))
        return QString();
    return excelPrefix + base;
}

bool SearchIndex::collectTasks(const QString &condition, const QVariant &value,
                               QList<SearchDocument> *docs, QList<int> *ids)
{
    if (!tableKnown(m_db, taskSource))
        return true;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("select id, content, label from star") +
                  (condition.isEmpty() ? QString() : QStringLiteral(" where ") + condition));
    if (!condition.isEmpty())
        query.addBindValue(value);
    if (!exec(query, "search index task read failed"))
        return false;
    while (query.next()) {
        const int id = query.value(0).toInt();
        if (ids)
            ids->append(id);
        add(docs, taskSource, id, TaskContent, 0, HtmlText::plain(query.value(1).toString()));
        add(docs, taskSource, id, TaskLabel, 0, query.value(2).toString());
    }
    return true;
}

bool SearchIndex::collectRecords(const QString &dayTable, const int *manualIndex,
                                 QList<SearchDocument> *docs, bool *missing)
{
    *missing = !tableKnown(m_db, dayTable);
    if (*missing)
        return true;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("select manualIndex, time, plan, label, result from ") +
                  Database::quoteIdentifier(dayTable) +
                  (manualIndex ? QStringLiteral(" where manualIndex = ?") : QString()));
    if (manualIndex)
        query.addBindValue(*manualIndex);
    if (!exec(query, "search index record read failed"))
        return false;
    const int day = dayOfSource(dayTable);
    while (query.next()) {
        const int index = query.value(0).toInt();
        add(docs, dayTable, index, RecordTime, day, query.value(1).toString());
        add(docs, dayTable, index, RecordPlan, day, HtmlText::plain(query.value(2).toString()));
        add(docs, dayTable, index, RecordLabel, day, query.value(3).toString());
        add(docs, dayTable, index, RecordResult, day, HtmlText::plain(query.value(4).toString()));
    }
    return true;
}

bool SearchIndex::collectSummary(const QString &dayTable, const int *id,
                                 QList<SearchDocument> *docs, bool *missing)
{
    const QString table = summaryPrefix + dayTable;
    *missing = !tableKnown(m_db, table);
    if (*missing)
        return true;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("select id, contentType, contentName, contentDetail from ") +
                  Database::quoteIdentifier(table) +
                  (id ? QStringLiteral(" where id = ?") : QString()));
    if (id)
        query.addBindValue(*id);
    if (!exec(query, "search index summary read failed"))
        return false;
    const int day = dayOfSource(dayTable);
    while (query.next()) {
        const int row = query.value(0).toInt();
        add(docs, table, row, SummaryName, day, query.value(2).toString());
        // A score's detail is its number: nothing a person looks for.
        if (query.value(1).toString() == QLatin1String("summaryText"))
            add(docs, table, row, SummaryText, day, HtmlText::plain(query.value(3).toString()));
    }
    return true;
}

bool SearchIndex::collectExcel(const QString &registry, QList<SearchDocument> *docs, bool *missing)
{
    *missing = !tableKnown(m_db, registry);
    if (*missing)
        return true;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("select path from ") + Database::quoteIdentifier(registry) +
                  QStringLiteral(" order by id"));
    if (!exec(query, "search index excel read failed"))
        return false;
    if (!query.next() || !excelReader())
        return true;
    const QString path = query.value(0).toString();
    if (!QFileInfo::exists(path))
        return true;
    const int day = dayOfSource(registry);
    const QList<ExcelCellText> cells = excelReader()(path);
    for (const ExcelCellText &cell : cells)
        add(docs, registry, cell.row * excelRowStride + cell.column, ExcelCell, day, cell.text);
    return true;
}

bool SearchIndex::sync(const QString &source, const int *ref, const QList<SearchDocument> &wanted)
{
    QSqlQuery stored(m_db);
    stored.prepare(QStringLiteral("select id, ref, field, body, day from search_doc where "
                                  "source = ?") +
                   (ref ? QStringLiteral(" and ref = ?") : QString()));
    stored.addBindValue(source);
    if (ref)
        stored.addBindValue(*ref);
    if (!exec(stored, "search index read failed"))
        return false;
    struct Stored {
        qint64 id;
        QString body;
        int day;
    };
    QHash<qint64, Stored> byKey; // (ref << 8) | field
    QList<qint64> extra;         // a second text under one key: never wanted
    auto key = [](int r, int field) { return (qint64(r) << 8) | qint64(field); };
    while (stored.next()) {
        const qint64 k = key(stored.value(1).toInt(), stored.value(2).toInt());
        const Stored row{stored.value(0).toLongLong(), stored.value(3).toString(),
                         stored.value(4).toInt()};
        if (byKey.contains(k))
            extra.append(row.id);
        else
            byKey.insert(k, row);
    }

    QSqlQuery change(m_db);
    QList<SearchDocument> inserts;
    for (const SearchDocument &doc : wanted) {
        const auto it = byKey.find(key(doc.ref, doc.field));
        if (it == byKey.end()) {
            inserts.append(doc);
            continue;
        }
        // Unchanged texts are left alone: a save of a whole day touches few of them.
        if (it->body != doc.body || it->day != doc.day) {
            change.prepare(QStringLiteral("update search_doc set body = ?, day = ? where id = ?"));
            change.addBindValue(doc.body);
            change.addBindValue(doc.day);
            change.addBindValue(it->id);
            if (!exec(change, "search index update failed"))
                return false;
        }
        byKey.erase(it);
    }
    for (const Stored &gone : qAsConst(byKey))
        extra.append(gone.id);
    for (const qint64 id : qAsConst(extra)) {
        change.prepare(QStringLiteral("delete from search_doc where id = ?"));
        change.addBindValue(id);
        if (!exec(change, "search index delete failed"))
            return false;
    }
    return insertAll(inserts);
}

bool SearchIndex::follow(bool ok)
{
    if (!ok) {
        logLine(QStringLiteral("search index could not follow a change; it is built again at "
                               "the next start"));
        markStale();
    }
    return ok;
}

bool SearchIndex::reindexTask(int id)
{
    if (!exists())
        return true;
    QList<SearchDocument> docs;
    return follow(collectTasks(QStringLiteral("id = ?"), id, &docs, nullptr) &&
                  sync(taskSource, &id, docs));
}

bool SearchIndex::reindexTaskAt(int manualIndex)
{
    if (!exists())
        return true;
    QList<SearchDocument> docs;
    QList<int> ids;
    bool ok = collectTasks(QStringLiteral("manualIndex = ?"), manualIndex, &docs, &ids);
    for (const int id : qAsConst(ids)) {
        QList<SearchDocument> own;
        std::copy_if(docs.cbegin(), docs.cend(), std::back_inserter(own),
                     [id](const SearchDocument &doc) { return doc.ref == id; });
        ok = ok && sync(taskSource, &id, own);
    }
    return follow(ok);
}

bool SearchIndex::dropMissingTasks()
{
    if (!exists())
        return true;
    const bool tasks = tableKnown(m_db, taskSource);
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("delete from search_doc where source = ?") +
                  (tasks ? QStringLiteral(" and ref not in (select id from star)") : QString()));
    query.addBindValue(taskSource);
    return follow(exec(query, "search index task delete failed"));
}

bool SearchIndex::reindexDayTable(const QString &dayTable)
{
    if (!exists())
        return true;
    QList<SearchDocument> docs;
    bool missing = false;
    return follow(collectRecords(dayTable, nullptr, &docs, &missing) &&
                  sync(dayTable, nullptr, docs));
}

bool SearchIndex::reindexRecord(const QString &dayTable, int manualIndex)
{
    if (!exists())
        return true;
    QList<SearchDocument> docs;
    bool missing = false;
    return follow(collectRecords(dayTable, &manualIndex, &docs, &missing) &&
                  sync(dayTable, &manualIndex, docs));
}

bool SearchIndex::reindexSummary(const QString &dayTable)
{
    if (!exists())
        return true;
    QList<SearchDocument> docs;
    bool missing = false;
    return follow(collectSummary(dayTable, nullptr, &docs, &missing) &&
                  sync(summaryPrefix + dayTable, nullptr, docs));
}

bool SearchIndex::reindexSummaryItem(const QString &dayTable, int id)
{
    if (!exists())
        return true;
    QList<SearchDocument> docs;
    bool missing = false;
    return follow(collectSummary(dayTable, &id, &docs, &missing) &&
                  sync(summaryPrefix + dayTable, &id, docs));
}

bool SearchIndex::reindexDay(const QString &dayTable)
{
    return reindexDayTable(dayTable) && reindexSummary(dayTable);
}

bool SearchIndex::reindexExcel(const QString &registry, const QList<ExcelCellText> &cells)
{
    if (!exists())
        return true;
    QList<SearchDocument> docs;
    if (tableKnown(m_db, registry)) {
        const int day = dayOfSource(registry);
        for (const ExcelCellText &cell : cells)
            add(&docs, registry, cell.row * excelRowStride + cell.column, ExcelCell, day,
                cell.text);
    }
    return follow(sync(registry, nullptr, docs));
}

bool SearchIndex::reindexExcelFile(const QString &registry)
{
    if (!exists())
        return true;
    QList<SearchDocument> docs;
    bool missing = false;
    return follow(collectExcel(registry, &docs, &missing) && sync(registry, nullptr, docs));
}

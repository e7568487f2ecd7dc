#ifndef ORVANE_SEARCH_SEARCHINDEX_H
#define ORVANE_SEARCH_SEARCHINDEX_H

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <functional>

// One piece of text a person can find: a task's content or labels, one field of a day record,
// a summary item's name or text, one cell of a date's Excel schedule.
struct SearchDocument {
    QString source; // "star", a day table, its summary table or an Excel registry table
    int ref = 0;    // task id, record manualIndex, summary row id, or row * 1024 + column
    int field = 0;  // SearchIndex::Field
    int day = 0;    // the date as yyyyMMdd; 0 for tasks
    QString body;   // the text a person sees

    bool operator==(const SearchDocument &other) const
    {
        return source == other.source && ref == other.ref && field == other.field &&
               day == other.day && body == other.body;
    }
};

// One cell of an Excel schedule, 0-based as in the editor's grid.
struct ExcelCellText {
    int row = 0;
    int column = 0;
    QString text;
};

// The full-text index over everything a person wrote: tables of its own beside the program's
// (search_doc with the texts, search_fts an FTS5 trigram index over them, search_meta with the
// format version). The stores call the reindex functions inside the transaction of each change,
// so the index commits or rolls back with the data. An index that cannot follow a change is
// marked stale, never fails the change, and is built again by ensure().
class SearchIndex {
public:
    enum Field {
        TaskContent = 0,
        TaskLabel = 1,
        RecordTime = 2,
        RecordPlan = 3,
        RecordLabel = 4,
        RecordResult = 5,
        SummaryName = 6,
        SummaryText = 7,
        ExcelCell = 8
    };

    // Raised whenever what is indexed or how changes: an index of another version is rebuilt.
    static const int formatVersion;
    static const QString taskSource; // "star"
    static constexpr int excelRowStride = 1024;
    // A text's id is its date (yyyyMMdd, tasks above all dates) shifted by this many bits plus
    // a number within the day, so ids grow with the date.
    static constexpr int idBitsPerDay = 20;
    static qint64 firstId(int day);

    // Excel schedules are workbooks on disk; the program hands in the reader that opens them
    // (the logic layer reads no xlsx). Without one no Excel cell is indexed.
    using ExcelReader = std::function<QList<ExcelCellText>(const QString &path)>;
    static void setExcelReader(const ExcelReader &reader);

    explicit SearchIndex(const QSqlDatabase &db);

    // The index's tables exist (current or not).
    bool exists();
    // The index exists and was built by this version of the program.
    bool isCurrent();
    // Makes the index current, building it from all data when it is missing or stale.
    bool ensure(bool *rebuilt = nullptr);
    // Builds the index from all data, in one transaction.
    bool rebuild();
    // The next ensure() rebuilds.
    bool markStale();

    // Everything indexed, in a fixed order (for comparing two indexes).
    QList<SearchDocument> documents(bool *ok = nullptr);

    // "Reindex this ...": each reads the current data and brings the index in line with it.
    // They do nothing while the index does not exist. False when the index could not follow;
    // it is then marked stale.
    bool reindexTask(int id);
    bool reindexTaskAt(int manualIndex);
    // Drops what belongs to tasks no longer in the table.
    bool dropMissingTasks();
    bool reindexDayTable(const QString &dayTable);
    bool reindexRecord(const QString &dayTable, int manualIndex);
    bool reindexSummary(const QString &dayTable);
    bool reindexSummaryItem(const QString &dayTable, int id);
    // A day table with its summary, or nothing of them when they are gone.
    bool reindexDay(const QString &dayTable);
    // An Excel schedule from the cells given, or through the reader from the workbook its
    // registry names; nothing of it when the registry is gone.
    bool reindexExcel(const QString &registry, const QList<ExcelCellText> &cells);
    bool reindexExcelFile(const QString &registry);

    // The date a source belongs to, as yyyyMMdd (0 for tasks or an unknown name).
    static int dayOfSource(const QString &source);
    // The registry of a date's Excel copy ("ExcelDB/Day20240315name.xlsx" gives
    // "Excel_Day20240315name"); empty for any other workbook.
    static QString registryOfCopy(const QString &path);

private:
    bool create();
    bool sync(const QString &source, const int *ref, const QList<SearchDocument> &wanted);
    bool follow(bool ok);
    bool collectTasks(const QString &condition, const QVariant &value, QList<SearchDocument> *docs,
                      QList<int> *ids);
    bool collectRecords(const QString &dayTable, const int *manualIndex,
                        QList<SearchDocument> *docs, bool *missing);
    bool collectSummary(const QString &dayTable, const int *id, QList<SearchDocument> *docs,
                        bool *missing);
    bool collectExcel(const QString &registry, QList<SearchDocument> *docs, bool *missing);
    bool insertAll(const QList<SearchDocument> &docs);

    QSqlDatabase m_db;
};

#endif

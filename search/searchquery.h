#ifndef ORVANE_SEARCH_SEARCHQUERY_H
#define ORVANE_SEARCH_SEARCHQUERY_H

#include "search/searchindex.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>

// One place where the text was found.
struct SearchHit {
    SearchDocument doc;
    int matchStart = -1; // in doc.body; -1 when the match cannot be placed
    int matchLength = 0;

    bool isTask() const { return doc.source == SearchIndex::taskSource; }
    // The date of a day's text; invalid for a task.
    QDate date() const;
    // The day table a record or summary belongs to; empty for a task or an Excel cell.
    QString dayTable() const;
    // The template name of the day's schedule (Excel schedules too).
    QString templateName() const;
    // "清单" for a task, else the date as "yyyy.MM.dd".
    QString dateText() const;
    // Where it was found: "任务内容", "记录计划（空时刻表）", "Excel B3（周计划）", ...
    QString placeText() const;
    // Excel cell row and column (0-based) of an ExcelCell hit.
    int excelRow() const { return doc.ref / SearchIndex::excelRowStride; }
    int excelColumn() const { return doc.ref % SearchIndex::excelRowStride; }
};

// A short piece of text around a match, on one line.
struct SearchSnippet {
    QString text;
    int matchStart = -1; // in text
    int matchLength = 0;
};

// Finds a text in the index: substrings anywhere, any case, Chinese and Latin alike. Tasks come
// first, then days, newest first.
class SearchQuery {
public:
    // The trigram index cannot answer shorter texts; those are looked for in the stored texts.
    static constexpr int shortestIndexed = 3;
    static constexpr int defaultLimit = 100;

    explicit SearchQuery(const QSqlDatabase &db);

    // At most `limit` hits; blanks around the text are ignored, an empty text finds nothing.
    // *ok is false when the index could not be read.
    QList<SearchHit> find(const QString &text, int limit = defaultLimit, bool *ok = nullptr);

    // The task's current position in the list; -1 when it is gone.
    int taskPosition(int id);

    static SearchSnippet snippet(const QString &body, int matchStart, int matchLength,
                                 int context = 30);

private:
    QSqlDatabase m_db;
};

#endif

#include "search/searchquery.h"

#include "app/logging.h"
#include "app/sql.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <tuple>

namespace {

const QString selectHits = QStringLiteral("select d.source, d.ref, d.field, d.day, d.body ");

QString excelCellName(int row, int column)
{
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar('A' + (c - 1) % 26));
    return letters + QString::number(row + 1);
}

// Every spelling of a short text in upper and lower case, for LIKE (which folds ASCII only).
QStringList caseVariants(const QString &text)
{
    QStringList variants{QString()};
    for (const QChar c : text) {
        QSet<QString> forms{QString(c), QString(c).toLower(), QString(c).toUpper()};
        QStringList next;
        for (const QString &head : qAsConst(variants)) {
            for (const QString &form : qAsConst(forms))
                next.append(head + form);
        }
        variants = next;
    }
    variants.removeDuplicates();
    return variants;
}

} // namespace

QDate SearchHit::date() const
{
    return doc.day == 0 ? QDate()
                        : QDate::fromString(QString::number(doc.day), QStringLiteral("yyyyMMdd"));
}

QString SearchHit::dayTable() const
{
    switch (doc.field) {
    case SearchIndex::RecordTime:
    case SearchIndex::RecordPlan:
    case SearchIndex::RecordLabel:
    case SearchIndex::RecordResult:
        return doc.source;
    case SearchIndex::SummaryName:
    case SearchIndex::SummaryText:
        return doc.source.mid(QStringLiteral("summary_").size());
    default:
        return QString();
    }
}

QString SearchHit::templateName() const
{
    if (isTask())
        return QString();
    if (doc.field == SearchIndex::ExcelCell)
        return doc.source.mid(QStringLiteral("Excel_").size() + 11);
    return dayTable().mid(11);
}

QString SearchHit::dateText() const
{
    return isTask() ? QStringLiteral("清单") : date().toString(QStringLiteral("yyyy.MM.dd"));
}

QString SearchHit::placeText() const
{
    QString place;
    switch (doc.field) {
    case SearchIndex::TaskContent:
        return QStringLiteral("任务内容");
    case SearchIndex::TaskLabel:
        return QStringLiteral("任务标签");
    case SearchIndex::RecordTime:
        place = QStringLiteral("记录时刻");
        break;
    case SearchIndex::RecordPlan:
        place = QStringLiteral("记录计划");
        break;
    case SearchIndex::RecordLabel:
        place = QStringLiteral("记录标签");
        break;
    case SearchIndex::RecordResult:
        place = QStringLiteral("记录结果");
        break;
    case SearchIndex::SummaryName:
        place = QStringLiteral("小结项目");
        break;
    case SearchIndex::SummaryText:
        place = QStringLiteral("小结内容");
        break;
    case SearchIndex::ExcelCell:
        place = QStringLiteral("Excel ") + excelCellName(excelRow(), excelColumn());
        break;
    default:
        break;
    }
    return place + QStringLiteral("（") + templateName() + QStringLiteral("）");
}

SearchQuery::SearchQuery(const QSqlDatabase &db) : m_db(db) {}

QList<SearchHit> SearchQuery::find(const QString &text, int limit, bool *ok)
{
    if (ok)
        *ok = true;
    const QString wanted = text.trimmed();
    QList<SearchHit> hits;
    if (wanted.isEmpty() || limit <= 0)
        return hits;

    QSqlQuery query(m_db);
    if (wanted.toUcs4().size() >= shortestIndexed) {
        // One phrase of trigrams: the text as a substring, whatever it holds. The index is read
        // from the newest text down and stops at the limit.
        QString phrase = wanted;
        phrase.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        query.prepare(selectHits +
                      QStringLiteral("from search_doc d join (select rowid from search_fts where "
                                     "search_fts match ? order by rowid desc limit ?) m on d.id "
                                     "= m.rowid order by d.id desc"));
        query.addBindValue(QLatin1Char('"') + phrase + QLatin1Char('"'));
    } else if (wanted.toLower() == wanted.toUpper()) {
        // Nothing to fold (Chinese, digits, signs): a plain substring test, the quickest scan.
        query.prepare(selectHits + QStringLiteral("from search_doc d where instr(d.body, ?) > 0 "
                                                  "order by d.id desc limit ?"));
        query.addBindValue(wanted);
    } else {
        const QStringList variants = caseVariants(wanted);
        QStringList conditions;
        for (int i = 0; i < variants.size(); ++i)
            conditions.append(QStringLiteral("d.body like ? escape '\\'"));
        query.prepare(selectHits + QStringLiteral("from search_doc d where ") +
                      conditions.join(QStringLiteral(" or ")) +
                      QStringLiteral(" order by d.id desc limit ?"));
        for (const QString &variant : variants)
            query.addBindValue(QLatin1Char('%') + Sql::likeLiteral(variant) + QLatin1Char('%'));
    }
    query.addBindValue(limit);
    if (!query.exec()) {
        logLine(QStringLiteral("search query failed"), query.lastError().text());
        if (ok)
            *ok = false;
        return hits;
    }
    while (query.next()) {
        SearchHit hit;
        hit.doc = {query.value(0).toString(), query.value(1).toInt(), query.value(2).toInt(),
                   query.value(3).toInt(), query.value(4).toString()};
        hit.matchStart = hit.doc.body.indexOf(wanted, 0, Qt::CaseInsensitive);
        hit.matchLength = hit.matchStart < 0 ? 0 : wanted.size();
        hits.append(hit);
    }
    // Ids put tasks first and the newest day next; within a day, the order of its schedule.
    std::stable_sort(hits.begin(), hits.end(), [](const SearchHit &a, const SearchHit &b) {
        const qint64 dayA = SearchIndex::firstId(a.doc.day);
        const qint64 dayB = SearchIndex::firstId(b.doc.day);
        if (dayA != dayB)
            return dayA > dayB;
        return std::make_tuple(a.doc.source, a.doc.ref, a.doc.field) <
               std::make_tuple(b.doc.source, b.doc.ref, b.doc.field);
    });
    return hits;
}

int SearchQuery::taskPosition(int id)
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("select manualIndex from star where id = ?"));
    query.addBindValue(id);
    if (!query.exec() || !query.next())
        return -1;
    return query.value(0).toInt();
}

SearchSnippet SearchQuery::snippet(const QString &body, int matchStart, int matchLength,
                                   int context)
{
    SearchSnippet out;
    const int start = matchStart < 0 ? 0 : qMax(0, matchStart - context);
    const int end = matchStart < 0 ? qMin(body.size(), 2 * context)
                                   : qMin(body.size(), matchStart + matchLength + context);
    QString piece = body.mid(start, end - start);
    // Line breaks become blanks so the snippet stays on one line; positions do not move.
    for (QChar &c : piece) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
    }
    const bool cutHead = start > 0;
    const bool cutTail = end < body.size();
    out.text = (cutHead ? QStringLiteral("…") : QString()) + piece +
               (cutTail ? QStringLiteral("…") : QString());
    if (matchStart >= 0) {
        out.matchStart = matchStart - start + (cutHead ? 1 : 0);
        out.matchLength = matchLength;
    }
    return out;
}

#include "tasklist/filterclause.h"

#include "app/database.h"
#include "app/semicolonlist.h"
#include "app/sql.h"
#include "tasklist/taskstore.h"

const QString FilterClause::unsetDate = QStringLiteral("日期");

namespace {
const char *const operators[] = {" = ", " > ", " < ", " >= ", " <= ", " between "};

bool ruleOn(int rule)
{
    return rule >= FilterClause::Equal && rule <= FilterClause::Range;
}

QString quoted(const QString &text)
{
    return QLatin1Char('\'') + Database::escapeText(text) + QLatin1Char('\'');
}

struct Part {
    QString clause;
    QString readable;
    // Several pieces joined by "or": bracketed when other criteria are joined to it by "and",
    // so the "or" cannot swallow them.
    bool alternatives = false;
};

Part datePart(const QString &column, const QString &caption, int rule, const QString &first,
              const QString &second)
{
    Part part;
    if (!ruleOn(rule) || first == FilterClause::unsetDate)
        return part;
    const QStringList items = FilterClause::ruleItems();
    if (rule == FilterClause::Range) {
        if (second == FilterClause::unsetDate)
            return part;
        part.clause = column + QLatin1String(operators[rule]) + quoted(first) +
                      QStringLiteral(" and ") + quoted(second);
        part.readable = caption + QStringLiteral("区间") + first + QLatin1Char('-') + second;
    } else {
        part.clause = column + QLatin1String(operators[rule]) + quoted(first);
        part.readable = caption + items.at(rule) + first;
    }
    return part;
}

Part numberPart(const QString &column, const QString &caption, int rule, int first, int second)
{
    Part part;
    if (!ruleOn(rule))
        return part;
    if (rule == FilterClause::Range) {
        part.clause = column + QLatin1String(operators[rule]) + QString::number(first) +
                      QStringLiteral(" and ") + QString::number(second);
        part.readable = caption + QStringLiteral("区间") + QString::number(first) +
                        QLatin1Char('-') + QString::number(second);
    } else {
        part.clause = column + QLatin1String(operators[rule]) + QString::number(first);
        part.readable = caption + FilterClause::ruleItems().at(rule) + QString::number(first);
    }
    return part;
}

// A LIKE that finds the text as typed: a "%" or "_" in it stands for itself. Texts without
// them keep the plain pattern.
QString containsPattern(const QString &text)
{
    const QString literal = Sql::likeLiteral(text);
    QString pattern = QStringLiteral("%") + Database::escapeText(literal) + QStringLiteral("%'");
    if (literal != text)
        pattern +=
            QStringLiteral(" escape '") + QLatin1Char(Sql::likeEscapeChar) + QLatin1Char('\'');
    return pattern;
}
} // namespace

QStringList FilterClause::ruleItems()
{
    return {QStringLiteral("等于"),     QStringLiteral("大于"),     QStringLiteral("小于"),
            QStringLiteral("大于等于"), QStringLiteral("小于等于"), QStringLiteral("区间[]"),
            QStringLiteral(" ")};
}

FilterClause::Result FilterClause::build(const Criteria &c)
{
    QList<Part> parts;
    parts.append(datePart(QStringLiteral("date(start_date)"), QStringLiteral("开始日期"),
                          c.startRule, c.startDate1, c.startDate2));
    parts.append(datePart(QStringLiteral("date(stop_date)"), QStringLiteral("截止日期"), c.stopRule,
                          c.stopDate1, c.stopDate2));
    parts.append(numberPart(QStringLiteral("priority"), QStringLiteral("优先级"), c.priorityRule,
                            c.priority1, c.priority2));
    parts.append(numberPart(QStringLiteral("progress"), QStringLiteral("进度"), c.progressRule,
                            c.progress1, c.progress2));

    Part importance;
    if (c.importanceIndex >= 0 && c.importanceIndex != 2) {
        const bool important = c.importanceText == QStringLiteral("重要");
        importance.clause = important ? QStringLiteral("importance = '重要'")
                                      : QStringLiteral("importance = '不重要'");
        importance.readable = c.importanceText;
    }
    parts.append(importance);

    Part urgency;
    if (c.urgencyIndex >= 0 && c.urgencyIndex != 2) {
        const bool urgent = c.urgencyText == QStringLiteral("紧急");
        urgency.clause =
            urgent ? QStringLiteral("emergency = '紧急'") : QStringLiteral("emergency = '不紧急'");
        urgency.readable = c.urgencyText;
    }
    parts.append(urgency);

    Part labels;
    if (c.labelsIndex >= 0 && c.labelsIndex != 2 && !c.labelsText.isEmpty()) {
        const bool contains = c.labelsIndex == 0;
        const QString like =
            contains ? QStringLiteral("label like '") : QStringLiteral("label not like '");
        QStringList pieces;
        if (!c.labelsText.contains(SemicolonList::separator)) {
            pieces.append(c.labelsText);
        } else {
            pieces = c.labelsText.split(SemicolonList::separator, Qt::SkipEmptyParts);
        }
        QStringList clauses;
        for (const QString &piece : pieces)
            clauses.append(like + containsPattern(piece));
        labels.clause = clauses.join(QStringLiteral(" or "));
        labels.alternatives = clauses.size() > 1;
        if (!labels.clause.isEmpty())
            labels.readable = QStringLiteral("标签") + c.labelsRuleText + c.labelsText;
    }
    parts.append(labels);

    Part keywords;
    if (!c.keywords.isEmpty()) {
        // Task texts are stored as the editor's HTML: keywords are matched against the text a
        // person sees, so markup words never match and entities are found as typed.
        const QString like =
            QString::fromLatin1(Database::plainTextFunction) + QStringLiteral("(content) like '");
        if (!c.keywords.contains(SemicolonList::separator)) {
            keywords.clause = like + containsPattern(c.keywords);
        } else {
            const QStringList pieces =
                c.keywords.split(SemicolonList::separator, Qt::SkipEmptyParts);
            QString joined;
            for (const QString &piece : pieces)
                joined += like + containsPattern(piece) + QStringLiteral(" or ");
            // Drops the last "or " and keeps the blank before it.
            joined.chop(3);
            keywords.clause = joined;
            keywords.alternatives = pieces.size() > 1;
        }
        if (!keywords.clause.isEmpty())
            keywords.readable = QStringLiteral("内容包含") + c.keywords;
    }
    parts.append(keywords);

    Result result;
    int used = 0;
    for (const Part &part : parts)
        used += part.clause.isEmpty() ? 0 : 1;
    if (used == 0)
        return result;
    auto clauseOf = [used](const Part &part) {
        return used > 1 && part.alternatives ? QLatin1Char('(') + part.clause + QLatin1Char(')')
                                             : part.clause;
    };
    result.where = QStringLiteral(" where ") + clauseOf(parts.first());
    for (int i = 1; i < parts.size(); ++i) {
        if (!parts.at(i).clause.isEmpty())
            result.where += QStringLiteral(" and ") + clauseOf(parts.at(i));
    }
    result.where.replace(QStringLiteral("where  and"), QStringLiteral("where"));
    for (const Part &part : parts) {
        if (!part.readable.isEmpty())
            result.readable += part.readable + SemicolonList::separator;
    }
    return result;
}

#ifndef ORVANE_TASKLIST_SORTCLAUSE_H
#define ORVANE_TASKLIST_SORTCLAUSE_H

#include <QString>
#include <QStringList>

// The sort keys of the task list and the ORDER BY part each one gives. No widgets.
class SortClause {
public:
    // "开始日期", "截止日期", "优先级", "进度" and the blank item that means no sort.
    static QStringList keys();
    // The column expression of a key; empty for the blank item or an unknown text.
    static QString expression(const QString &key);
    // " order by <expression>" with " desc" for descending; empty when the key sorts nothing.
    static QString orderBy(const QString &key, bool ascending);
    // "按照<key>升序排列；" or "按照<key>降序排列；".
    static QString readable(const QString &key, bool ascending);
};

#endif

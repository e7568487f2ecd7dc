#include "tasklist/sortclause.h"

QStringList SortClause::keys()
{
    return {QStringLiteral("开始日期"), QStringLiteral("截止日期"), QStringLiteral("优先级"),
            QStringLiteral("进度"), QStringLiteral(" ")};
}

QString SortClause::expression(const QString &key)
{
    if (key == QStringLiteral("开始日期"))
        return QStringLiteral("date(start_date)");
    if (key == QStringLiteral("截止日期"))
        return QStringLiteral("date(stop_date)");
    if (key == QStringLiteral("优先级"))
        return QStringLiteral("priority");
    if (key == QStringLiteral("进度"))
        return QStringLiteral("progress");
    return QString();
}

QString SortClause::orderBy(const QString &key, bool ascending)
{
    const QString column = expression(key);
    if (column.isEmpty())
        return QString();
    return QStringLiteral(" order by ") + column +
           (ascending ? QString() : QStringLiteral(" desc"));
}

QString SortClause::readable(const QString &key, bool ascending)
{
    return QStringLiteral("按照") + key +
           (ascending ? QStringLiteral("升序排列；") : QStringLiteral("降序排列；"));
}

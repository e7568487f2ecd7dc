#include "schedule/planlabels.h"

#include "app/semicolonlist.h"
#include "app/settings.h"

const QString PlanLabels::placeholder = QStringLiteral("类别标签");

QString PlanLabels::caption(const QString &label)
{
    if (label.isEmpty())
        return placeholder;
    if (label.size() < 4)
        return QStringLiteral("标签:") + label;
    return QStringLiteral("标签:") + label.left(3) + QStringLiteral("..");
}

QString PlanLabels::text()
{
    return Settings::read(QStringLiteral("planLabels"), QString()).toString();
}

QStringList PlanLabels::list()
{
    return SemicolonList::split(text(), false);
}

int PlanLabels::count()
{
    return Settings::read(QStringLiteral("planLabelsCount"), 0).toInt();
}

void PlanLabels::store(const QString &text, int count)
{
    Settings::write(QStringLiteral("planLabelsCount"), count);
    Settings::write(QStringLiteral("planLabels"), text);
}

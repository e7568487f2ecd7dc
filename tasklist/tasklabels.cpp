#include "tasklist/tasklabels.h"

#include "app/semicolonlist.h"
#include "app/settings.h"

const QString TaskLabels::textKey = QStringLiteral("label");
const QString TaskLabels::countKey = QStringLiteral("labelCount");

QString TaskLabels::text()
{
    return Settings::read(textKey, QString()).toString();
}

int TaskLabels::count()
{
    return Settings::read(countKey, 0).toInt();
}

void TaskLabels::store(const QStringList &names)
{
    // A "；" typed inside a name separates labels: the count is that of the stored list, so
    // the two keys always agree.
    const QStringList labels = SemicolonList::split(SemicolonList::join(names), false);
    Settings::write(countKey, labels.size());
    Settings::write(textKey, SemicolonList::join(labels));
}

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
    Settings::write(countKey, names.size());
    Settings::write(textKey, SemicolonList::join(names));
}

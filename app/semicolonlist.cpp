#include "app/semicolonlist.h"

const QString SemicolonList::separator = QStringLiteral("；");

QStringList SemicolonList::split(const QString &text, bool keepEmptyParts)
{
    QString body = text;
    if (body.endsWith(separator))
        body.chop(separator.size());
    if (body.isEmpty())
        return {};
    return body.split(separator, keepEmptyParts ? Qt::KeepEmptyParts : Qt::SkipEmptyParts);
}

QString SemicolonList::join(const QStringList &items)
{
    QString text;
    for (const QString &item : items)
        text += item + separator;
    return text;
}

QString SemicolonList::applyTicks(const QString &text, const QList<QPair<QString, bool>> &boxes)
{
    QString result = text;
    const QStringList pieces = text.split(separator);
    for (const auto &box : boxes) {
        const QString &label = box.first;
        const bool listed = pieces.contains(label);
        if (box.second && !listed) {
            if (!result.isEmpty() && !result.endsWith(separator))
                result += separator;
            result += label + separator;
        } else if (!box.second && listed) {
            const QString inner = separator + label + separator;
            if (result.startsWith(label + separator)) {
                result.remove(0, label.size() + separator.size());
            } else if (result.contains(inner)) {
                result.replace(result.indexOf(inner), inner.size(), separator);
            } else if (result.endsWith(separator + label)) {
                result.chop(label.size());
            }
        }
    }
    result.replace(separator + separator, separator);
    if (result == separator)
        result.clear();
    return result;
}

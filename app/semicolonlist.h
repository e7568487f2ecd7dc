#ifndef ORVANE_APP_SEMICOLONLIST_H
#define ORVANE_APP_SEMICOLONLIST_H

#include <QPair>
#include <QString>
#include <QStringList>

// Lists typed by the user or kept in one settings value: every element is followed by the
// full-width semicolon "；".
class SemicolonList {
public:
    static const QString separator; // "；"

    // Drops one trailing separator and splits; empty parts are kept unless asked otherwise.
    static QStringList split(const QString &text, bool keepEmptyParts = true);
    // Writes every element followed by the separator.
    static QString join(const QStringList &items);

    // A label text after the user ticked or unticked label boxes: ticked labels missing from the
    // text are appended, unticked ones present are removed, the rest of the text (typed labels)
    // is kept. boxes holds each box's label and whether it is ticked, in list order.
    static QString applyTicks(const QString &text, const QList<QPair<QString, bool>> &boxes);
};

#endif

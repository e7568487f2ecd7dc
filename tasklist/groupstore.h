#ifndef ORVANE_TASKLIST_GROUPSTORE_H
#define ORVANE_TASKLIST_GROUPSTORE_H

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>
#include <QVariantMap>

// The groups of the task list as kept in the settings file: "groupCount", the "groupItems"
// array (name, readable condition, query) and the dialog state of each group's condition window
// under "groupItemCondition<n>". Every change of order moves a group's entry and its whole
// dialog state together. No widgets.
class GroupStore {
public:
    static constexpr int maxGroups = 1000;
    static const QString countKey; // "groupCount"

    struct Group {
        QString name;
        QString conditionText;
        QString conditionSyntax;
    };

    static int count();
    // The first count() entries, in order.
    static QList<Group> groups();
    static void setName(int index, const QString &name);
    static void setCondition(int index, const QString &text, const QString &syntax);

    // Names and defaults of a group's dialog state, in the order of the window's widgets.
    static const QList<QPair<QString, QVariant>> &stateDefaults();
    // The stored dialog state; absent names read as their defaults.
    static QVariantMap state(int index);
    static void setState(int index, const QVariantMap &state);

    // Appends an empty group with the default dialog state. False when there are already
    // maxGroups groups; nothing changes then.
    static bool add();
    // Removes a group; the later ones move one place up.
    static void remove(int index);
    // Exchanges two groups completely.
    static void swap(int first, int second);

    // Everything stored about one group: its entry and its whole dialog state.
    struct Stored {
        Group entry;
        QVariant head;
        QList<QPair<QString, QVariant>> state;
    };
    static Stored stored(int index);
    // Puts a removed group back at index (at the end when there are fewer groups now); the
    // later ones move one place down. False when there are maxGroups groups already.
    static bool restore(int index, const Stored &group);

    static QString stateKey(int index); // "groupItemCondition<index>"
};

#endif

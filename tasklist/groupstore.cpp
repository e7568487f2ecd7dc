#include "tasklist/groupstore.h"

#include "app/settings.h"

#include <QStringList>

const QString GroupStore::countKey = QStringLiteral("groupCount");

namespace {
const QString arrayName = QStringLiteral("groupItems");
const QString nameKey = QStringLiteral("groupItemName");
const QString textKey = QStringLiteral("groupItemConditionText");
const QString syntaxKey = QStringLiteral("groupItemConditionSyntax");

// Everything stored about one group, so it can be written back at another place.
using Snapshot = GroupStore::Stored;

GroupStore::Group readEntry(QSettings &settings, int index)
{
    settings.beginReadArray(arrayName);
    settings.setArrayIndex(index);
    GroupStore::Group group;
    group.name = settings.value(nameKey).toString();
    group.conditionText = settings.value(textKey).toString();
    group.conditionSyntax = settings.value(syntaxKey).toString();
    settings.endArray();
    return group;
}

// The array size is always given: an automatic size would shrink the array to the last index
// written.
void writeEntry(QSettings &settings, int index, int size, const GroupStore::Group &group)
{
    settings.beginWriteArray(arrayName, size);
    settings.setArrayIndex(index);
    settings.setValue(nameKey, group.name);
    settings.setValue(textKey, group.conditionText);
    settings.setValue(syntaxKey, group.conditionSyntax);
    settings.endArray();
}

Snapshot take(QSettings &settings, int index)
{
    Snapshot snapshot;
    snapshot.entry = readEntry(settings, index);
    const QString key = GroupStore::stateKey(index);
    snapshot.head = settings.value(key);
    settings.beginGroup(key);
    const QStringList names = settings.childKeys();
    for (const QString &name : names)
        snapshot.state.append(qMakePair(name, settings.value(name)));
    settings.endGroup();
    return snapshot;
}

void put(QSettings &settings, int index, int size, const Snapshot &snapshot)
{
    writeEntry(settings, index, size, snapshot.entry);
    const QString key = GroupStore::stateKey(index);
    settings.remove(key);
    if (snapshot.head.isValid())
        settings.setValue(key, snapshot.head);
    for (const auto &value : snapshot.state)
        settings.setValue(key + QLatin1Char('/') + value.first, value.second);
}
} // namespace

QString GroupStore::stateKey(int index)
{
    return QStringLiteral("groupItemCondition%1").arg(index);
}

int GroupStore::count()
{
    return qBound(0, Settings::read(countKey, 0).toInt(), maxGroups);
}

QList<GroupStore::Group> GroupStore::groups()
{
    Settings settings;
    QList<Group> list;
    const int n = count();
    settings.beginReadArray(arrayName);
    for (int i = 0; i < n; ++i) {
        settings.setArrayIndex(i);
        Group group;
        group.name = settings.value(nameKey).toString();
        group.conditionText = settings.value(textKey).toString();
        group.conditionSyntax = settings.value(syntaxKey).toString();
        list.append(group);
    }
    settings.endArray();
    return list;
}

void GroupStore::setName(int index, const QString &name)
{
    Settings settings;
    Group group = readEntry(settings, index);
    group.name = name;
    writeEntry(settings, index, count(), group);
}

void GroupStore::setCondition(int index, const QString &text, const QString &syntax)
{
    Settings settings;
    Group group = readEntry(settings, index);
    group.conditionText = text;
    group.conditionSyntax = syntax;
    writeEntry(settings, index, count(), group);
}

const QList<QPair<QString, QVariant>> &GroupStore::stateDefaults()
{
    static const QList<QPair<QString, QVariant>> defaults = {
        {QStringLiteral("sortComboCurrentIndex"), -1},
        {QStringLiteral("ascendingButtonEnabled"), false},
        {QStringLiteral("descendingButtonEnabled"), true},
        {QStringLiteral("filterStartDateRuleComboCurrentIndex"), -1},
        {QStringLiteral("startCalendarButton1Enabled"), false},
        {QStringLiteral("startCalendarButton1Text"), QStringLiteral("日期")},
        {QStringLiteral("startCalendarButton2Enabled"), false},
        {QStringLiteral("startCalendarButton2Text"), QStringLiteral("日期")},
        {QStringLiteral("filterStopDateRuleComboCurrentIndex"), -1},
        {QStringLiteral("stopCalendarButton1Enabled"), false},
        {QStringLiteral("stopCalendarButton1Text"), QStringLiteral("日期")},
        {QStringLiteral("stopCalendarButton2Enabled"), false},
        {QStringLiteral("stopCalendarButton2Text"), QStringLiteral("日期")},
        {QStringLiteral("filterPrirotyRuleComboCurrentIndex"), -1},
        {QStringLiteral("filterPrirotySpin1Enabled"), false},
        {QStringLiteral("filterPrirotySpin1Value"), 0},
        {QStringLiteral("filterPrirotySpin2Enabled"), false},
        {QStringLiteral("filterPrirotySpin2Value"), 0},
        {QStringLiteral("filterProgressRuleComboCurrentIndex"), -1},
        {QStringLiteral("filterProgressSpin1Enabled"), false},
        {QStringLiteral("filterProgressSpin1Value"), 0},
        {QStringLiteral("filterProgressSpin2Enabled"), false},
        {QStringLiteral("filterProgressSpin2Value"), 0},
        {QStringLiteral("filterImportanceComboCurrentIndex"), -1},
        {QStringLiteral("filterEmergencyComboCurrentIndex"), -1},
        {QStringLiteral("filterLabelsComboCurrentIndex"), -1},
        {QStringLiteral("labelsEditEnabled"), false},
        {QStringLiteral("labelsEditText"), QString()},
        {QStringLiteral("keyWordsEditText"), QString()},
    };
    return defaults;
}

QVariantMap GroupStore::state(int index)
{
    Settings settings;
    const QString key = stateKey(index);
    QVariantMap map;
    for (const auto &entry : stateDefaults())
        map.insert(entry.first, settings.value(key + QLatin1Char('/') + entry.first, entry.second));
    return map;
}

void GroupStore::setState(int index, const QVariantMap &state)
{
    Settings settings;
    const QString key = stateKey(index);
    settings.setValue(key, 1);
    for (auto it = state.cbegin(); it != state.cend(); ++it)
        settings.setValue(key + QLatin1Char('/') + it.key(), it.value());
}

bool GroupStore::add()
{
    const int n = count();
    if (n >= maxGroups)
        return false;
    Settings settings;
    writeEntry(settings, n, n + 1, Group());
    settings.setValue(countKey, n + 1);
    const QString key = stateKey(n);
    settings.remove(key);
    settings.setValue(key, 1);
    for (const auto &entry : stateDefaults())
        settings.setValue(key + QLatin1Char('/') + entry.first, entry.second);
    return true;
}

void GroupStore::remove(int index)
{
    const int n = count();
    if (index < 0 || index >= n)
        return;
    Settings settings;
    for (int i = index; i < n - 1; ++i)
        put(settings, i, n, take(settings, i + 1));
    // Array entries are numbered from 1 in the file.
    const QString last = arrayName + QLatin1Char('/') + QString::number(n) + QLatin1Char('/');
    for (const QString &key : {nameKey, textKey, syntaxKey})
        settings.remove(last + key);
    settings.setValue(arrayName + QStringLiteral("/size"), n - 1);
    settings.remove(stateKey(n - 1));
    settings.setValue(countKey, n - 1);
}

void GroupStore::swap(int first, int second)
{
    const int n = count();
    if (first < 0 || second < 0 || first >= n || second >= n || first == second)
        return;
    Settings settings;
    const Snapshot a = take(settings, first);
    const Snapshot b = take(settings, second);
    put(settings, first, n, b);
    put(settings, second, n, a);
}

GroupStore::Stored GroupStore::stored(int index)
{
    Settings settings;
    return take(settings, index);
}

bool GroupStore::restore(int index, const Stored &group)
{
    const int n = count();
    if (n >= maxGroups)
        return false;
    const int at = qBound(0, index, n);
    Settings settings;
    for (int i = n - 1; i >= at; --i)
        put(settings, i + 1, n + 1, take(settings, i));
    put(settings, at, n + 1, group);
    settings.setValue(countKey, n + 1);
    return true;
}

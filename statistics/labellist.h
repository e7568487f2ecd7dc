#ifndef ORVANE_STATISTICS_LABELLIST_H
#define ORVANE_STATISTICS_LABELLIST_H

#include <QHash>
#include <QString>
#include <QVector>

struct LabelDuration {
    QString name;
    int minutes = 0;
};

// Minutes per label, in the order the labels were first met. Names are compared exactly, so
// labels differing only in case stay apart.
class LabelList {
public:
    void add(const QString &name, int minutes);
    void add(const LabelList &other);

    int size() const { return m_entries.size(); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    const LabelDuration &at(int i) const { return m_entries.at(i); }
    const QVector<LabelDuration> &entries() const { return m_entries; }
    // Minutes of one label, 0 when it is not in the list.
    int minutesOf(const QString &name) const;
    int totalMinutes() const;

private:
    QVector<LabelDuration> m_entries;
    QHash<QString, int> m_positions;
};

#endif

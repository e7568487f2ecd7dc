#include "statistics/labellist.h"

void LabelList::add(const QString &name, int minutes)
{
    const auto found = m_positions.constFind(name);
    if (found != m_positions.constEnd()) {
        m_entries[found.value()].minutes += minutes;
        return;
    }
    m_positions.insert(name, m_entries.size());
    m_entries.append(LabelDuration{name, minutes});
}

void LabelList::add(const LabelList &other)
{
    for (const LabelDuration &entry : other.m_entries)
        add(entry.name, entry.minutes);
}

int LabelList::minutesOf(const QString &name) const
{
    const auto found = m_positions.constFind(name);
    return found == m_positions.constEnd() ? 0 : m_entries.at(found.value()).minutes;
}

int LabelList::totalMinutes() const
{
    int total = 0;
    for (const LabelDuration &entry : m_entries)
        total += entry.minutes;
    return total;
}

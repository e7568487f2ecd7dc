#include "exceltemplate/sizecache.h"

namespace {
constexpr int UnsizedRowPixels = 27;
constexpr double UnsizedRowPoints = 20.0;
} // namespace

int SizeCache::rowPixels(double points)
{
    return points == 0 ? UnsizedRowPixels : int(points * 1.33 + 1.0);
}

int SizeCache::columnPixels(double width)
{
    return int(width * 7.58) + 1;
}

int SizeCache::pixelsOf(double size) const
{
    return m_kind == Rows ? rowPixels(size) : columnPixels(size);
}

double SizeCache::sizeOf(int pixels) const
{
    return m_kind == Rows ? rowPoints(pixels) : columnWidth(pixels);
}

int SizeCache::addLoaded(double size)
{
    Entry entry;
    entry.pixels = pixelsOf(size);
    entry.size = m_kind == Rows && size == 0 ? UnsizedRowPoints : size;
    m_entries.append(entry);
    return entry.pixels;
}

QVector<double> SizeCache::writeBack(const QVector<int> &pixels)
{
    QVector<double> sizes;
    sizes.reserve(pixels.size());
    for (int i = 0; i < pixels.size(); ++i) {
        if (i < m_entries.size() && m_entries[i].pixels == pixels[i]) {
            sizes.append(m_entries[i].size);
            continue;
        }
        const Entry entry{sizeOf(pixels[i]), pixels[i]};
        if (i < m_entries.size())
            m_entries[i] = entry;
        else
            m_entries.append(entry);
        sizes.append(entry.size);
    }
    return sizes;
}

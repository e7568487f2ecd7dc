#ifndef ORVANE_EXCELTEMPLATE_SIZECACHE_H
#define ORVANE_EXCELTEMPLATE_SIZECACHE_H

#include <QVector>

// Row heights (points) or column widths (character units) of the workbook, indexed by grid
// row or column, next to the pixels the grid showed for them. Pixels and workbook units do not
// convert back exactly, so a line the user did not resize keeps its workbook size at every
// save instead of drifting by a pixel each time the file is opened and saved.
class SizeCache {
public:
    enum Kind { Rows, Columns };

    explicit SizeCache(Kind kind) : m_kind(kind) {}

    // Pixels the grid shows for a workbook size: rows (int)(points * 1.33 + 1), 27 for a row
    // without height of its own; columns (int)(width * 7.58) + 1.
    static int rowPixels(double points);
    static int columnPixels(double width);
    // Workbook size of a number of pixels: pixels / 1.33 points, pixels / 7.58 characters.
    static double rowPoints(int pixels) { return pixels / 1.33; }
    static double columnWidth(int pixels) { return pixels / 7.58; }

    // Records the size the workbook gives the next line and returns its pixels. A row without
    // a height of its own (0) is cached as 20 points.
    int addLoaded(double size);

    // The sizes to write for lines 0 .. pixels.size() - 1 that the grid now shows at these
    // pixels; lines resized since they were cached, and lines not cached yet, are cached anew.
    QVector<double> writeBack(const QVector<int> &pixels);

    int count() const { return m_entries.size(); }
    double size(int index) const { return m_entries.value(index).size; }

private:
    struct Entry {
        double size = 0;
        int pixels = 0;
    };
    int pixelsOf(double size) const;
    double sizeOf(int pixels) const;

    Kind m_kind;
    QVector<Entry> m_entries;
};

#endif

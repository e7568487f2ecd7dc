#ifndef ORVANE_SEARCH_EXCELCELLS_H
#define ORVANE_SEARCH_EXCELCELLS_H

#include "search/searchindex.h"

#include <QList>
#include <QString>

namespace QXlsx {
class Document;
}

// The texts of an Excel schedule's cells, for the search index (which reads no workbook itself).
class ExcelCells {
public:
    // The non-empty cells of the first sheet, 0-based like the editor's grid.
    static QList<ExcelCellText> of(const QXlsx::Document &book);
    static QList<ExcelCellText> read(const QString &path);
    // After the editor saved a workbook: when it is a date's Excel schedule, its cells replace
    // those in the index.
    static void indexSavedCopy(const QString &path, const QXlsx::Document &book);
};

#endif

#include "search/excelcells.h"

#include "app/database.h"
#include "xlsx/document.h"

#include <QSqlDatabase>

namespace {
// The editor's sheet is 100 rows by 52 columns; a damaged file claiming more is cut here.
constexpr int lastRow = 10000;
constexpr int lastColumn = SearchIndex::excelRowStride;
} // namespace

QList<ExcelCellText> ExcelCells::of(const QXlsx::Document &book)
{
    QList<ExcelCellText> cells;
    const QXlsx::CellRange used = book.dimension();
    if (!used.isValid())
        return cells;
    for (int row = qMax(1, used.firstRow()); row <= qMin(used.lastRow(), lastRow); ++row) {
        for (int column = qMax(1, used.firstColumn());
             column <= qMin(used.lastColumn(), lastColumn); ++column) {
            const QString text = book.read(row, column).toString();
            if (!text.trimmed().isEmpty())
                cells.append({row - 1, column - 1, text});
        }
    }
    return cells;
}

QList<ExcelCellText> ExcelCells::read(const QString &path)
{
    const QXlsx::Document book(path);
    return of(book);
}

void ExcelCells::indexSavedCopy(const QString &path, const QXlsx::Document &book)
{
    const QString registry = SearchIndex::registryOfCopy(path);
    if (registry.isEmpty() || !QSqlDatabase::contains(Database::connectionName))
        return;
    SearchIndex(QSqlDatabase::database(Database::connectionName, false))
        .reindexExcel(registry, of(book));
}

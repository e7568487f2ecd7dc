#ifndef ORVANE_XLSX_DOCUMENT_H
#define ORVANE_XLSX_DOCUMENT_H

#include "xlsx/cell.h"
#include "xlsx/cellrange.h"
#include "xlsx/format.h"
#include "xlsx/worksheet.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

namespace QXlsx {

// An xlsx workbook. Opening never fails loudly: a missing file gives an empty workbook with
// one sheet, and a damaged one keeps whatever could be read safely; loadStatus() tells which.
// The cell functions work on the current worksheet, the first one of the file.
class Document : public QObject {
    Q_OBJECT
public:
    enum LoadStatus {
        NotLoaded, // a new workbook, or the file does not exist
        Loaded,    // the file was read completely
        Damaged,   // some parts were missing or wrong; what could be read is kept
        Failed     // the file is not a readable workbook; the workbook is empty
    };

    explicit Document(QObject *parent = nullptr);
    explicit Document(const QString &path, QObject *parent = nullptr);
    ~Document() override;

    // True when the file was read completely as a workbook.
    bool isLoadPackage() const { return m_status == Loaded; }
    LoadStatus loadStatus() const { return m_status; }
    // Why the load was incomplete; empty after a complete load.
    QString loadError() const { return m_error; }
    QString path() const { return m_path; }

    QStringList sheetNames() const;
    Worksheet *currentWorksheet() { return m_sheets.front().get(); }
    const Worksheet *currentWorksheet() const { return m_sheets.front().get(); }
    Worksheet *sheet(const QString &name);

    bool write(int row, int column, const QVariant &value);
    bool write(int row, int column, const QVariant &value, const Format &format);
    QVariant read(int row, int column) const;
    const Cell *cellAt(int row, int column) const;
    bool mergeCells(const CellRange &range, const Format &format = Format());
    bool unmergeCells(const CellRange &range);
    bool setRowHeight(int row, double points);
    double rowHeight(int row) const;
    bool setColumnWidth(int column, double width);
    bool setColumnWidth(int firstColumn, int lastColumn, double width);
    double columnWidth(int column) const;
    CellRange dimension() const;

    // Writes the whole file or nothing: the old file stays intact when saving fails.
    bool save() const;
    bool saveAs(const QString &path) const;

private:
    void load();
    void loadPackage();
    void addDamage(const QString &error);

    QString m_path;
    std::vector<std::unique_ptr<Worksheet>> m_sheets;
    QString m_defaultFontName;
    double m_defaultFontSize = 0;
    LoadStatus m_status = NotLoaded;
    QString m_error;
};

} // namespace QXlsx

#endif

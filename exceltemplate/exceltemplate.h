#ifndef ORVANE_EXCELTEMPLATE_EXCELTEMPLATE_H
#define ORVANE_EXCELTEMPLATE_EXCELTEMPLATE_H

#include "exceltemplate/cellarea.h"
#include "exceltemplate/sizecache.h"
#include "xlsx/format.h"

#include <QColor>
#include <QFont>
#include <QMainWindow>
#include <QPoint>
#include <QString>

#include <functional>

class QAction;
class QComboBox;
class QFontComboBox;
class QMenu;
class QTableWidget;
class QTableWidgetItem;
class QToolButton;
namespace QXlsx {
class Document;
}

// The spreadsheet editor of Excel templates and of a date's Excel schedule: a 100 x 52 grid kept
// in step with an open workbook. Every change is written through to the workbook cell at once;
// "保存内容" adds the row heights and column widths and writes the file it was opened on.
class ExcelTemplate : public QMainWindow {
    Q_OBJECT
public:
    ExcelTemplate(QWidget *parent, const QString &path);
    ~ExcelTemplate() override;

    QString path() const { return m_path; }
    // Whether there are edits the file does not hold yet.
    bool isModified() const { return m_modified; }

public slots:
    void setFont(QFont font);
    void setCellActivated(int row, int column);
    void onSaveButtonClicked();
    void onSaveAsTemplateButtonClicked();
    void onFontBoldButtonClicked();
    void onFontItalicButtonClicked();
    void onUnderlineButtonClicked();
    void onFillColorButtonClicked();
    void setFillColor(QColor color);
    void onFontColorButtonClicked();
    void setTextColor(QColor color);
    void onCellGridComboBoxClicked(int index);
    void onCellGridStyleComboBoxClicked(int index);
    void setCellGridColor(QColor color);
    void onFontSizeComboBoxClicked(int index);
    void onFontAlignComboBoxClicked(int index);
    void onCellMergeComboBoxClicked(int index);
    void onAutoWrapButtonClicked();
    void onShowGridLineButtonClicked();
    void onContextMenuClicked(QPoint pos);
    void onSetRowHeightClicked();
    void setThisRowHeight(int height);
    void onSetColumnWidthClicked();
    void setThisColumnWidth(int width);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createGrid();
    void createToolBar();
    void connectSignals();
    void loadWorkbook();

    QXlsx::Format cellFormat(int row, int column) const;
    // Writes grid cell (row, column) into the workbook with the item's text and `format`.
    void writeCell(int row, int column, const QXlsx::Format &format);
    QTableWidgetItem *ensureItem(int row, int column);
    void growUsedExtent(int row, int column);
    // From the top-left cell of the first selected range to the bottom-right of the last one.
    bool selectionArea(CellArea *area) const;
    // Every cell of every selected range, with items created where missing.
    void forEachSelectedCell(const std::function<void(int, int, QTableWidgetItem *)> &apply);
    // Every selected cell that has an item; the used extent grows when asked.
    void forEachSelectedItem(bool growExtent,
                             const std::function<void(QTableWidgetItem *, QXlsx::Format *)> &apply);
    void mergeArea(const CellArea &area, int index);
    void unmergeInside(const CellArea &area);
    void writeBackSizes();
    bool saveWorkbook(const QString &path);

    QString m_path;
    QXlsx::Document *m_workbook = nullptr;
    QTableWidget *m_grid = nullptr;
    QMenu *m_contextMenu = nullptr;
    QToolButton *m_saveButton = nullptr;
    QToolButton *m_saveAsTemplateButton = nullptr;
    QAction *m_boldAction = nullptr;
    QAction *m_italicAction = nullptr;
    QAction *m_underlineAction = nullptr;
    QAction *m_fillColorAction = nullptr;
    QAction *m_fontColorAction = nullptr;
    QComboBox *m_cellGridComboBox = nullptr;
    QComboBox *m_cellGridStyleComboBox = nullptr;
    QFontComboBox *m_fontComboBox = nullptr;
    QComboBox *m_fontSizeComboBox = nullptr;
    QComboBox *m_fontAlignComboBox = nullptr;
    QComboBox *m_cellMergeComboBox = nullptr;
    QToolButton *m_autoWrapButton = nullptr;
    QToolButton *m_showGridLineButton = nullptr;

    int m_currentRow = 0;
    int m_currentColumn = 0;
    int m_usedLastRow = 0;
    int m_usedLastColumn = 0;
    int m_menuRow = 0;
    int m_menuColumn = 0;
    bool m_gridLinesShown = true;
    bool m_modified = false;
    CellAreas m_mergedAreas;
    SizeCache m_rowHeights{SizeCache::Rows};
    SizeCache m_columnWidths{SizeCache::Columns};
};

#endif

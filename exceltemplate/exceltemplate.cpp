#include "exceltemplate/exceltemplate.h"

#include "app/desktop.h"
#include "app/logging.h"
#include "app/paths.h"
#include "app/prompt.h"
#include "exceltemplate/bordermask.h"
#include "exceltemplate/cellrules.h"
#include "exceltemplate/excelcellformat.h"
#include "exceltemplate/exceldelegate.h"
#include "exceltemplate/rowheightcolumnwidthdialog.h"
#include "search/excelcells.h"
#include "xlsx/document.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QFontComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

using QXlsx::Format;

namespace {

QToolButton *textUnderIconButton(QWidget *parent, const QString &name, const QString &text,
                                 const QString &icon)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setIcon(QIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    return button;
}

QComboBox *iconComboBox(QWidget *parent, const QString &name,
                        const QList<QPair<QString, QString>> &items)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    for (const auto &item : items) {
        if (item.second.isEmpty())
            box->addItem(item.first);
        else
            box->addItem(QIcon(item.second), item.first);
    }
    return box;
}

QWidget *spacer(QWidget *parent)
{
    auto *widget = new QWidget(parent);
    widget->setFixedWidth(5);
    return widget;
}

} // namespace

ExcelTemplate::ExcelTemplate(QWidget *parent, const QString &path)
    : QMainWindow(parent), m_path(path)
{
    const QRect screen = Desktop::availableGeometry();
    setGeometry(0, 0, screen.width(), screen.height() * 9 / 10);
    setWindowTitle(QStringLiteral("Orvane"));
    setWindowState(Qt::WindowMaximized);
    setWindowModality(Qt::ApplicationModal);

    m_workbook = new QXlsx::Document(path, this);
    if (m_workbook->loadStatus() == QXlsx::Document::Damaged ||
        m_workbook->loadStatus() == QXlsx::Document::Failed)
        logLine(QStringLiteral("excel file load incomplete: ") + path, m_workbook->loadError());

    createGrid();
    createToolBar();
    loadWorkbook();
    connectSignals();
}

ExcelTemplate::~ExcelTemplate() = default;

void ExcelTemplate::createGrid()
{
    const QRect screen = Desktop::availableGeometry();
    const int w = screen.width();
    const int h = screen.height();
    m_grid = new QTableWidget(CellRules::GridRows, CellRules::GridColumns, this);
    m_grid->setObjectName(QStringLiteral("excelGrid"));
    m_grid->setGeometry(0, h / 16, w, 13 * h / 15 - h / 30);
    m_grid->setWordWrap(true);
    m_grid->setShowGrid(true);
    QStringList headers;
    for (int column = 0; column < CellRules::GridColumns; ++column)
        headers.append(CellRules::columnName(column));
    m_grid->setHorizontalHeaderLabels(headers);
    m_grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_grid->setItemDelegate(new excelDelegate(m_grid));
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);

    m_contextMenu = new QMenu(this);
    m_contextMenu->setObjectName(QStringLiteral("gridContextMenu"));
    QAction *rowHeight = m_contextMenu->addAction(QStringLiteral("设置行高..."));
    rowHeight->setObjectName(QStringLiteral("setRowHeightAction"));
    QAction *columnWidth = m_contextMenu->addAction(QStringLiteral("设置列宽..."));
    columnWidth->setObjectName(QStringLiteral("setColumnWidthAction"));
    connect(rowHeight, &QAction::triggered, this, &ExcelTemplate::onSetRowHeightClicked);
    connect(columnWidth, &QAction::triggered, this, &ExcelTemplate::onSetColumnWidthClicked);
}

void ExcelTemplate::createToolBar()
{
    const QRect screen = Desktop::availableGeometry();
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("excelToolBar"));
    bar->setGeometry(0, 0, screen.width(), screen.height() / 15);
    bar->setIconSize(QSize(35, 35));
    addToolBar(bar);

    m_saveButton =
        textUnderIconButton(bar, QStringLiteral("saveButton"), QStringLiteral("保存内容"),
                            QStringLiteral(":/icon/save.png"));
    m_saveAsTemplateButton = textUnderIconButton(bar, QStringLiteral("saveAsTemplateButton"),
                                                 QStringLiteral("另存为新模板"),
                                                 QStringLiteral(":/icon/saveAsTemplate.png"));
    bar->addWidget(m_saveButton);
    bar->addWidget(m_saveAsTemplateButton);

    auto action = [bar](const QString &name, const QString &icon) {
        QAction *a = bar->addAction(QIcon(icon), QString());
        a->setObjectName(name);
        return a;
    };
    m_boldAction = action(QStringLiteral("boldAction"), QStringLiteral(":/icon/bold.png"));
    m_italicAction = action(QStringLiteral("italicAction"), QStringLiteral(":/icon/italic.png"));
    m_underlineAction =
        action(QStringLiteral("underlineAction"), QStringLiteral(":/icon/underline.png"));
    m_fillColorAction =
        action(QStringLiteral("fillColorAction"), QStringLiteral(":/icon/fillColor.png"));
    m_fontColorAction =
        action(QStringLiteral("fontColorAction"), QStringLiteral(":/icon/fontColor.png"));

    m_cellGridComboBox =
        iconComboBox(bar, QStringLiteral("cellGridComboBox"),
                     {{QStringLiteral("无框线"), QStringLiteral(":/icon/noBorder.png")},
                      {QStringLiteral("内外框线"), QStringLiteral(":/icon/inoutBorder.png")},
                      {QStringLiteral("外框线"), QStringLiteral(":/icon/outBorder.png")},
                      {QStringLiteral("加粗框线"), QStringLiteral(":/icon/weightBorder.png")}});
    m_cellGridStyleComboBox =
        iconComboBox(bar, QStringLiteral("cellGridStyleComboBox"),
                     {{QStringLiteral("实线"), QStringLiteral(":/icon/solidLine.png")},
                      {QStringLiteral("虚线"), QStringLiteral(":/icon/dashLine.png")},
                      {QStringLiteral("点线"), QStringLiteral(":/icon/dotLine.png")},
                      {QStringLiteral("虚线点线"), QStringLiteral(":/icon/dashDotLine.png")},
                      {QStringLiteral("虚线点线点线"), QStringLiteral(":/icon/dashDotDotLine.png")},
                      {QStringLiteral("边框颜色..."), QString()}});
    m_fontComboBox = new QFontComboBox(bar);
    m_fontComboBox->setObjectName(QStringLiteral("fontComboBox"));
    m_fontSizeComboBox = new QComboBox(bar);
    m_fontSizeComboBox->setObjectName(QStringLiteral("fontSizeComboBox"));
    m_fontSizeComboBox->addItems(CellRules::fontSizeItems());
    m_fontAlignComboBox =
        iconComboBox(bar, QStringLiteral("fontAlignComboBox"),
                     {{QStringLiteral("左对齐"), QStringLiteral(":/icon/leftAlign.png")},
                      {QStringLiteral("水平居中"), QStringLiteral(":/icon/VCenterAlign.png")},
                      {QStringLiteral("右对齐"), QStringLiteral(":/icon/rightAlign.png")},
                      {QStringLiteral("两端对齐"), QStringLiteral(":/icon/bothAlign.png")},
                      {QStringLiteral("顶部对齐"), QStringLiteral(":/icon/topAlign.png")},
                      {QStringLiteral("垂直居中"), QStringLiteral(":/icon/HCenterAlign.png")},
                      {QStringLiteral("底部对齐"), QStringLiteral(":/icon/bottomAlign.png")}});
    m_cellMergeComboBox = iconComboBox(bar, QStringLiteral("cellMergeComboBox"),
                                       {{QStringLiteral("合并居中"), QString()},
                                        {QStringLiteral("合并单元格"), QString()},
                                        {QStringLiteral("合并内容"), QString()},
                                        {QStringLiteral("取消合并"), QString()}});
    for (QWidget *box :
         {static_cast<QWidget *>(m_cellGridComboBox),
          static_cast<QWidget *>(m_cellGridStyleComboBox), static_cast<QWidget *>(m_fontComboBox),
          static_cast<QWidget *>(m_fontSizeComboBox), static_cast<QWidget *>(m_fontAlignComboBox),
          static_cast<QWidget *>(m_cellMergeComboBox)}) {
        bar->addWidget(spacer(bar));
        bar->addWidget(box);
    }

    m_autoWrapButton =
        textUnderIconButton(bar, QStringLiteral("autoWrapButton"), QStringLiteral("自动换行"),
                            QStringLiteral(":/icon/wrap.png"));
    m_showGridLineButton =
        textUnderIconButton(bar, QStringLiteral("showGridLineButton"), QStringLiteral("网格线"),
                            QStringLiteral(":/icon/gridLine.png"));
    bar->addWidget(m_autoWrapButton);
    bar->addWidget(m_showGridLineButton);

    // Icons with their texts under them make the bar taller than a fifteenth of the screen;
    // the grid starts below it rather than hiding its column headers behind it.
    const int barBottom = bar->sizeHint().height();
    const QRect grid = m_grid->geometry();
    if (grid.top() < barBottom)
        m_grid->setGeometry(grid.left(), barBottom, grid.width(),
                            grid.height() - (barBottom - grid.top()));
}

void ExcelTemplate::connectSignals()
{
    connect(m_fontComboBox, &QFontComboBox::currentFontChanged, this, &ExcelTemplate::setFont);
    for (auto signal :
         {&QTableWidget::cellChanged, &QTableWidget::cellActivated, &QTableWidget::cellClicked,
          &QTableWidget::cellDoubleClicked, &QTableWidget::cellEntered, &QTableWidget::cellPressed})
        connect(m_grid, signal, this, &ExcelTemplate::setCellActivated);
    // Only a changed cell holds something the file does not have yet.
    connect(m_grid, &QTableWidget::cellChanged, this, [this] { m_modified = true; });
    connect(m_saveButton, &QToolButton::clicked, this, &ExcelTemplate::onSaveButtonClicked);
    connect(m_saveAsTemplateButton, &QToolButton::clicked, this,
            &ExcelTemplate::onSaveAsTemplateButtonClicked);
    connect(m_boldAction, &QAction::triggered, this, &ExcelTemplate::onFontBoldButtonClicked);
    connect(m_italicAction, &QAction::triggered, this, &ExcelTemplate::onFontItalicButtonClicked);
    connect(m_underlineAction, &QAction::triggered, this, &ExcelTemplate::onUnderlineButtonClicked);
    connect(m_fillColorAction, &QAction::triggered, this, &ExcelTemplate::onFillColorButtonClicked);
    connect(m_fontColorAction, &QAction::triggered, this, &ExcelTemplate::onFontColorButtonClicked);
    const auto activated = QOverload<int>::of(&QComboBox::activated);
    connect(m_cellGridComboBox, activated, this, &ExcelTemplate::onCellGridComboBoxClicked);
    connect(m_cellGridStyleComboBox, activated, this,
            &ExcelTemplate::onCellGridStyleComboBoxClicked);
    connect(m_fontSizeComboBox, activated, this, &ExcelTemplate::onFontSizeComboBoxClicked);
    connect(m_fontAlignComboBox, activated, this, &ExcelTemplate::onFontAlignComboBoxClicked);
    connect(m_cellMergeComboBox, activated, this, &ExcelTemplate::onCellMergeComboBoxClicked);
    connect(m_autoWrapButton, &QToolButton::clicked, this, &ExcelTemplate::onAutoWrapButtonClicked);
    connect(m_showGridLineButton, &QToolButton::clicked, this,
            &ExcelTemplate::onShowGridLineButtonClicked);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            &ExcelTemplate::onContextMenuClicked);
}

void ExcelTemplate::loadWorkbook()
{
    const QXlsx::CellRange used = m_workbook->dimension();
    if (!used.isValid())
        return;
    // Sizes are cached from the first row and column on, so that the caches are indexed by
    // grid row and column even when the used range starts further in.
    const int lastRow = std::min(used.lastRow(), CellRules::GridRows);
    const int lastColumn = std::min(used.lastColumn(), CellRules::GridColumns);
    for (int row = 1; row <= lastRow; ++row)
        m_grid->setRowHeight(row - 1, m_rowHeights.addLoaded(m_workbook->rowHeight(row)));
    for (int column = 1; column <= lastColumn; ++column)
        m_grid->setColumnWidth(column - 1,
                               m_columnWidths.addLoaded(m_workbook->columnWidth(column)));

    const QList<QXlsx::CellRange> merges = m_workbook->currentWorksheet()->mergedCells();
    for (int row = used.firstRow(); row <= lastRow; ++row) {
        for (int column = used.firstColumn(); column <= lastColumn; ++column) {
            const QXlsx::Cell *cell = m_workbook->cellAt(row, column);
            if (!cell)
                continue;
            const Format format = cell->format();
            auto *item = new QTableWidgetItem(cell->value().toString());
            item->setFont(format.font());
            if (format.fontColor().isValid())
                item->setForeground(QBrush(format.fontColor()));
            if (format.patternBackgroundColor().isValid())
                item->setBackground(QBrush(format.patternBackgroundColor()));
            item->setTextAlignment(ExcelCellFormat::gridAlignment(format));
            qint64 mask = ExcelCellFormat::borderMask(format);
            for (const QXlsx::CellRange &merge : merges) {
                if (merge.firstRow() == row && merge.firstColumn() == column) {
                    const QXlsx::Cell *corner =
                        m_workbook->cellAt(merge.lastRow(), merge.lastColumn());
                    mask = ExcelCellFormat::mergedBorderMask(format,
                                                             corner ? &corner->format() : nullptr);
                }
            }
            if (mask != 0)
                item->setData(Qt::UserRole, mask);
            m_grid->setItem(row - 1, column - 1, item);
        }
    }
    for (const QXlsx::CellRange &merge : merges) {
        if (merge.firstRow() > CellRules::GridRows || merge.firstColumn() > CellRules::GridColumns)
            continue;
        const int rows = std::min(merge.lastRow(), CellRules::GridRows) - merge.firstRow() + 1;
        const int columns =
            std::min(merge.lastColumn(), CellRules::GridColumns) - merge.firstColumn() + 1;
        m_grid->setSpan(merge.firstRow() - 1, merge.firstColumn() - 1, rows, columns);
    }
}

Format ExcelTemplate::cellFormat(int row, int column) const
{
    const QXlsx::Cell *cell = m_workbook->cellAt(row + 1, column + 1);
    return cell ? cell->format() : Format();
}

void ExcelTemplate::writeCell(int row, int column, const Format &format)
{
    const QTableWidgetItem *item = m_grid->item(row, column);
    m_workbook->write(row + 1, column + 1, item ? item->text() : QString(), format);
    m_modified = true;
}

QTableWidgetItem *ExcelTemplate::ensureItem(int row, int column)
{
    QTableWidgetItem *item = m_grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem(QString());
        m_grid->setItem(row, column, item);
    }
    return item;
}

void ExcelTemplate::growUsedExtent(int row, int column)
{
    m_usedLastRow = std::max(m_usedLastRow, row);
    m_usedLastColumn = std::max(m_usedLastColumn, column);
}

bool ExcelTemplate::selectionArea(CellArea *area) const
{
    const QList<QTableWidgetSelectionRange> ranges = m_grid->selectedRanges();
    if (ranges.isEmpty())
        return false;
    *area = CellArea::fromCorners(ranges.first().topRow(), ranges.first().leftColumn(),
                                  ranges.last().bottomRow(), ranges.last().rightColumn());
    return true;
}

void ExcelTemplate::forEachSelectedCell(
    const std::function<void(int, int, QTableWidgetItem *)> &apply)
{
    const QList<QTableWidgetSelectionRange> ranges = m_grid->selectedRanges();
    for (const QTableWidgetSelectionRange &range : ranges) {
        growUsedExtent(range.bottomRow(), range.rightColumn());
        for (int row = range.topRow(); row <= range.bottomRow(); ++row) {
            for (int column = range.leftColumn(); column <= range.rightColumn(); ++column)
                apply(row, column, ensureItem(row, column));
        }
    }
}

void ExcelTemplate::forEachSelectedItem(
    bool growExtent, const std::function<void(QTableWidgetItem *, Format *)> &apply)
{
    const QList<QTableWidgetItem *> items = m_grid->selectedItems();
    for (QTableWidgetItem *item : items) {
        const int row = item->row();
        const int column = item->column();
        if (growExtent)
            growUsedExtent(row, column);
        Format format = cellFormat(row, column);
        apply(item, &format);
        // Changing the item wrote the cell already, but with the old format.
        writeCell(row, column, format);
    }
}

void ExcelTemplate::setFont(QFont font)
{
    forEachSelectedItem(true, [&font](QTableWidgetItem *item, Format *format) {
        QFont itemFont = item->font();
        itemFont.setFamily(font.family());
        item->setFont(itemFont);
        format->setFont(itemFont);
    });
}

void ExcelTemplate::setCellActivated(int row, int column)
{
    m_currentRow = row;
    m_currentColumn = column;
    growUsedExtent(row, column);
    const QTableWidgetItem *item = m_grid->item(row, column);
    if (!item)
        return;
    Format format;
    if (const QXlsx::Cell *cell = m_workbook->cellAt(row + 1, column + 1))
        format = cell->format();
    else
        format.setFont(item->font());
    m_workbook->write(row + 1, column + 1, item->text(), format);
}

void ExcelTemplate::onFontBoldButtonClicked()
{
    forEachSelectedItem(true, [](QTableWidgetItem *item, Format *format) {
        QFont font = item->font();
        font.setWeight(CellRules::toggledWeight(font.weight()));
        item->setFont(font);
        format->setFont(font);
    });
}

void ExcelTemplate::onFontItalicButtonClicked()
{
    forEachSelectedItem(true, [](QTableWidgetItem *item, Format *format) {
        QFont font = item->font();
        font.setStyle(font.style() == QFont::StyleNormal ? QFont::StyleItalic : QFont::StyleNormal);
        item->setFont(font);
        format->setFont(font);
    });
}

void ExcelTemplate::onUnderlineButtonClicked()
{
    forEachSelectedItem(true, [](QTableWidgetItem *item, Format *format) {
        QFont font = item->font();
        font.setUnderline(!font.underline());
        item->setFont(font);
        format->setFont(font);
    });
}

void ExcelTemplate::onFillColorButtonClicked()
{
    const QColor color = Prompt::color(this, Qt::white);
    if (color.isValid())
        setFillColor(color);
}

void ExcelTemplate::setFillColor(QColor color)
{
    forEachSelectedItem(true, [&color](QTableWidgetItem *item, Format *format) {
        item->setBackground(QBrush(color));
        format->setPatternBackgroundColor(color);
    });
}

void ExcelTemplate::onFontColorButtonClicked()
{
    const QColor color = Prompt::color(this, Qt::white);
    if (color.isValid())
        setTextColor(color);
}

void ExcelTemplate::setTextColor(QColor color)
{
    forEachSelectedItem(true, [&color](QTableWidgetItem *item, Format *format) {
        item->setForeground(QBrush(color));
        format->setFontColor(color);
    });
}

void ExcelTemplate::onCellGridComboBoxClicked(int index)
{
    if (index == 0 || index == 1) {
        const bool grid = index == 1;
        forEachSelectedCell([this, grid](int row, int column, QTableWidgetItem *item) {
            item->setData(Qt::UserRole, grid ? BorderMask::Grid : qint64(0));
            Format format = cellFormat(row, column);
            format.setBorderStyle(grid ? Format::BorderThin : Format::BorderNone);
            // The grid draws these borders black, so the file must not keep an older colour.
            format.setBorderColor(QColor());
            writeCell(row, column, format);
        });
        return;
    }
    if (index != 2 && index != 3)
        return;
    CellArea area;
    if (!selectionArea(&area))
        return;
    const qint64 width = index == 2 ? BorderMask::Thin : BorderMask::Thick;
    growUsedExtent(area.lastRow, area.lastColumn);
    for (int row = area.firstRow; row <= area.lastRow; ++row) {
        for (int column = area.firstColumn; column <= area.lastColumn; ++column)
            ensureItem(row, column);
    }
    for (int row = area.firstRow; row <= area.lastRow; ++row) {
        for (int column = area.firstColumn; column <= area.lastColumn; ++column) {
            const qint64 sides = BorderMask::outlineSides(area, row, column, m_mergedAreas);
            if (sides == 0)
                continue;
            QTableWidgetItem *item = m_grid->item(row, column);
            const qint64 mask = item->data(Qt::UserRole).toLongLong() | width | sides;
            item->setData(Qt::UserRole, mask);
            Format format = cellFormat(row, column);
            // Thin or medium, unless the cell already draws dashed or dotted lines.
            ExcelCellFormat::applySides(&format, sides,
                                        Format::BorderStyle(BorderMask::workbookStyleOf(mask)));
            writeCell(row, column, format);
        }
    }
}

void ExcelTemplate::onCellGridStyleComboBoxClicked(int index)
{
    if (index == 5) {
        const QColor color = Prompt::color(this, Qt::white);
        if (color.isValid())
            setCellGridColor(color);
        return;
    }
    if (index < 0 || index > 4)
        return;
    forEachSelectedCell([this, index](int row, int column, QTableWidgetItem *item) {
        const qint64 mask = item->data(Qt::UserRole).toLongLong();
        item->setData(Qt::UserRole, BorderMask::withStyle(mask, index));
        Format format = cellFormat(row, column);
        ExcelCellFormat::applyStyleChoice(&format, mask, index);
        writeCell(row, column, format);
    });
}

void ExcelTemplate::setCellGridColor(QColor color)
{
    forEachSelectedCell([this, &color](int row, int column, QTableWidgetItem *item) {
        Format format = cellFormat(row, column);
        format.setBorderColor(color);
        writeCell(row, column, format);
        item->setData(Qt::UserRole,
                      ExcelCellFormat::withColor(item->data(Qt::UserRole).toLongLong(), color));
    });
}

void ExcelTemplate::onFontSizeComboBoxClicked(int index)
{
    const int size = CellRules::fontSizeAt(index);
    forEachSelectedItem(true, [size](QTableWidgetItem *item, Format *format) {
        QFont font = item->font();
        font.setPixelSize(size);
        item->setFont(font);
        format->setFontSize(size);
    });
}

void ExcelTemplate::onFontAlignComboBoxClicked(int index)
{
    forEachSelectedItem(true, [index](QTableWidgetItem *item, Format *format) {
        item->setTextAlignment(CellRules::alignmentAfterChoice(item->textAlignment(), index));
        ExcelCellFormat::applyAlignmentChoice(format, index);
    });
}

void ExcelTemplate::onCellMergeComboBoxClicked(int index)
{
    CellArea area;
    if (!selectionArea(&area) || index < 0 || index > 3)
        return;
    growUsedExtent(area.lastRow, area.lastColumn);
    for (int row = area.firstRow; row <= area.lastRow; ++row) {
        for (int column = area.firstColumn; column <= area.lastColumn; ++column)
            ensureItem(row, column);
    }
    if (index == 3)
        unmergeInside(area);
    else
        mergeArea(area, index);
}

void ExcelTemplate::mergeArea(const CellArea &area, int index)
{
    // A merge swallows the merges it overlaps, in the grid as in the workbook.
    const QList<QXlsx::CellRange> loaded = m_workbook->currentWorksheet()->mergedCells();
    for (const QXlsx::CellRange &range : loaded) {
        const CellArea old = CellArea::fromCorners(range.firstRow() - 1, range.firstColumn() - 1,
                                                   range.lastRow() - 1, range.lastColumn() - 1);
        if (old.overlaps(area))
            m_grid->setSpan(old.firstRow, old.firstColumn, 1, 1);
    }
    for (int i = m_mergedAreas.size() - 1; i >= 0; --i) {
        if (m_mergedAreas.at(i).overlaps(area)) {
            const CellArea &old = m_mergedAreas.at(i);
            m_grid->setSpan(old.firstRow, old.firstColumn, 1, 1);
            m_mergedAreas.removeAt(i);
        }
    }

    QTableWidgetItem *topLeft = m_grid->item(area.firstRow, area.firstColumn);
    if (index == 2) {
        QStringList texts;
        for (int row = area.firstRow; row <= area.lastRow; ++row) {
            for (int column = area.firstColumn; column <= area.lastColumn; ++column)
                texts.append(m_grid->item(row, column)->text());
        }
        topLeft->setText(CellRules::joinedTexts(texts));
    }
    const bool centred = index == 0;
    topLeft->setTextAlignment(centred ? Qt::AlignHCenter | Qt::AlignVCenter
                                      : Qt::AlignLeft | Qt::AlignVCenter);
    Format format = cellFormat(area.firstRow, area.firstColumn);
    format.setHorizontalAlignment(centred ? Format::AlignHCenter : Format::AlignLeft);
    format.setVerticalAlignment(Format::AlignVCenter);
    writeCell(area.firstRow, area.firstColumn, format);
    if (area.isSingleCell())
        return;
    m_mergedAreas.append(area);
    m_grid->setSpan(area.firstRow, area.firstColumn, area.rowCount(), area.columnCount());
    m_workbook->mergeCells(QXlsx::CellRange(area.firstRow + 1, area.firstColumn + 1,
                                            area.lastRow + 1, area.lastColumn + 1),
                           format);
}

void ExcelTemplate::unmergeInside(const CellArea &area)
{
    // Merges loaded from the file can be undone as well as those made in this window.
    CellAreas found;
    const QList<QXlsx::CellRange> loaded = m_workbook->currentWorksheet()->mergedCells();
    for (const QXlsx::CellRange &range : loaded) {
        const CellArea merge = CellArea::fromCorners(range.firstRow() - 1, range.firstColumn() - 1,
                                                     range.lastRow() - 1, range.lastColumn() - 1);
        if (area.contains(merge))
            found.append(merge);
    }
    for (int i = m_mergedAreas.size() - 1; i >= 0; --i) {
        if (area.contains(m_mergedAreas.at(i))) {
            if (!found.contains(m_mergedAreas.at(i)))
                found.append(m_mergedAreas.at(i));
            // Unmerged areas no longer shape an outline border.
            m_mergedAreas.removeAt(i);
        }
    }
    for (const CellArea &merge : qAsConst(found)) {
        m_grid->setSpan(merge.firstRow, merge.firstColumn, 1, 1);
        m_workbook->unmergeCells(QXlsx::CellRange(merge.firstRow + 1, merge.firstColumn + 1,
                                                  merge.lastRow + 1, merge.lastColumn + 1));
        Format format = cellFormat(merge.firstRow, merge.firstColumn);
        format.setHorizontalAlignment(Format::AlignLeft);
        format.setVerticalAlignment(Format::AlignVCenter);
        writeCell(merge.firstRow, merge.firstColumn, format);
    }
}

void ExcelTemplate::onAutoWrapButtonClicked()
{
    forEachSelectedItem(false, [this](QTableWidgetItem *item, Format *format) {
        m_grid->resizeRowToContents(item->row());
        format->setTextWrap(true);
    });
}

void ExcelTemplate::onShowGridLineButtonClicked()
{
    m_gridLinesShown = !m_gridLinesShown;
    m_grid->setShowGrid(m_gridLinesShown);
}

void ExcelTemplate::onContextMenuClicked(QPoint pos)
{
    m_menuRow = std::max(0, m_grid->rowAt(pos.y()));
    m_menuColumn = std::max(0, m_grid->columnAt(pos.x()));
    m_contextMenu->popup(m_grid->viewport()->mapToGlobal(pos));
}

void ExcelTemplate::onSetRowHeightClicked()
{
    const QPoint at = QCursor::pos();
    auto *dialog = new RowHeightColumnWidthDialog(nullptr, this, QStringLiteral("行高"),
                                                  m_grid->rowHeight(m_menuRow), at.x(), at.y());
    dialog->show();
}

void ExcelTemplate::setThisRowHeight(int height)
{
    m_grid->setRowHeight(m_menuRow, height);
    m_workbook->setRowHeight(m_menuRow + 1, height);
    growUsedExtent(m_menuRow, 0);
    m_modified = true;
}

void ExcelTemplate::onSetColumnWidthClicked()
{
    const QPoint at = QCursor::pos();
    auto *dialog = new RowHeightColumnWidthDialog(
        nullptr, this, QStringLiteral("列宽"), m_grid->columnWidth(m_menuColumn), at.x(), at.y());
    dialog->show();
}

void ExcelTemplate::setThisColumnWidth(int width)
{
    m_grid->setColumnWidth(m_menuColumn, width);
    m_workbook->setColumnWidth(m_menuColumn + 1, width);
    growUsedExtent(0, m_menuColumn);
    m_modified = true;
}

void ExcelTemplate::writeBackSizes()
{
    QVector<int> heights;
    for (int row = 0; row <= m_usedLastRow; ++row)
        heights.append(m_grid->rowHeight(row));
    const QVector<double> points = m_rowHeights.writeBack(heights);
    for (int row = 0; row < points.size(); ++row)
        m_workbook->setRowHeight(row + 1, points[row]);

    QVector<int> widths;
    for (int column = 0; column <= m_usedLastColumn; ++column)
        widths.append(m_grid->columnWidth(column));
    const QVector<double> characters = m_columnWidths.writeBack(widths);
    for (int column = 0; column < characters.size(); ++column)
        m_workbook->setColumnWidth(column + 1, characters[column]);
}

bool ExcelTemplate::saveWorkbook(const QString &path)
{
    writeBackSizes();
    if (!path.isEmpty() && m_workbook->saveAs(path)) {
        logLine(QStringLiteral("excel file save succeed! ") + path);
        ExcelCells::indexSavedCopy(path, *m_workbook);
        return true;
    }
    logLine(QStringLiteral("excel file save failed! ") + path);
    Prompt::warning(this, QStringLiteral("保存失败"),
                    QStringLiteral("文件保存失败，原有文件没有改动：\n") + path);
    return false;
}

void ExcelTemplate::onSaveButtonClicked()
{
    if (saveWorkbook(m_path))
        m_modified = false;
}

void ExcelTemplate::onSaveAsTemplateButtonClicked()
{
    const QString folder = Paths::excelTemplatesDir() + QLatin1Char('/');
    const QString chosen = Prompt::saveFileName(this, QStringLiteral("保存模板 "), folder,
                                                QStringLiteral("Excel(*.xlsx)"));
    if (chosen.isEmpty())
        return;
    QString name = QFileInfo(chosen).fileName();
    // Only workbooks ending in .xlsx are listed as templates.
    if (!name.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        name += QStringLiteral(".xlsx");
    QDir().mkpath(Paths::excelTemplatesDir());
    saveWorkbook(folder + QStringLiteral("Excel_") + name);
}

void ExcelTemplate::closeEvent(QCloseEvent *event)
{
    if (m_modified) {
        const QMessageBox::StandardButton answer = Prompt::saveDiscardCancel(
            this, QStringLiteral("Orvane"), QStringLiteral("表格内容已修改，是否保存？"));
        if (answer == QMessageBox::Cancel ||
            (answer == QMessageBox::Save && !saveWorkbook(m_path))) {
            event->ignore();
            return;
        }
        if (answer == QMessageBox::Save)
            m_modified = false;
    }
    event->accept();
}

#include "richtext/tableedit.h"

#include "richtext/customtextedit.h"
#include "richtext/dialogbuttons.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTextCursor>
#include <QTextTable>
#include <QVBoxLayout>

namespace {
const char *const checkNames[] = {"deleteRow", "deleteColumn", "mergeCells", "splitCells"};
} // namespace

TableEdit::TableEdit(QWidget *parent, CustomTextEdit *editor) : QWidget(parent), m_editor(editor)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    connect(editor, &QObject::destroyed, this, &QWidget::close);

    auto *layout = new QVBoxLayout(this);
    auto *counts = new QGridLayout;
    const struct {
        const char *label;
        const char *name;
    } spins[] = {{"插入行：", "insertRow"},
                 {"插入列：", "insertColumn"},
                 {"末尾追加行：", "appendRow"},
                 {"末尾追加列：", "appendColumn"}};
    int row = 0;
    for (const auto &spin : spins) {
        auto *box = new QSpinBox;
        box->setObjectName(QLatin1String(spin.name));
        box->setRange(0, 100);
        box->setValue(0);
        counts->addWidget(new QLabel(QString::fromUtf8(spin.label)), row, 0);
        counts->addWidget(box, row, 1);
        ++row;
    }
    layout->addLayout(counts);

    const char *const checkTexts[] = {"删除所在行", "删除所在列", "合并单元格", "拆分单元格"};
    QList<QCheckBox *> checks;
    for (int i = 0; i < 4; ++i) {
        auto *check = new QCheckBox(QString::fromUtf8(checkTexts[i]));
        check->setObjectName(QLatin1String(checkNames[i]));
        layout->addWidget(check);
        checks.append(check);
    }
    // Only one of the four structural changes is asked for at a time.
    for (QCheckBox *check : checks) {
        connect(check, &QCheckBox::clicked, this, [check, checks](bool checked) {
            for (QCheckBox *other : checks) {
                if (other != check)
                    other->setEnabled(!checked);
            }
        });
    }

    layout->addLayout(
        okCancelRow(this, &TableEdit::onOkButtonClicked, &TableEdit::onCancelButtonClicked));
}

QTextTable *TableEdit::currentTable(QTextTableCell *cell) const
{
    const QTextCursor cursor = m_editor->textCursor();
    QTextTable *table = cursor.currentTable();
    if (table && cell)
        *cell = table->cellAt(cursor);
    return table;
}

void TableEdit::onInsertRowButtonClicked(int rows)
{
    QTextTableCell cell;
    if (QTextTable *table = currentTable(&cell); table && cell.isValid() && rows > 0)
        table->insertRows(cell.row(), rows);
}

void TableEdit::onInsertColumnButtonClicked(int columns)
{
    QTextTableCell cell;
    if (QTextTable *table = currentTable(&cell); table && cell.isValid() && columns > 0)
        table->insertColumns(cell.column(), columns);
}

void TableEdit::onAppendRowButtonClicked(int rows)
{
    if (QTextTable *table = currentTable(nullptr); table && rows > 0)
        table->appendRows(rows);
}

void TableEdit::onAppendColumnButtonClicked(int columns)
{
    if (QTextTable *table = currentTable(nullptr); table && columns > 0)
        table->appendColumns(columns);
}

void TableEdit::onDeleteRowButtonClicked()
{
    QTextTableCell cell;
    QTextTable *table = currentTable(&cell);
    if (!table || !cell.isValid())
        return;
    // Removing several rows in one call breaks the table (or crashes the layout) when a merged
    // cell spans them; one row at a time, from the last, is handled correctly. The last removal
    // may remove the whole table, so it is not touched afterwards.
    const int first = cell.row();
    for (int row = first + cell.rowSpan() - 1; row >= first; --row)
        table->removeRows(row, 1);
}

void TableEdit::onDeleteColumnButtonClicked()
{
    QTextTableCell cell;
    QTextTable *table = currentTable(&cell);
    if (!table || !cell.isValid())
        return;
    // As with rows: one column at a time, from the last. The cell itself goes with the first
    // removal, so its place is read beforehand.
    const int first = cell.column();
    for (int column = first + cell.columnSpan() - 1; column >= first; --column)
        table->removeColumns(column, 1);
}

void TableEdit::onMergeCellsButtonClicked()
{
    const QTextCursor cursor = m_editor->textCursor();
    QTextTable *table = cursor.currentTable();
    if (!table || !cursor.hasComplexSelection())
        return;
    int firstRow = -1, rows = 0, firstColumn = -1, columns = 0;
    cursor.selectedTableCells(&firstRow, &rows, &firstColumn, &columns);
    if ((firstRow >= 0 && rows >= 1) || (firstColumn >= 0 && columns >= 1))
        table->mergeCells(firstRow, firstColumn, rows, columns);
}

void TableEdit::onSplitCellButtonClicked()
{
    QTextTableCell cell;
    if (QTextTable *table = currentTable(&cell); table && cell.isValid())
        table->splitCell(cell.row(), cell.column(), 1, 1);
}

void TableEdit::onOkButtonClicked()
{
    auto value = [this](const char *name) {
        const auto *box = findChild<QSpinBox *>(QLatin1String(name));
        return box ? box->value() : 0;
    };
    auto asked = [this](const char *name) {
        const auto *box = findChild<QCheckBox *>(QLatin1String(name));
        return box && box->isEnabled() && box->isChecked();
    };
    onInsertRowButtonClicked(value("insertRow"));
    onInsertColumnButtonClicked(value("insertColumn"));
    onAppendRowButtonClicked(value("appendRow"));
    onAppendColumnButtonClicked(value("appendColumn"));
    if (asked("deleteRow"))
        onDeleteRowButtonClicked();
    if (asked("deleteColumn"))
        onDeleteColumnButtonClicked();
    if (asked("mergeCells"))
        onMergeCellsButtonClicked();
    if (asked("splitCells"))
        onSplitCellButtonClicked();
    close();
}

void TableEdit::onCancelButtonClicked()
{
    close();
}

#ifndef ORVANE_RICHTEXT_TABLEEDIT_H
#define ORVANE_RICHTEXT_TABLEEDIT_H

#include <QWidget>

class CustomTextEdit;
class QTextTable;
class QTextTableCell;

// Changes the table under the editor's cursor: rows and columns inserted, appended or removed,
// cells merged or split.
class TableEdit : public QWidget {
    Q_OBJECT
public:
    TableEdit(QWidget *parent, CustomTextEdit *editor);

public slots:
    void onInsertRowButtonClicked(int rows);
    void onInsertColumnButtonClicked(int columns);
    void onAppendRowButtonClicked(int rows);
    void onAppendColumnButtonClicked(int columns);
    void onDeleteRowButtonClicked();
    void onDeleteColumnButtonClicked();
    void onMergeCellsButtonClicked();
    void onSplitCellButtonClicked();
    void onOkButtonClicked();
    void onCancelButtonClicked();

private:
    // The table and the cell at the editor's cursor as they are now; null when the cursor has
    // left the table (an earlier step may have removed it).
    QTextTable *currentTable(QTextTableCell *cell) const;

    CustomTextEdit *m_editor;
};

#endif

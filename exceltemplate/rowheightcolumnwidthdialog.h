#ifndef ORVANE_EXCELTEMPLATE_ROWHEIGHTCOLUMNWIDTHDIALOG_H
#define ORVANE_EXCELTEMPLATE_ROWHEIGHTCOLUMNWIDTHDIALOG_H

#include <QWidget>

class ExcelTemplate;

// Asks for the height of a row ("行高") or the width of a column ("列宽") in pixels and hands
// it to the editor. Deletes itself when closed.
class RowHeightColumnWidthDialog : public QWidget {
    Q_OBJECT
public:
    RowHeightColumnWidthDialog(QWidget *parent, ExcelTemplate *editor, const QString &kind,
                               int currentSize, int x, int y);

private slots:
    void onOkButtonClicked();
    void onCancelButtonClicked();

private:
    ExcelTemplate *m_editor;
    QString m_kind;
};

#endif

#ifndef ORVANE_RICHTEXT_TABLEOPTION_H
#define ORVANE_RICHTEXT_TABLEOPTION_H

#include <QColor>
#include <QWidget>

class CustomTextEdit;

// Inserts a new table at the editor's cursor: size, alignment and border colour.
class TableOption : public QWidget {
    Q_OBJECT
public:
    TableOption(QWidget *parent, CustomTextEdit *editor);

public slots:
    void setBackgroundColor(QColor color);
    void setAlignment(Qt::AlignmentFlag flag);
    void onColorButtonClicked();
    void onOkButtonClicked();
    void onCancelButtonClicked();

private:
    int m_horizontalAlignment = Qt::AlignLeft;
    int m_verticalAlignment = Qt::AlignTop;
    QColor m_borderColor;
    CustomTextEdit *m_editor;
};

#endif

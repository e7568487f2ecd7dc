#ifndef ORVANE_RICHTEXT_LISTCHOICE_H
#define ORVANE_RICHTEXT_LISTCHOICE_H

#include <QTextListFormat>
#include <QWidget>

class CustomTextEdit;

// Inserts a list at the editor's cursor: its style, indent and number decoration.
class ListChoice : public QWidget {
    Q_OBJECT
public:
    ListChoice(QWidget *parent, CustomTextEdit *editor);

public slots:
    void setListStyle(QTextListFormat::Style style);
    void onOkButtonClicked();
    void onCancelButtonClicked();

private:
    // No style box is checked at first; "确定" then gives the plainest list, bullets.
    QTextListFormat::Style m_style = QTextListFormat::ListDisc;
    CustomTextEdit *m_editor;
};

#endif

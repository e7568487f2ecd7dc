#ifndef ORVANE_RICHTEXT_FINDDIALOG_H
#define ORVANE_RICHTEXT_FINDDIALOG_H

#include <QWidget>

class CustomTextEdit;

// Searches the text of one box forwards or backwards from its cursor, without wrapping.
class FindDialog : public QWidget {
    Q_OBJECT
public:
    FindDialog(QWidget *parent, CustomTextEdit *editor);

public slots:
    void onFindNextButtonClicked();
    void onFindPreviousButtonClicked();
    void onCancelButtonClicked();

private:
    void find(bool backwards);

    CustomTextEdit *m_editor;
};

#endif

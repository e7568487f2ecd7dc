#ifndef ORVANE_RICHTEXT_URLOPTION_H
#define ORVANE_RICHTEXT_URLOPTION_H

#include <QString>
#include <QWidget>

class CustomTextEdit;

// Inserts a link to a local file, a web address or an attachment (a copy of the file kept in
// MyAttachments beside the program, so the link survives the source file moving).
class UrlOption : public QWidget {
    Q_OBJECT
public:
    UrlOption(QWidget *parent, CustomTextEdit *editor);

public slots:
    void setAttachment();
    void onBrowserButtonClicked();
    void onWebsiteAddressEdited(QString text);
    bool copyUrlToApp(QString file);
    void onOkButtonClicked();
    void onCancelButtonClicked();

private:
    bool m_attachment = false;
    CustomTextEdit *m_editor;
};

#endif

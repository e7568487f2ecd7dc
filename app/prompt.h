#ifndef ORVANE_APP_PROMPT_H
#define ORVANE_APP_PROMPT_H

#include "app/usermessage.h"

#include <QColor>
#include <QFileDialog>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// Every message box, file dialog, text input and colour dialog of the program goes through here.
// By default the real modal dialog is shown; a test installs a handler that answers instead and
// sees what was asked.
class Prompt {
public:
    enum class Kind {
        Information,
        Warning,
        Critical,
        Question,
        About,
        OpenFile,
        OpenFiles,
        SaveFile,
        Directory,
        Text,
        Item,
        Color
    };

    struct Request {
        Kind kind = Kind::Information;
        QString title;
        QString text;  // message, label or caption
        QString value; // starting text, folder or colour name
        QString filter;
        QStringList items;
    };

    struct Answer {
        bool accepted = true;
        QMessageBox::StandardButton button = QMessageBox::Ok;
        QString text;      // file name, folder, typed or chosen text
        QStringList texts; // several file names
        QColor color;
        QString filter; // the filter chosen in a save dialog
    };

    using Handler = std::function<Answer(const Request &)>;
    static void setHandler(Handler handler); // an empty handler restores the real dialogs

    static void information(QWidget *parent, const QString &title, const QString &text);
    static void warning(QWidget *parent, const QString &title, const QString &text);
    static void critical(QWidget *parent, const QString &title, const QString &text);
    // The messages a logic operation reported, one box each, in order.
    static void show(QWidget *parent, const UserMessages &messages);
    // A message box in rich-text format (the About box).
    static void about(QWidget *parent, const QString &title, const QString &richText);
    static QMessageBox::StandardButton
    question(QWidget *parent, const QString &title, const QString &text,
             QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    // Asks whether to save before going on: "保存" (Save), "不保存" (Discard) or "取消"
    // (Cancel, also the answer of a closed box).
    static QMessageBox::StandardButton saveDiscardCancel(QWidget *parent, const QString &title,
                                                         const QString &text);

    // File dialogs return an empty text (or list) when cancelled.
    static QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                const QString &filter = QString(),
                                QFileDialog::Options options = QFileDialog::Options());
    static QStringList openFileNames(QWidget *parent, const QString &caption, const QString &dir,
                                     const QString &filter = QString());
    // selectedFilter, when given, receives the filter the user chose.
    static QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                const QString &filter = QString(),
                                QString *selectedFilter = nullptr);
    static QString existingDirectory(QWidget *parent, const QString &caption, const QString &dir);

    static QString text(QWidget *parent, const QString &title, const QString &label,
                        const QString &value = QString(), bool *ok = nullptr);
    static QString item(QWidget *parent, const QString &title, const QString &label,
                        const QStringList &items, int current = 0, bool editable = false,
                        bool *ok = nullptr);
    // Returns an invalid colour when cancelled.
    static QColor color(QWidget *parent, const QColor &initial, const QString &title = QString());
};

#endif

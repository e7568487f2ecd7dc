#ifndef ORVANE_TESTS_TASKLIST_LISTPROBE_H
#define ORVANE_TESTS_TASKLIST_LISTPROBE_H

#include "richtext/customtextedit.h"
#include "tasklist/mainview.h"
#include "tests/support/widgetfinder.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

// What the list shows, top to bottom: group headings as their text, tasks as their plain text.
inline QStringList drawnSequence(MainView &view)
{
    QStringList seen;
    auto *grid = qobject_cast<QGridLayout *>(view.listContainer()->layout());
    if (!grid)
        return seen;
    for (int r = 0; r < grid->rowCount(); ++r) {
        QLayoutItem *item = grid->itemAtPosition(r, 1);
        QWidget *widget = item ? item->widget() : nullptr;
        if (auto *editor = qobject_cast<CustomTextEdit *>(widget))
            seen.append(editor->toPlainText());
        else if (auto *label = qobject_cast<QLabel *>(widget))
            seen.append(label->text());
    }
    return seen;
}

inline QPushButton *namedButton(QWidget *root, const QString &name)
{
    return findByName<QPushButton>(root, name);
}

inline QPushButton *textButton(QWidget *root, const QString &text)
{
    for (QPushButton *button : root->findChildren<QPushButton *>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

// True when every delete button and arrow of the drawn rows is disabled.
inline bool rowButtonsAllDisabled(MainView &view)
{
    for (QPushButton *button : view.listContainer()->findChildren<QPushButton *>()) {
        const bool rowButton = button->objectName().startsWith(QLatin1String("delButton")) ||
                               button->size() == QSize(35, 35);
        if (rowButton && button->isEnabled())
            return false;
    }
    return true;
}

// A visible window of a class that is a child window of root.
template <class T> T *openWindow(QObject *root)
{
    for (T *window : root->findChildren<T *>()) {
        if (window->isVisible())
            return window;
    }
    return nullptr;
}

// Lets deferred deletions run, as the event loop would between two clicks.
inline void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

#endif

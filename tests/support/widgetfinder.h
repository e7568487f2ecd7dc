#ifndef ORVANE_TESTS_SUPPORT_WIDGETFINDER_H
#define ORVANE_TESTS_SUPPORT_WIDGETFINDER_H

#include <QApplication>
#include <QObject>
#include <QString>
#include <QWidget>

// Finds a descendant by its object name, as the windows themselves do on save.
template <class T> T *findByName(const QObject *root, const QString &name)
{
    return root ? root->findChild<T *>(name) : nullptr;
}

// Finds a visible top-level window of a class (dialogs are created without a parent).
template <class T> T *findTopLevel()
{
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget *widget : widgets) {
        if (auto *found = qobject_cast<T *>(widget); found && found->isVisible())
            return found;
    }
    return nullptr;
}

#endif

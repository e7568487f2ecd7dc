// Shared by the task list tests: seeding the star table and reading what the window draws.
#ifndef ORVANE_TESTS_TASKLIST_LISTTEST_H
#define ORVANE_TESTS_TASKLIST_LISTTEST_H

#include "app/database.h"
#include "richtext/customtextedit.h"
#include "tasklist/mainview.h"
#include "tasklist/taskstore.h"
#include "tests/support/widgetfinder.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QtTest>

inline TaskRecord task(const QString &content, int priority = 0, int progress = 0,
                       const QString &startDate = QString(), const QString &label = QString())
{
    TaskRecord t;
    t.content = content;
    t.priority = priority;
    t.progress = progress;
    t.startDate = startDate;
    t.label = label;
    t.importance = QStringLiteral("重要");
    t.emergency = QStringLiteral("紧急");
    return t;
}

// Puts the tasks into the star table in list order, as earlier sessions would have left them.
inline void seedRecords(const QList<TaskRecord> &tasks)
{
    QSqlDatabase db;
    Database::connect(&db);
    TaskStore store(db);
    store.ensureTable();
    for (int i = 0; i < tasks.size(); ++i) {
        store.insert(i);
        TaskRecord t = tasks.at(i);
        t.manualIndex = i;
        store.save(t);
    }
}

// n tasks "task 0" ..., 不重要 and 紧急.
inline void seedTasks(int n, const QString &label = QString())
{
    QList<TaskRecord> tasks;
    for (int i = 0; i < n; ++i) {
        tasks.append(task(QStringLiteral("task %1").arg(i), 0, 0, QString(), label));
        tasks.last().importance = QStringLiteral("不重要");
    }
    seedRecords(tasks);
}

inline QVariant cell(const QSqlDatabase &db, const QString &column, int manualIndex)
{
    QSqlQuery query(db);
    query.exec(
        QStringLiteral("select %1 from star where manualIndex = %2").arg(column).arg(manualIndex));
    return query.next() ? query.value(0) : QVariant();
}

// What the list shows, top to bottom: group headings as their text, tasks as their plain text.
inline QStringList drawnSequence(MainView &view)
{
    QStringList seen;
    auto *grid = qobject_cast<QGridLayout *>(view.listContainer()->layout());
    for (int r = 0; grid && r < grid->rowCount(); ++r) {
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

template <class T> T *rowWidget(MainView &view, const QString &stem, int index)
{
    return findByName<T>(view.listContainer(), stem + QString::number(index));
}

// The up and down arrows of the drawn rows (the only 35 x 35 push buttons), in drawing order.
inline QList<QPushButton *> arrowButtons(MainView &view)
{
    QList<QPushButton *> found;
    for (QPushButton *button : view.listContainer()->findChildren<QPushButton *>()) {
        if (button->size() == QSize(35, 35))
            found.append(button);
    }
    return found;
}

// True when every delete button and arrow of the drawn rows is disabled.
inline bool rowButtonsAllDisabled(MainView &view)
{
    for (QPushButton *button : view.listContainer()->findChildren<QPushButton *>()) {
        if ((button->objectName().startsWith(QLatin1String("delButton")) ||
             button->size() == QSize(35, 35)) &&
            button->isEnabled())
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

// Sets the panel widgets named in "name=value name=value ...", in that order: combos take an
// index, spins a number, line edits get the text typed in, buttons are clicked and, given a date,
// the calendar they open picks it.
inline void choose(QWidget *root, const QString &settings)
{
    for (const QString &pair : settings.split(' ', Qt::SkipEmptyParts)) {
        const QString name = pair.section('=', 0, 0);
        const QString value = pair.section('=', 1);
        if (auto *combo = findByName<QComboBox>(root, name)) {
            combo->setCurrentIndex(value.toInt());
        } else if (auto *spin = findByName<QSpinBox>(root, name)) {
            spin->setValue(value.toInt());
        } else if (auto *edit = findByName<QLineEdit>(root, name)) {
            edit->insert(value);
        } else {
            QPushButton *button = namedButton(root, name);
            QVERIFY2(button, qPrintable(name));
            button->click();
            if (value.isEmpty())
                continue;
            auto *calendar = openWindow<QCalendarWidget>(root);
            QVERIFY(calendar);
            emit calendar->clicked(QDate::fromString(value, Qt::ISODate));
            settle();
        }
    }
}

#endif

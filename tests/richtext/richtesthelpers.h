#ifndef ORVANE_TESTS_RICHTEXT_RICHTESTHELPERS_H
#define ORVANE_TESTS_RICHTEXT_RICHTESTHELPERS_H

#include "richtext/customtextedit.h"
#include "richtext/schedulecellowner.h"
#include "richtext/taskrowowner.h"

#include <QList>
#include <QPoint>
#include <QScrollArea>
#include <QStringList>
#include <QTextCharFormat>
#include <functional>
#include <memory>

class QMenu;

// A task list that only writes down what the height dialog hands back.
class RecordingTaskOwner : public TaskRowOwner {
public:
    struct Call {
        int index, height, scrollPos;
    };
    void setItemHeight(int index, int newHeight, int scrollPos) override
    {
        calls.append({index, newHeight, scrollPos});
    }
    QScrollArea *rowScrollArea() const override { return area; }
    QList<Call> calls;
    QScrollArea *area = nullptr;
};

class RecordingScheduleOwner : public ScheduleCellOwner {
public:
    struct Call {
        int index, kind, height, scrollPos;
    };
    void updateCellHeight(int index, int kind, int newHeight, int scrollPos) override
    {
        calls.append({index, kind, newHeight, scrollPos});
    }
    QScrollArea *rowScrollArea() const override { return area; }
    QList<Call> calls;
    QScrollArea *area = nullptr;
};

// An editable task-row box, shown at a place on the 1920 x 1040 test screen.
std::unique_ptr<CustomTextEdit> taskBox(TaskRowOwner *owner, const QString &html,
                                        const QPoint &at = QPoint(100, 100), int height = 200);

// Selects characters from..to as a mouse drag would leave them (the cursor at to).
void selectText(CustomTextEdit *box, int from, int to);
// Puts the cursor at a position without a selection.
void placeCursor(CustomTextEdit *box, int position);
// Lets go of a mouse button over the cursor, which is where a mouse selection ends.
void releaseButton(CustomTextEdit *box, Qt::MouseButton button);
// The centre of the character at a position, in viewport coordinates.
QPoint pointAt(CustomTextEdit *box, int position);

// The visible top-level window of a class, or null.
template <class T> T *openPopup();
// How many visible top-level windows of a class are open.
int openWindowCount(const char *className);
// Closes every window a test left open and lets their deletion happen.
void closeAllWindows();

// Answers the next popup menu: records its entries and enabled states, then activates the
// entry with the given text as a person would (highlight, Return); an empty text closes it.
struct MenuRecord {
    QStringList texts;
    QList<bool> enabled;
};
void answerNextMenu(const QString &entry, MenuRecord *record = nullptr,
                    std::function<void()> after = nullptr);
// Opens the context menu of the box at a viewport position (global position returned).
QPoint openContextMenu(CustomTextEdit *box, const QPoint &viewportPos);

// Clicks a push button of a window found by its text.
void clickButton(QWidget *window, const QString &text);

// Runs one test class; when test functions are named on the command line, a class that has
// none of them is left out instead of failing on the unknown name.
int runTestObject(QObject *test, int argc, char **argv);

// The character format of the character at a position.
QTextCharFormat formatAt(CustomTextEdit *box, int position);

#include "tests/support/widgetfinder.h"

template <class T> T *openPopup()
{
    return findTopLevel<T>();
}

#endif

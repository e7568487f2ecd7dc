#include "tests/richtext/richtesthelpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

std::unique_ptr<CustomTextEdit> taskBox(TaskRowOwner *owner, const QString &html, const QPoint &at,
                                        int height)
{
    auto box = std::make_unique<CustomTextEdit>(owner, height, 7);
    box->resize(400, height);
    box->move(at);
    box->setHtml(html);
    box->show();
    if (!QTest::qWaitForWindowExposed(box.get()))
        qWarning("text box not exposed");
    return box;
}

void selectText(CustomTextEdit *box, int from, int to)
{
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
}

void placeCursor(CustomTextEdit *box, int position)
{
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(position);
    box->setTextCursor(cursor);
}

void releaseButton(CustomTextEdit *box, Qt::MouseButton button)
{
    const QPoint at = box->cursorRect().center();
    QMouseEvent release(QEvent::MouseButtonRelease, at, box->viewport()->mapToGlobal(at), button,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(box->viewport(), &release);
}

QPoint pointAt(CustomTextEdit *box, int position)
{
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(position);
    const QRect before = box->cursorRect(cursor);
    cursor.setPosition(position + 1);
    const QRect after = box->cursorRect(cursor);
    return QPoint((before.x() + after.x()) / 2, before.center().y());
}

int openWindowCount(const char *className)
{
    int count = 0;
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget *widget : widgets) {
        if (widget->isVisible() && widget->inherits(className))
            ++count;
    }
    return count;
}

void closeAllWindows()
{
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget *widget : widgets) {
        if (widget->isVisible() && widget->testAttribute(Qt::WA_DeleteOnClose))
            widget->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void answerNextMenu(const QString &entry, MenuRecord *record, std::function<void()> after)
{
    QTimer::singleShot(0, [entry, record, after] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY2(menu, "no menu open");
        QAction *chosen = nullptr;
        const auto actions = menu->actions();
        for (QAction *action : actions) {
            if (action->isSeparator())
                continue;
            if (record) {
                record->texts.append(action->text());
                record->enabled.append(action->isEnabled());
            }
            if (action->text() == entry)
                chosen = action;
        }
        if (after)
            after();
        if (!chosen || !chosen->isEnabled()) {
            menu->close();
            return;
        }
        menu->setActiveAction(chosen);
        QTest::keyClick(menu, Qt::Key_Return);
    });
}

QPoint openContextMenu(CustomTextEdit *box, const QPoint &viewportPos)
{
    const QPoint global = box->viewport()->mapToGlobal(viewportPos);
    QContextMenuEvent event(QContextMenuEvent::Mouse, viewportPos, global);
    QApplication::sendEvent(box->viewport(), &event);
    return global;
}

void clickButton(QWidget *window, const QString &text)
{
    QVERIFY2(window, qPrintable(QStringLiteral("no window for ") + text));
    const auto buttons = window->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        if (button->text() == text) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no button ") + text));
}

QTextCharFormat formatAt(CustomTextEdit *box, int position)
{
    QTextCursor cursor(box->document());
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    return cursor.charFormat();
}

int runTestObject(QObject *test, int argc, char **argv)
{
    bool named = false;
    bool mine = false;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.startsWith(QLatin1Char('-')) || (i > 1 && QByteArray(argv[i - 1]) == "-o"))
            continue;
        named = true;
        const QString function = arg.section(QLatin1Char(':'), 0, 0) + QStringLiteral("()");
        if (test->metaObject()->indexOfMethod(function.toLatin1().constData()) >= 0)
            mine = true;
    }
    if (named && !mine)
        return 0;
    return QTest::qExec(test, argc, argv);
}

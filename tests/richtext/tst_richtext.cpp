// The rich-text box, its popups and dialogs, driven as a person would: selections, mouse
// releases, context menus and the dialogs' own buttons, on the 1920 x 1040 test screen.
#include "app/desktop.h"
#include "app/paths.h"
#include "richtext/customtextedit.h"
#include "richtext/schedulecellowner.h"
#include "richtext/taskrowowner.h"
#include "tests/support/logcapture.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"
#include "tests/support/widgetfinder.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>

namespace {
const QString tableHtml = "<p>before</p><table border=\"1\"><tr><td>a1</td><td>b1</td></tr>"
                          "<tr><td>a2</td><td>b2</td></tr></table>";
const QString imageHtml = "<p>see <img src=\"pic.png\" width=\"20\" height=\"10\"> here</p>";
// A 3 x 3 table whose cells say where they started: "r1c2" and so on.
const QString gridHtml = "<table><tr><td>r0c0</td><td>r0c1</td><td>r0c2</td></tr>"
                         "<tr><td>r1c0</td><td>r1c1</td><td>r1c2</td></tr>"
                         "<tr><td>r2c0</td><td>r2c1</td><td>r2c2</td></tr></table>";

// The window of a task row or a day-view cell: writes down what the height dialog hands back.
// With rebuild set it destroys its box on every height, as the task list rebuilds its rows.
struct Owner : TaskRowOwner, ScheduleCellOwner {
    void setItemHeight(int index, int height, int scrollPos) override
    {
        calls.append({index, height, scrollPos});
        if (rebuild)
            box.reset();
    }
    void updateCellHeight(int index, int kind, int height, int scrollPos) override
    {
        calls.append({index, kind, height, scrollPos});
    }
    QScrollArea *rowScrollArea() const override { return area; }
    QList<QList<int>> calls;
    QScrollArea *area = nullptr;
    bool rebuild = false;
    std::unique_ptr<CustomTextEdit> box;
};

// An editable task-row box (row key 7), shown at a place on the screen.
std::unique_ptr<CustomTextEdit> taskBox(TaskRowOwner *owner, const QString &html,
                                        const QPoint &at = QPoint(100, 100), int height = 200)
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

int positionOf(QTextEdit *box, const QString &text)
{
    return box->document()->find(text).selectionStart();
}

// Selects from..to as a mouse drag would leave it (the cursor at to); from == to places it.
void selectText(QTextEdit *box, int from, int to)
{
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
}

// Selects "text+N..text+N" (the cursor at the second end) or places the cursor at "text+N".
void selectCells(QTextEdit *box, const QString &range)
{
    const auto at = [box](const QString &end) {
        return positionOf(box, end.section('+', 0, 0)) + end.section('+', 1).toInt();
    };
    selectText(box, at(range.section("..", 0, 0)), at(range.section("..", -1)));
}

// Lets go of a mouse button over the cursor, which is where a mouse selection ends.
void releaseButton(QTextEdit *box, Qt::MouseButton button)
{
    const QPoint at = box->cursorRect().center();
    QMouseEvent release(QEvent::MouseButtonRelease, at, box->viewport()->mapToGlobal(at), button,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(box->viewport(), &release);
}

QTextCharFormat formatAt(QTextEdit *box, int position)
{
    QTextCursor cursor(box->document());
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    return cursor.charFormat();
}

// The visible top-level windows of a class.
QList<QWidget *> windows(const QString &className)
{
    QList<QWidget *> found;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->inherits(qPrintable(className)))
            found.append(widget);
    }
    return found;
}

QWidget *window(const QString &className)
{
    return windows(className).value(0);
}

// Answers the next popup menu, if one opens: records its entries and enabled states, then
// activates the entry with the given text as a person would (highlight, Return); an empty text
// closes it.
void answerNextMenu(const QString &entry, QStringList *texts = nullptr,
                    QList<bool> *enabled = nullptr, std::function<void()> after = nullptr)
{
    QTimer::singleShot(0, [=] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        QAction *chosen = nullptr;
        for (QAction *action : menu->actions()) {
            if (action->isSeparator())
                continue;
            if (texts)
                texts->append(action->text());
            if (enabled)
                enabled->append(action->isEnabled());
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

void openContextMenu(QTextEdit *box, const QPoint &viewportPos)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, viewportPos,
                            box->viewport()->mapToGlobal(viewportPos));
    QApplication::sendEvent(box->viewport(), &event);
}

// Opens a dialog of the insert submenu.
void insertFromMenu(QTextEdit *box, const QString &entry)
{
    answerNextMenu("插入...", nullptr, nullptr, [entry] { answerNextMenu(entry); });
    openContextMenu(box, box->cursorRect().center());
}

void clickButton(QWidget *window, const QString &text)
{
    QVERIFY2(window, qPrintable("no window for " + text));
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (button->text() == text || button->objectName() == text) {
            // A check box is clicked on its indicator: a click beside a short text misses it.
            QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier,
                              qobject_cast<QCheckBox *>(button) ? QPoint(8, button->height() / 2)
                                                                : button->rect().center());
            return;
        }
    }
    QFAIL(qPrintable("no button " + text));
}

// Types into a line edit, or over the value of a spin box.
void typeInto(QWidget *window, const QString &name, const QString &text)
{
    auto *field = findByName<QWidget>(window, name);
    QVERIFY2(field && field->isEnabled(), qPrintable(name));
    if (auto *spin = qobject_cast<QSpinBox *>(field))
        spin->selectAll();
    QTest::keyClicks(field, text);
}

// Works a dialog: "name=text" types into a field or spin box, "name?text" checks that a field is
// enabled and shows the text, "name!" that it is disabled; anything else clicks a button.
void work(QWidget *dialog, const QStringList &steps)
{
    QVERIFY(dialog);
    for (const QString &step : steps) {
        const int eq = step.indexOf('=');
        const int shown = step.indexOf('?');
        if (eq > 0) {
            typeInto(dialog, step.left(eq), step.mid(eq + 1));
        } else if (shown > 0) {
            auto *field = findByName<QWidget>(dialog, step.left(shown));
            QVERIFY2(field && field->isEnabled(), qPrintable(step));
            QCOMPARE(field->property("text").toString(), step.mid(shown + 1));
        } else if (step.endsWith('!')) {
            auto *field = findByName<QWidget>(dialog, step.chopped(1));
            QVERIFY2(field && !field->isEnabled(), qPrintable(step));
        } else {
            clickButton(dialog, step);
        }
    }
}

// Size, weight, toggles and colours of a character: "16pt w50 italic underline bg#ff0000".
QString describe(const QTextCharFormat &format)
{
    QStringList parts;
    const QFont font = format.font();
    if (format.hasProperty(QTextFormat::FontPointSize) ||
        format.hasProperty(QTextFormat::FontPixelSize))
        parts << (font.pointSize() > 0 ? QString("%1pt").arg(font.pointSize())
                                       : QString("%1px").arg(font.pixelSize()));
    parts << QString("w%1").arg(format.fontWeight());
    if (format.fontItalic())
        parts << "italic";
    if (format.fontUnderline())
        parts << "underline";
    if (format.fontStrikeOut())
        parts << "strike";
    if (format.background().style() != Qt::NoBrush)
        parts << "bg" + format.background().color().name();
    if (format.foreground().style() != Qt::NoBrush)
        parts << "fg" + format.foreground().color().name();
    return parts.join(' ');
}

// The whole document, a line per block: its text, "[img W x H name]" per image character, "[link
// address: text]", and a list item's
// "<style/indent number>" first. A table is a head line "table" with its alignment and border
// colour, then a line per row of "|"-joined cells; a place covered by a merged cell reads "^".
QString describeDocument(const QTextDocument *document)
{
    static const QList<QPair<int, QString>> alignments{
        {Qt::AlignLeft, "left"},       {Qt::AlignRight, "right"}, {Qt::AlignHCenter, "centre"},
        {Qt::AlignJustify, "justify"}, {Qt::AlignTop, "top"},     {Qt::AlignBottom, "bottom"},
        {Qt::AlignVCenter, "middle"}};
    static const QStringList listStyles{"disc", "circle", "square", "decimal", "a", "A", "i", "I"};
    QStringList lines;
    for (auto it = document->rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto *table = qobject_cast<QTextTable *>(it.currentFrame())) {
            QString head = "table";
            for (const auto &alignment : alignments) {
                if (table->format().alignment() & alignment.first)
                    head += ' ' + alignment.second;
            }
            if (table->format().borderBrush().style() != Qt::NoBrush)
                head += " border " + table->format().borderBrush().color().name();
            lines << head;
            for (int r = 0; r < table->rows(); ++r) {
                QStringList cells;
                for (int c = 0; c < table->columns(); ++c) {
                    const QTextTableCell cell = table->cellAt(r, c);
                    QTextCursor text = cell.firstCursorPosition();
                    text.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
                    cells << (cell.row() != r || cell.column() != c ? "^" : text.selectedText());
                }
                lines << cells.join('|');
            }
            continue;
        }
        const QTextBlock block = it.currentBlock();
        QString line;
        if (QTextList *list = block.textList())
            line = QString("<%1/%2 %3> ")
                       .arg(listStyles.value(-list->format().style() - 1, "?"))
                       .arg(list->format().indent())
                       .arg(list->itemText(block));
        for (auto run = block.begin(); !run.atEnd(); ++run) {
            const QTextCharFormat format = run.fragment().charFormat();
            const QString text = run.fragment().text();
            if (format.isImageFormat()) {
                const QTextImageFormat image = format.toImageFormat();
                for (int i = 0; i < text.size(); ++i)
                    line += QString("[img %1x%2 %3]")
                                .arg(image.width())
                                .arg(image.height())
                                .arg(image.name());
            } else if (format.isAnchor()) {
                line += "[link " + format.anchorHref() + ": " + text + "]";
            } else {
                line += text;
            }
        }
        lines << line;
    }
    return lines.join('\n');
}

QString writeImage(const QString &path, const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    image.save(path);
    return path;
}

QString writeText(const QString &path, const QByteArray &content)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return path;
}
} // namespace

class TestRichText : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;

private slots:
    void init() { env = std::make_unique<TestEnvironment>(); }
    void cleanup()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && widget->testAttribute(Qt::WA_DeleteOnClose))
                widget->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        env.reset();
    }

    void popups_data()
    {
        QTest::addColumn<QPoint>("boxAt");
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("selection"); // as selectCells takes it
        QTest::addColumn<int>("opening"); // 0 left release, 1 right then left, 2 menu's "格式..."
        QTest::addColumn<QString>("popupClass"); // empty: none opens
        // Place and size; x -1: just right of the cursor, -2: at its left edge; y -1: its top.
        QTest::addColumn<QRect>("expected");

        const QPoint at(100, 100);
        const QString text = "<p>Hello brave world</p>";
        const QString format = "FormatEdit";
        QTest::newRow("click in plain text") << at << text << "brave+2" << 0 << "" << QRect();
        QTest::newRow("room everywhere")
            << at << text << "brave..brave+5" << 0 << format << QRect(-1, -1, 440, 100);
        QTest::newRow("near right edge") << QPoint(1500, 100) << text << "brave..brave+5" << 0
                                         << format << QRect(960, -1, 440, 100);
        QTest::newRow("near bottom") << QPoint(100, 960) << text << "brave..brave+5" << 0 << format
                                     << QRect(-1, 920, 440, 100);
        QTest::newRow("above screen top") << QPoint(100, -150) << text << "brave..brave+5" << 0
                                          << format << QRect(-1, 520, 440, 100);
        QTest::newRow("image near bottom") << QPoint(100, 800) << imageHtml << "see+4..see+5" << 0
                                           << "ImageEdit" << QRect(-1, 770, 300, 250);
        QTest::newRow("text around image")
            << at << imageHtml << "see..here+4" << 0 << "ImageEdit" << QRect(-1, -1, 300, 250);
        QTest::newRow("click in table cell") << at << tableHtml << "b1+1" << 0 << "" << QRect();
        QTest::newRow("table cell after right click")
            << at << tableHtml << "b1+1" << 1 << "TableEdit" << QRect(-2, -1, 200, 500);
        QTest::newRow("table cell from the menu")
            << at << tableHtml << "b1+1" << 2 << "TableEdit" << QRect(-2, -1, 200, 500);
        QTest::newRow("text in table cell")
            << at << tableHtml << "a2..a2+2" << 0 << format << QRect(-1, -1, 440, 100);
        QTest::newRow("several cells")
            << at << tableHtml << "a1..b2+2" << 0 << "TableEdit" << QRect(-1, -1, 200, 500);
    }

    void popups()
    {
        QFETCH(QPoint, boxAt);
        QFETCH(QString, html);
        QFETCH(QString, selection);
        QFETCH(int, opening);
        QFETCH(QString, popupClass);
        QFETCH(QRect, expected);

        auto box = taskBox(nullptr, html, boxAt);
        selectCells(box.get(), selection);
        if (opening == 2) {
            answerNextMenu("格式...");
            openContextMenu(box.get(), box->cursorRect().center());
        } else {
            if (opening == 1)
                releaseButton(box.get(), Qt::RightButton);
            releaseButton(box.get(), Qt::LeftButton);
        }
        for (const char *name : {"FormatEdit", "ImageEdit", "TableEdit"})
            QCOMPARE(windows(name).size(), name == popupClass ? 1 : 0);
        // The popup acts on what was selected: the selection is still there.
        QCOMPARE(box->textCursor().hasSelection(), selection.contains(".."));
        if (popupClass.isEmpty())
            return;
        QWidget *popup = window(popupClass);
        const QPoint G = box->mapToGlobal(QPoint(0, 0));
        const QRect R = box->cursorRect();
        const QPoint anchor(G.x() + (expected.x() == -2 ? R.left() : R.right() + 1),
                            G.y() + R.top());
        QCOMPARE(popup->pos(), QPoint(expected.x() < 0 ? anchor.x() : expected.x(),
                                      expected.y() < 0 ? anchor.y() : expected.y()));
        QCOMPARE(popup->size(), expected.size());
        // The table popup of a cell is used up by one opening; the next click opens nothing.
        if (opening > 0) {
            popup->close();
            releaseButton(box.get(), Qt::LeftButton);
            QCOMPARE(windows("TableEdit").size(), 0);
        }
    }

    void contextMenuEntries_data()
    {
        QTest::addColumn<int>("mode"); // 2: a box of the history browser
        QTest::addColumn<QString>("html");
        QTest::addColumn<int>("selectLength"); // from the start of the text; -1: cursor in a cell
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<bool>("formatEnabled");

        const QStringList editable{"格式...", "插入...", "查找...", "调整高度..."};
        const QString plain = "<p>Hello world</p>";
        QTest::newRow("plain text, no selection") << 0 << plain << 0 << editable << false;
        QTest::newRow("plain text, selection") << 0 << plain << 5 << editable << true;
        QTest::newRow("table cell, no selection") << 0 << tableHtml << -1 << editable << true;
        QTest::newRow("read-only list") << 1 << plain << 5 << QStringList{"查找..."} << false;
        QTest::newRow("history, no menu at all") << 2 << plain << 5 << QStringList() << false;
    }

    void contextMenuEntries()
    {
        QFETCH(int, mode);
        QFETCH(QString, html);
        QFETCH(int, selectLength);
        QFETCH(QStringList, added);
        QFETCH(bool, formatEnabled);

        Owner owner;
        CustomTextEdit editable(&owner, 200, 1, 1, qMin(mode, 1));
        CustomTextEdit history(static_cast<historyView *>(nullptr), 120, 1);
        CustomTextEdit &box = mode == 2 ? history : editable;
        box.setHtml(html);
        box.show();
        if (selectLength < 0)
            selectText(&box, positionOf(&box, "a1") + 1, positionOf(&box, "a1") + 1);
        else
            selectText(&box, 0, selectLength);

        QStringList texts;
        QList<bool> enabled;
        answerNextMenu(QString(), &texts, &enabled);
        openContextMenu(&box, QPoint(10, 10));

        QCOMPARE(texts.size() > added.size(), mode != 2); // the standard entries come first
        QCOMPARE(texts.mid(texts.size() - added.size()), added);
        const int format = texts.indexOf("格式...");
        QCOMPARE(format >= 0, mode == 0);
        QCOMPARE(format >= 0 && enabled.at(format), formatEnabled);
        // The menu is gone; the added entries were made as actions of the box.
        QVERIFY(!QApplication::activePopupWidget());
        QCOMPARE(box.findChildren<QAction *>().size(), added.size());
        // A read-only list never opens the format popup.
        selectText(&box, 0, 4);
        releaseButton(&box, Qt::LeftButton);
        QCOMPARE(windows("FormatEdit").size(), mode == 0 ? 1 : 0);
    }

    void menuDialogsPlacedAtMenu_data()
    {
        QTest::addColumn<QString>("entry"); // of the insert submenu, or of the menu itself
        QTest::addColumn<QString>("dialogClass");
        QTest::addColumn<int>("menuY");
        QTest::addColumn<QRect>("expected");

        QTest::newRow("table, near bottom") << "表格"
                                            << "TableOption" << 700 << QRect(150, 600, 280, 420);
        QTest::newRow("list, exactly enough") << "列表"
                                              << "ListChoice" << 540 << QRect(150, 540, 250, 500);
        QTest::newRow("list, one short") << "列表"
                                         << "ListChoice" << 541 << QRect(150, 520, 250, 500);
        QTest::newRow("link, near bottom") << "链接"
                                           << "UrlOption" << 800 << QRect(150, 690, 350, 320);
        QTest::newRow("height, one short") << "调整高度..."
                                           << "NewHeight" << 641 << QRect(150, 620, 200, 400);
        QTest::newRow("find, at the bottom") << "查找..."
                                             << "FindDialog" << 1000 << QRect(150, 1000, 200, 60);
    }

    void menuDialogsPlacedAtMenu()
    {
        QFETCH(QString, entry);
        QFETCH(QString, dialogClass);
        QFETCH(int, menuY);
        QFETCH(QRect, expected);

        Owner owner;
        auto box = taskBox(&owner, "<p>text</p>");
        QStringList submenu;
        const bool ownEntry = entry.endsWith("...");
        if (ownEntry)
            answerNextMenu(entry);
        else
            answerNextMenu("插入...", nullptr, nullptr, [&] { answerNextMenu(entry, &submenu); });
        openContextMenu(box.get(), QPoint(150, menuY) - box->viewport()->mapToGlobal(QPoint()));

        if (!ownEntry)
            QCOMPARE(submenu, (QStringList{"图片", "列表", "表格", "链接"}));
        QWidget *dialog = window(dialogClass);
        QVERIFY(dialog);
        // The find window is given a geometry, not a fixed size: its widgets may widen it.
        const bool find = dialogClass == "FindDialog";
        QCOMPARE(find ? dialog->geometry().topLeft() : dialog->pos(), expected.topLeft());
        QCOMPARE(dialog->height(), expected.height());
        if (!find)
            QCOMPARE(dialog->width(), expected.width());
        QCOMPARE(dialog->windowModality() == Qt::ApplicationModal, !find);
    }

    void ctrlClickOpensLink_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("opens");

        QTest::newRow("ctrl") << int(Qt::ControlModifier) << true;
        QTest::newRow("ctrl+shift") << int(Qt::ControlModifier | Qt::ShiftModifier) << false;
        QTest::newRow("plain click") << int(Qt::NoModifier) << false;
    }

    void ctrlClickOpensLink()
    {
        QFETCH(int, modifiers);
        QFETCH(bool, opens);

        auto opened = std::make_shared<QList<QUrl>>();
        Desktop::setOpenUrlHandler([opened](const QUrl &url) {
            opened->append(url);
            return true;
        });
        auto box =
            taskBox(nullptr, "<p>go to <a href='www.example.com/page?id=1'>the page</a></p>");
        QTextCursor onLink(box->document());
        onLink.setPosition(positionOf(box.get(), "page") + 1);
        QTest::mouseClick(box->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(modifiers),
                          box->cursorRect(onLink).center() + QPoint(3, 0));
        // The link opens exactly as written, and the cursor stays where it was.
        QCOMPARE(*opened, opens ? QList<QUrl>{QUrl("www.example.com/page?id=1")} : QList<QUrl>());
        QCOMPARE(box->textCursor().position() == 0, opens);
    }

    void formatPopup_data()
    {
        QTest::addColumn<QString>("html"); // "word" is selected
        // A button or shortcut; "size N" picks entry N of the size list; a colour button may be
        // followed by the colour chosen in the colour dialog, which is cancelled otherwise.
        QTest::addColumn<QString>("action");
        // The text in runs formatted alike, each but the plain ones with its format in braces,
        // then the clipboard if it no longer holds "TWO", the colour asked and an open popup.
        QTest::addColumn<QString>("expected");

        const auto row = [](const char *name, const QString &style, const QString &action,
                            const QString &expected) {
            QTest::newRow(name) << (style.startsWith('<') ? style
                                                          : QString("<p>left <span style='%1'>"
                                                                    "word</span> right</p>")
                                                                .arg(style))
                                << action << expected;
        };
        const QString up = "increaseButton", down = "decreaseButton";
        // Fresh text has no size of its own and shows at the box's 14 points.
        row("box font up", "", up, "left word{16pt w50} right");
        row("box font down", "", down, "left word{12pt w50} right");
        row("8 up", "font-size:8pt", up, "left word{9pt w50} right");
        row("42 stays", "font-size:42pt", up, "left word{42pt w50} right");
        row("10 down", "font-size:10pt", down, "left word{9pt w50} right");
        row("50 down", "font-size:50pt", down, "left word{42pt w50} right");
        row("pixels up", "font-size:20px", up, "left word{9pt w50} right");
        row("pixels down", "font-size:20px", down, "left word{20px w50} right");
        row("size list 36", "font-size:22pt", "size 8", "left word{36pt w50} right");
        row("size list 9, the entry shown", "font-size:22pt", "size 0", "left word{9pt w50} right");
        // CSS weights are eight times Qt's: 456 is 57.
        row("weight 57 becomes bold", "font-weight:456", "boldButton", "left word{w75} right");
        row("weight 58 becomes normal", "font-weight:464", "boldButton", "left word right");
        row("weight 63 becomes normal", "font-weight:504", "boldButton", "left word right");
        row("italic on", "", "italicButton", "left word{w50 italic} right");
        row("oblique off", "font-style:oblique", "italicButton", "left word right");
        row("underline on", "", "underlineButton", "left word{w50 underline} right");
        row("strike-out off", "text-decoration:line-through", "strikeOutButton", "left word right");
        row("background chosen", "", "backgroundButton #ff0000",
            "left word{w50 bg#ff0000} right\nasked for a colour");
        row("text colour cancelled", "", "foregroundButton",
            "left word right\nasked for a colour\npopup open");
        // The format at the cursor (after the plain part) replaces the selection's own ones.
        row("mixed selection", "<p><b>bo</b>word</p>", "italicButton", "boword{w50 italic}");
        row("copy", "", "copyButton", "left word right\nclipboard: word");
        row("copy by shortcut", "", "Ctrl+C", "left word right\nclipboard: word");
        row("cut", "", "cutButton", "left  right\nclipboard: word");
        row("paste", "", "pasteButton", "left TWO right");
        row("delete", "", "deleteButton", "left  right");
    }

    void formatPopup()
    {
        QFETCH(QString, html);
        QFETCH(QString, action);
        QFETCH(QString, expected);

        PromptScript prompts;
        const QStringList words = action.split(' ');
        if (words.first().endsWith("groundButton"))
            words.size() > 1 ? prompts.answerColor(QColor(words.at(1))) : prompts.answerCancel();
        QApplication::clipboard()->setText("TWO");
        auto box = taskBox(nullptr, html);
        selectCells(box.get(), html.contains("<b>") ? "bo..word+4" : "word..word+4");
        releaseButton(box.get(), Qt::LeftButton);
        QWidget *popup = window("FormatEdit");
        QVERIFY(popup);
        if (words.first() == "size") {
            // Picked from the open list with the keyboard; the list shows 9 at first.
            auto *sizes = findByName<QComboBox>(popup, "fontSizeComboBox");
            QCOMPARE(sizes->currentText(), QString("9"));
            sizes->showPopup();
            QVERIFY(QTest::qWaitForWindowExposed(sizes->view()->window()));
            QTest::keyClick(sizes->view(), Qt::Key_Home);
            for (int i = 0; i < words.at(1).toInt(); ++i)
                QTest::keyClick(sizes->view(), Qt::Key_Down);
            QTest::keyClick(sizes->view(), Qt::Key_Return);
        } else if (action.startsWith("Ctrl")) {
            popup->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(popup));
            QTest::keySequence(popup, QKeySequence(action));
        } else {
            clickButton(popup, words.first());
        }
        const auto outcome = [&] {
            QString text;
            QString runFormat;
            for (int i = 0; i + 1 < box->document()->characterCount(); ++i) {
                const QString format = describe(formatAt(box.get(), i));
                if (i > 0 && format != runFormat && runFormat != "w50")
                    text += '{' + runFormat + '}';
                text += box->document()->characterAt(i);
                runFormat = format;
            }
            if (runFormat != "w50")
                text += '{' + runFormat + '}';
            if (QApplication::clipboard()->text() != "TWO")
                text += "\nclipboard: " + QApplication::clipboard()->text();
            for (const Prompt::Request &request : prompts.requests())
                text += request.kind == Prompt::Kind::Color ? "\nasked for a colour" : "\nasked";
            return windows("FormatEdit").isEmpty() ? text : text + "\npopup open";
        };
        // A shortcut clicks its button with a short animation.
        QTRY_COMPARE(outcome(), expected);
    }

    void documentEdits_data()
    {
        QTest::addColumn<QString>("html");      // <work> stands for the working folder
        QTest::addColumn<QString>("selection"); // as selectCells takes it
        // An entry of the insert submenu, "格式..." of the menu after a right click in the
        // cell, or "" for a left release over the selection.
        QTest::addColumn<QString>("entry");
        // Steps starting with "?" come first and answer the file and colour dialogs to come
        // ("?cancel", "?#ff0000", "?<work>/a.png") or put an older namesake of the attachment
        // in MyAttachments ("?old attachment"). "type:a\nb" types lines into the box; the rest
        // are worked in the dialog that opened.
        QTest::addColumn<QStringList>("steps");
        // The document described, then what the user was asked and told, the attachment and
        // any attachment failure logged.
        QTest::addColumn<QString>("expected");

        const auto row = [](const char *name, const QString &html, const QString &selection,
                            const QString &entry, const QStringList &steps,
                            const QString &expected) {
            QTest::newRow(name) << html << selection << entry << steps << expected;
        };

        // A new table after "above".
        const QString above = "<p>above</p>";
        row("table, defaults", above, "above+5", "表格", {"确定"},
            "above\ntable left top border #000000\n||\n||\n||\n");
        row("table centred at the bottom", above, "above+5", "表格",
            {"rowCount=2", "columnCount=4", "水平居中", "下对齐", "确定"},
            "above\ntable centre bottom border #000000\n|||\n|||\n");
        row("table justified, red border", above, "above+5", "表格",
            {"?#ff0000", "rowCount=4", "columnCount=2", "两端对齐", "colorButton", "确定"},
            "above\ntable justify top border #ff0000\n|\n|\n|\n|\n\nasked for a colour");
        row("table cancelled", above, "above+5", "表格", {"rowCount=4", "取消"}, "above");

        // Changes to a table, worked in the popup of a cell.
        const QString wide = "<table><tr><td colspan='2'>wide</td><td>x</td></tr>"
                             "<tr><td>a</td><td>b</td><td>c</td></tr></table>";
        const QString tall = "<table><tr><td rowspan='2'>tall</td><td>1</td></tr>"
                             "<tr><td>2</td></tr><tr><td>low</td><td>3</td></tr></table>";
        const auto table = [](const QString &rows) {
            return "\ntable border #808080\n" + rows + "\n";
        };
        const QString grid = table("r0c0|r0c1|r0c2\nr1c0|r1c1|r1c2\nr2c0|r2c1|r2c2");
        const QString cell = "格式...";
        row("insert two rows, then delete the cursor's row", gridHtml, "r1c1+1", cell,
            {"insertRow=2", "deleteRow", "确定"}, table("r0c0|r0c1|r0c2\n||\n||\nr2c0|r2c1|r2c2"));
        row("insert a column before the cursor's", gridHtml, "r0c1+1", cell,
            {"insertColumn=1", "确定"}, table("r0c0||r0c1|r0c2\nr1c0||r1c1|r1c2\nr2c0||r2c1|r2c2"));
        row("append a row and a column", gridHtml, "r2c2+1", cell,
            {"appendRow=1", "appendColumn=1", "确定"},
            table("r0c0|r0c1|r0c2|\nr1c0|r1c1|r1c2|\nr2c0|r2c1|r2c2|\n|||"));
        row("delete the cursor's column", gridHtml, "r1c2+1", cell, {"deleteColumn", "确定"},
            table("r0c0|r0c1\nr1c0|r1c1\nr2c0|r2c1"));
        row("merge selected cells", gridHtml, "r1c0..r2c1+4", cell, {"mergeCells", "确定"},
            table("r0c0|r0c1|r0c2\nr1c0 r1c1\u2029r2c0 r2c1|^|r1c2\n^|^|r2c2"));
        row("merge without a multi-cell selection", gridHtml, "r1c1+1", cell,
            {"mergeCells", "确定"}, grid);
        row("split a merged cell", wide, "wide+1", cell, {"splitCells", "确定"},
            table("wide||x\na|b|c"));
        row("delete the rows of a tall cell", tall, "tall+1", cell, {"deleteRow", "确定"},
            table("low|3"));
        row("delete the columns of a wide cell", wide, "wide+1", cell, {"deleteColumn", "确定"},
            table("x\nc"));
        row("delete the only row", "<table><tr><td>one</td></tr></table>", "one+1", cell,
            {"deleteRow", "确定"}, "");
        // One structural change at a time: a checked box disables the others until unchecked.
        row("second check disabled", gridHtml, "r1c1+1", cell,
            {"deleteRow", "deleteColumn!", "确定"}, table("r0c0|r0c1|r0c2\nr2c0|r2c1|r2c2"));
        row("unchecked, then another", gridHtml, "r1c1+1", cell,
            {"deleteRow", "deleteRow", "deleteColumn", "确定"},
            table("r0c0|r0c2\nr1c0|r1c2\nr2c0|r2c2"));
        row("table changes cancelled", gridHtml, "r1c1+1", cell,
            {"insertRow=1", "deleteRow", "取消"}, grid);

        // A list after "intro", in which the user types two items.
        const QString intro = "<p>intro</p>";
        const QString items = "type:first\nsecond";
        row("list, nothing chosen", intro, "intro+5", "列表", {"确定", items},
            "intro\n<disc/2 .> first\n<disc/2 .> second");
        row("list square", intro, "intro+5", "列表", {"方块", "indentWidth=1", "确定", items},
            "intro\n<square/1 .> first\n<square/1 .> second");
        row("list decimal in brackets", intro, "intro+5", "列表",
            {"数字", "indentWidth=3", "numberPrefixString=(", "numberSuffixString=)", "确定",
             items},
            "intro\n<decimal/3 (1)> first\n<decimal/3 (2)> second");
        row("list lower alpha, own suffix", intro, "intro+5", "列表",
            {"小写英文字母", "numberSuffixString=:", "确定", items},
            "intro\n<a/2 a:> first\n<a/2 b:> second");
        row("list upper roman", intro, "intro+5", "列表", {"大写罗马数字", "确定", items},
            "intro\n<I/2 I.> first\n<I/2 II.> second");

        // An image from a file, between "a" and "b".
        const QString ab = "<p>ab</p>";
        const QString asked = "\nasked for a file: 插入图片 全部格式(*.bmp *.gif *.jpeg *.jpg "
                              "*.png *.svg)";
        row("800 x 600 image", ab, "ab+1", "图片", {"?<work>/photo.png"},
            "a[img 800x600 <work>/photo.png]b" + asked);
        row("not an image", ab, "ab+1", "图片", {"?<work>/fake.png"},
            "ab" + asked + "\ntold: 请插入有效格式的图片，注意不要是快捷方式。");
        row("internet shortcut", ab, "ab+1", "图片", {"?<work>/photo.url"}, "ab" + asked);
        row("image file not chosen", ab, "ab+1", "图片", {"?cancel"}, "ab" + asked);

        // The 800 x 600 image between "x" and "y", resized in its popup: only the image.
        const QString image = "<p>x<img src='<work>/big.png' width='800' height='600'>y</p>";
        const QStringList shown{"widthValue?800", "heightValue?600", "widthScaleValue?100 %",
                                "heightScaleValue?100 %"};
        const auto resized = [](const char *size) {
            return QString("x[img %1 <work>/big.png]y").arg(size);
        };
        row("image untouched", image, "x+1..y", "", shown + QStringList{"确定"},
            resized("800x600"));
        row("image height 50 %, width 25 %", image, "x+1..y", "",
            {"heightScaleValue=50", "widthScaleValue=25", "widthValue!", "heightValue!", "确定"},
            resized("200x300"));
        row("image absolute width 100", image, "x+1..y", "",
            {"widthValue=100", "widthScaleValue!", "heightScaleValue!", "确定"},
            resized("100x600"));
        row("image scaled, then reset", image, "x+1..y", "",
            QStringList{"heightScaleValue=50", "重新设置"} + shown + QStringList{"确定"},
            resized("800x600"));
        row("tiny scale keeps a pixel", image, "x+1..y", "",
            {"heightScaleValue=1", "widthScaleValue=1", "确定"}, resized("8x6"));
        // Without a size of its own, selected backwards with the text around it.
        row("text and image selected backwards", "<p>x<img src='<work>/big.png'>y</p>", "y+1..x",
            "", shown + QStringList{"widthScaleValue=200", "确定"}, resized("1600x600"));

        // A link after "start", to "it's notes.txt" of the working folder, or a copy of it.
        const QString start = "<p>start</p>";
        const QString local = "localFileAddress=<work>/it's notes.txt";
        const auto link = [](const QString &address, const QString &text) {
            return QString("start(超链接)[link %1: %2](超链接)").arg(address, text);
        };
        const QString file = "file:<work>/it's notes.txt";
        row("web address, no name", start, "start+5", "链接",
            {"webSiteAddress=www.example.com/page?id=1", "确定"},
            link("www.example.com/page?id=1", "www.example.com/page?id=1"));
        row("web address with quotes and markup", start, "start+5", "链接",
            {"webSiteAddress=http://x.org/?a='1'&b=<2>", "displayName=a <b> & 'c'", "确定"},
            link("http://x.org/?a='1'&b=<2>", "a <b> & 'c'"));
        row("local file", start, "start+5", "链接", {local, "确定"}, link(file, "it's notes.txt"));
        row("local file wins over web", start, "start+5", "链接",
            {local, "webSiteAddress=www.example.com", "displayName=report", "确定"},
            link(file, "report"));
        row("attachment", start, "start+5", "链接", {local, "attachment", "确定"},
            link("file:<app>/MyAttachments/it's notes.txt", "it's notes.txt") +
                "\nattachment: new");
        // A web address turns the attachment box off, but the choice made with it stays.
        row("attachment, then a web address", start, "start+5", "链接",
            {local, "attachment", "webSiteAddress=www.example.com", "确定"},
            link("file:<app>/MyAttachments/it's notes.txt", "it's notes.txt") +
                "\nattachment: new");
        row("attachment already there", start, "start+5", "链接",
            {"?old attachment", local, "attachment", "确定"},
            "start(超链接)(超链接)\ntold: "
            "把选中文件拷贝到安装目录下失败，请尝试重命名文件并使安装目录有写入权限。"
            "\nattachment: old\nlogged: copy file to MyAttachments failed!");
        row("link all empty", start, "start+5", "链接", {"确定"}, "start(超链接)(超链接)");
    }

    void documentEdits()
    {
        QFETCH(QString, html);
        QFETCH(QString, selection);
        QFETCH(QString, entry);
        QFETCH(QStringList, steps);
        QFETCH(QString, expected);

        PromptScript prompts;
        LogCapture log;
        const QString dir = env->workDir();
        const QString copy = Paths::attachmentsDir() + "/it's notes.txt";
        writeImage(dir + "/big.png", QSize(800, 600));
        writeImage(dir + "/photo.png", QSize(800, 600));
        writeImage(dir + "/photo.url", QSize(8, 6));
        writeText(dir + "/fake.png", "not a picture");
        writeText(dir + "/it's notes.txt", "new");
        steps.replaceInStrings("<work>", dir);
        for (const QString &step : steps) {
            if (step == "?old attachment") {
                QDir(env->appDir()).mkdir("MyAttachments");
                writeText(copy, "old");
            } else if (step == "?cancel") {
                prompts.answerCancel();
            } else if (step.startsWith("?#")) {
                prompts.answerColor(QColor(step.mid(1)));
            } else if (step.startsWith('?')) {
                prompts.answerText(step.mid(1));
            }
        }

        auto box = taskBox(nullptr, QString(html).replace("<work>", dir), QPoint(100, 100), 300);
        selectCells(box.get(), selection);
        if (entry.isEmpty()) {
            releaseButton(box.get(), Qt::LeftButton);
        } else if (entry == "格式...") {
            releaseButton(box.get(), Qt::RightButton);
            answerNextMenu(entry);
            openContextMenu(box.get(), box->cursorRect().center());
        } else {
            insertFromMenu(box.get(), entry);
        }
        const QStringList dialogs{"TableOption", "TableEdit", "ListChoice", "ImageEdit",
                                  "UrlOption"};
        QWidget *dialog = nullptr;
        for (const QString &name : dialogs)
            dialog = dialog ? dialog : window(name);
        for (const QString &step : steps) {
            if (step.startsWith("type:")) {
                const QStringList lines = step.mid(5).split('\n');
                for (int i = 0; i < lines.size(); ++i) {
                    if (i > 0)
                        QTest::keyClick(box.get(), Qt::Key_Return);
                    QTest::keyClicks(box.get(), lines.at(i));
                }
            } else if (!step.startsWith('?')) {
                work(dialog, {step});
            }
        }
        for (const QString &name : dialogs)
            QCOMPARE(windows(name).size(), 0);

        QString outcome = describeDocument(box->document());
        for (const Prompt::Request &request : prompts.requests()) {
            if (request.kind == Prompt::Kind::OpenFile)
                outcome += "\nasked for a file: " + request.title + ' ' +
                           request.filter.left(request.filter.indexOf(')') + 1);
            else if (request.kind == Prompt::Kind::Color)
                outcome += "\nasked for a colour";
            else
                outcome += "\ntold: " + request.text;
        }
        QFile attachment(copy);
        if (attachment.open(QIODevice::ReadOnly))
            outcome += "\nattachment: " + attachment.readAll();
        for (const QString &line : log.lines()) {
            if (line.contains("MyAttachments"))
                outcome += "\nlogged: " + line;
        }
        outcome.replace(QUrl::fromLocalFile(dir).toString(), "file:<work>")
            .replace(QUrl::fromLocalFile(env->appDir()).toString(), "file:<app>")
            .replace(dir, "<work>");
        QCOMPARE(outcome, expected);
        // The owner saves and reloads the HTML: all comes back but a table's vertical alignment
        // and a left alignment, which is the default anyway.
        const QString before = describeDocument(box->document());
        box->setHtml(box->toHtml());
        QCOMPARE(describeDocument(box->document()),
                 QString(before).remove(
                     QRegularExpression(" (left|top|bottom|middle)(?=[a-z ]* border #)")));
    }

    void findInBox_data()
    {
        QTest::addColumn<int>("cursorAt");
        QTest::addColumn<QStringList>("steps"); // worked in the dialog
        QTest::addColumn<QString>("selected");  // after the searches
        QTest::addColumn<bool>("notFound");     // the last search told so

        const QString next = "下一个";
        QTest::newRow("lower case finds capitals")
            << 0 << QStringList{"lineEdit_text=beta", next} << "BETA" << false;
        QTest::newRow("repeated word, next twice")
            << 0 << QStringList{"lineEdit_text=gamma", next, next} << "Gamma" << false;
        QTest::newRow("empty text") << 0 << QStringList{next} << "" << true;
        QTest::newRow("no match") << 0 << QStringList{"lineEdit_text=delta", next} << "" << true;
        QTest::newRow("backwards from the end")
            << 24 << QStringList{"lineEdit_text=alpha", "上一个"} << "Alpha" << false;
        QTest::newRow("no wrap at the end")
            << 24 << QStringList{"lineEdit_text=alpha", next} << "" << true;
    }

    void findInBox()
    {
        QFETCH(int, cursorAt);
        QFETCH(QStringList, steps);
        QFETCH(QString, selected);
        QFETCH(bool, notFound);

        PromptScript prompts;
        auto box = taskBox(nullptr, "<p>Alpha BETA gamma x Gamma</p>");
        selectText(box.get(), cursorAt, cursorAt);
        answerNextMenu("查找...");
        openContextMenu(box.get(), QPoint(10, 10));
        work(window("FindDialog"), steps);

        QCOMPARE(box->textCursor().selectedText(), selected);
        QCOMPARE(prompts.messages(), notFound
                                         ? QStringList{"此文本框内没有找到，请尝试全局筛选关键字。"}
                                         : QStringList());
        // Found text shows in half-transparent red, whether the last search found or not.
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            QCOMPARE(box->palette().color(group, QPalette::Highlight), QColor(255, 0, 0, 127));
        QCOMPARE(windows("FindDialog").size(), 1);
    }

    void heightDialog_data()
    {
        // 0 task row, 1 day-view result box, 2 none, 3 task row rebuilt (box destroyed) on
        // every height it is told.
        QTest::addColumn<int>("owner");
        // A number is dragged on the slider, "=N" typed into the spin box and confirmed with
        // Enter; the last step is the button.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QList<int>>("handedBack"); // heights, in order

        const QStringList drags{"150", "200", "250", "取消"};
        const QList<int> back{150, 200, 250, 100};
        QTest::newRow("task row, drag and cancel") << 0 << drags << back;
        QTest::newRow("day view, drag and cancel") << 1 << drags << back;
        QTest::newRow("no owner") << 2 << drags << QList<int>();
        QTest::newRow("typed, then clamped to the screen")
            << 0 << QStringList{"=300", "5000", "-3", "确定"} << QList<int>{300, 1040, 1};
        QTest::newRow("owner redraws while the dialog is open")
            << 3 << QStringList{"180", "190", "取消"} << QList<int>{180, 190, 100};
    }

    void heightDialog()
    {
        QFETCH(int, owner);
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, handedBack);

        // The owner's row area, scrolled down a little.
        QScrollArea area;
        area.setWidget(new QWidget);
        area.widget()->setFixedSize(300, 3000);
        area.resize(300, 300);
        area.show();
        area.verticalScrollBar()->setValue(37);
        Owner window;
        window.area = &area;
        window.rebuild = owner == 3;
        if (owner == 0 || owner == 3)
            window.box = std::make_unique<CustomTextEdit>(&window, 100, 4);
        else
            window.box =
                std::make_unique<CustomTextEdit>(owner == 1 ? &window : nullptr, 100, 4, 1, 0);
        window.box->show();

        answerNextMenu("调整高度...");
        openContextMenu(window.box.get(), QPoint(20, 20));
        QPointer<QWidget> dialog = ::window("NewHeight");
        QVERIFY(dialog);
        auto *slider = dialog->findChild<QSlider *>();
        auto *spin = findByName<QSpinBox>(dialog, "heightValue");
        QCOMPARE(QPoint(slider->value(), spin->value()), QPoint(100, 100));
        QCOMPARE(QPoint(spin->minimum(), spin->maximum()), QPoint(1, 1040));
        QCOMPARE(QPoint(slider->minimum(), slider->maximum()), QPoint(1, 1040));
        for (const QString &step : steps.mid(0, steps.size() - 1)) {
            const int calls = window.calls.size();
            if (step.startsWith('=')) {
                typeInto(dialog, "heightValue", step.mid(1));
                QCOMPARE(window.calls.size(), calls); // nothing is applied while typing
                QTest::keyClick(spin, Qt::Key_Enter);
            } else {
                slider->setValue(step.toInt()); // the user drags
            }
            QVERIFY(dialog); // also when the owner has just destroyed the box
            QCOMPARE(spin->value(), slider->value());
        }
        QCOMPARE(!window.box, owner == 3);
        clickButton(dialog, steps.last());
        QCOMPARE(windows("NewHeight").size(), 0);

        QList<QList<int>> expected;
        for (int height : handedBack)
            expected.append(owner == 1 ? QList<int>{4, 1, height, 37} : QList<int>{4, height, 37});
        QCOMPARE(window.calls, expected);
    }
};

QTEST_MAIN(TestRichText)
#include "tst_richtext.moc"

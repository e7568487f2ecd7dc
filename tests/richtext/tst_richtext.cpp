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
#include <QMenu>
#include <QPointer>
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

// Selects "text+N..text+N" as a mouse drag leaves it (the cursor at the second end) or places
// the cursor at "text+N"; "+N" counts from the start of the document.
void selectCells(QTextEdit *box, const QString &range)
{
    const auto at = [box](const QString &end) {
        const QString text = end.section('+', 0, 0);
        return (text.isEmpty() ? 0 : positionOf(box, text)) + end.section('+', 1).toInt();
    };
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(at(range.section("..", 0, 0)));
    cursor.setPosition(at(range.section("..", -1)), QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
}

// Lets go of a mouse button over the cursor, which is where a mouse selection ends.
void releaseButton(QTextEdit *box, Qt::MouseButton button)
{
    const QPoint at = box->cursorRect().center();
    QMouseEvent release(QEvent::MouseButtonRelease, at, box->viewport()->mapToGlobal(at), button,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(box->viewport(), &release);
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
        // "" a left release, "right" a right then a left one, else an entry of the menu or of its
        // insert submenu, the menu opened at the cursor or, with "@y", at (150, y) of the screen.
        QTest::addColumn<QString>("opening");
        QTest::addColumn<QString>("popupClass"); // empty: none opens
        // Place and size; x -1: just right of the cursor, -2: at its left edge; y -1: its top.
        QTest::addColumn<QRect>("expected");

        const auto row = [](const char *name, const QPoint &at, const QString &html,
                            const QString &selection, const QString &opening, const QString &popup,
                            const QRect &expected) {
            QTest::newRow(name) << at << html << selection << opening << popup << expected;
        };
        const QPoint at(100, 100);
        const QString text = "<p>Hello brave world</p>", word = "brave..brave+5";
        const QString format = "FormatEdit", table = "TableEdit";
        row("click in plain text", at, text, "brave+2", "", "", QRect());
        row("room everywhere", at, text, word, "", format, QRect(-1, -1, 440, 100));
        row("near right edge", {1500, 100}, text, word, "", format, QRect(960, -1, 440, 100));
        row("near bottom", {100, 960}, text, word, "", format, QRect(-1, 920, 440, 100));
        row("above screen top", {100, -150}, text, word, "", format, QRect(-1, 520, 440, 100));
        row("image near bottom", {100, 800}, imageHtml, "see+4..see+5", "", "ImageEdit",
            QRect(-1, 770, 300, 250));
        row("text around image", at, imageHtml, "see..here+4", "", "ImageEdit",
            QRect(-1, -1, 300, 250));
        row("click in table cell", at, tableHtml, "b1+1", "", "", QRect());
        row("table cell after right click", at, tableHtml, "b1+1", "right", table,
            QRect(-2, -1, 200, 500));
        row("table cell from the menu", at, tableHtml, "b1+1", "格式...", table,
            QRect(-2, -1, 200, 500));
        row("text in table cell", at, tableHtml, "a2..a2+2", "", format, QRect(-1, -1, 440, 100));
        row("several cells", at, tableHtml, "a1..b2+2", "", table, QRect(-1, -1, 200, 500));
        // The menu's dialogs open at its place, moved up just enough to stay on the screen.
        row("table dialog", at, text, "+0", "表格@700", "TableOption", QRect(150, 600, 280, 420));
        row("list, exactly enough", at, text, "+0", "列表@540", "ListChoice",
            QRect(150, 540, 250, 500));
        row("list, one short", at, text, "+0", "列表@541", "ListChoice", QRect(150, 520, 250, 500));
        row("link dialog", at, text, "+0", "链接@800", "UrlOption", QRect(150, 690, 350, 320));
        row("height, one short", at, text, "+0", "调整高度...@641", "NewHeight",
            QRect(150, 620, 200, 400));
        row("find, at the bottom", at, text, "+0", "查找...@1000", "FindDialog",
            QRect(150, 1000, 200, 60));
    }

    void popups()
    {
        QFETCH(QPoint, boxAt);
        QFETCH(QString, html);
        QFETCH(QString, selection);
        QFETCH(QString, opening);
        QFETCH(QString, popupClass);
        QFETCH(QRect, expected);

        auto box = taskBox(nullptr, html, boxAt);
        selectCells(box.get(), selection);
        const QString entry = opening.section('@', 0, 0);
        const bool menu = !opening.isEmpty() && opening != "right";
        QStringList submenu;
        if (!menu) {
            if (opening == "right")
                releaseButton(box.get(), Qt::RightButton);
            releaseButton(box.get(), Qt::LeftButton);
        } else if (entry.endsWith("...")) {
            answerNextMenu(entry);
        } else {
            answerNextMenu("插入...", nullptr, nullptr, [&] { answerNextMenu(entry, &submenu); });
        }
        const QPoint menuAt =
            QPoint(150, opening.section('@', 1).toInt()) - box->viewport()->mapToGlobal(QPoint());
        if (menu)
            openContextMenu(box.get(), opening.contains('@') ? menuAt : box->cursorRect().center());
        if (menu && !entry.endsWith("..."))
            QCOMPARE(submenu, (QStringList{"图片", "列表", "表格", "链接"}));
        for (const char *name : {"FormatEdit", "ImageEdit", "TableEdit"})
            QCOMPARE(windows(name).size(), name == popupClass ? 1 : 0);
        // The popup acts on what was selected: the selection is still there.
        QCOMPARE(box->textCursor().hasSelection(), selection.contains(".."));
        if (popupClass.isEmpty())
            return;
        QWidget *popup = window(popupClass);
        QVERIFY(popup);
        const QPoint G = box->mapToGlobal(QPoint(0, 0));
        const QRect R = box->cursorRect();
        const QPoint anchor(G.x() + (expected.x() == -2 ? R.left() : R.right() + 1),
                            G.y() + R.top());
        // The find window is given a geometry, not a fixed size: its widgets may widen it.
        const bool find = popupClass == "FindDialog";
        QCOMPARE(find ? popup->geometry().topLeft() : popup->pos(),
                 QPoint(expected.x() < 0 ? anchor.x() : expected.x(),
                        expected.y() < 0 ? anchor.y() : expected.y()));
        QCOMPARE(popup->height(), expected.height());
        if (!find)
            QCOMPARE(popup->width(), expected.width());
        if (opening.contains('@'))
            QCOMPARE(popup->windowModality() == Qt::ApplicationModal, !find);
        // The table popup of a cell is used up by one opening; the next click opens nothing.
        if (popupClass == "TableEdit" && !opening.isEmpty()) {
            popup->close();
            releaseButton(box.get(), Qt::LeftButton);
            QCOMPARE(windows("TableEdit").size(), 0);
        }
    }

    void contextMenuEntries_data()
    {
        QTest::addColumn<int>("mode"); // 2: a box of the history browser
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("selection"); // as selectCells takes it
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<bool>("formatEnabled");

        const QStringList editable{"格式...", "插入...", "查找...", "调整高度..."};
        const QString plain = "<p>Hello world</p>";
        QTest::newRow("plain text, no selection") << 0 << plain << "+0" << editable << false;
        QTest::newRow("plain text, selection") << 0 << plain << "+0..+5" << editable << true;
        QTest::newRow("table cell, no selection") << 0 << tableHtml << "a1+1" << editable << true;
        QTest::newRow("read-only list")
            << 1 << plain << "+0..+5" << QStringList{"查找..."} << false;
        QTest::newRow("history, no menu at all")
            << 2 << plain << "+0..+5" << QStringList() << false;
    }

    void contextMenuEntries()
    {
        QFETCH(int, mode);
        QFETCH(QString, html);
        QFETCH(QString, selection);
        QFETCH(QStringList, added);
        QFETCH(bool, formatEnabled);

        Owner owner;
        CustomTextEdit editable(&owner, 200, 1, 1, qMin(mode, 1));
        CustomTextEdit history(static_cast<historyView *>(nullptr), 120, 1);
        CustomTextEdit &box = mode == 2 ? history : editable;
        box.setHtml(html);
        box.show();
        selectCells(&box, selection);

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
        selectCells(&box, "+0..+4");
        releaseButton(&box, Qt::LeftButton);
        QCOMPARE(windows("FormatEdit").size(), mode == 0 ? 1 : 0);
    }

    void ctrlClickOpensLink()
    {
        auto opened = std::make_shared<QList<QUrl>>();
        Desktop::setOpenUrlHandler([opened](const QUrl &url) {
            opened->append(url);
            return true;
        });
        const auto shift = Qt::ControlModifier | Qt::ShiftModifier;
        for (Qt::KeyboardModifiers modifiers : {shift, Qt::KeyboardModifiers(Qt::NoModifier),
                                                Qt::KeyboardModifiers(Qt::ControlModifier)}) {
            auto box =
                taskBox(nullptr, "<p>go to <a href='www.example.com/page?id=1'>the page</a></p>");
            QTextCursor onLink(box->document());
            onLink.setPosition(positionOf(box.get(), "page") + 1);
            QTest::mouseClick(box->viewport(), Qt::LeftButton, modifiers,
                              box->cursorRect(onLink).center() + QPoint(3, 0));
            // Only Ctrl alone opens the link, exactly as written, and the cursor stays put.
            const bool opens = modifiers == Qt::ControlModifier;
            QCOMPARE(*opened,
                     opens ? QList<QUrl>{QUrl("www.example.com/page?id=1")} : QList<QUrl>());
            QCOMPARE(box->textCursor().position() == 0, opens);
        }
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
            QTextCursor at(box->document());
            for (int i = 0; i + 1 < box->document()->characterCount(); ++i) {
                at.setPosition(i + 1, QTextCursor::KeepAnchor);
                const QString format = describe(at.charFormat());
                at.clearSelection();
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
        // The box's HTML (<work> is the working folder) and selection; the entry of the menu (after
        // a right click) or its insert submenu, "" for a left release. Steps starting with "?"
        // answer the file and colour dialogs ("?cancel", "?#ff0000", "?<work>/a.png") or put an
        // older namesake of the attachment in place; "type:a\nb" types lines into the box; the
        // rest are worked in the dialog. Expected: the document, what the user was asked and
        // told, the attachment, any failure logged, a search's selection and dialogs still open.
        for (const char *column : {"html", "selection", "entry", "expected"})
            QTest::addColumn<QString>(column);
        QTest::addColumn<QStringList>("steps");

        const auto row = [](const char *name, const QString &html, const QString &selection,
                            const QString &entry, const QStringList &steps,
                            const QString &expected) {
            QTest::newRow(name) << html << selection << entry << expected << steps;
        };

        // A new table after "above": its head line, rows and columns of empty cells.
        const auto newTable = [&](const char *name, const QStringList &steps, const char *head,
                                  int rows, int columns, const QString &asked = "") {
            const QString cells = (QString(columns - 1, '|') + '\n').repeated(rows);
            row(name, "<p>above</p>", "above+5", "表格", steps,
                QString("above\ntable %1\n%2").arg(head, cells) + asked);
        };
        newTable("table, defaults", {"确定"}, "left top border #000000", 3, 3);
        newTable("table centred at the bottom",
                 {"rowCount=2", "columnCount=4", "水平居中", "下对齐", "确定"},
                 "centre bottom border #000000", 2, 4);
        newTable("table justified, red border",
                 {"?#ff0000", "rowCount=4", "columnCount=2", "两端对齐", "colorButton", "确定"},
                 "justify top border #ff0000", 4, 2, "\nasked for a colour");
        row("table cancelled", "<p>above</p>", "above+5", "表格", {"rowCount=4", "取消"}, "above");

        // Changes to a table, worked in the popup of a cell: the rows of the table after them.
        const auto cell = [&](const char *name, const QString &html, const QString &at,
                              const QStringList &steps, const QString &rows) {
            row(name, html, at, "格式...", steps,
                rows.isEmpty() ? "" : "\ntable border #808080\n" + rows + "\n");
        };
        const QString wide = "<table><tr><td colspan='2'>wide</td><td>x</td></tr>"
                             "<tr><td>a</td><td>b</td><td>c</td></tr></table>";
        const QString tall = "<table><tr><td rowspan='2'>tall</td><td>1</td></tr>"
                             "<tr><td>2</td></tr><tr><td>low</td><td>3</td></tr></table>";
        const QString grid = "r0c0|r0c1|r0c2\nr1c0|r1c1|r1c2\nr2c0|r2c1|r2c2";
        cell("insert two rows, delete the cursor's", gridHtml, "r1c1+1",
             {"insertRow=2", "deleteRow", "确定"}, "r0c0|r0c1|r0c2\n||\n||\nr2c0|r2c1|r2c2");
        cell("insert a column before the cursor's", gridHtml, "r0c1+1", {"insertColumn=1", "确定"},
             "r0c0||r0c1|r0c2\nr1c0||r1c1|r1c2\nr2c0||r2c1|r2c2");
        cell("append a row and a column", gridHtml, "r2c2+1",
             {"appendRow=1", "appendColumn=1", "确定"},
             "r0c0|r0c1|r0c2|\nr1c0|r1c1|r1c2|\nr2c0|r2c1|r2c2|\n|||");
        cell("delete the cursor's column", gridHtml, "r1c2+1", {"deleteColumn", "确定"},
             "r0c0|r0c1\nr1c0|r1c1\nr2c0|r2c1");
        cell("merge selected cells", gridHtml, "r1c0..r2c1+4", {"mergeCells", "确定"},
             "r0c0|r0c1|r0c2\nr1c0 r1c1\u2029r2c0 r2c1|^|r1c2\n^|^|r2c2");
        cell("merge, one cell", gridHtml, "r1c1+1", {"mergeCells", "确定"}, grid);
        cell("split a merged cell", wide, "wide+1", {"splitCells", "确定"}, "wide||x\na|b|c");
        cell("delete the rows of a tall cell", tall, "tall+1", {"deleteRow", "确定"}, "low|3");
        cell("delete the columns of a wide cell", wide, "wide+1", {"deleteColumn", "确定"}, "x\nc");
        cell("delete the only row", "<table><tr><td>one</td></tr></table>", "one+1",
             {"deleteRow", "确定"}, "");
        // One structural change at a time: a checked box disables the others until unchecked.
        cell("second check disabled", gridHtml, "r1c1+1", {"deleteRow", "deleteColumn!", "确定"},
             "r0c0|r0c1|r0c2\nr2c0|r2c1|r2c2");
        cell("unchecked, then another", gridHtml, "r1c1+1",
             {"deleteRow", "deleteRow", "deleteColumn", "确定"}, "r0c0|r0c2\nr1c0|r1c2\nr2c0|r2c2");
        cell("table changes cancelled", gridHtml, "r1c1+1", {"insertRow=1", "deleteRow", "取消"},
             grid);

        // A list after "intro", in which the user types two items; their list and numbers.
        const auto list = [&](const char *name, const QStringList &choices, const QString &first,
                              const QString &second) {
            row(name, "<p>intro</p>", "intro+5", "列表",
                choices + QStringList{"确定", "type:first\nsecond"},
                QString("intro\n<%1> first\n<%2> second").arg(first, second));
        };
        list("list, nothing chosen", {}, "disc/2 .", "disc/2 .");
        list("list square", {"方块", "indentWidth=1"}, "square/1 .", "square/1 .");
        list("list decimal in brackets",
             {"数字", "indentWidth=3", "numberPrefixString=(", "numberSuffixString=)"},
             "decimal/3 (1)", "decimal/3 (2)");
        list("list lower alpha, own suffix", {"小写英文字母", "numberSuffixString=:"},
             "a/2 a:", "a/2 b:");
        list("list upper roman", {"大写罗马数字"}, "I/2 I.", "I/2 II.");

        // An image from a file, between "a" and "b".
        const auto imageFile = [&](const char *name, const QString &answer, const QString &result,
                                   const QString &told = "") {
            row(name, "<p>ab</p>", "ab+1", "图片", {answer},
                result +
                    "\nasked for a file: 插入图片 全部格式(*.bmp *.gif *.jpeg *.jpg *.png *.svg)" +
                    told);
        };
        imageFile("800 x 600 image", "?<work>/photo.png", "a[img 800x600 <work>/photo.png]b");
        imageFile("not an image", "?<work>/fake.png", "ab",
                  "\ntold: 请插入有效格式的图片，注意不要是快捷方式。");
        imageFile("internet shortcut", "?<work>/photo.url", "ab");
        imageFile("image file not chosen", "?cancel", "ab");

        // The 800 x 600 image between "x" and "y", resized in its popup: only the image.
        const QString image = "<p>x<img src='<work>/big.png' width='800' height='600'>y</p>";
        const auto resize = [&](const char *name, const QStringList &steps, const char *size) {
            row(name, image, "x+1..y", "", steps + QStringList{"确定"},
                QString("x[img %1 <work>/big.png]y").arg(size));
        };
        const QStringList shown{"widthValue?800", "heightValue?600", "widthScaleValue?100 %",
                                "heightScaleValue?100 %"};
        resize("image untouched", shown, "800x600");
        resize("image height 50 %, width 25 %",
               {"heightScaleValue=50", "widthScaleValue=25", "widthValue!", "heightValue!"},
               "200x300");
        resize("image absolute width 100",
               {"widthValue=100", "widthScaleValue!", "heightScaleValue!"}, "100x600");
        resize("image scaled, then reset", QStringList{"heightScaleValue=50", "重新设置"} + shown,
               "800x600");
        resize("tiny scale keeps a pixel", {"heightScaleValue=1", "widthScaleValue=1"}, "8x6");
        // Without a size of its own, selected backwards with the text around it.
        row("text and image selected backwards", "<p>x<img src='<work>/big.png'>y</p>", "y+1..x",
            "", shown + QStringList{"widthScaleValue=200", "确定"},
            "x[img 1600x600 <work>/big.png]y");

        // A link after "start", to "it's notes.txt" of the working folder, or a copy of it.
        const auto link = [&](const char *name, const QStringList &steps, const QString &address,
                              const QString &text, const QString &after = "") {
            const QString made = QString("[link %1: %2]").arg(address, text);
            row(name, "<p>start</p>", "start+5", "链接", steps,
                "start(超链接)" + (address.isEmpty() ? "" : made) + "(超链接)" + after);
        };
        const QString local = "localFileAddress=<work>/it's notes.txt";
        const QString file = "file:<work>/it's notes.txt";
        const QString copied = "file:<app>/MyAttachments/it's notes.txt";
        const QString web = "www.example.com/page?id=1";
        link("web address, no name", {"webSiteAddress=" + web, "确定"}, web, web);
        link("web address with quotes and markup",
             {"webSiteAddress=http://x.org/?a='1'&b=<2>", "displayName=a <b> & 'c'", "确定"},
             "http://x.org/?a='1'&b=<2>", "a <b> & 'c'");
        link("local file", {local, "确定"}, file, "it's notes.txt");
        link("local file wins over web",
             {local, "webSiteAddress=www.example.com", "displayName=report", "确定"}, file,
             "report");
        link("attachment", {local, "attachment", "确定"}, copied, "it's notes.txt",
             "\nattachment: new");
        // A web address turns the attachment box off, but the choice made with it stays.
        link("attachment, then a web address",
             {local, "attachment", "webSiteAddress=www.example.com", "确定"}, copied,
             "it's notes.txt", "\nattachment: new");
        // An installed program keeps its attachments in its data folder, not beside itself.
        link("attachment of an installed program", {"?installed", local, "attachment", "确定"},
             "file:<work>/data/MyAttachments/it's notes.txt", "it's notes.txt",
             "\nattachment: new");
        link("attachment already there", {"?old attachment", local, "attachment", "确定"}, "", "",
             "\ntold: 把选中文件拷贝到安装目录下失败，请尝试重命名文件并使安装目录有写入权限。"
             "\nattachment: old\nlogged: copy file to MyAttachments failed!");
        link("link all empty", {"确定"}, "", "");

        // A search in "Alpha BETA gamma x Gamma" from its start or end: the text it selects.
        const auto find = [&](const char *name, const char *from, const QStringList &steps,
                              const QString &selected) {
            const QString none = "\ntold: 此文本框内没有找到，请尝试全局筛选关键字。";
            row(name, "<p>Alpha BETA gamma x Gamma</p>", from, "查找...", steps,
                "Alpha BETA gamma x Gamma" + (selected.isEmpty() ? none : "") +
                    "\nselected: " + selected + "\nopen: FindDialog");
        };
        const QString next = "下一个";
        find("lower case finds capitals", "+0", {"lineEdit_text=beta", next}, "BETA");
        find("repeated word, next twice", "+0", {"lineEdit_text=gamma", next, next}, "Gamma");
        find("find empty text", "+0", {next}, "");
        find("find no match", "+0", {"lineEdit_text=delta", next}, "");
        find("backwards from the end", "+24", {"lineEdit_text=alpha", "上一个"}, "Alpha");
        find("no wrap at the end", "+24", {"lineEdit_text=alpha", next}, "");
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
        if (steps.contains("?installed")) {
            QDir().mkpath(dir + "/data");
            Paths::setFilesDir(dir + "/data");
        }
        const QString copy = Paths::attachmentsDir() + "/it's notes.txt";
        writeImage(dir + "/big.png", QSize(800, 600));
        writeImage(dir + "/photo.png", QSize(800, 600));
        writeImage(dir + "/photo.url", QSize(8, 6));
        writeText(dir + "/fake.png", "not a picture");
        writeText(dir + "/it's notes.txt", "new");
        steps.replaceInStrings("<work>", dir);
        for (const QString &step : steps) {
            if (step == "?installed") {
                continue;
            } else if (step == "?old attachment") {
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
        } else if (entry.endsWith("...")) {
            releaseButton(box.get(), Qt::RightButton);
            answerNextMenu(entry);
        } else {
            answerNextMenu("插入...", nullptr, nullptr, [entry] { answerNextMenu(entry); });
        }
        if (!entry.isEmpty())
            openContextMenu(box.get(), box->cursorRect().center());
        const QStringList dialogs{"TableOption", "TableEdit", "ListChoice",
                                  "ImageEdit",   "UrlOption", "FindDialog"};
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
        if (entry == "查找...") {
            outcome += "\nselected: " + box->textCursor().selectedText();
            // Found text shows in half-transparent red, whether the last search found or not.
            for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
                QCOMPARE(box->palette().color(group, QPalette::Highlight), QColor(255, 0, 0, 127));
        }
        for (const QString &name : dialogs) {
            if (!windows(name).isEmpty())
                outcome += "\nopen: " + name;
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

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
void selectSpec(QTextEdit *box, const QString &spec)
{
    const auto at = [box](const QString &end) {
        return positionOf(box, end.section('+', 0, 0)) + end.section('+', 1).toInt();
    };
    selectText(box, at(spec.section("..", 0, 0)), at(spec.section("..", -1)));
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

// Works a dialog: "name=text" types into a field or spin box, anything else clicks a button.
void work(QWidget *dialog, const QStringList &steps)
{
    QVERIFY(dialog);
    for (const QString &step : steps) {
        const int eq = step.indexOf('=');
        if (eq > 0)
            typeInto(dialog, step.left(eq), step.mid(eq + 1));
        else
            clickButton(dialog, step);
    }
}

QTextTable *firstTable(QTextEdit *box)
{
    for (QTextFrame *frame : box->document()->rootFrame()->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(frame))
            return table;
    }
    return nullptr;
}

// The table as rows of "|"-joined cell texts; a place covered by a merged cell reads "^".
QStringList tableRows(QTextTable *table)
{
    QStringList rows;
    for (int r = 0; r < table->rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            QTextCursor text = cell.firstCursorPosition();
            text.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            cells.append(cell.row() != r || cell.column() != c ? "^" : text.selectedText());
        }
        rows.append(cells.join('|'));
    }
    return rows;
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

// Positions of the image characters of the document.
QList<int> imagePositions(QTextEdit *box)
{
    QList<int> positions;
    for (int p = 0; p < box->document()->characterCount(); ++p) {
        if (box->document()->characterAt(p) == QChar::ObjectReplacementCharacter &&
            formatAt(box, p).isImageFormat())
            positions.append(p);
    }
    return positions;
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
        QTest::addColumn<QString>("selection"); // as selectSpec takes it
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
        selectSpec(box.get(), selection);
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
        // The menu is gone and its entries with it; the box does not collect actions.
        QVERIFY(!QApplication::activePopupWidget());
        QCOMPARE(box.findChildren<QAction *>().size(), 0);
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
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("select");
        QTest::addColumn<int>("weight"); // given to the selection first; 0 for none
        // A button; "size N" picks entry N of the size list; a colour button may be followed
        // by the colour chosen in the colour dialog, which is cancelled otherwise.
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("expected"); // every selected character afterwards

        const auto word = [](const QString &style) {
            return QString("<p>left <span style='%1'>word</span> right</p>").arg(style);
        };
        const QString up = "increaseButton";
        const QString down = "decreaseButton";
        // Fresh text has no size of its own and shows at the box's 14 points.
        QTest::newRow("box font up") << word("") << "word" << 0 << up << "16pt w50";
        QTest::newRow("box font down") << word("") << "word" << 0 << down << "12pt w50";
        QTest::newRow("8 up") << word("font-size:8pt") << "word" << 0 << up << "9pt w50";
        QTest::newRow("42 stays") << word("font-size:42pt") << "word" << 0 << up << "42pt w50";
        QTest::newRow("10 down") << word("font-size:10pt") << "word" << 0 << down << "9pt w50";
        QTest::newRow("9 stays") << word("font-size:9pt") << "word" << 0 << down << "9pt w50";
        QTest::newRow("50 down") << word("font-size:50pt") << "word" << 0 << down << "42pt w50";
        QTest::newRow("pixels up") << word("font-size:20px") << "word" << 0 << up << "9pt w50";
        QTest::newRow("pixels down") << word("font-size:20px") << "word" << 0 << down << "20px w50";
        const QString sized = word("font-size:22pt");
        QTest::newRow("size list 36") << sized << "word" << 0 << "size 8"
                                      << "36pt w50";
        QTest::newRow("size list 9, the entry shown") << sized << "word" << 0 << "size 0"
                                                      << "9pt w50";
        const QString bold = "boldButton";
        QTest::newRow("weight 57 becomes bold") << word("") << "word" << 57 << bold << "w75";
        QTest::newRow("weight 58 becomes normal") << word("") << "word" << 58 << bold << "w50";
        QTest::newRow("weight 63 becomes normal") << word("") << "word" << 63 << bold << "w50";
        const QString italic = "italicButton";
        QTest::newRow("italic on") << word("") << "word" << 0 << italic << "w50 italic";
        QTest::newRow("oblique off")
            << word("font-style:oblique") << "word" << 0 << italic << "w50";
        QTest::newRow("underline on") << word("") << "word" << 0 << "underlineButton"
                                      << "w50 underline";
        QTest::newRow("strike-out off")
            << word("text-decoration:line-through") << "word" << 0 << "strikeOutButton"
            << "w50";
        QTest::newRow("background chosen") << word("") << "word" << 0 << "backgroundButton #ff0000"
                                           << "w50 bg#ff0000";
        QTest::newRow("text colour cancelled") << word("") << "word" << 0 << "foregroundButton"
                                               << "w50";
        // The format at the cursor (after the plain part) replaces the selection's own ones.
        QTest::newRow("mixed selection") << "<p><b>bold</b>plain</p>"
                                         << "boldplain" << 0 << italic << "w50 italic";
    }

    void formatPopup()
    {
        QFETCH(QString, html);
        QFETCH(QString, select);
        QFETCH(int, weight);
        QFETCH(QString, action);
        QFETCH(QString, expected);

        PromptScript prompts;
        const QStringList words = action.split(' ');
        const bool colour = words.first().endsWith("groundButton");
        if (colour)
            words.size() > 1 ? prompts.answerColor(QColor(words.at(1))) : prompts.answerCancel();
        auto box = taskBox(nullptr, html);
        const int start = positionOf(box.get(), select);
        selectText(box.get(), start, start + select.size());
        if (weight) {
            QTextCharFormat weighted;
            weighted.setFontWeight(weight);
            box->textCursor().mergeCharFormat(weighted);
        }
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
        } else {
            clickButton(popup, words.first());
        }
        QCOMPARE(prompts.requests().size(), colour ? 1 : 0);
        if (colour)
            QCOMPARE(prompts.requests().first().kind, Prompt::Kind::Color);
        // A cancelled colour leaves the popup open for another try.
        QCOMPARE(windows("FormatEdit").size(), colour && words.size() == 1 ? 1 : 0);
        for (int i = start; i < start + select.size(); ++i)
            QCOMPARE(describe(formatAt(box.get(), i)), expected);
        if (start > 0) // the neighbours keep their own format
            QCOMPARE(describe(formatAt(box.get(), start - 1)), QString("w50"));
    }

    void clipboardActions_data()
    {
        QTest::addColumn<QString>("button"); // or a shortcut
        QTest::addColumn<QString>("clipboardBefore");
        QTest::addColumn<QString>("textAfter");
        QTest::addColumn<QString>("clipboardAfter");

        QTest::newRow("copy") << "copyButton" << QString() << "one two three" << QString("two");
        QTest::newRow("copy by shortcut")
            << "Ctrl+C" << QString() << "one two three" << QString("two");
        QTest::newRow("cut") << "cutButton" << QString() << "one  three" << QString("two");
        QTest::newRow("paste") << "pasteButton" << QString("TWO") << "one TWO three"
                               << QString("TWO");
        QTest::newRow("delete") << "deleteButton" << QString("kept") << "one  three"
                                << QString("kept");
    }

    void clipboardActions()
    {
        QFETCH(QString, button);
        QFETCH(QString, clipboardBefore);
        QFETCH(QString, textAfter);
        QFETCH(QString, clipboardAfter);

        QApplication::clipboard()->setText(clipboardBefore);
        auto box = taskBox(nullptr, "<p>one two three</p>");
        selectText(box.get(), 4, 7);
        releaseButton(box.get(), Qt::LeftButton);
        QWidget *popup = window("FormatEdit");
        QVERIFY(popup);
        if (button.startsWith("Ctrl")) {
            popup->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(popup));
            QTest::keySequence(popup, QKeySequence(button));
        } else {
            clickButton(popup, button);
        }
        // A shortcut clicks its button with a short animation.
        QTRY_COMPARE(QApplication::clipboard()->text(), clipboardAfter);
        QTRY_COMPARE(windows("FormatEdit").size(), 0);
        QCOMPARE(box->toPlainText(), textAfter);
    }

    void tableOption_data()
    {
        QTest::addColumn<QStringList>("steps"); // worked in the dialog, the colour chosen first
        QTest::addColumn<QSize>("size");        // rows x columns; empty: no table
        QTest::addColumn<int>("alignment");

        QTest::newRow("defaults") << QStringList{"确定"} << QSize(3, 3) << int(Qt::AlignLeft);
        QTest::newRow("centred at the bottom")
            << QStringList{"rowCount=2", "columnCount=4", "水平居中", "下对齐", "确定"}
            << QSize(2, 4) << int(Qt::AlignHCenter);
        QTest::newRow("justified, red border")
            << QStringList{"rowCount=4", "columnCount=2", "两端对齐", "colorButton", "确定"}
            << QSize(4, 2) << int(Qt::AlignJustify);
        QTest::newRow("cancelled") << QStringList{"rowCount=4", "取消"} << QSize() << 0;
    }

    void tableOption()
    {
        QFETCH(QStringList, steps);
        QFETCH(QSize, size);
        QFETCH(int, alignment);

        PromptScript prompts;
        const bool coloured = steps.contains("colorButton");
        if (coloured)
            prompts.answerColor(QColor(255, 0, 0));
        auto box = taskBox(nullptr, "<p>above</p>");
        selectText(box.get(), 5, 5);
        insertFromMenu(box.get(), "表格");
        QWidget *dialog = window("TableOption");
        work(dialog, steps.mid(0, steps.size() - 1));
        int checked = 0; // one box of each group
        for (QCheckBox *check : dialog->findChildren<QCheckBox *>())
            checked += check->isChecked() ? 1 : 0;
        QCOMPARE(checked, 2);
        clickButton(dialog, steps.last());
        QCOMPARE(windows("TableOption").size(), 0);

        QTextTable *table = firstTable(box.get());
        QCOMPARE(table ? QSize(table->rows(), table->columns()) : QSize(), size);
        if (!table)
            return;
        QCOMPARE(int(table->format().alignment() & Qt::AlignHorizontal_Mask), alignment);
        // The table survives the owner's save and reload.
        box->setHtml(box->toHtml());
        table = firstTable(box.get());
        QVERIFY(table);
        QCOMPARE(QSize(table->rows(), table->columns()), size);
        if (coloured)
            QCOMPARE(table->format().borderBrush().color(), QColor(255, 0, 0));
    }

    void tableEdit_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("selection"); // as selectSpec takes it
        QTest::addColumn<QStringList>("steps"); // worked in the dialog
        QTest::addColumn<QStringList>("expected");

        const QString wide = "<table><tr><td colspan='2'>wide</td><td>x</td></tr>"
                             "<tr><td>a</td><td>b</td><td>c</td></tr></table>";
        const QString tall = "<table><tr><td rowspan='2'>tall</td><td>1</td></tr>"
                             "<tr><td>2</td></tr><tr><td>low</td><td>3</td></tr></table>";
        const QStringList grid{"r0c0|r0c1|r0c2", "r1c0|r1c1|r1c2", "r2c0|r2c1|r2c2"};
        QTest::newRow("insert two rows, then delete the cursor's row")
            << gridHtml << "r1c1+1" << QStringList{"insertRow=2", "deleteRow", "确定"}
            << QStringList{"r0c0|r0c1|r0c2", "||", "||", "r2c0|r2c1|r2c2"};
        QTest::newRow("insert a column before the cursor's")
            << gridHtml << "r0c1+1" << QStringList{"insertColumn=1", "确定"}
            << QStringList{"r0c0||r0c1|r0c2", "r1c0||r1c1|r1c2", "r2c0||r2c1|r2c2"};
        QTest::newRow("append a row and a column")
            << gridHtml << "r2c2+1" << QStringList{"appendRow=1", "appendColumn=1", "确定"}
            << QStringList{"r0c0|r0c1|r0c2|", "r1c0|r1c1|r1c2|", "r2c0|r2c1|r2c2|", "|||"};
        QTest::newRow("delete the cursor's column")
            << gridHtml << "r1c2+1" << QStringList{"deleteColumn", "确定"}
            << QStringList{"r0c0|r0c1", "r1c0|r1c1", "r2c0|r2c1"};
        QTest::newRow("merge selected cells")
            << gridHtml << "r1c0..r2c1+4" << QStringList{"mergeCells", "确定"}
            << QStringList{"r0c0|r0c1|r0c2", "r1c0 r1c1\u2029r2c0 r2c1|^|r1c2", "^|^|r2c2"};
        QTest::newRow("merge without a multi-cell selection")
            << gridHtml << "r1c1+1" << QStringList{"mergeCells", "确定"} << grid;
        QTest::newRow("split a merged cell")
            << wide << "wide+1" << QStringList{"splitCells", "确定"}
            << QStringList{"wide||x", "a|b|c"};
        QTest::newRow("delete the rows of a tall cell")
            << tall << "tall+1" << QStringList{"deleteRow", "确定"} << QStringList{"low|3"};
        QTest::newRow("delete the columns of a wide cell")
            << wide << "wide+1" << QStringList{"deleteColumn", "确定"} << QStringList{"x", "c"};
        QTest::newRow("delete the only row")
            << "<table><tr><td>one</td></tr></table>"
            << "one+1" << QStringList{"deleteRow", "确定"} << QStringList{"<no table>"};
        // One structural change at a time: a checked box disables the others until unchecked.
        QTest::newRow("second check disabled")
            << gridHtml << "r1c1+1" << QStringList{"deleteRow", "deleteColumn", "确定"}
            << QStringList{"r0c0|r0c1|r0c2", "r2c0|r2c1|r2c2"};
        QTest::newRow("unchecked, then another")
            << gridHtml << "r1c1+1" << QStringList{"deleteRow", "deleteRow", "deleteColumn", "确定"}
            << QStringList{"r0c0|r0c2", "r1c0|r1c2", "r2c0|r2c2"};
        QTest::newRow("cancelled")
            << gridHtml << "r1c1+1" << QStringList{"insertRow=1", "deleteRow", "取消"} << grid;
    }

    void tableEdit()
    {
        QFETCH(QString, html);
        QFETCH(QString, selection);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, expected);

        auto box = taskBox(nullptr, html, QPoint(100, 100), 300);
        selectSpec(box.get(), selection);
        // A right click in the cell, then "格式..." from its menu.
        releaseButton(box.get(), Qt::RightButton);
        answerNextMenu("格式...");
        openContextMenu(box.get(), box->cursorRect().center());
        work(window("TableEdit"), steps);
        QCOMPARE(windows("TableEdit").size(), 0);
        QTextTable *table = firstTable(box.get());
        QCOMPARE(table ? tableRows(table) : QStringList{"<no table>"}, expected);
    }

    void listChoice_data()
    {
        QTest::addColumn<QStringList>("steps"); // worked in the dialog before "确定"
        QTest::addColumn<int>("indent");
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("itemTexts"); // of the two items; empty for bullets

        QTest::newRow("nothing chosen")
            << QStringList() << 2 << int(QTextListFormat::ListDisc) << QString();
        QTest::newRow("square") << QStringList{"方块", "indentWidth=1"} << 1
                                << int(QTextListFormat::ListSquare) << QString();
        QTest::newRow("decimal in brackets")
            << QStringList{"数字", "indentWidth=3", "numberPrefixString=(", "numberSuffixString=)"}
            << 3 << int(QTextListFormat::ListDecimal) << "(1) (2)";
        QTest::newRow("lower alpha, own suffix")
            << QStringList{"小写英文字母", "numberSuffixString=:"} << 2
            << int(QTextListFormat::ListLowerAlpha) << "a: b:";
        QTest::newRow("upper roman")
            << QStringList{"大写罗马数字"} << 2 << int(QTextListFormat::ListUpperRoman) << "I. II.";
    }

    void listChoice()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, indent);
        QFETCH(int, style);
        QFETCH(QString, itemTexts);

        auto box = taskBox(nullptr, "<p>intro</p>");
        selectText(box.get(), 5, 5);
        insertFromMenu(box.get(), "列表");
        work(window("ListChoice"), steps << "确定");
        QCOMPARE(windows("ListChoice").size(), 0);
        // The user types two items.
        QTest::keyClicks(box.get(), "first");
        QTest::keyClick(box.get(), Qt::Key_Return);
        QTest::keyClicks(box.get(), "second");

        const QTextBlock first = box->document()->findBlock(positionOf(box.get(), "first"));
        QTextList *list = first.textList();
        QVERIFY(list);
        QCOMPARE(first.next().textList(), list);
        QCOMPARE(first.previous().text(), QString("intro"));
        QCOMPARE(int(list->format().style()), style);
        QCOMPARE(list->format().indent(), indent);
        if (!itemTexts.isEmpty()) // bullets have no number text
            QCOMPARE(list->itemText(first) + ' ' + list->itemText(first.next()), itemTexts);
    }

    void insertImageFromFile_data()
    {
        QTest::addColumn<QString>("file"); // empty: the file dialog is cancelled
        QTest::addColumn<bool>("inserted");
        QTest::addColumn<bool>("warned");

        QTest::newRow("800 x 600 image") << "photo.png" << true << false;
        QTest::newRow("not an image") << "fake.png" << false << true;
        QTest::newRow("internet shortcut") << "photo.url" << false << false;
        QTest::newRow("cancelled") << "" << false << false;
    }

    void insertImageFromFile()
    {
        QFETCH(QString, file);
        QFETCH(bool, inserted);
        QFETCH(bool, warned);

        PromptScript prompts;
        const QString path = env->workDir() + "/" + file;
        writeImage(env->workDir() + "/photo.png", QSize(800, 600));
        writeImage(env->workDir() + "/photo.url", QSize(8, 6));
        writeText(env->workDir() + "/fake.png", "not a picture");
        file.isEmpty() ? prompts.answerCancel() : prompts.answerText(path);
        auto box = taskBox(nullptr, "<p>ab</p>");
        selectText(box.get(), 1, 1);
        insertFromMenu(box.get(), "图片");

        QVERIFY(!prompts.requests().isEmpty());
        const Prompt::Request ask = prompts.requests().first();
        QCOMPARE(ask.kind, Prompt::Kind::OpenFile);
        QCOMPARE(ask.title, QString("插入图片"));
        QVERIFY(ask.filter.startsWith("全部格式(*.bmp *.gif *.jpeg *.jpg *.png *.svg)"));
        QCOMPARE(imagePositions(box.get()), inserted ? QList<int>{1} : QList<int>());
        if (inserted) {
            const QTextImageFormat format = formatAt(box.get(), 1).toImageFormat();
            QCOMPARE(format.name(), path);
            QCOMPARE(QSizeF(format.width(), format.height()), QSizeF(800, 600));
        }
        QCOMPARE(prompts.messages(), warned
                                         ? QStringList{"请插入有效格式的图片，注意不要是快捷方式。"}
                                         : QStringList());
    }

    void imageEdit_data()
    {
        QTest::addColumn<QString>("image"); // attributes of the image of "x<img>y"
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QStringList>("steps"); // worked in the dialog before "确定"
        QTest::addColumn<QSize>("before");      // shown when the dialog opens
        QTest::addColumn<QSize>("expected");
        QTest::addColumn<bool>("absoluteEnabled");
        QTest::addColumn<bool>("scaleEnabled");

        const QString sized = "width='800' height='600'";
        QTest::newRow("untouched") << sized << "x+1..y" << QStringList() << QSize(800, 600)
                                   << QSize(800, 600) << true << true;
        QTest::newRow("height 50 %, width 25 %")
            << sized << "x+1..y" << QStringList{"heightScaleValue=50", "widthScaleValue=25"}
            << QSize(800, 600) << QSize(200, 300) << false << true;
        QTest::newRow("absolute width 100") << sized << "x+1..y" << QStringList{"widthValue=100"}
                                            << QSize(800, 600) << QSize(100, 600) << true << false;
        QTest::newRow("scale, then reset")
            << sized << "x+1..y" << QStringList{"heightScaleValue=50", "重新设置"}
            << QSize(800, 600) << QSize(800, 600) << true << true;
        QTest::newRow("tiny scale keeps a pixel")
            << sized << "x+1..y" << QStringList{"heightScaleValue=1", "widthScaleValue=1"}
            << QSize(800, 600) << QSize(8, 6) << false << true;
        // An image that came in through HTML without a size of its own, selected backwards
        // with the text around it: only the image changes.
        QTest::newRow("text and image selected backwards")
            << ""
            << "y+1..x" << QStringList{"widthScaleValue=200"} << QSize(800, 600) << QSize(1600, 600)
            << false << true;
    }

    void imageEdit()
    {
        QFETCH(QString, image);
        QFETCH(QString, selection);
        QFETCH(QStringList, steps);
        QFETCH(QSize, before);
        QFETCH(QSize, expected);
        QFETCH(bool, absoluteEnabled);
        QFETCH(bool, scaleEnabled);

        const QString path = writeImage(env->workDir() + "/big.png", QSize(800, 600));
        auto box = taskBox(nullptr, QString("<p>x<img src='%1' %2>y</p>").arg(path, image));
        selectSpec(box.get(), selection);
        releaseButton(box.get(), Qt::LeftButton);
        QWidget *dialog = window("ImageEdit");
        QVERIFY(dialog);
        QCOMPARE(QSize(findByName<QSpinBox>(dialog, "widthValue")->value(),
                       findByName<QSpinBox>(dialog, "heightValue")->value()),
                 before);
        work(dialog, steps);
        for (const char *name : {"heightValue", "widthValue"})
            QCOMPARE(findByName<QSpinBox>(dialog, name)->isEnabled(), absoluteEnabled);
        for (const char *name : {"heightScaleValue", "widthScaleValue"})
            QCOMPARE(findByName<QSpinBox>(dialog, name)->isEnabled(), scaleEnabled);
        clickButton(dialog, "确定");
        QCOMPARE(windows("ImageEdit").size(), 0);

        QCOMPARE(box->toPlainText().remove(QChar::ObjectReplacementCharacter), QString("xy"));
        QCOMPARE(imagePositions(box.get()), QList<int>{1});
        const QTextImageFormat format = formatAt(box.get(), 1).toImageFormat();
        QCOMPARE(format.name(), path);
        QCOMPARE(QSize(int(format.width()), int(format.height())), expected);
        QVERIFY(!formatAt(box.get(), 0).isImageFormat());
    }

    void urlOption_data()
    {
        // Worked in the dialog before "确定"; <file> stands for "it's notes.txt" of the working
        // folder, which has a namesake with other content in MyAttachments when existing is set.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QString>("href"); // "<copy>" / "<file>" for the files' URLs, "" for none
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("copied"); // a new copy is in MyAttachments

        const QString address = "www.example.com/page?id=1";
        const QString file = "it's notes.txt";
        const QString local = "localFileAddress=<file>";
        QTest::newRow("web address, no name")
            << QStringList{"webSiteAddress=" + address} << false << address << address << false;
        QTest::newRow("web address with quotes and markup")
            << QStringList{"webSiteAddress=http://x.org/?a='1'&b=<2>", "displayName=a <b> & 'c'"}
            << false << "http://x.org/?a='1'&b=<2>"
            << "a <b> & 'c'" << false;
        QTest::newRow("local file") << QStringList{local} << false << "<file>" << file << false;
        QTest::newRow("local file wins over web")
            << QStringList{local, "webSiteAddress=www.example.com", "displayName=report"} << false
            << "<file>"
            << "report" << false;
        QTest::newRow("attachment")
            << QStringList{local, "attachment"} << false << "<copy>" << file << true;
        // A web address turns the attachment box off: what shows unchecked is not copied.
        QTest::newRow("attachment, then a web address")
            << QStringList{local, "attachment", "webSiteAddress=www.example.com"} << false
            << "<file>" << file << false;
        QTest::newRow("attachment already there") << QStringList{local, "attachment"} << true << ""
                                                  << "" << false;
        QTest::newRow("all empty") << QStringList() << false << ""
                                   << "" << false;
    }

    void urlOption()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, existing);
        QFETCH(QString, href);
        QFETCH(QString, text);
        QFETCH(bool, copied);

        PromptScript prompts;
        LogCapture log;
        const QString source = writeText(env->workDir() + "/it's notes.txt", "new");
        const QString copy = Paths::attachmentsDir() + "/it's notes.txt";
        if (existing) {
            QDir(env->appDir()).mkdir("MyAttachments");
            writeText(copy, "old");
        }
        auto box = taskBox(nullptr, "<p>start</p>");
        selectText(box.get(), 5, 5);
        insertFromMenu(box.get(), "链接");
        work(window("UrlOption"), steps.replaceInStrings("<file>", source) << "确定");
        QCOMPARE(windows("UrlOption").size(), 0);

        // The owner saves and reloads the HTML; the link must come back the same.
        box->setHtml(box->toHtml());
        QStringList links;
        for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                if (it.fragment().charFormat().isAnchor())
                    links << it.fragment().charFormat().anchorHref() << it.fragment().text();
            }
        }
        href.replace("<copy>", QUrl::fromLocalFile(copy).toString())
            .replace("<file>", QUrl::fromLocalFile(source).toString());
        QCOMPARE(links, href.isEmpty() ? QStringList() : QStringList({href, text}));
        QCOMPARE(box->toPlainText().count("(超链接)"), 2);
        QVERIFY(box->toPlainText().startsWith("start"));
        const QString copyFailed =
            "把选中文件拷贝到安装目录下失败，请尝试重命名文件并使安装目录有写入权限。";
        QCOMPARE(prompts.messages(), existing ? QStringList{copyFailed} : QStringList());
        QCOMPARE(log.contains("copy file to MyAttachments failed!"), existing);
        // An attachment of the same name is never overwritten.
        QFile copyFile(copy);
        QCOMPARE(copyFile.open(QIODevice::ReadOnly) ? copyFile.readAll() : QByteArray("<none>"),
                 QByteArray(copied     ? "new"
                            : existing ? "old"
                                       : "<none>"));
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

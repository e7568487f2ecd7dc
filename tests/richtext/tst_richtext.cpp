// The rich-text box, its popups and dialogs, driven as a person would: selections, mouse
// releases, context menus and the dialogs' own buttons, on the 1920 x 1040 test screen.
#include "app/desktop.h"
#include "app/paths.h"
#include "richtext/customtextedit.h"
#include "richtext/formatedit.h"
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
#include <QFontComboBox>
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
struct Owner : TaskRowOwner, ScheduleCellOwner {
    void setItemHeight(int index, int height, int scrollPos) override
    {
        calls.append({index, height, scrollPos});
    }
    void updateCellHeight(int index, int kind, int height, int scrollPos) override
    {
        calls.append({index, kind, height, scrollPos});
    }
    QScrollArea *rowScrollArea() const override { return area; }
    QList<QList<int>> calls;
    QScrollArea *area = nullptr;
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

// Lets go of a mouse button over the cursor, which is where a mouse selection ends.
void releaseButton(QTextEdit *box, Qt::MouseButton button)
{
    const QPoint at = box->cursorRect().center();
    QMouseEvent release(QEvent::MouseButtonRelease, at, box->viewport()->mapToGlobal(at), button,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(box->viewport(), &release);
}

// The centre of the character at a position, in viewport coordinates.
QPoint pointAt(QTextEdit *box, int position)
{
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(position);
    const QRect before = box->cursorRect(cursor);
    cursor.setPosition(position + 1);
    return QPoint((before.x() + box->cursorRect(cursor).x()) / 2, before.center().y());
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

int windowCount(const QString &className)
{
    return windows(className).size();
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

void typeInto(QWidget *window, const QString &name, const QString &text)
{
    auto *field = findByName<QLineEdit>(window, name);
    QVERIFY2(field, qPrintable(name));
    QTest::keyClicks(field, text);
}

void setSpin(QWidget *window, const QString &name, int value)
{
    auto *spin = findByName<QSpinBox>(window, name);
    QVERIFY2(spin && spin->isEnabled(), qPrintable(name));
    spin->selectAll();
    QTest::keyClicks(spin, QString::number(value));
}

QTextTable *firstTable(QTextEdit *box)
{
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
        if (QTextTable *table = QTextCursor(block).currentTable())
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

// Size, weight and toggles of a character: "16pt w50 italic underline strike".
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

QList<QUrl> *recordOpenedUrls()
{
    static QList<QUrl> opened;
    opened.clear();
    Desktop::setOpenUrlHandler([](const QUrl &url) {
        opened.append(url);
        return true;
    });
    return &opened;
}

QWidget *openHeightDialog(QTextEdit *box)
{
    answerNextMenu("调整高度...");
    openContextMenu(box, QPoint(20, 20));
    return window("NewHeight");
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

    void popupBySelection_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("from"); // selection starts at this text plus an offset...
        QTest::addColumn<int>("fromOffset");
        QTest::addColumn<QString>("to"); // ...and ends, with the cursor, here
        QTest::addColumn<int>("toOffset");
        QTest::addColumn<bool>("rightReleaseFirst");
        QTest::addColumn<QString>("expected"); // class of the popup, empty for none

        const QString plain = "<p>Hello brave world</p>";
        QTest::newRow("click in plain text")
            << plain << "brave" << 2 << "brave" << 2 << false << QString();
        QTest::newRow("image selected")
            << imageHtml << "see" << 4 << "see" << 5 << false << "ImageEdit";
        QTest::newRow("text around image")
            << imageHtml << "see" << 0 << "here" << 4 << false << "ImageEdit";
        QTest::newRow("click in table cell")
            << tableHtml << "b1" << 1 << "b1" << 1 << false << QString();
        QTest::newRow("table cell after right click")
            << tableHtml << "b1" << 1 << "b1" << 1 << true << "TableEdit";
        QTest::newRow("text in table cell")
            << tableHtml << "a2" << 0 << "a2" << 2 << false << "FormatEdit";
        QTest::newRow("several cells")
            << tableHtml << "a1" << 0 << "b2" << 2 << false << "TableEdit";
    }

    void popupBySelection()
    {
        QFETCH(QString, html);
        QFETCH(QString, from);
        QFETCH(int, fromOffset);
        QFETCH(QString, to);
        QFETCH(int, toOffset);
        QFETCH(bool, rightReleaseFirst);
        QFETCH(QString, expected);

        Owner owner;
        auto box = taskBox(&owner, html);
        selectText(box.get(), positionOf(box.get(), from) + fromOffset,
                   positionOf(box.get(), to) + toOffset);
        if (rightReleaseFirst)
            releaseButton(box.get(), Qt::RightButton);
        releaseButton(box.get(), Qt::LeftButton);

        for (const char *name : {"FormatEdit", "ImageEdit", "TableEdit"})
            QCOMPARE(windowCount(name), name == expected ? 1 : 0);
        // The popup acts on what was selected: the selection is still there.
        QCOMPARE(box->textCursor().hasSelection(), fromOffset != toOffset || from != to);
        // The table popup is used up by one opening; the next click in the cell opens nothing.
        if (rightReleaseFirst) {
            window("TableEdit")->close();
            releaseButton(box.get(), Qt::LeftButton);
            QCOMPARE(windowCount("TableEdit"), 0);
        }
    }

    void popupPlacement_data()
    {
        QTest::addColumn<QPoint>("boxAt");
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("select"); // a word, "image", or "cell" for the table popup
        QTest::addColumn<QString>("popupClass");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("expected"); // -1 stands for the anchor's own coordinate

        const QString text = "<p>Hello brave world</p>";
        QTest::newRow("room everywhere") << QPoint(100, 100) << text << "brave"
                                         << "FormatEdit" << QSize(440, 100) << QPoint(-1, -1);
        QTest::newRow("near right edge") << QPoint(1500, 100) << text << "brave"
                                         << "FormatEdit" << QSize(440, 100) << QPoint(960, -1);
        QTest::newRow("near bottom") << QPoint(100, 960) << text << "brave"
                                     << "FormatEdit" << QSize(440, 100) << QPoint(-1, 920);
        QTest::newRow("above screen top") << QPoint(100, -150) << text << "brave"
                                          << "FormatEdit" << QSize(440, 100) << QPoint(-1, 520);
        QTest::newRow("image near bottom") << QPoint(100, 800) << imageHtml << "image"
                                           << "ImageEdit" << QSize(300, 250) << QPoint(-1, 770);
        QTest::newRow("table from the menu, at the cursor's left")
            << QPoint(100, 100) << tableHtml << "cell"
            << "TableEdit" << QSize(200, 500) << QPoint(-1, -1);
    }

    void popupPlacement()
    {
        QFETCH(QPoint, boxAt);
        QFETCH(QString, html);
        QFETCH(QString, select);
        QFETCH(QString, popupClass);
        QFETCH(QSize, size);
        QFETCH(QPoint, expected);

        auto box = taskBox(nullptr, html, boxAt);
        if (select == "cell") {
            // "格式..." of the context menu in a cell; no right release comes before it.
            selectText(box.get(), positionOf(box.get(), "b1") + 1, positionOf(box.get(), "b1") + 1);
            answerNextMenu("格式...");
            openContextMenu(box.get(), box->cursorRect().center());
        } else {
            const int at = select == "image" ? positionOf(box.get(), "see") + 4
                                             : positionOf(box.get(), select);
            selectText(box.get(), at, at + (select == "image" ? 1 : select.size()));
            releaseButton(box.get(), Qt::LeftButton);
        }

        QWidget *popup = window(popupClass);
        QVERIFY(popup);
        const QPoint G = box->mapToGlobal(QPoint(0, 0));
        const QRect R = box->cursorRect();
        const QPoint anchor(G.x() + (select == "cell" ? R.left() : R.right() + 1), G.y() + R.top());
        QCOMPARE(popup->pos(), QPoint(expected.x() < 0 ? anchor.x() : expected.x(),
                                      expected.y() < 0 ? anchor.y() : expected.y()));
        QCOMPARE(popup->size(), size);
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
        QCOMPARE(windowCount("FormatEdit"), mode == 0 ? 1 : 0);
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
        QTest::newRow("height, exactly enough") << "调整高度..."
                                                << "NewHeight" << 640 << QRect(150, 640, 200, 400);
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
        if (entry.endsWith("..."))
            answerNextMenu(entry);
        else
            answerNextMenu("插入...", nullptr, nullptr, [&] { answerNextMenu(entry, &submenu); });
        openContextMenu(box.get(), QPoint(150, menuY) - box->viewport()->mapToGlobal(QPoint()));

        if (!entry.endsWith("..."))
            QCOMPARE(submenu, (QStringList{"图片", "列表", "表格", "链接"}));
        QWidget *dialog = window(dialogClass);
        QVERIFY(dialog);
        // The find window is given a geometry, not a fixed size: its widgets may widen it.
        const bool find = dialogClass == "FindDialog";
        QCOMPARE(find ? dialog->geometry().topLeft() : dialog->pos(), expected.topLeft());
        if (find)
            QCOMPARE(dialog->height(), expected.height());
        else
            QCOMPARE(dialog->size(), expected.size());
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

        QList<QUrl> *opened = recordOpenedUrls();
        auto box =
            taskBox(nullptr, "<p>go to <a href='www.example.com/page?id=1'>the page</a></p>");
        const QPoint onLink = pointAt(box.get(), positionOf(box.get(), "page") + 1);
        QTest::mouseClick(box->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(modifiers),
                          onLink);
        // The link opens exactly as written, and the cursor stays where it was.
        QCOMPARE(*opened, opens ? QList<QUrl>{QUrl("www.example.com/page?id=1")} : QList<QUrl>());
        QCOMPARE(box->textCursor().position() == 0, opens);
    }

    void formatButtons_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("select");
        QTest::addColumn<int>("weight"); // given to the selection first; 0 for none
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("expected"); // every selected character afterwards

        const auto word = [](const QString &style) {
            return QString("<p>left <span style='%1'>word</span> right</p>").arg(style);
        };
        const QString up = "increaseButton";
        const QString down = "decreaseButton";
        // Fresh text has no size of its own and shows at the box's 14 points.
        QTest::newRow("box font up") << word("") << "word" << 0 << up << "16pt w50";
        QTest::newRow("box font down") << word("") << "word" << 0 << down << "12pt w50";
        QTest::newRow("15 up") << word("font-size:15pt") << "word" << 0 << up << "16pt w50";
        QTest::newRow("8 up") << word("font-size:8pt") << "word" << 0 << up << "9pt w50";
        QTest::newRow("41 up") << word("font-size:41pt") << "word" << 0 << up << "42pt w50";
        QTest::newRow("42 stays") << word("font-size:42pt") << "word" << 0 << up << "42pt w50";
        QTest::newRow("10 down") << word("font-size:10pt") << "word" << 0 << down << "9pt w50";
        QTest::newRow("9 stays") << word("font-size:9pt") << "word" << 0 << down << "9pt w50";
        QTest::newRow("50 down") << word("font-size:50pt") << "word" << 0 << down << "42pt w50";
        QTest::newRow("pixels up") << word("font-size:20px") << "word" << 0 << up << "9pt w50";
        QTest::newRow("pixels down") << word("font-size:20px") << "word" << 0 << down << "20px w50";
        const QString bold = "boldButton";
        QTest::newRow("weight 57 becomes bold") << word("") << "word" << 57 << bold << "w75";
        QTest::newRow("weight 58 becomes normal") << word("") << "word" << 58 << bold << "w50";
        const QString italic = "italicButton";
        QTest::newRow("italic on") << word("") << "word" << 0 << italic << "w50 italic";
        QTest::newRow("italic off") << word("font-style:italic") << "word" << 0 << italic << "w50";
        QTest::newRow("oblique off")
            << word("font-style:oblique") << "word" << 0 << italic << "w50";
        const QString underline = "underlineButton";
        QTest::newRow("underline on") << word("") << "word" << 0 << underline << "w50 underline";
        QTest::newRow("underline off")
            << word("text-decoration:underline") << "word" << 0 << underline << "w50";
        const QString strike = "strikeOutButton";
        QTest::newRow("strike-out on") << word("") << "word" << 0 << strike << "w50 strike";
        QTest::newRow("strike-out off")
            << word("text-decoration:line-through") << "word" << 0 << strike << "w50";
        // The format at the cursor (after the plain part) replaces the selection's own ones.
        QTest::newRow("mixed selection") << "<p><b>bold</b>plain</p>"
                                         << "boldplain" << 0 << italic << "w50 italic";
    }

    void formatButtons()
    {
        QFETCH(QString, html);
        QFETCH(QString, select);
        QFETCH(int, weight);
        QFETCH(QString, button);
        QFETCH(QString, expected);

        auto box = taskBox(nullptr, html);
        const int start = positionOf(box.get(), select);
        selectText(box.get(), start, start + select.size());
        if (weight) {
            QTextCharFormat weighted;
            weighted.setFontWeight(weight);
            box->textCursor().mergeCharFormat(weighted);
        }
        releaseButton(box.get(), Qt::LeftButton);
        clickButton(window("FormatEdit"), button);
        QCOMPARE(windowCount("FormatEdit"), 0);
        for (int i = start; i < start + select.size(); ++i)
            QCOMPARE(describe(formatAt(box.get(), i)), expected);
        if (start > 0) // the neighbours keep their own format
            QCOMPARE(describe(formatAt(box.get(), start - 1)), QString("w50"));
    }

    void sizeBoxAppliesChosenEntry_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("expected");
        QTest::newRow("36") << 8 << 36;
        QTest::newRow("9, the entry already shown") << 0 << 9;
    }

    void sizeBoxAppliesChosenEntry()
    {
        QFETCH(int, index);
        QFETCH(int, expected);

        auto box = taskBox(nullptr, "<p>a <span style='font-size:22pt'>word</span></p>");
        selectText(box.get(), 2, 6);
        releaseButton(box.get(), Qt::LeftButton);
        auto *sizes = findByName<QComboBox>(window("FormatEdit"), "fontSizeComboBox");
        QVERIFY(sizes);
        QCOMPARE(sizes->currentText(), QString("9"));
        // Picked from the open list with the keyboard.
        sizes->showPopup();
        QVERIFY(QTest::qWaitForWindowExposed(sizes->view()->window()));
        QTest::keyClick(sizes->view(), Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(sizes->view(), Qt::Key_Down);
        QTest::keyClick(sizes->view(), Qt::Key_Return);
        QCOMPARE(describe(formatAt(box.get(), 3)), QString("%1pt w50").arg(expected));
        QCOMPARE(windowCount("FormatEdit"), 0);
    }

    void colourButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("choose");

        QTest::newRow("background chosen") << "backgroundButton" << true;
        QTest::newRow("text colour cancelled") << "foregroundButton" << false;
    }

    void colourButtons()
    {
        QFETCH(QString, button);
        QFETCH(bool, choose);

        PromptScript prompts;
        choose ? prompts.answerColor(QColor(255, 0, 0)) : prompts.answerCancel();
        auto box = taskBox(nullptr, "<p>a word b</p>");
        selectText(box.get(), 2, 6);
        releaseButton(box.get(), Qt::LeftButton);
        clickButton(window("FormatEdit"), button);

        QCOMPARE(prompts.requests().size(), 1);
        QCOMPARE(prompts.requests().first().kind, Prompt::Kind::Color);
        const QTextCharFormat format = formatAt(box.get(), 3);
        const QBrush brush =
            button == "backgroundButton" ? format.background() : format.foreground();
        QCOMPARE(brush.style(), choose ? Qt::SolidPattern : Qt::NoBrush);
        if (choose)
            QCOMPARE(brush.color(), QColor(255, 0, 0));
        QCOMPARE(windowCount("FormatEdit"), choose ? 0 : 1); // open for another try
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
        QTRY_COMPARE(windowCount("FormatEdit"), 0);
        QCOMPARE(box->toPlainText(), textAfter);
    }

    void tableOption_data()
    {
        QTest::addColumn<int>("rows"); // 0: cancelled
        QTest::addColumn<int>("columns");
        QTest::addColumn<QStringList>("checks");
        QTest::addColumn<QColor>("border"); // invalid: no colour chosen
        QTest::addColumn<int>("alignment");

        QTest::newRow("defaults") << 3 << 3 << QStringList() << QColor() << int(Qt::AlignLeft);
        QTest::newRow("centred at the bottom")
            << 2 << 4 << QStringList{"水平居中", "下对齐"} << QColor() << int(Qt::AlignHCenter);
        QTest::newRow("justified, red border")
            << 4 << 2 << QStringList{"两端对齐"} << QColor(255, 0, 0) << int(Qt::AlignJustify);
        QTest::newRow("cancelled") << 0 << 0 << QStringList() << QColor() << 0;
    }

    void tableOption()
    {
        QFETCH(int, rows);
        QFETCH(int, columns);
        QFETCH(QStringList, checks);
        QFETCH(QColor, border);
        QFETCH(int, alignment);

        PromptScript prompts;
        auto box = taskBox(nullptr, "<p>above</p>");
        selectText(box.get(), 5, 5);
        insertFromMenu(box.get(), "表格");
        QWidget *dialog = window("TableOption");
        QVERIFY(dialog);
        if (rows == 0) {
            clickButton(dialog, "取消");
            QCOMPARE(windowCount("TableOption"), 0);
            QVERIFY(!firstTable(box.get()));
            return;
        }
        setSpin(dialog, "rowCount", rows);
        setSpin(dialog, "columnCount", columns);
        for (const QString &check : checks)
            clickButton(dialog, check);
        if (border.isValid()) {
            prompts.answerColor(border);
            clickButton(dialog, "colorButton");
            QCOMPARE(findByName<QPushButton>(dialog, "colorButton")->styleSheet(),
                     "background-color:" + border.name());
        }
        int checked = 0; // one box of each group
        for (QCheckBox *check : dialog->findChildren<QCheckBox *>())
            checked += check->isChecked() ? 1 : 0;
        QCOMPARE(checked, 2);
        clickButton(dialog, "确定");
        QCOMPARE(windowCount("TableOption"), 0);

        QTextTable *table = firstTable(box.get());
        QVERIFY(table);
        QCOMPARE(table->rows(), rows);
        QCOMPARE(table->columns(), columns);
        QCOMPARE(int(table->format().alignment() & Qt::AlignHorizontal_Mask), alignment);
        // The table survives the owner's save and reload.
        box->setHtml(box->toHtml());
        table = firstTable(box.get());
        QVERIFY(table);
        QCOMPARE(table->rows(), rows);
        if (border.isValid())
            QCOMPARE(table->format().borderBrush().color(), border);
    }

    void tableEdit_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("from"); // cell text where the selection starts
        QTest::addColumn<QString>("to");   // cell text where the cursor ends
        QTest::addColumn<QVariantMap>("spins");
        QTest::addColumn<QStringList>("checks"); // clicked in order
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("expected");

        const QString wideHtml = "<table><tr><td colspan='2'>wide</td><td>x</td></tr>"
                                 "<tr><td>a</td><td>b</td><td>c</td></tr></table>";
        const QString tallHtml = "<table><tr><td rowspan='2'>tall</td><td>1</td></tr>"
                                 "<tr><td>2</td></tr><tr><td>low</td><td>3</td></tr></table>";
        const QStringList grid{"r0c0|r0c1|r0c2", "r1c0|r1c1|r1c2", "r2c0|r2c1|r2c2"};
        const QStringList none;
        QTest::newRow("insert two rows, then delete the cursor's row")
            << gridHtml << "r1c1"
            << "r1c1" << QVariantMap{{"insertRow", 2}} << QStringList{"deleteRow"} << "确定"
            << QStringList{"r0c0|r0c1|r0c2", "||", "||", "r2c0|r2c1|r2c2"};
        QTest::newRow("insert a column before the cursor's")
            << gridHtml << "r0c1"
            << "r0c1" << QVariantMap{{"insertColumn", 1}} << none << "确定"
            << QStringList{"r0c0||r0c1|r0c2", "r1c0||r1c1|r1c2", "r2c0||r2c1|r2c2"};
        QTest::newRow("append a row and a column")
            << gridHtml << "r2c2"
            << "r2c2" << QVariantMap{{"appendRow", 1}, {"appendColumn", 1}} << none << "确定"
            << QStringList{"r0c0|r0c1|r0c2|", "r1c0|r1c1|r1c2|", "r2c0|r2c1|r2c2|", "|||"};
        QTest::newRow("delete the cursor's column")
            << gridHtml << "r1c2"
            << "r1c2" << QVariantMap() << QStringList{"deleteColumn"} << "确定"
            << QStringList{"r0c0|r0c1", "r1c0|r1c1", "r2c0|r2c1"};
        QTest::newRow("merge selected cells")
            << gridHtml << "r1c0"
            << "r2c1" << QVariantMap() << QStringList{"mergeCells"} << "确定"
            << QStringList{"r0c0|r0c1|r0c2", "r1c0 r1c1\u2029r2c0 r2c1|^|r1c2", "^|^|r2c2"};
        QTest::newRow("split a merged cell") << wideHtml << "wide"
                                             << "wide" << QVariantMap() << QStringList{"splitCells"}
                                             << "确定" << QStringList{"wide||x", "a|b|c"};
        QTest::newRow("delete the rows of a tall cell")
            << tallHtml << "tall"
            << "tall" << QVariantMap() << QStringList{"deleteRow"} << "确定"
            << QStringList{"low|3"};
        QTest::newRow("delete the columns of a wide cell")
            << wideHtml << "wide"
            << "wide" << QVariantMap() << QStringList{"deleteColumn"} << "确定"
            << QStringList{"x", "c"};
        QTest::newRow("delete the only row") << "<table><tr><td>one</td></tr></table>"
                                             << "one"
                                             << "one" << QVariantMap() << QStringList{"deleteRow"}
                                             << "确定" << QStringList{"<no table>"};
        // One structural change at a time: a checked box disables the others until unchecked.
        QTest::newRow("second check disabled")
            << gridHtml << "r1c1"
            << "r1c1" << QVariantMap() << QStringList{"deleteRow", "deleteColumn"} << "确定"
            << QStringList{"r0c0|r0c1|r0c2", "r2c0|r2c1|r2c2"};
        QTest::newRow("unchecked, then another")
            << gridHtml << "r1c1"
            << "r1c1" << QVariantMap() << QStringList{"deleteRow", "deleteRow", "deleteColumn"}
            << "确定" << QStringList{"r0c0|r0c2", "r1c0|r1c2", "r2c0|r2c2"};
        QTest::newRow("cancelled") << gridHtml << "r1c1"
                                   << "r1c1" << QVariantMap{{"insertRow", 1}}
                                   << QStringList{"deleteRow"} << "取消" << grid;
    }

    void tableEdit()
    {
        QFETCH(QString, html);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QVariantMap, spins);
        QFETCH(QStringList, checks);
        QFETCH(QString, button);
        QFETCH(QStringList, expected);

        auto box = taskBox(nullptr, html, QPoint(100, 100), 300);
        const int start = positionOf(box.get(), from);
        if (from == to)
            selectText(box.get(), start + 1, start + 1);
        else
            selectText(box.get(), start, positionOf(box.get(), to) + to.size());
        // A right click in the cell, then "格式..." from its menu.
        releaseButton(box.get(), Qt::RightButton);
        answerNextMenu("格式...");
        openContextMenu(box.get(), box->cursorRect().center());
        QWidget *dialog = window("TableEdit");
        QVERIFY(dialog);
        for (auto it = spins.cbegin(); it != spins.cend(); ++it)
            setSpin(dialog, it.key(), it.value().toInt());
        for (const QString &check : checks)
            clickButton(dialog, check);
        clickButton(dialog, button);
        QCOMPARE(windowCount("TableEdit"), 0);

        QTextTable *table = firstTable(box.get());
        QCOMPARE(table ? tableRows(table) : QStringList{"<no table>"}, expected);
    }

    void listChoice_data()
    {
        QTest::addColumn<QStringList>("choice"); // check box text, prefix, suffix
        QTest::addColumn<int>("indent");
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("itemTexts"); // of the two items; empty for bullets

        QTest::newRow("nothing chosen")
            << QStringList{"", "", ""} << 2 << int(QTextListFormat::ListDisc) << QString();
        QTest::newRow("square") << QStringList{"方块", "", ""} << 1
                                << int(QTextListFormat::ListSquare) << QString();
        QTest::newRow("decimal in brackets")
            << QStringList{"数字", "(", ")"} << 3 << int(QTextListFormat::ListDecimal) << "(1) (2)";
        QTest::newRow("lower alpha, own suffix") << QStringList{"小写英文字母", "", ":"} << 1
                                                 << int(QTextListFormat::ListLowerAlpha) << "a: b:";
        QTest::newRow("upper roman") << QStringList{"大写罗马数字", "", ""} << 1
                                     << int(QTextListFormat::ListUpperRoman) << "I. II.";
    }

    void listChoice()
    {
        QFETCH(QStringList, choice);
        QFETCH(int, indent);
        QFETCH(int, style);
        QFETCH(QString, itemTexts);

        auto box = taskBox(nullptr, "<p>intro</p>");
        selectText(box.get(), 5, 5);
        insertFromMenu(box.get(), "列表");
        QWidget *dialog = window("ListChoice");
        QVERIFY(dialog);
        if (!choice.at(0).isEmpty())
            clickButton(dialog, choice.at(0));
        findByName<QSpinBox>(dialog, "indentWidth")->setValue(indent);
        typeInto(dialog, "numberPrefixString", choice.at(1));
        typeInto(dialog, "numberSuffixString", choice.at(2));
        clickButton(dialog, "确定");
        QCOMPARE(windowCount("ListChoice"), 0);
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
        QTest::addColumn<QString>("file"); // "image", "text", "shortcut" or "" (cancelled)
        QTest::addColumn<bool>("inserted");
        QTest::addColumn<bool>("warned");

        QTest::newRow("800 x 600 image") << "image" << true << false;
        QTest::newRow("not an image") << "text" << false << true;
        QTest::newRow("internet shortcut") << "shortcut" << false << false;
        QTest::newRow("cancelled") << "" << false << false;
    }

    void insertImageFromFile()
    {
        QFETCH(QString, file);
        QFETCH(bool, inserted);
        QFETCH(bool, warned);

        PromptScript prompts;
        QString path;
        if (file == "image")
            path = writeImage(env->workDir() + "/photo.png", QSize(800, 600));
        else if (file == "text")
            path = writeText(env->workDir() + "/fake.png", "not a picture");
        else if (file == "shortcut")
            path = writeImage(env->workDir() + "/photo.url", QSize(8, 6));
        path.isEmpty() ? prompts.answerCancel() : prompts.answerText(path);
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

    void imageEditResizes_data()
    {
        QTest::addColumn<QVariantList>("changes"); // spin box name and value pairs, or "reset"
        QTest::addColumn<QSize>("expected");
        QTest::addColumn<bool>("absoluteEnabled");
        QTest::addColumn<bool>("scaleEnabled");

        QTest::newRow("untouched") << QVariantList() << QSize(800, 600) << true << true;
        QTest::newRow("height 50 %, width 25 %")
            << QVariantList{"heightScaleValue", 50, "widthScaleValue", 25} << QSize(200, 300)
            << false << true;
        QTest::newRow("absolute width 100")
            << QVariantList{"widthValue", 100} << QSize(100, 600) << true << false;
        QTest::newRow("scale, then reset")
            << QVariantList{"heightScaleValue", 50, "reset", 0} << QSize(800, 600) << true << true;
        QTest::newRow("tiny scale keeps a pixel")
            << QVariantList{"heightScaleValue", 1, "widthScaleValue", 1} << QSize(8, 6) << false
            << true;
    }

    void imageEditResizes()
    {
        QFETCH(QVariantList, changes);
        QFETCH(QSize, expected);
        QFETCH(bool, absoluteEnabled);
        QFETCH(bool, scaleEnabled);

        const QString path = writeImage(env->workDir() + "/big.png", QSize(800, 600));
        auto box =
            taskBox(nullptr, QString("<p>x<img src='%1' width='800' height='600'>y</p>").arg(path));
        selectText(box.get(), 1, 2);
        releaseButton(box.get(), Qt::LeftButton);
        QWidget *dialog = window("ImageEdit");
        QVERIFY(dialog);
        for (int i = 0; i + 1 < changes.size(); i += 2) {
            if (changes.at(i).toString() == "reset")
                clickButton(dialog, "重新设置");
            else
                setSpin(dialog, changes.at(i).toString(), changes.at(i + 1).toInt());
        }
        for (const char *name : {"heightValue", "widthValue"})
            QCOMPARE(findByName<QSpinBox>(dialog, name)->isEnabled(), absoluteEnabled);
        for (const char *name : {"heightScaleValue", "widthScaleValue"})
            QCOMPARE(findByName<QSpinBox>(dialog, name)->isEnabled(), scaleEnabled);
        clickButton(dialog, "确定");
        QCOMPARE(windowCount("ImageEdit"), 0);
        const QTextImageFormat format = formatAt(box.get(), 1).toImageFormat();
        QCOMPARE(format.name(), path);
        QCOMPARE(QSize(int(format.width()), int(format.height())), expected);
    }

    void imageEditTouchesOnlyTheImage()
    {
        const QString path = writeImage(env->workDir() + "/pic.png", QSize(40, 20));
        // An image that came in through HTML without a size of its own.
        auto box = taskBox(nullptr, QString("<p>ab<img src='%1'>cd</p>").arg(path));
        selectText(box.get(), 4, 0); // text, image and text, selected backwards
        releaseButton(box.get(), Qt::LeftButton);
        QWidget *dialog = window("ImageEdit");
        QVERIFY(dialog);
        QCOMPARE(findByName<QSpinBox>(dialog, "widthValue")->value(), 40);
        QCOMPARE(findByName<QSpinBox>(dialog, "heightValue")->value(), 20);
        setSpin(dialog, "widthScaleValue", 200);
        clickButton(dialog, "确定");

        QCOMPARE(box->toPlainText().remove(QChar::ObjectReplacementCharacter), QString("abcd"));
        QCOMPARE(imagePositions(box.get()), QList<int>{2});
        const QTextImageFormat format = formatAt(box.get(), 2).toImageFormat();
        QCOMPARE(QSize(int(format.width()), int(format.height())), QSize(80, 20));
        QVERIFY(!formatAt(box.get(), 0).isImageFormat());
    }

    void urlOptionInsertsLink_data()
    {
        QTest::addColumn<QString>("local"); // "plain", "existing" (already in MyAttachments) or ""
        QTest::addColumn<QString>("web");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("attach");
        QTest::addColumn<QString>("href"); // "copy" / "source" for the file's URLs, "" for none
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("copied"); // a new copy is in MyAttachments

        const QString address = "www.example.com/page?id=1";
        const QString file = "it's notes.txt";
        QTest::newRow("web address, no name")
            << "" << address << QString() << false << address << address << false;
        QTest::newRow("web address with quotes and markup")
            << ""
            << "http://x.org/?a='1'&b=<2>" << QString("a <b> & 'c'") << false
            << "http://x.org/?a='1'&b=<2>" << QString("a <b> & 'c'") << false;
        QTest::newRow("local file")
            << "plain" << QString() << QString() << false << "source" << file << false;
        QTest::newRow("local file wins over web")
            << "plain" << QString("www.example.com") << QString("report") << false << "source"
            << QString("report") << false;
        QTest::newRow("attachment")
            << "plain" << QString() << QString() << true << "copy" << file << true;
        QTest::newRow("attachment already there")
            << "existing" << QString() << QString() << true << "" << QString() << false;
        QTest::newRow("all empty")
            << "" << QString() << QString() << false << "" << QString() << false;
    }

    void urlOptionInsertsLink()
    {
        QFETCH(QString, local);
        QFETCH(QString, web);
        QFETCH(QString, name);
        QFETCH(bool, attach);
        QFETCH(QString, href);
        QFETCH(QString, text);
        QFETCH(bool, copied);

        PromptScript prompts;
        LogCapture log;
        const QString source = writeText(env->workDir() + "/it's notes.txt", "new");
        const QString copy = Paths::attachmentsDir() + "/it's notes.txt";
        if (local == "existing") {
            QDir(env->appDir()).mkdir("MyAttachments");
            writeText(copy, "old");
        }
        auto box = taskBox(nullptr, "<p>start</p>");
        selectText(box.get(), 5, 5);
        insertFromMenu(box.get(), "链接");
        QWidget *dialog = window("UrlOption");
        QVERIFY(dialog);
        if (!local.isEmpty())
            typeInto(dialog, "localFileAddress", source);
        if (attach)
            clickButton(dialog, "attachment");
        typeInto(dialog, "webSiteAddress", web);
        typeInto(dialog, "displayName", name);
        clickButton(dialog, "确定");
        QCOMPARE(windowCount("UrlOption"), 0);

        // The owner saves and reloads the HTML; the link must come back the same.
        box->setHtml(box->toHtml());
        QStringList links;
        for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                if (it.fragment().charFormat().isAnchor())
                    links << it.fragment().charFormat().anchorHref() << it.fragment().text();
            }
        }
        if (href == "source" || href == "copy")
            href = QUrl::fromLocalFile(href == "copy" ? copy : source).toString();
        QCOMPARE(links, href.isEmpty() ? QStringList() : QStringList({href, text}));
        QCOMPARE(box->toPlainText().count("(超链接)"), 2);
        QVERIFY(box->toPlainText().startsWith("start"));
        const bool failed = local == "existing";
        const QString copyFailed =
            "把选中文件拷贝到安装目录下失败，请尝试重命名文件并使安装目录有写入权限。";
        QCOMPARE(prompts.messages(), failed ? QStringList{copyFailed} : QStringList());
        QCOMPARE(log.contains("copy file to MyAttachments failed!"), failed);
        QFile copyFile(copy);
        if (copied || failed) {
            // An attachment of the same name is never overwritten.
            QVERIFY(copyFile.open(QIODevice::ReadOnly));
            QCOMPARE(copyFile.readAll(), QByteArray(copied ? "new" : "old"));
        } else {
            QVERIFY(!copyFile.exists());
        }
    }

    void attachmentBoxFollowsWebAddress()
    {
        const QString source = writeText(env->workDir() + "/a.txt", "a");
        auto box = taskBox(nullptr, "<p></p>");
        insertFromMenu(box.get(), "链接");
        QWidget *dialog = window("UrlOption");
        QVERIFY(dialog);
        // Checking the attachment box, then typing an address: the box goes off and stays off.
        auto *check = findByName<QCheckBox>(dialog, "attachment");
        clickButton(dialog, "attachment");
        QVERIFY(check->isChecked());
        typeInto(dialog, "webSiteAddress", "www.example.com");
        QVERIFY(!check->isChecked());
        QVERIFY(!check->isEnabled());
        // Clearing the address offers the box again, still unchecked.
        auto *web = findByName<QLineEdit>(dialog, "webSiteAddress");
        web->selectAll();
        QTest::keyClick(web, Qt::Key_Delete);
        QVERIFY(check->isEnabled());
        QVERIFY(!check->isChecked());
        typeInto(dialog, "webSiteAddress", "www.example.com");
        typeInto(dialog, "localFileAddress", source);
        clickButton(dialog, "确定");
        // What the user last saw unchecked is not copied.
        QVERIFY(!QFile::exists(Paths::attachmentsDir() + "/a.txt"));
    }

    void findInBox_data()
    {
        QTest::addColumn<int>("cursorAt");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("selected"); // after the searches
        QTest::addColumn<bool>("notFound");    // the last search told so

        const QStringList next{"下一个"};
        const QStringList twice{"下一个", "下一个"};
        QTest::newRow("lower case finds capitals") << 0 << "beta" << next << "BETA" << false;
        QTest::newRow("repeated word, next twice") << 0 << "gamma" << twice << "Gamma" << false;
        QTest::newRow("empty text") << 0 << "" << next << "" << true;
        QTest::newRow("no match") << 0 << "delta" << next << "" << true;
        QTest::newRow("backwards from the end")
            << 24 << "alpha" << QStringList{"上一个"} << "Alpha" << false;
        QTest::newRow("no wrap at the end") << 24 << "alpha" << next << "" << true;
    }

    void findInBox()
    {
        QFETCH(int, cursorAt);
        QFETCH(QString, find);
        QFETCH(QStringList, buttons);
        QFETCH(QString, selected);
        QFETCH(bool, notFound);

        PromptScript prompts;
        auto box = taskBox(nullptr, "<p>Alpha BETA gamma x Gamma</p>");
        selectText(box.get(), cursorAt, cursorAt);
        answerNextMenu("查找...");
        openContextMenu(box.get(), QPoint(10, 10));
        QWidget *dialog = window("FindDialog");
        QVERIFY(dialog);
        typeInto(dialog, "lineEdit_text", find);
        for (const QString &button : buttons)
            clickButton(dialog, button);

        QCOMPARE(box->textCursor().selectedText(), selected);
        QCOMPARE(prompts.messages(), notFound
                                         ? QStringList{"此文本框内没有找到，请尝试全局筛选关键字。"}
                                         : QStringList());
        // Found text shows in half-transparent red, whether the last search found or not.
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            QCOMPARE(box->palette().color(group, QPalette::Highlight), QColor(255, 0, 0, 127));
        QCOMPARE(windowCount("FindDialog"), 1);
    }

    void sliderThenCancelRestoresHeight_data()
    {
        QTest::addColumn<int>("owner"); // 0 task row, 1 day view result box, 2 none
        QTest::newRow("task row") << 0;
        QTest::newRow("day view result box") << 1;
        QTest::newRow("box without an owner") << 2;
    }

    void sliderThenCancelRestoresHeight()
    {
        QFETCH(int, owner);

        // The owner's row area, scrolled down a little.
        QScrollArea area;
        area.setWidget(new QWidget);
        area.widget()->setFixedSize(300, 3000);
        area.resize(300, 300);
        area.show();
        area.verticalScrollBar()->setValue(37);
        Owner window;
        window.area = &area;
        std::unique_ptr<CustomTextEdit> box =
            owner == 0
                ? std::make_unique<CustomTextEdit>(&window, 100, 4)
                : std::make_unique<CustomTextEdit>(owner == 1 ? &window : nullptr, 100, 4, 1, 0);
        box->show();

        QWidget *dialog = openHeightDialog(box.get());
        QVERIFY(dialog);
        auto *slider = dialog->findChild<QSlider *>();
        auto *spin = findByName<QSpinBox>(dialog, "heightValue");
        QCOMPARE(slider->value(), 100);
        QCOMPARE(spin->value(), 100);
        for (int value : {150, 200, 250})
            slider->setValue(value); // the user drags
        QCOMPARE(spin->value(), 250);
        clickButton(dialog, "取消");
        QCOMPARE(windowCount("NewHeight"), 0);

        QList<QList<int>> expected;
        for (int height : {150, 200, 250, 100}) {
            if (owner < 2)
                expected.append(owner ? QList<int>{4, 1, height, 37} : QList<int>{4, height, 37});
        }
        QCOMPARE(window.calls, expected);
        QCOMPARE(box->height(), 100);
    }

    void heightTypedOrClampedToTheScreen()
    {
        Owner owner;
        auto box = taskBox(&owner, "<p>x</p>", QPoint(100, 100), 100);
        QWidget *dialog = openHeightDialog(box.get());
        QVERIFY(dialog);
        auto *slider = dialog->findChild<QSlider *>();
        auto *spin = findByName<QSpinBox>(dialog, "heightValue");
        QCOMPARE(QPoint(spin->minimum(), spin->maximum()), QPoint(1, 1040));
        QCOMPARE(QPoint(slider->minimum(), slider->maximum()), QPoint(1, 1040));
        spin->selectAll();
        QTest::keyClicks(spin, "300");
        QCOMPARE(owner.calls.size(), 0); // nothing is applied while typing
        QTest::keyClick(spin, Qt::Key_Enter);
        QCOMPARE(slider->value(), 300);
        slider->setValue(5000);
        slider->setValue(-3);
        clickButton(dialog, "确定");
        QCOMPARE(windowCount("NewHeight"), 0);
        // Row key 7; the owner has no scroll area.
        QCOMPARE(owner.calls, (QList<QList<int>>{{7, 300, 0}, {7, 1040, 0}, {7, 1, 0}}));
    }

    // The task list rebuilds its rows, and so destroys the box, on every height it is told.
    void ownerRebuildingRowsKeepsHeightDialogWorking()
    {
        struct Rebuilding : Owner {
            void setItemHeight(int index, int height, int scrollPos) override
            {
                Owner::setItemHeight(index, height, scrollPos);
                box.reset();
            }
            std::unique_ptr<CustomTextEdit> box;
        } owner;
        owner.box = taskBox(&owner, "<p>x</p>", QPoint(100, 100), 100);
        QPointer<QWidget> dialog = openHeightDialog(owner.box.get());
        QVERIFY(dialog);
        dialog->findChild<QSlider *>()->setValue(180); // the box is gone after this
        QVERIFY(!owner.box);
        QVERIFY(dialog);
        dialog->findChild<QSlider *>()->setValue(190);
        clickButton(dialog, "取消");
        QCOMPARE(owner.calls, (QList<QList<int>>{{7, 180, 0}, {7, 190, 0}, {7, 100, 0}}));
    }
};

QTEST_MAIN(TestRichText)
#include "tst_richtext.moc"

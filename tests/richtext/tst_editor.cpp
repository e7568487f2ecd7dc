#include "app/desktop.h"
#include "richtext/customtextedit.h"
#include "richtext/finddialog.h"
#include "richtext/formatedit.h"
#include "richtext/imageedit.h"
#include "richtext/listchoice.h"
#include "richtext/newheight.h"
#include "richtext/tableedit.h"
#include "richtext/tableoption.h"
#include "richtext/urloption.h"
#include "tests/richtext/richtesthelpers.h"
#include "tests/support/testenvironment.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

namespace {
const QString tableHtml =
    QStringLiteral("<p>before</p><table border=\"1\"><tr><td>a1</td><td>b1</td>"
                   "</tr><tr><td>a2</td><td>b2</td></tr></table>");
const QString imageHtml = QStringLiteral("<p>see <img src=\"pic.png\" width=\"20\" "
                                         "height=\"10\"> here</p>");

// Where a text starts in the box's document.
int positionOf(CustomTextEdit *box, const QString &text)
{
    return box->document()->find(text).selectionStart();
}

const char *const popupClasses[] = {"FormatEdit", "ImageEdit", "TableEdit"};
} // namespace

class TestEditor : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { closeAllWindows(); }

    void dispatchOpensPopupBySelection_data();
    void dispatchOpensPopupBySelection();
    void readOnlyListBoxNeverOpensPopup();
    void mouseDragSelectionOpensFormatPopupOnRelease();

    void popupPlacement_data();
    void popupPlacement();

    void contextMenuEntriesByMode_data();
    void contextMenuEntriesByMode();
    void historyBoxShowsNoContextMenu();
    void tableCellFormatEntryOpensTableEditAtCell();

    void menuDialogsPlacedAtMenu_data();
    void menuDialogsPlacedAtMenu();

    void ctrlClickOpensLink_data();
    void ctrlClickOpensLink();
};

void TestEditor::dispatchOpensPopupBySelection_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("fromText"); // selection starts at this text...
    QTest::addColumn<int>("fromOffset");
    QTest::addColumn<QString>("toText"); // ...and ends (with the cursor) here
    QTest::addColumn<int>("toOffset");
    QTest::addColumn<bool>("rightReleaseFirst");
    QTest::addColumn<QString>("expected"); // class of the popup, empty for none

    const QString plain = QStringLiteral("<p>Hello brave world</p>");
    QTest::newRow("click in plain text") << plain << "brave" << 2 << "brave" << 2 << false << "";
    QTest::newRow("word selected")
        << plain << "brave" << 0 << "brave" << 5 << false << "FormatEdit";
    QTest::newRow("word selected backwards")
        << plain << "world" << 5 << "world" << 0 << false << "FormatEdit";
    QTest::newRow("image selected")
        << imageHtml << "see" << 4 << "see" << 5 << false << "ImageEdit";
    QTest::newRow("text around image")
        << imageHtml << "see" << 0 << "here" << 4 << false << "ImageEdit";
    QTest::newRow("right click before plain click")
        << plain << "brave" << 2 << "brave" << 2 << true << "";
    QTest::newRow("click in table cell") << tableHtml << "b1" << 1 << "b1" << 1 << false << "";
    QTest::newRow("table cell after right click")
        << tableHtml << "b1" << 1 << "b1" << 1 << true << "TableEdit";
    QTest::newRow("text in table cell")
        << tableHtml << "a2" << 0 << "a2" << 2 << false << "FormatEdit";
    QTest::newRow("several cells") << tableHtml << "a1" << 0 << "b2" << 2 << false << "TableEdit";
    QTest::newRow("one cell down a column")
        << tableHtml << "b1" << 0 << "b2" << 1 << false << "TableEdit";
}

void TestEditor::dispatchOpensPopupBySelection()
{
    QFETCH(QString, html);
    QFETCH(QString, fromText);
    QFETCH(int, fromOffset);
    QFETCH(QString, toText);
    QFETCH(int, toOffset);
    QFETCH(bool, rightReleaseFirst);
    QFETCH(QString, expected);

    TestEnvironment env;
    RecordingTaskOwner owner;
    auto box = taskBox(&owner, html);
    selectText(box.get(), positionOf(box.get(), fromText) + fromOffset,
               positionOf(box.get(), toText) + toOffset);
    if (rightReleaseFirst)
        releaseButton(box.get(), Qt::RightButton);
    releaseButton(box.get(), Qt::LeftButton);

    for (const char *name : popupClasses)
        QCOMPARE(openWindowCount(name), QString::fromLatin1(name) == expected ? 1 : 0);

    // The popup acts on what was selected: the selection is still there.
    if (expected == QLatin1String("FormatEdit"))
        QVERIFY(box->textCursor().hasSelection());
    // The table popup is used up by one opening; the next click in the cell opens nothing.
    if (rightReleaseFirst && expected == QLatin1String("TableEdit")) {
        closeAllWindows();
        releaseButton(box.get(), Qt::LeftButton);
        QCOMPARE(openWindowCount("TableEdit"), 0);
    }
}

void TestEditor::readOnlyListBoxNeverOpensPopup()
{
    TestEnvironment env;
    RecordingScheduleOwner owner;
    CustomTextEdit box(&owner, 150, 3, 0, 1);
    box.setHtml(QStringLiteral("<p>read only list</p>"));
    box.show();
    selectText(&box, 0, 4);
    releaseButton(&box, Qt::LeftButton);
    for (const char *name : popupClasses)
        QCOMPARE(openWindowCount(name), 0);
}

void TestEditor::mouseDragSelectionOpensFormatPopupOnRelease()
{
    TestEnvironment env;
    auto box = taskBox(nullptr, QStringLiteral("<p>Hello brave world</p>"));
    QWidget *viewport = box->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, pointAt(box.get(), 6));
    QTest::mouseMove(viewport, pointAt(box.get(), 10));
    QMouseEvent drag(QEvent::MouseMove, pointAt(box.get(), 11), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(viewport, &drag);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, pointAt(box.get(), 11));

    QVERIFY(box->textCursor().hasSelection());
    QCOMPARE(openWindowCount("FormatEdit"), 1);
    QCOMPARE(openPopup<FormatEdit>()->size(), QSize(440, 100));
}

void TestEditor::popupPlacement_data()
{
    QTest::addColumn<QPoint>("boxAt");
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("select");
    QTest::addColumn<QString>("popupClass");
    QTest::addColumn<QSize>("size");
    // Expected top-left; -1 stands for the anchor's own coordinate.
    QTest::addColumn<QPoint>("expected");

    const QString text = QStringLiteral("<p>Hello brave world</p>");
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
    QTest::newRow("image with room") << QPoint(100, 100) << imageHtml << "image"
                                     << "ImageEdit" << QSize(300, 250) << QPoint(-1, -1);
}

void TestEditor::popupPlacement()
{
    QFETCH(QPoint, boxAt);
    QFETCH(QString, html);
    QFETCH(QString, select);
    QFETCH(QString, popupClass);
    QFETCH(QSize, size);
    QFETCH(QPoint, expected);

    TestEnvironment env;
    auto box = taskBox(nullptr, html, boxAt);
    if (select == QLatin1String("image")) {
        const int at = positionOf(box.get(), QStringLiteral("see")) + 4;
        selectText(box.get(), at, at + 1);
    } else {
        const int at = positionOf(box.get(), select);
        selectText(box.get(), at, at + select.size());
    }
    releaseButton(box.get(), Qt::LeftButton);

    QWidget *popup = nullptr;
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget *widget : widgets) {
        if (widget->isVisible() && widget->inherits(qPrintable(popupClass)))
            popup = widget;
    }
    QVERIFY(popup);
    const QPoint G = box->mapToGlobal(QPoint(0, 0));
    const QRect R = box->cursorRect();
    const QPoint anchor(G.x() + R.right() + 1, G.y() + R.top());
    QCOMPARE(popup->pos(), QPoint(expected.x() < 0 ? anchor.x() : expected.x(),
                                  expected.y() < 0 ? anchor.y() : expected.y()));
    QCOMPARE(popup->size(), size);
    QVERIFY(popup->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(popup->isWindow());
}

void TestEditor::contextMenuEntriesByMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("html");
    QTest::addColumn<int>("selectLength"); // selection from the start of the text, 0 for none
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<bool>("formatEnabled");

    const QStringList editable{"格式...", "插入...", "查找...", "调整高度..."};
    QTest::newRow("plain text, no selection")
        << 0 << "<p>Hello world</p>" << 0 << editable << false;
    QTest::newRow("plain text, selection") << 0 << "<p>Hello world</p>" << 5 << editable << true;
    QTest::newRow("table cell, no selection") << 0 << tableHtml << -1 << editable << true;
    QTest::newRow("read-only list")
        << 1 << "<p>Hello world</p>" << 5 << QStringList{"查找..."} << false;
}

void TestEditor::contextMenuEntriesByMode()
{
    QFETCH(int, mode);
    QFETCH(QString, html);
    QFETCH(int, selectLength);
    QFETCH(QStringList, added);
    QFETCH(bool, formatEnabled);

    TestEnvironment env;
    RecordingScheduleOwner owner;
    CustomTextEdit box(&owner, 200, 1, 1, mode);
    box.setHtml(html);
    box.move(100, 100);
    box.show();
    if (selectLength > 0)
        selectText(&box, 0, selectLength);
    else if (selectLength < 0)
        placeCursor(&box, positionOf(&box, QStringLiteral("a1")) + 1);

    MenuRecord record;
    answerNextMenu(QString(), &record);
    openContextMenu(&box, QPoint(10, 10));

    QVERIFY(record.texts.size() > added.size()); // the standard entries come first
    QCOMPARE(record.texts.mid(record.texts.size() - added.size()), added);
    const int format = record.texts.indexOf(QStringLiteral("格式..."));
    QCOMPARE(format >= 0, mode == 0);
    if (format >= 0)
        QCOMPARE(record.enabled.at(format), formatEnabled);
    // The menu is gone and its entries with it; the box does not collect actions.
    QVERIFY(!QApplication::activePopupWidget());
    QCOMPARE(box.findChildren<QAction *>().size(), 0);
}

void TestEditor::historyBoxShowsNoContextMenu()
{
    TestEnvironment env;
    CustomTextEdit box(static_cast<historyView *>(nullptr), 120, 1);
    box.setHtml(QStringLiteral("<p>old day</p>"));
    box.show();
    QVERIFY(box.isReadOnly());

    bool menuSeen = false;
    QTimer::singleShot(0, [&menuSeen] {
        if (QWidget *popup = QApplication::activePopupWidget()) {
            menuSeen = true;
            popup->close();
        }
    });
    openContextMenu(&box, QPoint(5, 5));
    QCoreApplication::processEvents();
    QVERIFY(!menuSeen);

    // Nor does a left release over a selection open anything.
    selectText(&box, 0, 3);
    releaseButton(&box, Qt::LeftButton);
    QCOMPARE(openWindowCount("FormatEdit"), 0);
}

void TestEditor::tableCellFormatEntryOpensTableEditAtCell()
{
    TestEnvironment env;
    auto box = taskBox(nullptr, tableHtml);
    placeCursor(box.get(), positionOf(box.get(), QStringLiteral("b1")) + 1);

    answerNextMenu(QStringLiteral("格式..."));
    openContextMenu(box.get(), box->cursorRect().center());

    auto *popup = openPopup<TableEdit>();
    QVERIFY(popup);
    const QPoint G = box->mapToGlobal(QPoint(0, 0));
    const QRect R = box->cursorRect();
    QCOMPARE(popup->pos(), QPoint(G.x() + R.left(), G.y() + R.top()));
    QCOMPARE(popup->size(), QSize(200, 500));

    // The menu has closed, so a plain left click in the cell opens nothing more.
    releaseButton(box.get(), Qt::LeftButton);
    QCOMPARE(openWindowCount("TableEdit"), 1);
}

void TestEditor::menuDialogsPlacedAtMenu_data()
{
    QTest::addColumn<QStringList>("entries"); // context-menu entry, then submenu entry if any
    QTest::addColumn<QString>("dialogClass");
    QTest::addColumn<int>("menuY");
    QTest::addColumn<QRect>("expected");

    const QStringList table{"插入...", "表格"};
    const QStringList list{"插入...", "列表"};
    const QStringList link{"插入...", "链接"};
    const QStringList height{"调整高度..."};
    const QStringList find{"查找..."};
    QTest::newRow("table, room below")
        << table << "TableOption" << 300 << QRect(150, 300, 280, 420);
    QTest::newRow("table, near bottom")
        << table << "TableOption" << 700 << QRect(150, 600, 280, 420);
    QTest::newRow("list, room below") << list << "ListChoice" << 540 << QRect(150, 540, 250, 500);
    QTest::newRow("list, near bottom") << list << "ListChoice" << 541 << QRect(150, 520, 250, 500);
    QTest::newRow("link, near bottom") << link << "UrlOption" << 800 << QRect(150, 690, 350, 320);
    QTest::newRow("link, room below") << link << "UrlOption" << 720 << QRect(150, 720, 350, 320);
    QTest::newRow("height, exactly enough")
        << height << "NewHeight" << 640 << QRect(150, 640, 200, 400);
    QTest::newRow("height, one short") << height << "NewHeight" << 641 << QRect(150, 620, 200, 400);
    QTest::newRow("find, at the bottom")
        << find << "FindDialog" << 1000 << QRect(150, 1000, 200, 60);
}

void TestEditor::menuDialogsPlacedAtMenu()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, dialogClass);
    QFETCH(int, menuY);
    QFETCH(QRect, expected);

    TestEnvironment env;
    RecordingTaskOwner owner;
    auto box = taskBox(&owner, QStringLiteral("<p>text</p>"));
    MenuRecord submenu;
    if (entries.size() > 1) {
        answerNextMenu(entries.at(0), nullptr, [&] { answerNextMenu(entries.at(1), &submenu); });
    } else {
        answerNextMenu(entries.at(0));
    }
    const QPoint origin = box->viewport()->mapToGlobal(QPoint(0, 0));
    openContextMenu(box.get(), QPoint(150, menuY) - origin);

    if (entries.size() > 1)
        QCOMPARE(submenu.texts, (QStringList{"图片", "列表", "表格", "链接"}));
    QWidget *dialog = nullptr;
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget *widget : widgets) {
        if (widget->isVisible() && widget->inherits(qPrintable(dialogClass)))
            dialog = widget;
    }
    QVERIFY(dialog);
    if (dialogClass == QLatin1String("FindDialog")) {
        // Given a geometry rather than a fixed size: its row of widgets may widen it.
        QCOMPARE(dialog->geometry().topLeft(), expected.topLeft());
        QCOMPARE(dialog->height(), expected.height());
    } else {
        QCOMPARE(dialog->pos(), expected.topLeft());
        QCOMPARE(dialog->size(), expected.size());
    }
    QVERIFY(dialog->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(dialog->windowModality() == Qt::ApplicationModal,
             dialogClass != QLatin1String("FindDialog"));
}

void TestEditor::ctrlClickOpensLink_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("opens");

    QTest::newRow("ctrl") << int(Qt::ControlModifier) << true;
    QTest::newRow("ctrl+shift") << int(Qt::ControlModifier | Qt::ShiftModifier) << false;
    QTest::newRow("plain click") << int(Qt::NoModifier) << false;
}

void TestEditor::ctrlClickOpensLink()
{
    QFETCH(int, modifiers);
    QFETCH(bool, opens);

    TestEnvironment env;
    QList<QUrl> opened;
    Desktop::setOpenUrlHandler([&opened](const QUrl &url) {
        opened.append(url);
        return true;
    });
    auto box = taskBox(nullptr, QStringLiteral("<p>go to <a href='www.example.com/page?id=1'>"
                                               "the page</a> now</p>"));
    placeCursor(box.get(), 0);
    const QPoint onLink = pointAt(box.get(), positionOf(box.get(), QStringLiteral("page")) + 1);
    QTest::mouseClick(box->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(modifiers), onLink);

    QCOMPARE(opened.size(), opens ? 1 : 0);
    if (opens) {
        QCOMPARE(opened.first().toString(), QStringLiteral("www.example.com/page?id=1"));
        QCOMPARE(box->textCursor().position(), 0);
    } else {
        QVERIFY(box->textCursor().position() != 0);
    }
}

int runEditorTests(int argc, char **argv)
{
    TestEditor test;
    return runTestObject(&test, argc, argv);
}

#include "tst_editor.moc"

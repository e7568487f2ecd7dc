#include "richtext/customtextedit.h"
#include "richtext/formatedit.h"
#include "tests/richtext/richtesthelpers.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>

namespace {
// Opens the popup the way a person does: select the word, let go of the mouse button.
FormatEdit *selectAndOpen(CustomTextEdit *box, const QString &word)
{
    const int at = box->document()->find(word).selectionStart();
    selectText(box, at, at + word.size());
    releaseButton(box, Qt::LeftButton);
    return openPopup<FormatEdit>();
}

int wordStart(CustomTextEdit *box, const QString &word)
{
    return box->document()->find(word).selectionStart();
}

void press(FormatEdit *popup, const QString &name)
{
    auto *button = findByName<QPushButton>(popup, name);
    QVERIFY2(button, qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
}

// Picks an entry of a combo box from its open list with the keyboard.
void chooseFromList(QComboBox *combo, int index)
{
    combo->showPopup();
    QAbstractItemView *view = combo->view();
    QVERIFY(QTest::qWaitForWindowExposed(view->window()));
    QTest::keyClick(view, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
}
} // namespace

class TestFormatEdit : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { closeAllWindows(); }

    void sizeStepButtons_data();
    void sizeStepButtons();
    void boldByWeightThreshold_data();
    void boldByWeightThreshold();
    void toggles_data();
    void toggles();
    void formatAtCursorReplacesSelection();
    void sizeBoxAppliesChosenEntry_data();
    void sizeBoxAppliesChosenEntry();
    void familyBoxChangesOnlyFamily();
    void colourButtons_data();
    void colourButtons();
    void clipboardActions_data();
    void clipboardActions();
    void copyShortcutWhilePopupActive();
};

void TestFormatEdit::sizeStepButtons_data()
{
    QTest::addColumn<QString>("style"); // CSS of the selected word, empty for none
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("points"); // expected point size, -1 when still pixel-sized
    QTest::addColumn<int>("pixels"); // expected pixel size when still pixel-sized

    QTest::newRow("14 up") << "font-size:14pt"
                           << "increaseButton" << 16 << 0;
    QTest::newRow("15 up") << "font-size:15pt"
                           << "increaseButton" << 16 << 0;
    QTest::newRow("8 up") << "font-size:8pt"
                          << "increaseButton" << 9 << 0;
    QTest::newRow("41 up") << "font-size:41pt"
                           << "increaseButton" << 42 << 0;
    QTest::newRow("42 stays") << "font-size:42pt"
                              << "increaseButton" << 42 << 0;
    QTest::newRow("9 stays") << "font-size:9pt"
                             << "decreaseButton" << 9 << 0;
    QTest::newRow("10 down") << "font-size:10pt"
                             << "decreaseButton" << 9 << 0;
    QTest::newRow("12 down") << "font-size:12pt"
                             << "decreaseButton" << 9 << 0;
    QTest::newRow("50 down") << "font-size:50pt"
                             << "decreaseButton" << 42 << 0;
    QTest::newRow("pixels up") << "font-size:20px"
                               << "increaseButton" << 9 << 0;
    QTest::newRow("pixels down") << "font-size:20px"
                                 << "decreaseButton" << -1 << 20;
    // Fresh text has no size of its own and shows at the box's 14 points.
    QTest::newRow("box font up") << ""
                                 << "increaseButton" << 16 << 0;
    QTest::newRow("box font down") << ""
                                   << "decreaseButton" << 12 << 0;
}

void TestFormatEdit::sizeStepButtons()
{
    QFETCH(QString, style);
    QFETCH(QString, button);
    QFETCH(int, points);
    QFETCH(int, pixels);

    TestEnvironment env;
    auto box = taskBox(nullptr,
                       QStringLiteral("<p>left <span style='%1'>word</span> right</p>").arg(style));
    FormatEdit *popup = selectAndOpen(box.get(), QStringLiteral("word"));
    QVERIFY(popup);
    press(popup, button);
    QCOMPARE(openWindowCount("FormatEdit"), 0);

    const int at = wordStart(box.get(), QStringLiteral("word"));
    for (int i = at; i < at + 4; ++i) {
        const QFont font = formatAt(box.get(), i).font();
        QCOMPARE(font.pointSize(), points);
        if (points < 0)
            QCOMPARE(font.pixelSize(), pixels);
    }
    // The neighbours keep their own size.
    QCOMPARE(formatAt(box.get(), 0).hasProperty(QTextFormat::FontPointSize), false);
}

void TestFormatEdit::boldByWeightThreshold_data()
{
    QTest::addColumn<int>("weight");
    QTest::addColumn<int>("expected");

    QTest::newRow("normal") << 50 << 75;
    QTest::newRow("57 becomes bold") << 57 << 75;
    QTest::newRow("58 becomes normal") << 58 << 50;
    QTest::newRow("63 becomes normal") << 63 << 50;
    QTest::newRow("bold") << 75 << 50;
}

void TestFormatEdit::boldByWeightThreshold()
{
    QFETCH(int, weight);
    QFETCH(int, expected);

    TestEnvironment env;
    auto box = taskBox(nullptr, QStringLiteral("<p>some weighty text</p>"));
    const int at = wordStart(box.get(), QStringLiteral("weighty"));
    QTextCursor cursor(box->document());
    cursor.setPosition(at);
    cursor.setPosition(at + 7, QTextCursor::KeepAnchor);
    QTextCharFormat weighted;
    weighted.setFontWeight(weight);
    cursor.mergeCharFormat(weighted);

    FormatEdit *popup = selectAndOpen(box.get(), QStringLiteral("weighty"));
    QVERIFY(popup);
    press(popup, QStringLiteral("boldButton"));
    QCOMPARE(formatAt(box.get(), at).fontWeight(), expected);
    QCOMPARE(formatAt(box.get(), at + 6).fontWeight(), expected);
    QCOMPARE(openWindowCount("FormatEdit"), 0);
}

void TestFormatEdit::toggles_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("property");
    QTest::addColumn<bool>("expected");

    QTest::newRow("italic on") << ""
                               << "italicButton" << int(QTextFormat::FontItalic) << true;
    QTest::newRow("italic off") << "font-style:italic"
                                << "italicButton" << int(QTextFormat::FontItalic) << false;
    QTest::newRow("oblique off") << "font-style:oblique"
                                 << "italicButton" << int(QTextFormat::FontItalic) << false;
    QTest::newRow("underline on") << ""
                                  << "underlineButton" << int(QTextFormat::FontUnderline) << true;
    QTest::newRow("underline off") << "text-decoration:underline"
                                   << "underlineButton" << int(QTextFormat::FontUnderline) << false;
    QTest::newRow("strike-out on") << ""
                                   << "strikeOutButton" << int(QTextFormat::FontStrikeOut) << true;
    QTest::newRow("strike-out off")
        << "text-decoration:line-through"
        << "strikeOutButton" << int(QTextFormat::FontStrikeOut) << false;
}

void TestFormatEdit::toggles()
{
    QFETCH(QString, style);
    QFETCH(QString, button);
    QFETCH(int, property);
    QFETCH(bool, expected);

    TestEnvironment env;
    auto box =
        taskBox(nullptr, QStringLiteral("<p>a <span style='%1'>word</span> b</p>").arg(style));
    FormatEdit *popup = selectAndOpen(box.get(), QStringLiteral("word"));
    QVERIFY(popup);
    press(popup, button);
    const int at = wordStart(box.get(), QStringLiteral("word"));
    const QTextCharFormat format = formatAt(box.get(), at + 2);
    if (property == QTextFormat::FontUnderline)
        QCOMPARE(format.fontUnderline(), expected);
    else
        QCOMPARE(format.boolProperty(property), expected);
    QCOMPARE(openWindowCount("FormatEdit"), 0);
}

void TestFormatEdit::formatAtCursorReplacesSelection()
{
    TestEnvironment env;
    auto box = taskBox(nullptr, QStringLiteral("<p><b>bold</b>plain</p>"));
    selectText(box.get(), 0, 9); // the cursor ends after the plain part
    releaseButton(box.get(), Qt::LeftButton);
    FormatEdit *popup = openPopup<FormatEdit>();
    QVERIFY(popup);
    press(popup, QStringLiteral("italicButton"));
    for (int i = 0; i < 9; ++i) {
        QVERIFY(formatAt(box.get(), i).fontItalic());
        QCOMPARE(formatAt(box.get(), i).fontWeight(), int(QFont::Normal));
    }
}

void TestFormatEdit::sizeBoxAppliesChosenEntry_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("expected");

    QTest::newRow("36") << 8 << 36;
    QTest::newRow("9 already shown") << 0 << 9;
    QTest::newRow("42") << 9 << 42;
}

void TestFormatEdit::sizeBoxAppliesChosenEntry()
{
    QFETCH(int, index);
    QFETCH(int, expected);

    TestEnvironment env;
    auto box =
        taskBox(nullptr, QStringLiteral("<p>a <span style='font-size:22pt'>word</span></p>"));
    FormatEdit *popup = selectAndOpen(box.get(), QStringLiteral("word"));
    QVERIFY(popup);
    auto *sizes = findByName<QComboBox>(popup, QStringLiteral("fontSizeComboBox"));
    QVERIFY(sizes);
    QCOMPARE(sizes->currentText(), QStringLiteral("9"));
    QCOMPARE(sizes->count(), 10);
    QCOMPARE(sizes->itemText(index), QString::number(expected));
    chooseFromList(sizes, index);
    QCOMPARE(formatAt(box.get(), wordStart(box.get(), QStringLiteral("word"))).font().pointSize(),
             expected);
    QCOMPARE(openWindowCount("FormatEdit"), 0);
}

void TestFormatEdit::familyBoxChangesOnlyFamily()
{
    TestEnvironment env;
    auto box = taskBox(nullptr, QStringLiteral("<p>a <b style='font-size:18pt'>word</b></p>"));
    FormatEdit *popup = selectAndOpen(box.get(), QStringLiteral("word"));
    QVERIFY(popup);
    auto *families = findByName<QFontComboBox>(popup, QStringLiteral("fontFamilyComboBox"));
    QVERIFY(families);
    int other = -1;
    for (int i = 0; i < families->count() && other < 0; ++i) {
        if (families->itemText(i) != families->currentText())
            other = i;
    }
    if (other < 0)
        QSKIP("only one font family installed");
    const QString family = families->itemText(other);
    chooseFromList(families, other);

    const QTextCharFormat format =
        formatAt(box.get(), wordStart(box.get(), QStringLiteral("word")) + 1);
    QCOMPARE(format.fontFamily(), family);
    QCOMPARE(format.fontWeight(), int(QFont::Bold));
    QCOMPARE(format.font().pointSize(), 18);
    QCOMPARE(openWindowCount("FormatEdit"), 0);
}

void TestFormatEdit::colourButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("choose");

    QTest::newRow("background chosen") << "backgroundButton" << true;
    QTest::newRow("background cancelled") << "backgroundButton" << false;
    QTest::newRow("text colour chosen") << "foregroundButton" << true;
    QTest::newRow("text colour cancelled") << "foregroundButton" << false;
}

void TestFormatEdit::colourButtons()
{
    QFETCH(QString, button);
    QFETCH(bool, choose);

    TestEnvironment env;
    PromptScript prompts;
    if (choose)
        prompts.answerColor(QColor(255, 0, 0));
    else
        prompts.answerCancel();
    auto box = taskBox(nullptr, QStringLiteral("<p>a word b</p>"));
    FormatEdit *popup = selectAndOpen(box.get(), QStringLiteral("word"));
    QVERIFY(popup);
    press(popup, button);

    QCOMPARE(prompts.requests().size(), 1);
    QCOMPARE(prompts.requests().first().kind, Prompt::Kind::Color);
    const QTextCharFormat format =
        formatAt(box.get(), wordStart(box.get(), QStringLiteral("word")) + 1);
    const QBrush brush =
        button == QLatin1String("backgroundButton") ? format.background() : format.foreground();
    if (choose) {
        QCOMPARE(brush.color(), QColor(255, 0, 0));
        QCOMPARE(brush.style(), Qt::SolidPattern);
        QCOMPARE(openWindowCount("FormatEdit"), 0);
    } else {
        QCOMPARE(brush.style(), Qt::NoBrush);
        QCOMPARE(openWindowCount("FormatEdit"), 1); // still open for another try
    }
}

void TestFormatEdit::clipboardActions_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("clipboardBefore");
    QTest::addColumn<QString>("textAfter");
    QTest::addColumn<QString>("clipboardAfter");

    QTest::newRow("copy") << "copyButton"
                          << ""
                          << "one two three"
                          << "two";
    QTest::newRow("cut") << "cutButton"
                         << ""
                         << "one  three"
                         << "two";
    QTest::newRow("paste") << "pasteButton"
                           << "TWO"
                           << "one TWO three"
                           << "TWO";
    QTest::newRow("delete") << "deleteButton"
                            << "kept"
                            << "one  three"
                            << "kept";
}

void TestFormatEdit::clipboardActions()
{
    QFETCH(QString, button);
    QFETCH(QString, clipboardBefore);
    QFETCH(QString, textAfter);
    QFETCH(QString, clipboardAfter);

    TestEnvironment env;
    QApplication::clipboard()->setText(clipboardBefore);
    auto box = taskBox(nullptr, QStringLiteral("<p>one two three</p>"));
    FormatEdit *popup = selectAndOpen(box.get(), QStringLiteral("two"));
    QVERIFY(popup);
    press(popup, button);
    QCOMPARE(box->toPlainText(), textAfter);
    QCOMPARE(QApplication::clipboard()->text(), clipboardAfter);
    QCOMPARE(openWindowCount("FormatEdit"), 0);
}

void TestFormatEdit::copyShortcutWhilePopupActive()
{
    TestEnvironment env;
    QApplication::clipboard()->clear();
    auto box = taskBox(nullptr, QStringLiteral("<p>one two three</p>"));
    FormatEdit *popup = selectAndOpen(box.get(), QStringLiteral("three"));
    QVERIFY(popup);
    popup->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(popup));
    QTest::keyClick(popup, Qt::Key_C, Qt::ControlModifier);
    // A shortcut clicks its button with a short animation.
    QTRY_COMPARE(QApplication::clipboard()->text(), QStringLiteral("three"));
    QTRY_COMPARE(openWindowCount("FormatEdit"), 0);
    QCOMPARE(box->toPlainText(), QStringLiteral("one two three"));
}

int runFormatEditTests(int argc, char **argv)
{
    TestFormatEdit test;
    return runTestObject(&test, argc, argv);
}

#include "tst_formatedit.moc"

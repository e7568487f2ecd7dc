#include "richtext/formatedit.h"

#include "app/prompt.h"
#include "richtext/customtextedit.h"

#include <QComboBox>
#include <QFontComboBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {
QPushButton *textButton(const QString &text, const QString &name)
{
    auto *button = new QPushButton(text);
    button->setObjectName(name);
    button->setFlat(true);
    return button;
}

QPushButton *iconButton(const QString &icon, const QString &name)
{
    auto *button = new QPushButton(QIcon(icon), QString());
    button->setObjectName(name);
    button->setFlat(true);
    return button;
}
} // namespace

FormatEdit::FormatEdit(QWidget *parent, CustomTextEdit *editor) : QWidget(parent), m_editor(editor)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // A popup whose box went away (its row was redrawn) has nothing left to act on.
    connect(editor, &QObject::destroyed, this, &QWidget::close);

    QPushButton *copy = textButton(QStringLiteral("复制"), QStringLiteral("copyButton"));
    copy->setShortcut(QKeySequence(tr("Ctrl+C")));
    copy->setFixedWidth(50);
    QPushButton *paste = textButton(QStringLiteral("粘贴"), QStringLiteral("pasteButton"));
    paste->setShortcut(QKeySequence(tr("Ctrl+V")));
    paste->setFixedWidth(50);
    auto *family = new QFontComboBox;
    family->setObjectName(QStringLiteral("fontFamilyComboBox"));
    family->setFixedWidth(120);
    auto *size = new QComboBox;
    size->setObjectName(QStringLiteral("fontSizeComboBox"));
    size->setFixedWidth(50);
    for (int s : sizeList())
        size->addItem(QString::number(s));
    QPushButton *increase = textButton(QStringLiteral("增大"), QStringLiteral("increaseButton"));
    increase->setFixedWidth(50);
    QPushButton *decrease = textButton(QStringLiteral("减小"), QStringLiteral("decreaseButton"));
    decrease->setFixedWidth(50);

    auto *row1 = new QHBoxLayout;
    row1->addWidget(copy);
    row1->addWidget(paste);
    row1->addWidget(family);
    row1->addStretch();
    row1->addWidget(size);
    row1->addWidget(increase);
    row1->addWidget(decrease);

    QPushButton *cut = textButton(QStringLiteral("剪切"), QStringLiteral("cutButton"));
    cut->setShortcut(QKeySequence(tr("Ctrl+X")));
    QPushButton *remove = textButton(QStringLiteral("删除"), QStringLiteral("deleteButton"));
    QPushButton *bold = iconButton(QStringLiteral(":/icon/bold.png"), QStringLiteral("boldButton"));
    QPushButton *italic =
        iconButton(QStringLiteral(":/icon/italic.png"), QStringLiteral("italicButton"));
    QPushButton *underline =
        iconButton(QStringLiteral(":/icon/underline.png"), QStringLiteral("underlineButton"));
    QPushButton *strikeOut =
        iconButton(QStringLiteral(":/icon/middleLine.png"), QStringLiteral("strikeOutButton"));
    QPushButton *background =
        iconButton(QStringLiteral(":/icon/fillColor.png"), QStringLiteral("backgroundButton"));
    QPushButton *foreground =
        iconButton(QStringLiteral(":/icon/fontColor.png"), QStringLiteral("foregroundButton"));

    auto *row2 = new QHBoxLayout;
    for (QWidget *w : {static_cast<QWidget *>(cut), static_cast<QWidget *>(remove),
                       static_cast<QWidget *>(bold), static_cast<QWidget *>(italic),
                       static_cast<QWidget *>(underline), static_cast<QWidget *>(strikeOut),
                       static_cast<QWidget *>(background), static_cast<QWidget *>(foreground)})
        row2->addWidget(w, 0, Qt::AlignCenter);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row1);
    layout->addLayout(row2);

    connect(copy, &QPushButton::clicked, this, &FormatEdit::onCopyButtonClicked);
    connect(paste, &QPushButton::clicked, this, &FormatEdit::onPasteButtonClicked);
    connect(cut, &QPushButton::clicked, this, &FormatEdit::onCutButtonClicked);
    connect(remove, &QPushButton::clicked, this, &FormatEdit::onDeleteButtonClicked);
    connect(increase, &QPushButton::clicked, this, &FormatEdit::onFontIncreaceButtonClicked);
    connect(decrease, &QPushButton::clicked, this, &FormatEdit::onFontDecreaceButtonClicked);
    connect(bold, &QPushButton::clicked, this, &FormatEdit::onFontBoldButtonClicked);
    connect(italic, &QPushButton::clicked, this, &FormatEdit::onFontItalicButtonClicked);
    connect(underline, &QPushButton::clicked, this, &FormatEdit::onFontUnderlineButtonClicked);
    connect(strikeOut, &QPushButton::clicked, this, &FormatEdit::onFontStrikeOutButtonClicked);
    connect(background, &QPushButton::clicked, this,
            &FormatEdit::onFontBackgroudColorButtonClicked);
    connect(foreground, &QPushButton::clicked, this,
            &FormatEdit::onFontForegroudColorButtonClicked);
    connect(family, &QFontComboBox::currentFontChanged, this, &FormatEdit::setFontFamily);
    // activated, not currentIndexChanged: choosing the entry already shown still applies it.
    connect(size, QOverload<int>::of(&QComboBox::activated), this,
            &FormatEdit::onFontSizeComboBoxClicked);
}

const QVector<int> &FormatEdit::sizeList()
{
    static const QVector<int> sizes{9, 12, 14, 16, 18, 22, 26, 30, 36, 42};
    return sizes;
}

int FormatEdit::stepUp(int s)
{
    if (s < sizeList().first())
        return sizeList().first();
    if (s > sizeList().last() - 1)
        return s;
    for (int entry : sizeList()) {
        if (entry > s)
            return entry;
    }
    return s;
}

int FormatEdit::stepDown(int s)
{
    if (s > sizeList().last())
        return sizeList().last();
    if (s <= sizeList().first())
        return s;
    for (int i = sizeList().size() - 1; i >= 0; --i) {
        if (sizeList().at(i) < s)
            return sizeList().at(i);
    }
    return s;
}

void FormatEdit::applyFormat(const std::function<void(QTextCharFormat &)> &change)
{
    QTextCursor cursor = m_editor->textCursor();
    QTextCharFormat format = cursor.charFormat();
    change(format);
    cursor.setCharFormat(format);
    m_editor->setTextCursor(cursor);
    close();
}

QFont FormatEdit::currentFont() const
{
    // Text typed into a fresh box has no size of its own and shows in the box's font.
    return m_editor->textCursor().charFormat().font().resolve(m_editor->document()->defaultFont());
}

void FormatEdit::setPointSize(int size)
{
    applyFormat([size](QTextCharFormat &format) {
        // A pixel size would otherwise keep overriding the new point size.
        format.clearProperty(QTextFormat::FontPixelSize);
        format.setFontPointSize(size);
    });
}

void FormatEdit::onCopyButtonClicked()
{
    m_editor->copy();
    close();
}

void FormatEdit::onPasteButtonClicked()
{
    m_editor->paste();
    close();
}

void FormatEdit::onCutButtonClicked()
{
    m_editor->cut();
    close();
}

void FormatEdit::onDeleteButtonClicked()
{
    QTextCursor cursor = m_editor->textCursor();
    cursor.removeSelectedText();
    m_editor->setTextCursor(cursor);
    close();
}

void FormatEdit::onFontIncreaceButtonClicked()
{
    const int s = currentFont().pointSize();
    const int next = stepUp(s);
    if (next == s) {
        close();
        return;
    }
    setPointSize(next);
}

void FormatEdit::onFontDecreaceButtonClicked()
{
    const int s = currentFont().pointSize();
    const int next = stepDown(s);
    if (next == s) {
        close();
        return;
    }
    setPointSize(next);
}

void FormatEdit::onFontBoldButtonClicked()
{
    const int weight = currentFont().weight();
    applyFormat([weight](QTextCharFormat &format) {
        format.setFontWeight(weight < 58 ? QFont::Bold : QFont::Normal);
    });
}

void FormatEdit::onFontItalicButtonClicked()
{
    const bool italic = currentFont().style() != QFont::StyleNormal;
    applyFormat([italic](QTextCharFormat &format) { format.setFontItalic(!italic); });
}

void FormatEdit::onFontUnderlineButtonClicked()
{
    applyFormat([](QTextCharFormat &format) { format.setFontUnderline(!format.fontUnderline()); });
}

void FormatEdit::onFontStrikeOutButtonClicked()
{
    applyFormat([](QTextCharFormat &format) { format.setFontStrikeOut(!format.fontStrikeOut()); });
}

void FormatEdit::onFontBackgroudColorButtonClicked()
{
    // Cancelling the colour dialog leaves the popup open for another choice.
    const QColor color = Prompt::color(this, Qt::white);
    if (color.isValid())
        setBackgroundColor(color);
}

void FormatEdit::onFontForegroudColorButtonClicked()
{
    const QColor color = Prompt::color(this, Qt::white);
    if (color.isValid())
        setForegroundColor(color);
}

void FormatEdit::setBackgroundColor(QColor color)
{
    applyFormat([color](QTextCharFormat &format) { format.setBackground(QBrush(color)); });
}

void FormatEdit::setForegroundColor(QColor color)
{
    applyFormat([color](QTextCharFormat &format) { format.setForeground(QBrush(color)); });
}

void FormatEdit::setFontFamily(QFont font)
{
    const QString family = font.family();
    applyFormat([family](QTextCharFormat &format) { format.setFontFamily(family); });
}

void FormatEdit::onFontSizeComboBoxClicked(int index)
{
    if (index < 0 || index >= sizeList().size()) {
        close();
        return;
    }
    setPointSize(sizeList().at(index));
}

#include "richtext/listchoice.h"

#include "richtext/customtextedit.h"
#include "richtext/dialogbuttons.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTextCursor>
#include <QVBoxLayout>

ListChoice::ListChoice(QWidget *parent, CustomTextEdit *editor) : QWidget(parent), m_editor(editor)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    connect(editor, &QObject::destroyed, this, &QWidget::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("列表样式：")));
    const struct {
        const char *text;
        QTextListFormat::Style style;
    } styles[] = {{"圆点", QTextListFormat::ListDisc},
                  {"空心圆", QTextListFormat::ListCircle},
                  {"方块", QTextListFormat::ListSquare},
                  {"数字", QTextListFormat::ListDecimal},
                  {"大写英文字母", QTextListFormat::ListUpperAlpha},
                  {"小写英文字母", QTextListFormat::ListLowerAlpha},
                  {"大写罗马数字", QTextListFormat::ListUpperRoman},
                  {"小写罗马数字", QTextListFormat::ListLowerRoman}};
    auto *group = new QButtonGroup(this);
    group->setExclusive(true);
    for (const auto &entry : styles) {
        auto *box = new QCheckBox(QString::fromUtf8(entry.text));
        group->addButton(box);
        layout->addWidget(box);
        const QTextListFormat::Style style = entry.style;
        connect(box, &QCheckBox::clicked, this, [this, style](bool checked) {
            if (checked)
                setListStyle(style);
        });
    }

    auto *indent = new QSpinBox;
    indent->setObjectName(QStringLiteral("indentWidth"));
    indent->setRange(1, 1000);
    indent->setValue(2);
    auto *prefix = new QLineEdit;
    prefix->setObjectName(QStringLiteral("numberPrefixString"));
    auto *suffix = new QLineEdit;
    suffix->setObjectName(QStringLiteral("numberSuffixString"));
    auto *fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("设置缩进宽度：")), 0, 0);
    fields->addWidget(indent, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("设置数字前缀：")), 1, 0);
    fields->addWidget(prefix, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("设置数字后缀：")), 2, 0);
    fields->addWidget(suffix, 2, 1);
    layout->addLayout(fields);

    layout->addLayout(
        okCancelRow(this, &ListChoice::onOkButtonClicked, &ListChoice::onCancelButtonClicked));
}

void ListChoice::setListStyle(QTextListFormat::Style style)
{
    m_style = style;
}

void ListChoice::onOkButtonClicked()
{
    QTextListFormat format;
    format.setStyle(m_style);
    format.setIndent(findChild<QSpinBox *>(QStringLiteral("indentWidth"))->value());
    const QString prefix = findChild<QLineEdit *>(QStringLiteral("numberPrefixString"))->text();
    const QString suffix = findChild<QLineEdit *>(QStringLiteral("numberSuffixString"))->text();
    if (!prefix.isEmpty())
        format.setNumberPrefix(prefix);
    if (!suffix.isEmpty())
        format.setNumberSuffix(suffix);
    QTextCursor cursor = m_editor->textCursor();
    cursor.insertList(format);
    m_editor->setTextCursor(cursor);
    close();
}

void ListChoice::onCancelButtonClicked()
{
    close();
}

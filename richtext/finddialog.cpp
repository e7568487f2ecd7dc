#include "richtext/finddialog.h"

#include "app/prompt.h"
#include "richtext/customtextedit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FindDialog::FindDialog(QWidget *parent, CustomTextEdit *editor) : QWidget(parent), m_editor(editor)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // The box may be redrawn away while this window stays open.
    connect(editor, &QObject::destroyed, this, &QWidget::close);

    auto *text = new QLineEdit;
    text->setObjectName(QStringLiteral("lineEdit_text"));
    text->setFixedWidth(140);
    auto *next = new QPushButton(QStringLiteral("下一个"));
    auto *previous = new QPushButton(QStringLiteral("上一个"));
    auto *cancel = new QPushButton(QStringLiteral("取消"));
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("查找：")));
    layout->addWidget(text, 2);
    layout->addWidget(next, 0, Qt::AlignRight);
    layout->addWidget(previous, 0, Qt::AlignRight);
    layout->addWidget(cancel, 0, Qt::AlignRight);

    connect(next, &QPushButton::clicked, this, &FindDialog::onFindNextButtonClicked);
    connect(previous, &QPushButton::clicked, this, &FindDialog::onFindPreviousButtonClicked);
    connect(cancel, &QPushButton::clicked, this, &FindDialog::onCancelButtonClicked);
}

void FindDialog::find(bool backwards)
{
    const QString text = findChild<QLineEdit *>(QStringLiteral("lineEdit_text"))->text();
    const bool found =
        backwards ? m_editor->find(text, QTextDocument::FindBackward) : m_editor->find(text);
    if (!found)
        Prompt::information(this, QStringLiteral("提示"),
                            QStringLiteral("此文本框内没有找到，请尝试全局筛选关键字。"));
    m_editor->setHighlight();
}

void FindDialog::onFindNextButtonClicked()
{
    find(false);
}

void FindDialog::onFindPreviousButtonClicked()
{
    find(true);
}

void FindDialog::onCancelButtonClicked()
{
    close();
}

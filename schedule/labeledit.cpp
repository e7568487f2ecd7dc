#include "schedule/labeledit.h"

#include "app/logging.h"
#include "app/semicolonlist.h"
#include "schedule/orvaneview.h"
#include "schedule/planlabels.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

LabelEdit::LabelEdit(orvaneView *view, int index, QWidget *parent)
    : QWidget(parent), m_view(view), m_index(index)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("类别标签"));
    setFixedHeight(500);
    resize(450, 500);
    m_labelsText = PlanLabels::text();
    m_labelCount = PlanLabels::count();
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea;
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setWidgetResizable(true);
    outer->addWidget(m_scroll);
    build(false);
}

void LabelEdit::build(bool withNewLines)
{
    auto *content = new QWidget;
    auto *box = new QVBoxLayout(content);
    const QStringList labels = SemicolonList::split(m_labelsText, false);
    const QString current = m_view->readRecordLabel(m_index);
    logLine(QStringLiteral("labelText is ") + current);
    auto *group = new QButtonGroup(content);
    group->setExclusive(true);
    for (int i = 0; i < labels.size(); ++i) {
        auto *row = new QHBoxLayout;
        auto *radio = new QRadioButton(labels.at(i));
        group->addButton(radio);
        radio->setChecked(labels.at(i) == current);
        auto *remove = new QPushButton(QStringLiteral("删除"));
        row->addWidget(radio);
        row->addStretch();
        row->addWidget(remove);
        box->addLayout(row);
        connect(radio, &QRadioButton::clicked, this,
                [this, radio] { onCheckChanged(radio->text()); });
        connect(remove, &QPushButton::clicked, this, [this, i] { onDeleteButtonClicked(i); });
    }
    if (withNewLines) {
        for (int j = 0; j < m_newLines.size(); ++j) {
            auto *row = new QHBoxLayout;
            row->addWidget(new QLabel(QStringLiteral("请输入新的标签:")));
            auto *edit = new QLineEdit(m_newLines.at(j));
            edit->setObjectName(QStringLiteral("addLine%1").arg(j + 1));
            row->addWidget(edit);
            box->addLayout(row);
            connect(edit, &QLineEdit::textChanged, this, [this, j](const QString &text) {
                setLineEditTextChangedIndex(j);
                onLineEditTextChanged(text);
            });
        }
    }
    box->addWidget(new QLabel);
    auto *buttons = new QHBoxLayout;
    auto *add = new QPushButton(QStringLiteral("增加"));
    auto *ok = new QPushButton(QStringLiteral("确定"));
    buttons->addWidget(add, 0, Qt::AlignLeft);
    buttons->addWidget(ok, 0, Qt::AlignRight);
    box->addLayout(buttons);
    box->addStretch();
    connect(add, &QPushButton::clicked, this, &LabelEdit::onAddButtonClicked);
    connect(ok, &QPushButton::clicked, this, &LabelEdit::onOkButtonClicked);
    if (QWidget *old = m_scroll->takeWidget())
        old->deleteLater();
    m_scroll->setWidget(content);
}

void LabelEdit::setLineEditTextChangedIndex(int index)
{
    m_editedLine = index;
}

void LabelEdit::onLineEditTextChanged(QString text)
{
    if (m_editedLine >= 0 && m_editedLine < m_newLines.size())
        m_newLines[m_editedLine] = text;
}

void LabelEdit::onCheckChanged(QString text)
{
    m_view->writeRecordLabel(m_index, text);
}

void LabelEdit::onAddButtonClicked()
{
    m_newLines.append(QString());
    build(true);
}

void LabelEdit::onOkButtonClicked()
{
    int added = 0;
    for (int i = 1; i <= m_newLines.size(); ++i) {
        auto *edit = m_scroll->widget()->findChild<QLineEdit *>(QStringLiteral("addLine%1").arg(i));
        // "；" separates labels in the stored list: a line holding it adds one label per part,
        // and each is counted, so the count stays the number of labels in the list.
        const QStringList parts = edit ? SemicolonList::split(edit->text(), false) : QStringList();
        for (const QString &text : parts) {
            m_labelsText += text + SemicolonList::separator;
            ++added;
        }
    }
    m_labelCount += added;
    PlanLabels::store(m_labelsText, m_labelCount);
    close();
}

void LabelEdit::onDeleteButtonClicked(int index)
{
    logLine(QStringLiteral("m_labelsText is ") + m_labelsText);
    QStringList labels = SemicolonList::split(m_labelsText, false);
    if (index < 0 || index >= labels.size())
        return;
    labels.removeAt(index);
    m_labelsText = SemicolonList::join(labels);
    m_labelCount = labels.size();
    PlanLabels::store(m_labelsText, m_labelCount);
    logLine(QStringLiteral("labelString is ") + m_labelsText);
    build(true);
}

#include "schedule/todaysummary.h"

#include "app/logging.h"
#include "app/prompt.h"
#include "app/semicolonlist.h"
#include "schedule/orvaneview.h"
#include "schedule/summarystore.h"
#include "schedule/templatexml.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

}

todaySummary::todaySummary(orvaneView *view, const QString &table, const QString &summaryText,
                           const QString &summaryScore, QWidget *parent)
    : QWidget(parent), m_view(view), m_table(table), m_summaryText(summaryText),
      m_summaryScore(summaryScore)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("编辑今日小结"));
    setFixedHeight(300);
    resize(550, 300);
    m_texts = SemicolonList::split(summaryText, false);
    m_scores = SemicolonList::split(summaryScore, false);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea;
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setWidgetResizable(true);
    outer->addWidget(m_scroll);
    build();
}

void todaySummary::build()
{
    auto *content = new QWidget;
    auto *box = new QVBoxLayout(content);
    using Setter = void (todaySummary::*)(int);
    using Storer = void (todaySummary::*)(QString);
    auto group = [this, box](const QStringList &names, const QString &label, bool numbered,
                             const QString &stem, Setter setIndex, Storer store) {
        for (int k = 1; k <= names.size(); ++k) {
            auto *row = new QHBoxLayout;
            row->addWidget(new QLabel(numbered ? label.arg(k) : label));
            auto *edit = new QLineEdit(names.at(k - 1));
            edit->setObjectName(stem.arg(k));
            row->addWidget(edit);
            box->addLayout(row);
            connect(edit, &QLineEdit::textChanged, this, [this, k, setIndex, store](QString text) {
                (this->*setIndex)(k - 1);
                (this->*store)(text);
            });
        }
    };
    group(m_texts, QStringLiteral("文本项目:"), false, QStringLiteral("lineEditSummaryText_%1"),
          &todaySummary::setSummartTextChangedIndex, &todaySummary::onSummartTextChanged);
    group(m_textsAdded, QStringLiteral("文本项目增加%1:"), true,
          QStringLiteral("lineEditSummaryTextAdd_%1"), &todaySummary::setSummartTextAddChangedIndex,
          &todaySummary::onSummartTextAddChanged);
    group(m_scores, QStringLiteral("打分项目:"), false, QStringLiteral("lineEditSummaryScore_%1"),
          &todaySummary::setSummartScoreChangedIndex, &todaySummary::onSummartScoreChanged);
    group(m_scoresAdded, QStringLiteral("打分项目增加%1:"), true,
          QStringLiteral("lineEditSummaryScoreAdd_%1"),
          &todaySummary::setSummartScoreAddChangedIndex, &todaySummary::onSummartScoreAddChanged);
    box->addWidget(new QLabel, 0, Qt::AlignCenter);
    auto *buttons = new QHBoxLayout;
    auto *addText = new QPushButton(QStringLiteral("增加文本项目"));
    auto *addScore = new QPushButton(QStringLiteral("增加打分项目"));
    auto *cancel = new QPushButton(QStringLiteral("取消"));
    auto *ok = new QPushButton(QStringLiteral("确定"));
    for (QPushButton *button : {addText, addScore, cancel, ok})
        buttons->addWidget(button);
    box->addLayout(buttons);
    box->addStretch();
    connect(addText, &QPushButton::clicked, this, &todaySummary::onAddTextButtonClicked);
    connect(addScore, &QPushButton::clicked, this, &todaySummary::onAddScoreButtonClicked);
    connect(cancel, &QPushButton::clicked, this, &todaySummary::onCancelButtonClicked);
    connect(ok, &QPushButton::clicked, this, &todaySummary::saveText);
    if (QWidget *old = m_scroll->takeWidget())
        old->deleteLater();
    m_scroll->setWidget(content);
}

void todaySummary::onAddTextButtonClicked()
{
    m_textsAdded.append(QString());
    build();
}

void todaySummary::onAddScoreButtonClicked()
{
    m_scoresAdded.append(QString());
    build();
}

void todaySummary::setSummartTextChangedIndex(int index)
{
    m_textIndex = index;
}

void todaySummary::onSummartTextChanged(QString text)
{
    if (m_textIndex >= 0 && m_textIndex < m_texts.size())
        m_texts[m_textIndex] = text;
}

void todaySummary::setSummartTextAddChangedIndex(int index)
{
    m_textAddIndex = index;
}

void todaySummary::onSummartTextAddChanged(QString text)
{
    if (m_textAddIndex >= 0 && m_textAddIndex < m_textsAdded.size())
        m_textsAdded[m_textAddIndex] = text;
}

void todaySummary::setSummartScoreChangedIndex(int index)
{
    m_scoreIndex = index;
}

void todaySummary::onSummartScoreChanged(QString text)
{
    if (m_scoreIndex >= 0 && m_scoreIndex < m_scores.size())
        m_scores[m_scoreIndex] = text;
}

void todaySummary::setSummartScoreAddChangedIndex(int index)
{
    m_scoreAddIndex = index;
}

void todaySummary::onSummartScoreAddChanged(QString text)
{
    if (m_scoreAddIndex >= 0 && m_scoreAddIndex < m_scoresAdded.size())
        m_scoresAdded[m_scoreAddIndex] = text;
}

void todaySummary::onCancelButtonClicked()
{
    close();
}

void todaySummary::saveText()
{
    const QString previousText = m_summaryText;
    const QString previousScore = m_summaryScore;
    QString texts;
    QString scores;
    int count = 0;
    const QList<QPair<const QStringList *, bool>> groups = {
        {&m_texts, true}, {&m_textsAdded, true}, {&m_scores, false}, {&m_scoresAdded, false}};
    for (const auto &group : groups) {
        for (const QString &name : *group.first) {
            if (name.isEmpty())
                continue;
            const QString problem = SummaryStore::checkName(name);
            if (!problem.isEmpty()) {
                Prompt::warning(this, QStringLiteral("提示"), problem);
                m_summaryText = previousText;
                m_summaryScore = previousScore;
                return;
            }
            if (++count > TemplateXml::maxSummaryItems) {
                Prompt::warning(this, QStringLiteral("提示"),
                                QStringLiteral("每日小结不能超过20项。"));
                m_summaryText = previousText;
                m_summaryScore = previousScore;
                return;
            }
            (group.second ? texts : scores) += name + SemicolonList::separator;
        }
    }
    m_summaryText = texts;
    m_summaryScore = scores;
    logLine(QStringLiteral("m_summaryText is ") + m_summaryText +
            QStringLiteral(" m_summaryScore is ") + m_summaryScore);
    orvaneView *view = m_view;
    close();
    view->applySummaryItems(texts, scores);
}

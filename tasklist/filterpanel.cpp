#include "tasklist/filterpanel.h"

#include "tasklist/criteriawidgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

FilterPanel::FilterPanel(QWidget *parent) : QWidget(parent)
{
    CriteriaWidgets::Captions captions;
    captions.start = QStringLiteral("开始日期");
    captions.stop = QStringLiteral("截止日期");
    captions.priority = QStringLiteral("优先级");
    captions.progress = QStringLiteral("  进度");
    captions.importance = QStringLiteral("重要性");
    captions.urgency = QStringLiteral("紧急度");
    captions.labels = QStringLiteral("标签");
    captions.keywords = QStringLiteral("关键字");
    captions.labelsPlaceholder = QStringLiteral("请用中文“；”分隔");
    captions.keywordsPlaceholder = QStringLiteral("请用中文“；”分隔");
    m_criteria = new CriteriaWidgets(this, captions);
    m_apply = new QPushButton(QStringLiteral("应用"), this);
    m_apply->setObjectName(QStringLiteral("filterApplyButton"));
    m_apply->setFixedWidth(70);
    m_apply->setEnabled(false);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setObjectName(QStringLiteral("filterCancelButton"));
    m_cancel->setFixedWidth(70);
    m_cancel->setEnabled(false);

    // The criteria in their order, on two lines so that they fit the strip's width.
    auto *lines = new QVBoxLayout(this);
    auto *first = new QHBoxLayout;
    auto *second = new QHBoxLayout;
    lines->addLayout(first);
    lines->addLayout(second);
    first->addWidget(new QLabel(QStringLiteral("筛选:"), this));
    auto addRow = [this](QHBoxLayout *line, CriteriaWidgets::Row row, const QString &spacer) {
        for (QWidget *widget : m_criteria->row(row))
            line->addWidget(widget);
        if (!spacer.isEmpty())
            line->addWidget(new QLabel(spacer, this));
    };
    addRow(first, CriteriaWidgets::StartRow, QStringLiteral("      "));
    addRow(first, CriteriaWidgets::StopRow, QStringLiteral("      "));
    addRow(first, CriteriaWidgets::PriorityRow, QStringLiteral("      "));
    addRow(first, CriteriaWidgets::ProgressRow, QString());
    first->addStretch();
    addRow(second, CriteriaWidgets::ImportanceRow, QStringLiteral("     "));
    addRow(second, CriteriaWidgets::UrgencyRow, QStringLiteral("     "));
    addRow(second, CriteriaWidgets::LabelsRow, QStringLiteral("     "));
    addRow(second, CriteriaWidgets::KeywordsRow, QStringLiteral("     "));
    second->addWidget(m_apply);
    second->addWidget(m_cancel);
    second->addStretch();
}

void FilterPanel::updateButtons(bool chosen, bool applied)
{
    m_apply->setEnabled(chosen && !applied);
    m_cancel->setEnabled(chosen && applied);
}

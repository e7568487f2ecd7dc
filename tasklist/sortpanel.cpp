#include "tasklist/sortpanel.h"

#include "tasklist/sortwidgets.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>

SortPanel::SortPanel(QWidget *parent) : QWidget(parent)
{
    m_apply = new QPushButton(QStringLiteral("应用"), this);
    m_apply->setObjectName(QStringLiteral("sortApplyButton"));
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setObjectName(QStringLiteral("sortCancelButton"));
    m_apply->setEnabled(false);
    m_cancel->setEnabled(false);
    m_sort = new SortWidgets(this, m_apply);

    auto *layout = new QHBoxLayout(this);
    for (QWidget *widget : m_sort->widgets())
        layout->addWidget(widget, 0, Qt::AlignLeft);
    layout->addWidget(m_apply, 0, Qt::AlignLeft);
    layout->addWidget(m_cancel, 0, Qt::AlignLeft);
    layout->addStretch();
}

void SortPanel::reset()
{
    m_sort->combo->setCurrentIndex(-1);
    m_sort->ascendingButton->setEnabled(false);
    m_sort->descendingButton->setEnabled(false);
    m_apply->setEnabled(false);
    m_cancel->setEnabled(false);
}

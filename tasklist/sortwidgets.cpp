#include "tasklist/sortwidgets.h"

#include "tasklist/sortclause.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

SortWidgets::SortWidgets(QWidget *parent, QPushButton *apply) : QObject(parent), m_apply(apply)
{
    combo = new QComboBox(parent);
    combo->setObjectName(QStringLiteral("sortCombo"));
    combo->addItems(SortClause::keys());
    combo->setCurrentIndex(-1);
    ascendingButton = new QPushButton(QStringLiteral("升序"), parent);
    ascendingButton->setObjectName(QStringLiteral("ascendingButton"));
    descendingButton = new QPushButton(QStringLiteral("降序"), parent);
    descendingButton->setObjectName(QStringLiteral("descendingButton"));
    ascendingButton->setEnabled(false);
    descendingButton->setEnabled(false);
    m_widgets = {new QLabel(QStringLiteral("排序:"), parent),
                 new QLabel(QStringLiteral("按照条件"), parent), combo, ascendingButton,
                 descendingButton};

    auto setApply = [this](bool on) {
        if (m_apply)
            m_apply->setEnabled(on);
    };
    connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this, setApply](int index) {
                const bool chosen = index != -1 && index != 4;
                setApply(chosen);
                descendingButton->setEnabled(chosen);
                ascendingButton->setEnabled(false);
                m_ascending = true;
            });
    connect(ascendingButton, &QPushButton::clicked, this, [this, setApply]() {
        m_ascending = true;
        ascendingButton->setEnabled(false);
        descendingButton->setEnabled(true);
        setApply(true);
    });
    connect(descendingButton, &QPushButton::clicked, this, [this, setApply]() {
        m_ascending = false;
        descendingButton->setEnabled(false);
        ascendingButton->setEnabled(true);
        setApply(true);
    });
}

QString SortWidgets::key() const
{
    return SortClause::expression(combo->currentText()).isEmpty() ? QString()
                                                                  : combo->currentText();
}

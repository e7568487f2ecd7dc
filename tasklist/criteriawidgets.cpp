#include "tasklist/criteriawidgets.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {
QComboBox *combo(QWidget *parent, const QString &name, const QStringList &items)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(items);
    box->setCurrentIndex(-1);
    return box;
}

QPushButton *dateButton(QWidget *parent, const QString &name)
{
    auto *button = new QPushButton(FilterClause::unsetDate, parent);
    button->setObjectName(name);
    button->setEnabled(false);
    return button;
}

QSpinBox *spin(QWidget *parent, const QString &name)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(0, 100);
    box->setEnabled(false);
    return box;
}

QLabel *to(QWidget *parent)
{
    auto *label = new QLabel(QStringLiteral("至"), parent);
    label->setFixedWidth(20);
    return label;
}
} // namespace

CriteriaWidgets::CriteriaWidgets(QWidget *parent, const Captions &captions) : QObject(parent)
{
    const QStringList rules = FilterClause::ruleItems();
    startRule = combo(parent, QStringLiteral("filterStartDateRuleCombo"), rules);
    startButton1 = ::dateButton(parent, QStringLiteral("startCalendarButton1"));
    startButton2 = ::dateButton(parent, QStringLiteral("startCalendarButton2"));
    stopRule = combo(parent, QStringLiteral("filterStopDateRuleCombo"), rules);
    stopButton1 = ::dateButton(parent, QStringLiteral("stopCalendarButton1"));
    stopButton2 = ::dateButton(parent, QStringLiteral("stopCalendarButton2"));
    priorityRule = combo(parent, QStringLiteral("filterPrirotyRuleCombo"), rules);
    prioritySpin1 = spin(parent, QStringLiteral("filterPrirotySpin1"));
    prioritySpin2 = spin(parent, QStringLiteral("filterPrirotySpin2"));
    progressRule = combo(parent, QStringLiteral("filterProgressRuleCombo"), rules);
    progressSpin1 = spin(parent, QStringLiteral("filterProgressSpin1"));
    progressSpin2 = spin(parent, QStringLiteral("filterProgressSpin2"));
    importance = combo(parent, QStringLiteral("filterImportanceCombo"),
                       {QStringLiteral("重要"), QStringLiteral("不重要"), QStringLiteral(" ")});
    urgency = combo(parent, QStringLiteral("filterEmergencyCombo"),
                    {QStringLiteral("紧急"), QStringLiteral("不紧急"), QStringLiteral(" ")});
    labelsRule = combo(parent, QStringLiteral("filterLabelsCombo"),
                       {QStringLiteral("包含"), QStringLiteral("不包含"), QStringLiteral(" ")});
    labelsEdit = new QLineEdit(parent);
    labelsEdit->setObjectName(QStringLiteral("labelsEdit"));
    labelsEdit->setPlaceholderText(captions.labelsPlaceholder);
    labelsEdit->setEnabled(false);
    keywordsEdit = new QLineEdit(parent);
    keywordsEdit->setObjectName(QStringLiteral("keyWordsEdit"));
    keywordsEdit->setPlaceholderText(captions.keywordsPlaceholder);

    auto caption = [parent](const QString &text) { return new QLabel(text, parent); };
    m_rows = {
        {caption(captions.start), startRule, startButton1, to(parent), startButton2},
        {caption(captions.stop), stopRule, stopButton1, to(parent), stopButton2},
        {caption(captions.priority), priorityRule, prioritySpin1, to(parent), prioritySpin2},
        {caption(captions.progress), progressRule, progressSpin1, to(parent), progressSpin2},
        {caption(captions.importance), importance},
        {caption(captions.urgency), urgency},
        {caption(captions.labels), labelsRule, labelsEdit},
        {caption(captions.keywords), keywordsEdit},
    };

    auto indexChanged = QOverload<int>::of(&QComboBox::currentIndexChanged);
    connect(startRule, indexChanged, this,
            [this](int i) { dateRuleChanged(i, startButton1, startButton2); });
    connect(stopRule, indexChanged, this,
            [this](int i) { dateRuleChanged(i, stopButton1, stopButton2); });
    connect(priorityRule, indexChanged, this,
            [this](int i) { numberRuleChanged(i, prioritySpin1, prioritySpin2); });
    connect(progressRule, indexChanged, this,
            [this](int i) { numberRuleChanged(i, progressSpin1, progressSpin2); });
    connect(importance, indexChanged, this, [this]() { notify(); });
    connect(urgency, indexChanged, this, [this]() { notify(); });
    connect(labelsRule, indexChanged, this, [this](int i) {
        notify();
        const bool on = i != -1 && i != 2;
        if (!on)
            labelsEdit->clear();
        labelsEdit->setEnabled(on);
    });
    connect(keywordsEdit, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (keywordChanged)
            keywordChanged(text);
    });
}

void CriteriaWidgets::dateRuleChanged(int index, QPushButton *first, QPushButton *second)
{
    if (index != -1 && index != FilterClause::Off) {
        first->setEnabled(true);
        second->setEnabled(index == FilterClause::Range);
    } else {
        first->setEnabled(false);
        second->setEnabled(false);
        first->setText(FilterClause::unsetDate);
        second->setText(FilterClause::unsetDate);
    }
    notify();
}

void CriteriaWidgets::numberRuleChanged(int index, QSpinBox *first, QSpinBox *second)
{
    if (index == -1 || index == FilterClause::Off) {
        first->setValue(0);
        second->setValue(0);
        first->setEnabled(false);
        second->setEnabled(false);
    } else {
        first->setEnabled(true);
        second->setEnabled(index == FilterClause::Range);
    }
    notify();
}

void CriteriaWidgets::notify()
{
    if (changed)
        changed();
}

QList<QWidget *> CriteriaWidgets::row(Row row) const
{
    return m_rows.at(row);
}

QPushButton *CriteriaWidgets::dateButton(int order) const
{
    switch (order) {
    case 1:
        return startButton1;
    case 2:
        return startButton2;
    case 3:
        return stopButton1;
    case 4:
        return stopButton2;
    default:
        return nullptr;
    }
}

FilterClause::Criteria CriteriaWidgets::criteria() const
{
    FilterClause::Criteria c;
    c.startRule = startRule->currentIndex();
    c.startDate1 = startButton1->text();
    c.startDate2 = startButton2->text();
    c.stopRule = stopRule->currentIndex();
    c.stopDate1 = stopButton1->text();
    c.stopDate2 = stopButton2->text();
    c.priorityRule = priorityRule->currentIndex();
    c.priority1 = prioritySpin1->value();
    c.priority2 = prioritySpin2->value();
    c.progressRule = progressRule->currentIndex();
    c.progress1 = progressSpin1->value();
    c.progress2 = progressSpin2->value();
    c.importanceIndex = importance->currentIndex();
    c.importanceText = importance->currentText();
    c.urgencyIndex = urgency->currentIndex();
    c.urgencyText = urgency->currentText();
    c.labelsIndex = labelsRule->currentIndex();
    c.labelsRuleText = labelsRule->currentText();
    c.labelsText = labelsEdit->text();
    c.keywords = keywordsEdit->text();
    return c;
}

bool CriteriaWidgets::anyChosen() const
{
    for (QComboBox *rule : {startRule, stopRule, priorityRule, progressRule}) {
        if (rule->currentIndex() != -1 && rule->currentIndex() != FilterClause::Off)
            return true;
    }
    for (QComboBox *choice : {importance, urgency, labelsRule}) {
        if (choice->currentIndex() != -1 && choice->currentIndex() != 2)
            return true;
    }
    return !keywordsEdit->text().isEmpty();
}

void CriteriaWidgets::reset()
{
    for (QComboBox *box :
         {startRule, stopRule, priorityRule, progressRule, importance, urgency, labelsRule})
        box->setCurrentIndex(-1);
    for (QPushButton *button : {startButton1, startButton2, stopButton1, stopButton2}) {
        button->setText(FilterClause::unsetDate);
        button->setEnabled(false);
    }
    for (QSpinBox *box : {prioritySpin1, prioritySpin2, progressSpin1, progressSpin2}) {
        box->setValue(0);
        box->setEnabled(false);
    }
    labelsEdit->clear();
    labelsEdit->setEnabled(false);
    keywordsEdit->clear();
}

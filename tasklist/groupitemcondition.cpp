#include "tasklist/groupitemcondition.h"

#include "app/calendarpopup.h"

#include "tasklist/taskstore.h"

#include "tasklist/criteriawidgets.h"
#include "tasklist/filterclause.h"
#include "tasklist/groupedit.h"
#include "tasklist/groupstore.h"
#include "tasklist/sortclause.h"
#include "tasklist/sortwidgets.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

GroupItemCondition::GroupItemCondition(GroupEdit *groupEdit, int index)
    : QWidget(groupEdit, Qt::Window), mGroupEdit(groupEdit), mIndex(index)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("分组%1").arg(index + 1));
    // The window's size is fixed by its owner; the rows scroll when they do not fit.
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    outer->addWidget(scroll);
    auto *content = new QWidget;
    auto *rows = new QVBoxLayout(content);

    mSort = new SortWidgets(content);
    auto *sortRow = new QHBoxLayout;
    for (QWidget *widget : mSort->widgets())
        sortRow->addWidget(widget);
    sortRow->addStretch();
    rows->addLayout(sortRow);
    rows->addWidget(new QLabel(QStringLiteral("筛选:"), content));

    CriteriaWidgets::Captions captions;
    captions.start = QStringLiteral("开始日期");
    captions.stop = QStringLiteral("截止日期");
    captions.priority = QStringLiteral("优先级");
    captions.progress = QStringLiteral("进度 ");
    captions.importance = QStringLiteral("重要性");
    captions.urgency = QStringLiteral(" 紧急度");
    captions.labels = QStringLiteral("标签 ");
    captions.keywords = QStringLiteral("内容关键字");
    captions.labelsPlaceholder = QStringLiteral("请使用中文“；”分隔标签");
    captions.keywordsPlaceholder = QStringLiteral("请使用中文“；”分隔关键字");
    mCriteria = new CriteriaWidgets(content, captions);
    for (int r = CriteriaWidgets::StartRow; r <= CriteriaWidgets::KeywordsRow; ++r) {
        auto *line = new QHBoxLayout;
        for (QWidget *widget : mCriteria->row(static_cast<CriteriaWidgets::Row>(r)))
            line->addWidget(widget);
        line->addStretch();
        rows->addLayout(line);
    }
    for (int order = 1; order <= 4; ++order) {
        connect(mCriteria->dateButton(order), &QPushButton::clicked, this,
                [this, order]() { onFilterCalendarButtonClicked(order); });
    }

    auto *buttons = new QHBoxLayout;
    auto *ok = new QPushButton(QStringLiteral("确定"), content);
    auto *cancel = new QPushButton(QStringLiteral("取消"), content);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    rows->addLayout(buttons);
    rows->addStretch();
    scroll->setWidget(content);

    connect(ok, &QPushButton::clicked, this, [this]() {
        onFilterApplyButtonClicked();
        hide();
        deleteLater();
    });
    connect(cancel, &QPushButton::clicked, this, &GroupItemCondition::onFilterCancelButtonClicked);

    restore(GroupStore::state(index));
}

void GroupItemCondition::restore(const QVariantMap &s)
{
    // The stored widget states are taken as they are, without the reactions of the combos.
    auto index = [&s](const char *name) { return s.value(QString::fromLatin1(name)).toInt(); };
    auto flag = [&s](const char *name) { return s.value(QString::fromLatin1(name)).toBool(); };
    auto text = [&s](const char *name) { return s.value(QString::fromLatin1(name)).toString(); };
    auto setCombo = [](QComboBox *box, int at) {
        const QSignalBlocker blocker(box);
        box->setCurrentIndex(at >= -1 && at < box->count() ? at : -1);
    };
    auto setButton = [](QPushButton *button, bool enabled, const QString &caption) {
        button->setEnabled(enabled);
        button->setText(caption);
    };
    auto setSpin = [](QSpinBox *box, bool enabled, int value) {
        const QSignalBlocker blocker(box);
        box->setEnabled(enabled);
        box->setValue(value);
    };

    setCombo(mSort->combo, index("sortComboCurrentIndex"));
    mSort->ascendingButton->setEnabled(flag("ascendingButtonEnabled"));
    mSort->descendingButton->setEnabled(flag("descendingButtonEnabled"));
    // "升序" is only offered while descending is chosen.
    mSort->setAscending(!flag("ascendingButtonEnabled"));

    CriteriaWidgets *c = mCriteria;
    setCombo(c->startRule, index("filterStartDateRuleComboCurrentIndex"));
    setButton(c->startButton1, flag("startCalendarButton1Enabled"),
              text("startCalendarButton1Text"));
    setButton(c->startButton2, flag("startCalendarButton2Enabled"),
              text("startCalendarButton2Text"));
    setCombo(c->stopRule, index("filterStopDateRuleComboCurrentIndex"));
    setButton(c->stopButton1, flag("stopCalendarButton1Enabled"), text("stopCalendarButton1Text"));
    setButton(c->stopButton2, flag("stopCalendarButton2Enabled"), text("stopCalendarButton2Text"));
    setCombo(c->priorityRule, index("filterPrirotyRuleComboCurrentIndex"));
    setSpin(c->prioritySpin1, flag("filterPrirotySpin1Enabled"), index("filterPrirotySpin1Value"));
    setSpin(c->prioritySpin2, flag("filterPrirotySpin2Enabled"), index("filterPrirotySpin2Value"));
    setCombo(c->progressRule, index("filterProgressRuleComboCurrentIndex"));
    setSpin(c->progressSpin1, flag("filterProgressSpin1Enabled"),
            index("filterProgressSpin1Value"));
    setSpin(c->progressSpin2, flag("filterProgressSpin2Enabled"),
            index("filterProgressSpin2Value"));
    setCombo(c->importance, index("filterImportanceComboCurrentIndex"));
    setCombo(c->urgency, index("filterEmergencyComboCurrentIndex"));
    setCombo(c->labelsRule, index("filterLabelsComboCurrentIndex"));
    c->labelsEdit->setEnabled(flag("labelsEditEnabled"));
    c->labelsEdit->setText(text("labelsEditText"));
    c->keywordsEdit->setText(text("keyWordsEditText"));
}

QVariantMap GroupItemCondition::widgetState() const
{
    const CriteriaWidgets *c = mCriteria;
    QVariantMap s;
    s.insert(QStringLiteral("sortComboCurrentIndex"), mSort->combo->currentIndex());
    s.insert(QStringLiteral("ascendingButtonEnabled"), mSort->ascendingButton->isEnabled());
    s.insert(QStringLiteral("descendingButtonEnabled"), mSort->descendingButton->isEnabled());
    s.insert(QStringLiteral("filterStartDateRuleComboCurrentIndex"), c->startRule->currentIndex());
    s.insert(QStringLiteral("startCalendarButton1Enabled"), c->startButton1->isEnabled());
    s.insert(QStringLiteral("startCalendarButton1Text"), c->startButton1->text());
    s.insert(QStringLiteral("startCalendarButton2Enabled"), c->startButton2->isEnabled());
    s.insert(QStringLiteral("startCalendarButton2Text"), c->startButton2->text());
    s.insert(QStringLiteral("filterStopDateRuleComboCurrentIndex"), c->stopRule->currentIndex());
    s.insert(QStringLiteral("stopCalendarButton1Enabled"), c->stopButton1->isEnabled());
    s.insert(QStringLiteral("stopCalendarButton1Text"), c->stopButton1->text());
    s.insert(QStringLiteral("stopCalendarButton2Enabled"), c->stopButton2->isEnabled());
    s.insert(QStringLiteral("stopCalendarButton2Text"), c->stopButton2->text());
    s.insert(QStringLiteral("filterPrirotyRuleComboCurrentIndex"), c->priorityRule->currentIndex());
    s.insert(QStringLiteral("filterPrirotySpin1Enabled"), c->prioritySpin1->isEnabled());
    s.insert(QStringLiteral("filterPrirotySpin1Value"), c->prioritySpin1->value());
    s.insert(QStringLiteral("filterPrirotySpin2Enabled"), c->prioritySpin2->isEnabled());
    s.insert(QStringLiteral("filterPrirotySpin2Value"), c->prioritySpin2->value());
    s.insert(QStringLiteral("filterProgressRuleComboCurrentIndex"),
             c->progressRule->currentIndex());
    s.insert(QStringLiteral("filterProgressSpin1Enabled"), c->progressSpin1->isEnabled());
    s.insert(QStringLiteral("filterProgressSpin1Value"), c->progressSpin1->value());
    s.insert(QStringLiteral("filterProgressSpin2Enabled"), c->progressSpin2->isEnabled());
    s.insert(QStringLiteral("filterProgressSpin2Value"), c->progressSpin2->value());
    s.insert(QStringLiteral("filterImportanceComboCurrentIndex"), c->importance->currentIndex());
    s.insert(QStringLiteral("filterEmergencyComboCurrentIndex"), c->urgency->currentIndex());
    s.insert(QStringLiteral("filterLabelsComboCurrentIndex"), c->labelsRule->currentIndex());
    s.insert(QStringLiteral("labelsEditEnabled"), c->labelsEdit->isEnabled());
    s.insert(QStringLiteral("labelsEditText"), c->labelsEdit->text());
    s.insert(QStringLiteral("keyWordsEditText"), c->keywordsEdit->text());
    return s;
}

void GroupItemCondition::onFilterCalendarButtonClicked(int index)
{
    CalendarPopup::open(
        this, QRect(width() / 6, height() / 4, 350, 260),
        [this, index](const QDate &date) { onFilterCalendarSelected(index, date); });
}

void GroupItemCondition::onFilterCalendarSelected(int index, QDate date)
{
    if (QPushButton *button = mCriteria->dateButton(index))
        button->setText(date.toString(QStringLiteral("yyyy-MM-dd")));
}

void GroupItemCondition::onFilterCancelButtonClicked()
{
    // Closing stores the condition shown, as leaving the window any other way does.
    close();
}

void GroupItemCondition::onFilterApplyButtonClicked()
{
    const FilterClause::Result filter = FilterClause::build(mCriteria->criteria());
    mWhere = filter.where;
    mText = filter.readable;
    const QString key = mSort->key();
    mOrder = SortClause::orderBy(key, mSort->ascending());
    if (!mOrder.isEmpty())
        mText += SortClause::readable(key, mSort->ascending());
    mSyntax = TaskStore::groupStatement(mWhere, mOrder);
    GroupStore::setCondition(mIndex, mText, mSyntax);
    mGroupEdit->rebuild();
    GroupStore::setState(mIndex, widgetState());
}

void GroupItemCondition::closeEvent(QCloseEvent *event)
{
    onFilterApplyButtonClicked();
    event->accept();
}

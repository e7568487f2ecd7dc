#include "richtext/newheight.h"

#include "app/desktop.h"
#include "richtext/customtextedit.h"
#include "richtext/schedulecellowner.h"
#include "richtext/taskrowowner.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
int scrollValue(QScrollArea *area)
{
    QScrollBar *bar = area ? area->verticalScrollBar() : nullptr;
    return bar ? bar->value() : 0;
}
} // namespace

NewHeight::NewHeight(QWidget *parent, CustomTextEdit *editor, OwnerKind ownerKind, int columnKind,
                     int height, int rowKey)
    : QWidget(parent), m_editor(editor), m_ownerKind(ownerKind), m_columnKind(columnKind),
      m_rowKey(rowKey), m_currentHeight(height), m_startHeight(height)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);

    if (m_ownerKind == TaskListOwner && m_editor->taskRowOwner()) {
        m_taskOwner = m_editor->taskRowOwner();
        m_scrollPos = scrollValue(m_taskOwner->rowScrollArea());
    } else if (m_ownerKind == DayViewOwner && m_editor->scheduleOwner()) {
        m_scheduleOwner = m_editor->scheduleOwner();
        m_scrollPos = scrollValue(m_scheduleOwner->rowScrollArea());
    }

    const int maximum = qMax(1, Desktop::availableGeometry().height());
    auto *spin = new QSpinBox;
    spin->setObjectName(QStringLiteral("heightValue"));
    spin->setKeyboardTracking(false);
    spin->setRange(1, maximum);
    spin->setValue(height);
    auto *slider = new QSlider;
    slider->setObjectName(QStringLiteral("heightSlider"));
    slider->setSingleStep(10);
    slider->setFixedHeight(200);
    slider->setRange(1, maximum);
    slider->setValue(height);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("设置文本框高度：")));
    top->addWidget(spin);
    auto *ok = new QPushButton(QStringLiteral("确定"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(slider, 0, Qt::AlignCenter);
    layout->addSpacing(50);
    layout->addLayout(buttons);

    connect(slider, &QSlider::valueChanged, spin, &QSpinBox::setValue);
    connect(slider, &QSlider::valueChanged, this, &NewHeight::synchronizeNewHeight);
    connect(spin, &QSpinBox::editingFinished, this, &NewHeight::updateSliderValue);
    connect(ok, &QPushButton::clicked, this, &NewHeight::onOkButtonClicked);
    connect(cancel, &QPushButton::clicked, this, &NewHeight::onCancelButtonClicked);
}

void NewHeight::handBack(int height)
{
    if (m_taskOwner)
        m_taskOwner->setItemHeight(m_rowKey, height, m_scrollPos);
    else if (m_scheduleOwner)
        m_scheduleOwner->updateCellHeight(m_rowKey, m_columnKind, height, m_scrollPos);
}

void NewHeight::updateSliderValue()
{
    auto *spin = findChild<QSpinBox *>(QStringLiteral("heightValue"));
    auto *slider = findChild<QSlider *>(QStringLiteral("heightSlider"));
    if (slider->value() != spin->value())
        slider->setValue(spin->value());
}

void NewHeight::synchronizeNewHeight(int height)
{
    if (height == m_currentHeight)
        return;
    m_currentHeight = height;
    handBack(height);
}

void NewHeight::onOkButtonClicked()
{
    synchronizeNewHeight(findChild<QSpinBox *>(QStringLiteral("heightValue"))->value());
    close();
}

void NewHeight::onCancelButtonClicked()
{
    // A spin box value not yet confirmed counts too; and so does a height the window was
    // already told, even if the spin box has been set back since.
    const int shown = findChild<QSpinBox *>(QStringLiteral("heightValue"))->value();
    if (shown != m_startHeight || m_currentHeight != m_startHeight)
        handBack(m_startHeight);
    close();
}

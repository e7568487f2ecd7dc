#include "tasklist/taskrow.h"

#include "richtext/customtextedit.h"
#include "tasklist/customqcombobox.h"
#include "tasklist/mainview.h"

#include <QComboBox>
#include <QGestureEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
void acceptSwipe(QWidget *widget)
{
    widget->setAttribute(Qt::WA_AcceptTouchEvents);
    widget->grabGesture(Qt::SwipeGesture);
}

// A combo whose stored text matches none of its items shows its first item.
QComboBox *choiceBox(const QStringList &items, const QString &current)
{
    auto *box = new QComboBox;
    box->addItems(items);
    const int at = box->findText(current);
    box->setCurrentIndex(at >= 0 ? at : 0);
    return box;
}

QSpinBox *percentBox(int value)
{
    auto *box = new QSpinBox;
    box->setRange(0, 100);
    box->setValue(value);
    return box;
}

const QStringList &importanceItems()
{
    static const QStringList items{QStringLiteral("重要"), QStringLiteral("不重要"),
                                   QStringLiteral(" ")};
    return items;
}

const QStringList &emergencyItems()
{
    static const QStringList items{QStringLiteral("紧急"), QStringLiteral("不紧急"),
                                   QStringLiteral(" ")};
    return items;
}

// The stems of the named widgets, "%1" being the manualIndex.
const char *const namedStems[] = {
    "textEdit",        "delButton",      "buttonStart",  "startDate",    "buttonStop", "stopDate",
    "comboImportance", "comboEmergercy", "spinPriority", "lineProgress", "comboLabel"};
} // namespace

TaskRow::TaskRow(MainView *view, QGridLayout *grid, int gridRow, int position,
                 const TaskRecord &task, bool manualOrder, bool last)
    : QObject(view->listContainer()), m_task(task), m_position(position), m_manualOrder(manualOrder)
{
    const int index = task.manualIndex;

    m_number = new QLabel(QStringLiteral("%1.").arg(position + 1));
    acceptSwipe(m_number);

    m_editor = new CustomTextEdit(static_cast<TaskRowOwner *>(view), task.height, index);
    m_editor->setHtml(task.content);
    m_editor->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    acceptSwipe(m_editor);

    m_deleteButton = new QPushButton(QStringLiteral("删除"));
    acceptSwipe(m_deleteButton);

    m_fields = new QWidget;
    auto *fields = new QHBoxLayout(m_fields);
    fields->setContentsMargins(0, 0, 0, 0);
    auto add = [fields](QWidget *widget) { fields->addWidget(widget, 0, Qt::AlignCenter); };
    auto *startButton = new QPushButton(QStringLiteral("开始日期:"));
    add(startButton);
    auto *startDate = new QLineEdit(task.startDate);
    add(startDate);
    auto *stopButton = new QPushButton(QStringLiteral("截止日期:"));
    add(stopButton);
    auto *stopDate = new QLineEdit(task.stopDate);
    add(stopDate);
    add(new QLabel(QStringLiteral("重要性:")));
    QComboBox *importance = choiceBox(importanceItems(), task.importance);
    add(importance);
    add(new QLabel(QStringLiteral("紧急度:")));
    QComboBox *emergency = choiceBox(emergencyItems(), task.emergency);
    add(emergency);
    add(new QLabel(QStringLiteral("优先级:")));
    QSpinBox *priority = percentBox(task.priority);
    add(priority);
    add(new QLabel(QStringLiteral("进度:")));
    QSpinBox *progress = percentBox(task.progress);
    add(progress);
    add(new QLabel(QStringLiteral("%")));
    add(new QLabel(QStringLiteral("标签:")));
    m_labelBox = new CustomQComboBox(view, index);
    m_labelBox->setEditText(task.label);
    add(m_labelBox);

    m_arrows = new QWidget;
    auto *arrowBox = new QHBoxLayout(m_arrows);
    arrowBox->setContentsMargins(0, 0, 0, 0);
    m_upButton = new QPushButton(view->rowShared().upArrow, QString());
    m_downButton = new QPushButton(view->rowShared().downArrow, QString());
    for (QPushButton *arrow : {m_upButton, m_downButton}) {
        arrow->setFixedSize(35, 35);
        arrowBox->addWidget(arrow);
    }

    QWidget *const named[] = {m_editor,   startButton, startDate, stopButton, stopDate,
                              importance, emergency,   priority,  progress,   m_labelBox};
    const char *const stems[] = {
        "textEdit",        "buttonStart",    "startDate",    "buttonStop",   "stopDate",
        "comboImportance", "comboEmergercy", "spinPriority", "lineProgress", "comboLabel"};
    for (size_t i = 0; i < sizeof(stems) / sizeof(stems[0]); ++i)
        m_named.insert(QString::fromLatin1(stems[i]), named[i]);
    m_named.insert(QStringLiteral("delButton"), m_deleteButton);
    for (const char *stem : namedStems) {
        const QString key = QString::fromLatin1(stem);
        m_named.value(key)->setObjectName(key + QString::number(index));
    }

    placeAt(grid, gridRow);
    // Deleting and moving only make sense in the plain manual order.
    m_deleteButton->setEnabled(manualOrder);
    setPosition(position, last);
    connectToView(view);
}

QList<QWidget *> TaskRow::gridWidgets() const
{
    return {m_number, m_editor, m_deleteButton, m_fields, m_arrows};
}

void TaskRow::placeAt(QGridLayout *grid, int gridRow)
{
    grid->addWidget(m_number, gridRow, 0);
    grid->addWidget(m_editor, gridRow, 1);
    grid->addWidget(m_deleteButton, gridRow, 2);
    grid->addWidget(m_fields, gridRow + 1, 1);
    grid->addWidget(m_arrows, gridRow + 1, 2);
}

void TaskRow::takeFrom(QGridLayout *grid)
{
    for (QWidget *widget : gridWidgets())
        grid->removeWidget(widget);
}

void TaskRow::discard(QGridLayout *grid)
{
    takeFrom(grid);
    // Out of the container at once, so that no search by object name finds them any more.
    for (QWidget *widget : gridWidgets()) {
        widget->hide();
        widget->setParent(nullptr);
        widget->deleteLater();
    }
    setParent(nullptr);
    deleteLater();
}

void TaskRow::setManualIndex(int index)
{
    if (index == m_task.manualIndex)
        return;
    m_task.manualIndex = index;
    const QString number = QString::number(index);
    for (const char *stem : namedStems) {
        const QString key = QString::fromLatin1(stem);
        if (QWidget *widget = m_named.value(key))
            widget->setObjectName(key + number);
    }
    m_editor->setRowKey(index);
    m_labelBox->setIndex(index);
}

void TaskRow::setPosition(int position, bool last)
{
    m_position = position;
    m_number->setText(QStringLiteral("%1.").arg(position + 1));
    m_upButton->setEnabled(m_manualOrder && position != 0);
    m_downButton->setEnabled(m_manualOrder && !last);
}

void TaskRow::connectToView(MainView *view)
{
    // The index is read when the signal comes, so a renumbered row reports its new place.
    auto pending = [this, view]() { view->setTextEditIndex(m_task.manualIndex); };
    auto field = [this](const char *stem) { return m_named.value(QString::fromLatin1(stem)); };

    connect(m_editor, &QTextEdit::textChanged, this, pending);
    connect(qobject_cast<QLineEdit *>(field("startDate")), &QLineEdit::textChanged, this, pending);
    connect(qobject_cast<QLineEdit *>(field("stopDate")), &QLineEdit::textChanged, this, pending);
    connect(qobject_cast<QComboBox *>(field("comboImportance")), &QComboBox::currentTextChanged,
            this, pending);
    connect(qobject_cast<QComboBox *>(field("comboEmergercy")), &QComboBox::currentTextChanged,
            this, pending);
    connect(qobject_cast<QSpinBox *>(field("spinPriority")),
            QOverload<int>::of(&QSpinBox::valueChanged), this, pending);
    connect(qobject_cast<QSpinBox *>(field("lineProgress")),
            QOverload<int>::of(&QSpinBox::valueChanged), this, pending);
    connect(qobject_cast<QComboBox *>(field("comboLabel")), &QComboBox::editTextChanged, this,
            pending);
    connect(qobject_cast<QPushButton *>(field("buttonStart")), &QPushButton::clicked, this,
            [this, view]() { view->onStartDateButtonClicked(m_task.manualIndex); });
    connect(qobject_cast<QPushButton *>(field("buttonStop")), &QPushButton::clicked, this,
            [this, view]() { view->onStopDateButtonClicked(m_task.manualIndex); });
    connect(m_deleteButton, &QPushButton::clicked, this, [this, view]() {
        view->setDeleteButtonIndex(m_task.manualIndex);
        view->onDelButtonClicked();
    });
    connect(m_upButton, &QPushButton::clicked, this,
            [this, view]() { view->onUpArrowClicked(m_task.manualIndex, m_task.id); });
    connect(m_downButton, &QPushButton::clicked, this,
            [this, view]() { view->onDownArrowClicked(m_task.manualIndex, m_task.id); });
}

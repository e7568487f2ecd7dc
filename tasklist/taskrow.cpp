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
QComboBox *choiceBox(const QString &name, const QStringList &items, const QString &current)
{
    auto *box = new QComboBox;
    box->setObjectName(name);
    box->addItems(items);
    const int at = box->findText(current);
    box->setCurrentIndex(at >= 0 ? at : 0);
    return box;
}

QSpinBox *percentBox(const QString &name, int value)
{
    auto *box = new QSpinBox;
    box->setObjectName(name);
    box->setRange(0, 100);
    box->setValue(value);
    return box;
}
} // namespace

TaskRow::TaskRow(MainView *view, QGridLayout *grid, int gridRow, int position,
                 const TaskRecord &task, bool manualOrder, bool last)
    : QObject(view->listContainer()), m_task(task)
{
    const int index = task.manualIndex;
    const int r = position;

    auto *number = new QLabel(QStringLiteral("%1.").arg(r + 1));
    acceptSwipe(number);
    grid->addWidget(number, gridRow, 0);

    m_editor = new CustomTextEdit(static_cast<TaskRowOwner *>(view), task.height, index);
    m_editor->setObjectName(QStringLiteral("textEdit%1").arg(index));
    m_editor->setHtml(task.content);
    m_editor->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    acceptSwipe(m_editor);
    grid->addWidget(m_editor, gridRow, 1);

    m_deleteButton = new QPushButton(QStringLiteral("删除"));
    m_deleteButton->setObjectName(QStringLiteral("delButton%1").arg(index));
    acceptSwipe(m_deleteButton);
    grid->addWidget(m_deleteButton, gridRow, 2);

    m_fields = new QWidget;
    auto *fields = new QHBoxLayout(m_fields);
    fields->setContentsMargins(0, 0, 0, 0);
    auto add = [fields](QWidget *widget) { fields->addWidget(widget, 0, Qt::AlignCenter); };
    auto *startButton = new QPushButton(QStringLiteral("开始日期:"));
    startButton->setObjectName(QStringLiteral("buttonStart%1").arg(index));
    add(startButton);
    auto *startDate = new QLineEdit(task.startDate);
    startDate->setObjectName(QStringLiteral("startDate%1").arg(index));
    add(startDate);
    auto *stopButton = new QPushButton(QStringLiteral("截止日期:"));
    stopButton->setObjectName(QStringLiteral("buttonStop%1").arg(index));
    add(stopButton);
    auto *stopDate = new QLineEdit(task.stopDate);
    stopDate->setObjectName(QStringLiteral("stopDate%1").arg(index));
    add(stopDate);
    add(new QLabel(QStringLiteral("重要性:")));
    add(choiceBox(QStringLiteral("comboImportance%1").arg(index),
                  {QStringLiteral("重要"), QStringLiteral("不重要"), QStringLiteral(" ")},
                  task.importance));
    add(new QLabel(QStringLiteral("紧急度:")));
    add(choiceBox(QStringLiteral("comboEmergercy%1").arg(index),
                  {QStringLiteral("紧急"), QStringLiteral("不紧急"), QStringLiteral(" ")},
                  task.emergency));
    add(new QLabel(QStringLiteral("优先级:")));
    add(percentBox(QStringLiteral("spinPriority%1").arg(index), task.priority));
    add(new QLabel(QStringLiteral("进度:")));
    add(percentBox(QStringLiteral("lineProgress%1").arg(index), task.progress));
    add(new QLabel(QStringLiteral("%")));
    add(new QLabel(QStringLiteral("标签:")));
    auto *labelBox = new CustomQComboBox(view, index);
    labelBox->setObjectName(QStringLiteral("comboLabel%1").arg(index));
    labelBox->setEditText(task.label);
    add(labelBox);
    grid->addWidget(m_fields, gridRow + 1, 1);

    auto *arrows = new QWidget;
    auto *arrowBox = new QHBoxLayout(arrows);
    arrowBox->setContentsMargins(0, 0, 0, 0);
    m_upButton = new QPushButton(QIcon(QStringLiteral(":/icon/upArrow.png")), QString());
    m_downButton = new QPushButton(QIcon(QStringLiteral(":/icon/downArrow.png")), QString());
    for (QPushButton *arrow : {m_upButton, m_downButton}) {
        arrow->setFixedSize(35, 35);
        arrowBox->addWidget(arrow);
    }
    grid->addWidget(arrows, gridRow + 1, 2);

    // Deleting and moving only make sense in the plain manual order.
    m_deleteButton->setEnabled(manualOrder);
    m_upButton->setEnabled(manualOrder && r != 0);
    m_downButton->setEnabled(manualOrder && !last);

    for (const char *stem :
         {"textEdit", "delButton", "buttonStart", "startDate", "buttonStop", "stopDate",
          "comboImportance", "comboEmergercy", "spinPriority", "lineProgress", "comboLabel"}) {
        const QString name = QString::fromLatin1(stem) + QString::number(index);
        QWidget *widget =
            m_editor->objectName() == name
                ? m_editor
                : (m_deleteButton->objectName() == name ? m_deleteButton
                                                        : m_fields->findChild<QWidget *>(name));
        m_named.insert(QString::fromLatin1(stem), widget);
    }
    connectToView(view);
}

void TaskRow::connectToView(MainView *view)
{
    const int index = m_task.manualIndex;
    const int id = m_task.id;
    auto pending = [view, index]() { view->setTextEditIndex(index); };
    auto field = [this](const char *stem) { return m_named.value(QString::fromLatin1(stem)); };

    connect(m_editor, &QTextEdit::textChanged, view, pending);
    connect(qobject_cast<QLineEdit *>(field("startDate")), &QLineEdit::textChanged, view, pending);
    connect(qobject_cast<QLineEdit *>(field("stopDate")), &QLineEdit::textChanged, view, pending);
    connect(qobject_cast<QComboBox *>(field("comboImportance")), &QComboBox::currentTextChanged,
            view, pending);
    connect(qobject_cast<QComboBox *>(field("comboEmergercy")), &QComboBox::currentTextChanged,
            view, pending);
    connect(qobject_cast<QSpinBox *>(field("spinPriority")),
            QOverload<int>::of(&QSpinBox::valueChanged), view, pending);
    connect(qobject_cast<QSpinBox *>(field("lineProgress")),
            QOverload<int>::of(&QSpinBox::valueChanged), view, pending);
    connect(qobject_cast<QComboBox *>(field("comboLabel")), &QComboBox::editTextChanged, view,
            pending);
    connect(qobject_cast<QPushButton *>(field("buttonStart")), &QPushButton::clicked, view,
            [view, index]() { view->onStartDateButtonClicked(index); });
    connect(qobject_cast<QPushButton *>(field("buttonStop")), &QPushButton::clicked, view,
            [view, index]() { view->onStopDateButtonClicked(index); });
    connect(m_deleteButton, &QPushButton::clicked, view, [view, index]() {
        view->setDeleteButtonIndex(index);
        view->onDelButtonClicked();
    });
    connect(m_upButton, &QPushButton::clicked, view,
            [view, index, id]() { view->onUpArrowClicked(index, id); });
    connect(m_downButton, &QPushButton::clicked, view,
            [view, index, id]() { view->onDownArrowClicked(index, id); });
}

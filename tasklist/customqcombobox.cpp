#include "tasklist/customqcombobox.h"

#include "app/logging.h"
#include "app/semicolonlist.h"
#include "tasklist/mainview.h"
#include "tasklist/tasklabels.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

CustomQComboBox::CustomQComboBox(MainView *mainView, int index, QWidget *parent)
    : QComboBox(parent), mMainView(mainView), mIndex(index)
{
    setEditable(true);
    setFixedSize(150, 35);
    mList = new QListWidget(this);
    mList->setObjectName(QStringLiteral("comboLabelListWidget%1").arg(index));
    setModel(mList->model());
    setView(mList);
    // Typing keeps its text; the entries are check boxes, never chosen as the box's text.
    setInsertPolicy(QComboBox::NoInsert);
}

void CustomQComboBox::setIndex(int index)
{
    mIndex = index;
    mList->setObjectName(QStringLiteral("comboLabelListWidget%1").arg(index));
}

void CustomQComboBox::showPopup()
{
    QWidget *container = mMainView ? mMainView->listContainer() : nullptr;
    auto *list = container ? container->findChild<QListWidget *>(
                                 QStringLiteral("comboLabelListWidget%1").arg(mIndex))
                           : nullptr;
    if (!list) {
        logLine(QStringLiteral("cann't find child listWidget"));
        return;
    }
    if (!mTextReset)
        mText = currentText();

    disconnect(lineEdit(), &QLineEdit::textChanged, this, &CustomQComboBox::resetTextChanged);
    list->clear();
    const QStringList ticked = SemicolonList::split(mText);
    const QStringList names = SemicolonList::split(TaskLabels::text());
    for (const QString &name : names) {
        auto *item = new QListWidgetItem(list);
        auto *box = new QCheckBox(name, this);
        box->setChecked(ticked.contains(name));
        list->setItemWidget(item, box);
        connect(box, &QCheckBox::stateChanged, this, &CustomQComboBox::checkBoxStateChanged);
    }
    auto *otherItem = new QListWidgetItem(list);
    auto *other = new QPushButton(QStringLiteral("其它..."), this);
    list->setItemWidget(otherItem, other);
    MainView *view = mMainView;
    const int index = mIndex;
    connect(other, &QPushButton::clicked, view,
            [view, index]() { view->onLabelOtherButtonClicked(index); });

    setEditText(mText);
    mTextReset = false;
    connect(lineEdit(), &QLineEdit::textChanged, this, &CustomQComboBox::resetTextChanged,
            Qt::UniqueConnection);
    QComboBox::showPopup();
}

void CustomQComboBox::hidePopup()
{
    const QRect listRect(mapToGlobal(QPoint(0, height())), view()->size());
    if (listRect.contains(QCursor::pos()))
        return;
    if (mPressed) {
        QComboBox::hidePopup();
        mPressed = false;
        disconnect(lineEdit(), &QLineEdit::textChanged, this, &CustomQComboBox::resetTextChanged);
    }
}

void CustomQComboBox::mousePressEvent(QMouseEvent *e)
{
    mPressed = true;
    QComboBox::mousePressEvent(e);
    e->accept();
}

void CustomQComboBox::resetTextChanged(QString text)
{
    // While the popup is open the box must not lose the row's text to a list entry.
    QSignalBlocker blocker(lineEdit());
    if (!text.isEmpty()) {
        setEditText(text);
        mText = text;
    } else {
        setEditText(mText);
    }
    mTextReset = true;
}

void CustomQComboBox::checkBoxStateChanged()
{
    auto *list = qobject_cast<QListWidget *>(view());
    QList<QPair<QString, bool>> boxes;
    for (int row = 0; list && row + 1 < list->count(); ++row) {
        if (auto *box = qobject_cast<QCheckBox *>(list->itemWidget(list->item(row))))
            boxes.append({box->text(), box->isChecked()});
    }
    const QString text = SemicolonList::applyTicks(currentText(), boxes);
    mText = text;
    setEditText(text);
    if (mMainView)
        mMainView->onLabelComboBoxStateChanged(mIndex, text);
}

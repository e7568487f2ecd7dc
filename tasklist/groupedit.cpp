#include "tasklist/groupedit.h"

#include "app/logging.h"
#include "app/prompt.h"
#include "tasklist/groupitemcondition.h"
#include "tasklist/groupstore.h"
#include "tasklist/mainview.h"
#include "undo/deletions.h"
#include "undo/undonotice.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

GroupEdit::GroupEdit(MainView *mainView) : QWidget(mainView, Qt::Window), mMainView(mainView)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("分组"));
    setFixedSize(mainView->headerArea().width(), 696);
    rebuild();
    mUndoNotice = new UndoNotice(this, [this] { undoLastDelete(); });
}

void GroupEdit::rebuild()
{
    if (mScrollArea) {
        mScrollArea->hide();
        // Deferred: a button inside the old list may be the one that asked for this.
        mScrollArea->deleteLater();
    }
    mCount = GroupStore::count();
    const QList<GroupStore::Group> groups = GroupStore::groups();

    mScrollArea = new QScrollArea(this);
    mScrollArea->setFrameShape(QFrame::NoFrame);
    mScrollArea->setGeometry(0, 0, width(), height());
    mScrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mScrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mContainer = new QWidget;
    mContainer->setMaximumWidth(width() - 20);
    mContainer->setFixedSize(width() - 20, (mCount + 2) * 58);
    mBox = new QVBoxLayout(mContainer);

    for (int i = 0; i < mCount; ++i) {
        auto *row = new QHBoxLayout;
        row->addWidget(new QLabel(QStringLiteral("分组%1:").arg(i + 1)), 0, Qt::AlignLeft);
        row->addWidget(new QLabel(QStringLiteral("分组名称")), 0, Qt::AlignLeft);
        auto *name = new QLineEdit(groups.at(i).name);
        name->setObjectName(QStringLiteral("groupName_%1").arg(i));
        row->addWidget(name, 0, Qt::AlignLeft);
        row->addWidget(new QLabel(QStringLiteral("分组条件")), 0, Qt::AlignLeft);
        auto *condition = new QLineEdit(groups.at(i).conditionText);
        condition->setObjectName(QStringLiteral("groupCondition_%1").arg(i));
        condition->setFixedWidth(700);
        condition->setPlaceholderText(QStringLiteral("手动编辑无效"));
        row->addWidget(condition, 0, Qt::AlignLeft);
        auto *edit = new QPushButton(QStringLiteral("编辑"));
        edit->setObjectName(QStringLiteral("groupEditButton_%1").arg(i));
        row->addWidget(edit, 0, Qt::AlignLeft);
        auto *remove = new QPushButton(QStringLiteral("删除"));
        remove->setObjectName(QStringLiteral("groupDeleteButton_%1").arg(i));
        row->addWidget(remove, 0, Qt::AlignLeft);
        auto *up = new QPushButton(QIcon(QStringLiteral(":/icon/upArrow.png")), QString());
        up->setObjectName(QStringLiteral("groupUpButton_%1").arg(i));
        up->setEnabled(i != 0);
        row->addWidget(up, 0, Qt::AlignLeft);
        auto *down = new QPushButton(QIcon(QStringLiteral(":/icon/downArrow.png")), QString());
        down->setObjectName(QStringLiteral("groupDownButton_%1").arg(i));
        down->setEnabled(i != mCount - 1);
        row->addWidget(down, 0, Qt::AlignLeft);
        row->addStretch();
        mBox->addLayout(row);
        connect(edit, &QPushButton::clicked, this, [this, i]() { onEditButtonClicked(i); });
        connect(remove, &QPushButton::clicked, this, [this, i]() { onDeleteButtonClicked(i); });
        connect(up, &QPushButton::clicked, this, [this, i]() { onUpArrowButtonClicked(i); });
        connect(down, &QPushButton::clicked, this, [this, i]() { onDownArrowButtonClicked(i); });
    }
    mBox->addWidget(new QLabel);
    auto *buttons = new QHBoxLayout;
    auto *add = new QPushButton(QStringLiteral("增加分组"));
    auto *save = new QPushButton(QStringLiteral("保存"));
    auto *ok = new QPushButton(QStringLiteral("确定"));
    buttons->addStretch();
    for (QPushButton *button : {add, save, ok})
        buttons->addWidget(button);
    buttons->addStretch();
    mBox->addLayout(buttons);
    connect(add, &QPushButton::clicked, this, &GroupEdit::onAddButtonClicked);
    connect(save, &QPushButton::clicked, this, &GroupEdit::onSaveButtonClicked);
    connect(ok, &QPushButton::clicked, this, &GroupEdit::onOkButtonClicked);

    mScrollArea->setWidget(mContainer);
    mScrollArea->show();
}

void GroupEdit::onSaveButtonClicked()
{
    const int count = GroupStore::count();
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("groupName_%1").arg(i);
        auto *edit = mContainer ? mContainer->findChild<QLineEdit *>(name) : nullptr;
        if (!edit) {
            logLine(QStringLiteral("can't find ") + name);
            continue;
        }
        GroupStore::setName(i, edit->text());
    }
}

void GroupEdit::onOkButtonClicked()
{
    onSaveButtonClicked();
    mMainView->updateGroupCountLabel();
    hide();
    deleteLater();
}

void GroupEdit::closeEvent(QCloseEvent *event)
{
    onSaveButtonClicked();
    mMainView->updateGroupCountLabel();
    event->accept();
}

// Names typed but not yet saved are kept before the list is drawn again from the settings.
void GroupEdit::onAddButtonClicked()
{
    if (GroupStore::count() >= GroupStore::maxGroups) {
        Prompt::warning(this, QStringLiteral("提示"), QStringLiteral("支持最大分组数量1000个。"));
        return;
    }
    onSaveButtonClicked();
    GroupStore::add();
    rebuild();
}

void GroupEdit::onDeleteButtonClicked(int index)
{
    onSaveButtonClicked();
    UndoEntry entry;
    const bool undoable = Deletions::group(index, &entry);
    GroupStore::remove(index);
    rebuild();
    if (undoable) {
        mMainView->groupUndoJournal().push(entry);
        mUndoNotice->showDeleted(entry.what);
    }
}

void GroupEdit::undoLastDelete()
{
    UndoJournal &journal = mMainView->groupUndoJournal();
    if (journal.isEmpty())
        return;
    onSaveButtonClicked();
    UserMessages messages;
    const UndoJournal::Result result = journal.undo(&messages);
    Prompt::show(this, messages);
    if (result == UndoJournal::Restored)
        rebuild();
}

void GroupEdit::onUpArrowButtonClicked(int index)
{
    onSaveButtonClicked();
    GroupStore::swap(index, index - 1);
    rebuild();
}

void GroupEdit::onDownArrowButtonClicked(int index)
{
    onSaveButtonClicked();
    GroupStore::swap(index, index + 1);
    rebuild();
}

void GroupEdit::onEditButtonClicked(int index)
{
    onSaveButtonClicked();
    auto *condition = new GroupItemCondition(this, index);
    const int W = mMainView->width();
    const int H = mMainView->height();
    condition->move(W / 4, H / 5);
    condition->setFixedSize(W / 4, 2 * H / 5);
    condition->setWindowModality(Qt::ApplicationModal);
    condition->show();
}

#include "tasklist/labelother.h"

#include "app/semicolonlist.h"
#include "tasklist/tasklabels.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

LabelOther::LabelOther(MainView *mainView, int index, QWidget *parent)
    : QWidget(parent), mMainView(mainView), mIndex(index)
{
    setWindowTitle(QStringLiteral("标签"));
    resize(300, 400);
    mCount = TaskLabels::count();
    QString stored = TaskLabels::text();
    stored.chop(1);
    build(stored.split(SemicolonList::separator, Qt::SkipEmptyParts), mCount, mCount);
}

void LabelOther::build(const QStringList &names, int rowCount, int heightRows)
{
    const int innerWidth = width() - 20;
    mScrollArea = new QScrollArea(this);
    mScrollArea->setFrameShape(QFrame::NoFrame);
    mScrollArea->setGeometry(0, 0, width(), height());
    mScrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mScrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mContainer = new QWidget;
    mContainer->setMaximumWidth(innerWidth);
    mContainer->resize(innerWidth, (heightRows + 2) * 58);
    mBox = new QVBoxLayout(mContainer);
    for (int i = 1; i <= rowCount; ++i) {
        auto *row = new QHBoxLayout;
        row->addWidget(new QLabel(QStringLiteral("标签%1:").arg(i)));
        auto *edit = new QLineEdit(names.value(i - 1));
        edit->setObjectName(QStringLiteral("lineEditOther%1").arg(i));
        row->addWidget(edit);
        mBox->addLayout(row);
    }
    mBox->addWidget(new QLabel);
    auto *buttons = new QHBoxLayout;
    auto *add = new QPushButton(QStringLiteral("增加"));
    auto *ok = new QPushButton(QStringLiteral("确定"));
    buttons->addWidget(add, 0, Qt::AlignLeft);
    buttons->addWidget(ok, 0, Qt::AlignRight);
    mBox->addLayout(buttons);
    connect(add, &QPushButton::clicked, this, &LabelOther::onAddButtonClicked);
    connect(ok, &QPushButton::clicked, this, &LabelOther::onOkButtonClicked);
    mScrollArea->setWidget(mContainer);
    mScrollArea->show();
}

void LabelOther::onAddButtonClicked()
{
    QString collected;
    for (int i = 1; i <= mCount; ++i) {
        auto *edit = mContainer->findChild<QLineEdit *>(QStringLiteral("lineEditOther%1").arg(i));
        collected += (edit ? edit->text() : QString()) + SemicolonList::separator;
    }
    // Typed but not yet stored names survive; the new row comes last and empty.
    mScrollArea->hide();
    mScrollArea->deleteLater();
    QStringList names = SemicolonList::split(collected);
    const int oldCount = mCount;
    ++mCount;
    while (names.size() < mCount)
        names.append(QString());
    // The height is that of the list before the new row.
    build(names, mCount, oldCount);
}

void LabelOther::onOkButtonClicked()
{
    QStringList names;
    for (int i = 1; i <= mCount; ++i) {
        auto *edit = mContainer->findChild<QLineEdit *>(QStringLiteral("lineEditOther%1").arg(i));
        if (edit && !edit->text().isEmpty())
            names.append(edit->text());
    }
    mText = SemicolonList::join(names);
    TaskLabels::store(names);
    hide();
    // A new window is made for every "其它..." click; this one is done.
    deleteLater();
}

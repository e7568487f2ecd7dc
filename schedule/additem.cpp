#include "schedule/additem.h"

#include "schedule/orvaneview.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

addItem::addItem(orvaneView *view, int index, bool timed, QWidget *parent)
    : QWidget(parent), m_view(view), m_index(index), m_timed(timed)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("增加记录"));
    resize(320, timed ? 360 : 220);
    auto *box = new QVBoxLayout(this);
    box->addWidget(new QLabel(QStringLiteral("请选择位置：")));
    m_above = new QRadioButton(QStringLiteral("在上方增加一条记录"));
    auto *below = new QRadioButton(QStringLiteral("在下方增加一条记录"));
    auto *group = new QButtonGroup(this);
    group->setExclusive(true);
    group->addButton(m_above);
    group->addButton(below);
    below->setChecked(true);
    box->addWidget(m_above);
    box->addWidget(below);
    box->addWidget(new QLabel);
    if (timed) {
        box->addWidget(new QLabel(QStringLiteral("请设置新记录的时刻：")));
        auto timeRow = [box](const QString &text, QTimeEdit **edit) {
            auto *row = new QHBoxLayout;
            row->addWidget(new QLabel(text));
            *edit = new QTimeEdit(QTime(0, 0));
            (*edit)->setDisplayFormat(QStringLiteral("hh:mm"));
            row->addWidget(*edit);
            box->addLayout(row);
        };
        timeRow(QStringLiteral("开始时刻"), &m_start);
        timeRow(QStringLiteral("结束时刻"), &m_end);
    }
    box->addWidget(new QLabel);
    auto *ok = new QPushButton(QStringLiteral("确定"));
    ok->setFixedSize(width() / 4, height() / 6);
    box->addWidget(ok, 0, Qt::AlignRight);
    connect(ok, &QPushButton::clicked, this, &addItem::onOkButtonClicked);
}

void addItem::onOkButtonClicked()
{
    hide();
    const bool above = m_above->isChecked();
    if (m_timed) {
        m_view->addTimedRecord(m_index, above,
                               QTime::fromString(m_start->text(), QStringLiteral("hh:mm")),
                               QTime::fromString(m_end->text(), QStringLiteral("hh:mm")));
    } else {
        m_view->addUntimedRecord(m_index, above);
    }
    close();
}

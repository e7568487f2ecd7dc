#include "schedule/mergeitem.h"

#include "schedule/daytables.h"
#include "schedule/orvaneview.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTimeEdit>
#include <QVBoxLayout>

mergeItem::mergeItem(orvaneView *view, int index, const QString &time, const QStringList &times,
                     QWidget *parent)
    : QWidget(parent), m_view(view), m_index(index), m_time(time), m_times(times)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("合并记录"));
    resize(400, 600);
    auto *outer = new QVBoxLayout(this);
    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    outer->addWidget(scroll);
    auto *content = new QWidget;
    auto *box = new QVBoxLayout(content);
    scroll->setWidget(content);

    box->addWidget(new QLabel(QStringLiteral("要合并的记录：")));
    auto *own = new QLineEdit(time);
    own->setReadOnly(true);
    box->addWidget(own);

    box->addWidget(new QLabel(QStringLiteral("请选择要与之合并的记录：")));
    m_partners = new QButtonGroup(this);
    const int ownIndex = index;
    for (int i = 0; i < times.size(); ++i) {
        if (i == ownIndex)
            continue;
        auto *button = new QRadioButton(times.at(i));
        m_partners->addButton(button, i);
        button->setChecked(true);
        box->addWidget(button);
    }

    box->addWidget(new QLabel);
    box->addWidget(new QLabel(QStringLiteral("请设置合并后的时刻：")));
    auto timeRow = [box](const QString &text, const QString &value, QTimeEdit **edit) {
        auto *row = new QHBoxLayout;
        row->addWidget(new QLabel(text));
        *edit = new QTimeEdit(QTime::fromString(value, QStringLiteral("hh:mm")));
        (*edit)->setDisplayFormat(QStringLiteral("hh:mm"));
        row->addWidget(*edit);
        box->addLayout(row);
    };
    timeRow(QStringLiteral("开始"), DayTables::spanStart(time), &m_start);
    timeRow(QStringLiteral("结束"), DayTables::spanEnd(time), &m_end);

    box->addWidget(new QLabel);
    box->addWidget(new QLabel(QStringLiteral("请选择合并后的位置：")));
    m_places = new QButtonGroup(this);
    for (int i = 0; i < times.size(); ++i) {
        auto *button = new QRadioButton(times.at(i));
        m_places->addButton(button, i);
        if (i == ownIndex)
            button->setChecked(true);
        box->addWidget(button);
    }

    box->addWidget(new QLabel);
    box->addWidget(new QLabel(QStringLiteral("请设置合并选项：")));
    m_options = new QButtonGroup(this);
    const QStringList options = {QStringLiteral("保留两者内容"), QStringLiteral("只保留前者内容"),
                                 QStringLiteral("只保留后者内容")};
    for (int i = 0; i < options.size(); ++i) {
        auto *button = new QRadioButton(options.at(i));
        m_options->addButton(button, i);
        button->setChecked(i == 0);
        box->addWidget(button);
    }

    box->addWidget(new QLabel);
    auto *buttons = new QHBoxLayout;
    auto *cancel = new QPushButton(QStringLiteral("取消"));
    auto *ok = new QPushButton(QStringLiteral("确定"));
    cancel->setFixedWidth(width() / 4);
    ok->setFixedWidth(width() / 4);
    buttons->addWidget(cancel, 0, Qt::AlignLeft);
    buttons->addWidget(ok, 0, Qt::AlignRight);
    outer->addLayout(buttons);
    connect(cancel, &QPushButton::clicked, this, &mergeItem::onCancelButtonClicked);
    connect(ok, &QPushButton::clicked, this, &mergeItem::onOkButtonClicked);
}

void mergeItem::onCancelButtonClicked()
{
    close();
}

void mergeItem::onOkButtonClicked()
{
    const int with = m_partners->checkedId();
    const int at = m_places->checkedId();
    if (with < 0 || at < 0) {
        close();
        return;
    }
    const int from = m_index;
    const int option = m_options->checkedId();
    const QTime start = QTime::fromString(m_start->text(), QStringLiteral("hh:mm"));
    const QTime end = QTime::fromString(m_end->text(), QStringLiteral("hh:mm"));
    hide();
    orvaneView *view = m_view;
    close();
    view->mergeRecords(from, with, at, option, start, end);
}

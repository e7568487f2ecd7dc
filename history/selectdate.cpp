#include "history/selectdate.h"

#include "app/clock.h"
#include "app/windowhandover.h"
#include "history/historyview.h"
#include "schedule/orvaneview.h"
#include "statistics/statictisview.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString dateFormat = QStringLiteral("yyyy.MM.dd");
// The calendars open to the right of the date rows.
const QRect calendarPlace(340, 20, 300, 210);
} // namespace

selectDate::selectDate(orvaneView *owner) : selectDate(HistoryRole, owner) {}

selectDate::selectDate(historyView *owner) : selectDate(ExportRole, owner) {}

selectDate::selectDate(statictisView *owner, int zero) : selectDate(StatisticsRole, owner)
{
    Q_UNUSED(zero)
}

selectDate::selectDate(Role role, QWidget *owner)
    : QWidget(owner, Qt::Window), m_role(role), m_owner(owner)
{
    // A new dialog is made for every use; it goes when closed.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("选择日期"));
    createControls();
    // In front of the middle of the window that asked.
    if (owner)
        move(owner->geometry().center() - rect().center());
}

void selectDate::createControls()
{
    const QString today = Clock::today().toString(dateFormat);
    auto makeButton = [this](const QString &name, const QString &text, const QRect &place,
                             void (selectDate::*slot)()) {
        auto *button = new QPushButton(text, this);
        button->setObjectName(name);
        button->setGeometry(place);
        connect(button, &QPushButton::clicked, this, slot);
        return button;
    };
    auto makeEdit = [this, &today](const QString &name, int y) {
        auto *edit = new QLineEdit(today, this);
        edit->setObjectName(name);
        edit->setGeometry(170, y, 150, 30);
        return edit;
    };
    makeButton(QStringLiteral("startButton"), QStringLiteral("选择开始日期"),
               QRect(20, 20, 140, 30), &selectDate::onStartButtonClicked);
    m_startEdit = makeEdit(QStringLiteral("startLineEdit"), 20);
    makeButton(QStringLiteral("stopButton"), QStringLiteral("选择结束日期"), QRect(20, 60, 140, 30),
               &selectDate::onStopButtonClicked);
    m_stopEdit = makeEdit(QStringLiteral("stopLineEdit"), 60);

    int y = 110;
    if (m_role == ExportRole) {
        auto *tasks = new QCheckBox(QStringLiteral("同时导出清单总库"), this);
        tasks->setObjectName(QStringLiteral("taskListCheckBox"));
        tasks->setGeometry(20, y, 300, 30);
        connect(tasks, &QCheckBox::clicked, this, &selectDate::onCheckBoxClicked);
        y += 40;
        auto addChoice = [this, &y](const QString &name, const QString &label,
                                    const QStringList &entries, void (selectDate::*slot)(QString)) {
            auto *caption = new QLabel(label, this);
            caption->setGeometry(20, y, 140, 30);
            auto *box = new QComboBox(this);
            box->setObjectName(name);
            box->addItems(entries);
            box->setGeometry(170, y, 150, 30);
            connect(box, &QComboBox::textActivated, this, slot);
            y += 40;
        };
        addChoice(QStringLiteral("pageOrientationComboBox"), QStringLiteral("PDF纸张方向"),
                  {QStringLiteral("纵向"), QStringLiteral("横向")},
                  &selectDate::onPageOrientationChanged);
        addChoice(QStringLiteral("pageSizeComboBox"), QStringLiteral("PDF纸张大小"),
                  {QStringLiteral("A4"), QStringLiteral("A3"), QStringLiteral("A2"),
                   QStringLiteral("A1"), QStringLiteral("A0")},
                  &selectDate::onPageSizeChanged);
    }
    y = qMax(y + 10, calendarPlace.bottom() - 30);
    makeButton(QStringLiteral("okButton"), QStringLiteral("确定"), QRect(60, y, 100, 34),
               &selectDate::onOkButtonClicked);
    makeButton(QStringLiteral("cancelButton"), QStringLiteral("取消"), QRect(190, y, 100, 34),
               &selectDate::onCancelButtonClicked);
    setFixedSize(calendarPlace.right() + 20, y + 54);
}

QCalendarWidget *selectDate::calendar(QPointer<QCalendarWidget> &calendar, const QString &name,
                                      void (selectDate::*slot)())
{
    if (!calendar) {
        calendar = new QCalendarWidget(this);
        calendar->setObjectName(name);
        calendar->setGeometry(calendarPlace);
        connect(calendar, &QCalendarWidget::clicked, this, slot);
    }
    calendar->show();
    calendar->raise();
    return calendar;
}

void selectDate::onStartButtonClicked()
{
    if (m_stopCalendar)
        m_stopCalendar->hide();
    calendar(m_startCalendar, QStringLiteral("startCalendar"), &selectDate::onStartCalendarClicked);
}

void selectDate::onStopButtonClicked()
{
    if (m_startCalendar)
        m_startCalendar->hide();
    calendar(m_stopCalendar, QStringLiteral("stopCalendar"), &selectDate::onStopCalendarClicked);
}

void selectDate::onStartCalendarClicked()
{
    m_startEdit->setText(m_startCalendar->selectedDate().toString(dateFormat));
    m_startCalendar->hide();
}

void selectDate::onStopCalendarClicked()
{
    m_stopEdit->setText(m_stopCalendar->selectedDate().toString(dateFormat));
    m_stopCalendar->hide();
}

void selectDate::onCheckBoxClicked()
{
    if (auto *box = findChild<QCheckBox *>(QStringLiteral("taskListCheckBox")))
        m_includeTaskList = box->isChecked();
}

void selectDate::onPageOrientationChanged(QString orientation)
{
    m_orientation = orientation;
}

void selectDate::onPageSizeChanged(QString size)
{
    m_pageSize = size;
}

void selectDate::onCancelButtonClicked()
{
    const QPointer<QWidget> owner = m_owner;
    close();
    if (owner)
        owner->show();
}

void selectDate::onOkButtonClicked()
{
    // The dialog deletes itself on close: everything needed afterwards is copied first.
    const QPointer<QWidget> owner = m_owner;
    const Role role = m_role;
    const QString start = m_startEdit->text();
    const QString end = m_stopEdit->text();
    const bool daysOnly = !m_includeTaskList;
    const QString orientation = m_orientation;
    const QString size = m_pageSize;
    close();
    if (!owner)
        return;
    switch (role) {
    case HistoryRole: {
        auto *view = new historyView(owner, owner, start, end);
        WindowHandOver::handOver(owner, view, 60);
        historyView::makeCurrent(view);
        break;
    }
    case ExportRole:
        static_cast<historyView *>(owner.data())
            ->exportDays(start, end, daysOnly, orientation, size);
        break;
    case StatisticsRole:
        static_cast<statictisView *>(owner.data())->setDateRange(start, end);
        break;
    }
}

#include "app/calendarpopup.h"

#include <QCalendarWidget>

QCalendarWidget *CalendarPopup::open(QWidget *parent, const QRect &geometry,
                                     std::function<void(const QDate &)> chosen)
{
    auto *calendar = new QCalendarWidget(parent);
    calendar->setGeometry(geometry);
    calendar->setWindowModality(Qt::ApplicationModal);
    QObject::connect(calendar, &QCalendarWidget::clicked, calendar,
                     [calendar, chosen = std::move(chosen)](QDate date) {
                         calendar->hide();
                         calendar->deleteLater();
                         chosen(date);
                     });
    calendar->show();
    calendar->raise();
    return calendar;
}

#include "app/windowhandover.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>

void WindowHandOver::handOver(QWidget *from, QWidget *to, int milliseconds)
{
    if (to)
        to->show();
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    if (from)
        from->hide();
}

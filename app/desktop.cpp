#include "app/desktop.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>

namespace {
struct Overrides {
    std::function<bool(const QUrl &)> openUrl;
    QRect geometry;
    QDate today;
};

Overrides &overrides()
{
    static Overrides o;
    return o;
}
} // namespace

bool Desktop::openUrl(const QUrl &url)
{
    if (overrides().openUrl)
        return overrides().openUrl(url);
    return QDesktopServices::openUrl(url);
}

QRect Desktop::availableGeometry()
{
    if (!overrides().geometry.isNull())
        return overrides().geometry;
    if (QScreen *screen = QGuiApplication::primaryScreen())
        return screen->availableGeometry();
    return QRect(0, 0, 1024, 768);
}

QDate Desktop::today()
{
    if (overrides().today.isValid())
        return overrides().today;
    return QDate::currentDate();
}

void Desktop::setOpenUrlHandler(std::function<bool(const QUrl &)> handler)
{
    overrides().openUrl = std::move(handler);
}

void Desktop::setAvailableGeometry(const QRect &rect)
{
    overrides().geometry = rect;
}

void Desktop::setToday(const QDate &date)
{
    overrides().today = date;
}

#include "app/desktop.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>

namespace {
struct Overrides {
    std::function<bool(const QUrl &)> openUrl;
    QRect geometry;
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

void Desktop::setOpenUrlHandler(std::function<bool(const QUrl &)> handler)
{
    overrides().openUrl = std::move(handler);
}

void Desktop::setAvailableGeometry(const QRect &rect)
{
    overrides().geometry = rect;
}

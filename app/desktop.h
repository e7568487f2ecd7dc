#ifndef ORVANE_APP_DESKTOP_H
#define ORVANE_APP_DESKTOP_H

#include <QRect>
#include <QUrl>
#include <functional>

// What the program asks of the desktop: opening links and the screen's free area. Today's date
// is the logic's (app/clock.h).
// Tests replace each answer with a fixed one.
class Desktop {
public:
    // Hands a web address or local file to the system's default handler.
    static bool openUrl(const QUrl &url);
    // The available geometry of the primary screen (without task bars).
    static QRect availableGeometry();

    static void setOpenUrlHandler(std::function<bool(const QUrl &)> handler);
    static void setAvailableGeometry(const QRect &rect); // a null rect restores the screen's
};

#endif

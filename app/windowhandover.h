#ifndef ORVANE_APP_WINDOWHANDOVER_H
#define ORVANE_APP_WINDOWHANDOVER_H

class QWidget;

// Windows take turns: show the next one, let events run for a moment so it is painted, then
// hide the one being left.
class WindowHandOver {
public:
    static void handOver(QWidget *from, QWidget *to, int milliseconds = 40);
};

#endif

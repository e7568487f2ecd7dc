#ifndef ORVANE_APP_SHUTDOWNSIGNALS_H
#define ORVANE_APP_SHUTDOWNSIGNALS_H

class QWidget;

// Ends the program as a close of the main window would when the session asks it to stop
// (SIGTERM, SIGINT, SIGHUP), so pending task edits are saved rather than lost.
class ShutdownSignals {
public:
    // Called for every new main window; a signal closes the latest.
    static void install(QWidget *mainWindow);
};

#endif

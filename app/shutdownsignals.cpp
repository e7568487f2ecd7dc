#include "app/shutdownsignals.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int pipeEnds[2] = {-1, -1};

// The window a signal closes; a later install (a new main window after a restore) replaces it.
QPointer<QWidget> &target()
{
    static QPointer<QWidget> window;
    return window;
}

void onSignal(int)
{
    // Only async-signal-safe work here: wake the event loop.
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[0], &byte, 1);
}
} // namespace

void ShutdownSignals::install(QWidget *mainWindow)
{
    target() = mainWindow;
    if (pipeEnds[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, pipeEnds) != 0)
        return;
    auto *notifier = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [notifier]() {
        char byte;
        [[maybe_unused]] const ssize_t got = ::read(pipeEnds[1], &byte, 1);
        notifier->setEnabled(false);
        if (target())
            target()->close();
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}
#else
void ShutdownSignals::install(QWidget *) {}
#endif

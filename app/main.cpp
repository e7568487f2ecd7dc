#include "app/desktop.h"
#include "app/settings.h"
#include "app/shutdownsignals.h"
#include "tasklist/mainview.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Settings::initLocation();

    const QRect available = Desktop::availableGeometry();
    auto *mainView = new MainView;
    mainView->setGeometry(0, 0, available.width(), available.height());
    mainView->show();
    ShutdownSignals::install(mainView);

    // Installed after the main window exists, so they only reach texts made later.
    auto *widgetsTranslator = new QTranslator;
    widgetsTranslator->load(QStringLiteral(":/widgets.qm"));
    app.installTranslator(widgetsTranslator);
    auto *qtTranslator = new QTranslator;
    qtTranslator->load(QStringLiteral(":/qt_zh_CN.qm"));
    app.installTranslator(qtTranslator);

    const int code = app.exec();
    delete qtTranslator;
    delete widgetsTranslator;
    delete mainView;
    return code;
}

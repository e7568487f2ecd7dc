#include "app/clock.h"
#include "app/commandline.h"
#include "app/desktop.h"
#include "app/logging.h"
#include "app/paths.h"
#include "app/prompt.h"
#include "app/settings.h"
#include "app/shutdownsignals.h"
#include "backup/backupbutton.h"
#include "backup/dailybackups.h"
#include "tasklist/mainview.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTranslator>

int main(int argc, char *argv[])
{
    // The names give the window its class "Orvane" (the menu entry's StartupWMClass) and, on
    // Wayland, the id of its menu entry.
    QCoreApplication::setOrganizationName(QStringLiteral("Velmark"));
    QCoreApplication::setApplicationName(QStringLiteral("Orvane"));
    QCoreApplication::setApplicationVersion(
        CommandLine::versionText().section(QLatin1Char(' '), 1));
    QGuiApplication::setDesktopFileName(QStringLiteral(ORVANE_APP_ID));

    if (CommandLine::asksForText(argc, argv)) {
        // Help and version need no display.
        QCoreApplication core(argc, argv);
        const CommandLine::Result result = CommandLine::parse(core.arguments());
        // "--workdir --help" names a folder: that start goes on below.
        if (result.action != CommandLine::Action::Run)
            return CommandLine::report(result);
    }

    QApplication app(argc, argv);
    const CommandLine::Result options = CommandLine::parse(app.arguments());
    if (options.action != CommandLine::Action::Run)
        return CommandLine::report(options);
    Settings::initLocation();
    bool settingsStuck = false;
    const QString damagedSettings = Settings::setAsideIfDamaged(&settingsStuck);
    if (!damagedSettings.isEmpty())
        Prompt::warning(nullptr, QStringLiteral("提示"),
                        QStringLiteral("设置文件已损坏，已另存为：%1\n程序使用新的设置文件，"
                                       "任务和日程都在数据库中，不受影响。")
                            .arg(QDir::toNativeSeparators(damagedSettings)));
    else if (settingsStuck)
        Prompt::warning(nullptr, QStringLiteral("提示"),
                        QStringLiteral("设置文件已损坏，也无法另存：%1\n请关闭程序后检查这个文件。")
                            .arg(QDir::toNativeSeparators(Settings::filePath())));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(ORVANE_APP_ID),
                                                 QIcon(QStringLiteral(":/icon/orvane.png"))));

    QString failedDir;
    if (!Paths::applyLayout(Paths::chooseLayout(options.workDir), &failedDir)) {
        logLine(QStringLiteral("cannot use data folder ") + failedDir);
        Prompt::critical(nullptr, QStringLiteral("提示"),
                         QStringLiteral("无法创建或打开数据文件夹：%1").arg(failedDir));
        return 1;
    }

    // Today's automatic backup, before any window can change the data.
    const DailyBackups::Outcome daily = DailyBackups::atStartup(
        BackupArchive::Sources::current(), DailyBackups::folder(), Clock::today());
    if (daily.result == DailyBackups::Result::Failed)
        Prompt::warning(nullptr, QStringLiteral("提示"),
                        QStringLiteral("今天的自动备份没有完成，请检查备份文件夹：%1")
                            .arg(QDir::toNativeSeparators(DailyBackups::folder())));

    const QRect available = Desktop::availableGeometry();
    QTranslator *widgetsTranslator = nullptr;
    QTranslator *qtTranslator = nullptr;
    int code = 0;
    do {
        // A restore ends the loop with BackupButton::reopenCode: the old windows go and a new
        // task list window reads the restored data.
        QCoreApplication::removePostedEvents(nullptr, QEvent::Quit);
        auto *mainView = new MainView;
        mainView->setGeometry(0, 0, available.width(), available.height());
        mainView->show();
        ShutdownSignals::install(mainView);

        // Installed after the main window exists, so they only reach texts made later.
        if (!widgetsTranslator) {
            widgetsTranslator = new QTranslator;
            widgetsTranslator->load(QStringLiteral(":/widgets.qm"));
            app.installTranslator(widgetsTranslator);
            qtTranslator = new QTranslator;
            qtTranslator->load(QStringLiteral(":/qt_zh_CN.qm"));
            app.installTranslator(qtTranslator);
        }

        code = app.exec();
        mainView->hide();
        delete mainView;
    } while (code == BackupButton::reopenCode);
    delete qtTranslator;
    delete widgetsTranslator;
    return code;
}

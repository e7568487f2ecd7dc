#include "backup/backupbutton.h"

#include "app/clock.h"
#include "app/desktop.h"
#include "app/logging.h"
#include "app/prompt.h"
#include "backup/backuparchive.h"
#include "backup/backuprestore.h"
#include "backup/dailybackups.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QProgressDialog>
#include <QStandardPaths>

namespace {
const QString zipFilter = QStringLiteral("备份文件 (*.zip)");

std::function<void()> &reopenHandler()
{
    static std::function<void()> handler;
    return handler;
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// A modal progress dialog fed by the logic's progress calls; events are processed so it
// paints, but no input reaches the windows meanwhile.
class Progress {
public:
    Progress(QWidget *parent, const QString &text) : m_dialog(text, QString(), 0, 1, parent)
    {
        m_dialog.setObjectName(QStringLiteral("backupProgress"));
        m_dialog.setWindowTitle(QStringLiteral("请稍候"));
        m_dialog.setCancelButton(nullptr);
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(0);
        m_dialog.setValue(0);
    }
    BackupArchive::Progress callback()
    {
        return [this](int done, int total) {
            m_dialog.setMaximum(total);
            m_dialog.setValue(done);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        };
    }

private:
    QProgressDialog m_dialog;
};
} // namespace

BackupButton::BackupButton(QWidget *window, std::function<bool()> savePending)
    : QToolButton(window), m_savePending(std::move(savePending))
{
    setObjectName(QStringLiteral("backupButton"));
    setText(QStringLiteral("备份与恢复"));
    setToolTip(QStringLiteral("备份全部数据，或从备份恢复"));
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    // The lower right corner, under "增加一条", is free.
    const QRect screen = Desktop::availableGeometry();
    const int W = screen.width();
    const int H = screen.height();
    setGeometry(W - W / 8, H - H / 10, W / 9, H / 20);

    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("backupMenu"));
    m_backup = menu->addAction(QStringLiteral("备份..."));
    m_backup->setObjectName(QStringLiteral("backupAction"));
    m_backup->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+B")));
    m_restore = menu->addAction(QStringLiteral("恢复..."));
    m_restore->setObjectName(QStringLiteral("restoreAction"));
    m_restore->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+R")));
    setMenu(menu);
    // A menu's shortcuts only fire while it is open; the window carries them too.
    window->addAction(m_backup);
    window->addAction(m_restore);
    connect(m_backup, &QAction::triggered, this, &BackupButton::onBackupActionTriggered);
    connect(m_restore, &QAction::triggered, this, &BackupButton::onRestoreActionTriggered);
}

void BackupButton::setReopenHandler(std::function<void()> handler)
{
    reopenHandler() = std::move(handler);
}

void BackupButton::onBackupActionTriggered()
{
    if (m_savePending && !m_savePending())
        return; // the failed save was reported; the edits stay on screen
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested =
        QDir(documents.isEmpty() ? QDir::currentPath() : documents)
            .filePath(QStringLiteral("Orvane备份-%1.zip")
                          .arg(Clock::today().toString(QStringLiteral("yyyyMMdd"))));
    QString fileName = Prompt::saveFileName(this, QStringLiteral("备份..."), suggested, zipFilter);
    if (fileName.isEmpty())
        return;
    if (!fileName.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive))
        fileName += QStringLiteral(".zip");

    QString error;
    bool made = false;
    {
        Progress progress(window(), QStringLiteral("正在备份..."));
        made = BackupArchive::create(BackupArchive::Sources::current(), fileName, &error,
                                     progress.callback());
    }
    if (made) {
        logLine(QStringLiteral("backup succeed! ") + fileName);
        Prompt::information(this, QStringLiteral("备份"),
                            QStringLiteral("已备份到：") + native(fileName));
    } else {
        logLine(QStringLiteral("backup failed! "), error);
        Prompt::warning(this, QStringLiteral("备份"),
                        QStringLiteral("备份失败，没有写入文件：") + native(fileName));
    }
}

void BackupButton::onRestoreActionTriggered()
{
    // Unsaved edits would otherwise be written over the restored data, or lost.
    if (m_savePending && !m_savePending())
        return;
    const QString fileName =
        Prompt::openFileName(this, QStringLiteral("恢复..."), DailyBackups::folder(), zipFilter);
    if (fileName.isEmpty())
        return;

    BackupRestore::Outcome outcome;
    {
        Progress progress(window(), QStringLiteral("正在检查并恢复备份..."));
        outcome = BackupRestore::restore(
            fileName, BackupArchive::Sources::current(),
            DailyBackups::safetyArchivePath(DailyBackups::folder(), QDateTime::currentDateTime()),
            progress.callback());
    }
    if (outcome.restored)
        Prompt::information(this, QStringLiteral("恢复"), outcome.message);
    else
        Prompt::warning(this, QStringLiteral("恢复"), outcome.message);
    if (!outcome.changed)
        return;
    // The windows hold what they read before; a fresh task list window reads the restored
    // data.
    if (reopenHandler())
        reopenHandler()();
    else
        QCoreApplication::exit(reopenCode);
}

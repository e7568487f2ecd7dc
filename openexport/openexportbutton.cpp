#include "openexport/openexportbutton.h"

#include "app/desktop.h"
#include "app/prompt.h"
#include "history/historystore.h"
#include "openexport/openexport.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QProgressDialog>

namespace {
const QString csvFilter = QStringLiteral("CSV 表格 (*.csv)");
const QString icsFilter = QStringLiteral("iCalendar 日历 (*.ics)");

QString native(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// A busy indicator for the few seconds a long range takes.
class Busy {
public:
    explicit Busy(QWidget *parent)
        : m_dialog(QStringLiteral("正在导出..."), QString(), 0, 0, parent)
    {
        m_dialog.setObjectName(QStringLiteral("openExportProgress"));
        m_dialog.setWindowTitle(QStringLiteral("请稍候"));
        m_dialog.setCancelButton(nullptr);
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(0);
        m_dialog.setValue(0);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

private:
    QProgressDialog m_dialog;
};

void report(QWidget *parent, const OpenExport::Result &result, const QString &fileName,
            const QString &extra = QString())
{
    if (!result.written) {
        Prompt::warning(parent, QStringLiteral("提示"),
                        QStringLiteral("无法写入文件，导出失败：") + native(fileName));
        return;
    }
    QString text = QStringLiteral("已导出到：") + native(fileName) + extra;
    if (result.readFailed)
        text += QStringLiteral("\n有的内容无法读取，没有导出。");
    Prompt::information(parent, QStringLiteral("提示"), text);
}
} // namespace

OpenExportButton::OpenExportButton(QWidget *view, const QSqlDatabase &db, const QString &start,
                                   const QString &end)
    : QToolButton(view), m_db(db), m_start(start), m_end(end)
{
    setObjectName(QStringLiteral("openExportButton"));
    setText(QStringLiteral("其他格式..."));
    setToolTip(QStringLiteral("导出为表格（CSV）或日历（iCalendar）"));
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    // Left of "导出...", on the same line as the other buttons.
    const QRect screen = Desktop::availableGeometry();
    const int W = screen.width();
    const int H = screen.height();
    setGeometry(W - 2 * (W / 15) - W / 40, H / 85, W / 15, H / 20);

    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("openExportMenu"));
    m_records = menu->addAction(QStringLiteral("日程记录（CSV）..."));
    m_records->setObjectName(QStringLiteral("recordsCsvAction"));
    m_minutes = menu->addAction(QStringLiteral("每日标签时长（CSV）..."));
    m_minutes->setObjectName(QStringLiteral("minutesCsvAction"));
    m_tasks = menu->addAction(QStringLiteral("清单总库（CSV）..."));
    m_tasks->setObjectName(QStringLiteral("tasksCsvAction"));
    m_calendar = menu->addAction(QStringLiteral("日历（iCalendar）..."));
    m_calendar->setObjectName(QStringLiteral("calendarAction"));
    setMenu(menu);
    connect(m_tasks, &QAction::triggered, this, &OpenExportButton::onTasksActionTriggered);
    connect(m_records, &QAction::triggered, this, &OpenExportButton::onRecordsActionTriggered);
    connect(m_minutes, &QAction::triggered, this, &OpenExportButton::onMinutesActionTriggered);
    connect(m_calendar, &QAction::triggered, this, &OpenExportButton::onCalendarActionTriggered);
}

QString OpenExportButton::askFile(const QString &caption, const QString &suggested,
                                  const QString &filter, const QString &suffix)
{
    QString fileName =
        Prompt::saveFileName(this, caption, QDir::current().filePath(suggested), filter);
    if (!fileName.isEmpty() && !fileName.endsWith(suffix, Qt::CaseInsensitive))
        fileName += suffix;
    return fileName;
}

void OpenExportButton::onTasksActionTriggered()
{
    const QString fileName = askFile(QStringLiteral("导出清单总库"), QStringLiteral("清单总库.csv"),
                                     csvFilter, QStringLiteral(".csv"));
    if (fileName.isEmpty())
        return;
    OpenExport::Result result;
    {
        Busy busy(window());
        result = OpenExport(m_db).tasksCsv(fileName);
    }
    report(this, result, fileName);
}

void OpenExportButton::onRecordsActionTriggered()
{
    const QString range = QString(m_start + QLatin1Char('-') + m_end).remove(QLatin1Char('.'));
    const QString fileName =
        askFile(QStringLiteral("导出日程记录"), QStringLiteral("日程记录-%1.csv").arg(range),
                csvFilter, QStringLiteral(".csv"));
    if (fileName.isEmpty())
        return;
    OpenExport::Result result;
    {
        Busy busy(window());
        result = OpenExport(m_db).recordsCsv(HistoryStore::parseDisplayDate(m_start),
                                             HistoryStore::parseDisplayDate(m_end), fileName);
    }
    report(this, result, fileName);
}

void OpenExportButton::onMinutesActionTriggered()
{
    const QString range = QString(m_start + QLatin1Char('-') + m_end).remove(QLatin1Char('.'));
    const QString fileName =
        askFile(QStringLiteral("导出每日标签时长"), QStringLiteral("标签时长-%1.csv").arg(range),
                csvFilter, QStringLiteral(".csv"));
    if (fileName.isEmpty())
        return;
    OpenExport::Result result;
    {
        Busy busy(window());
        result = OpenExport(m_db).labelMinutesCsv(HistoryStore::parseDisplayDate(m_start),
                                                  HistoryStore::parseDisplayDate(m_end), fileName);
    }
    report(this, result, fileName);
}

void OpenExportButton::onCalendarActionTriggered()
{
    const QString range = QString(m_start + QLatin1Char('-') + m_end).remove(QLatin1Char('.'));
    const QString fileName =
        askFile(QStringLiteral("导出日历"), QStringLiteral("日程-%1.ics").arg(range), icsFilter,
                QStringLiteral(".ics"));
    if (fileName.isEmpty())
        return;
    OpenExport::Result result;
    {
        Busy busy(window());
        result = OpenExport(m_db).calendar(HistoryStore::parseDisplayDate(m_start),
                                           HistoryStore::parseDisplayDate(m_end), fileName);
    }
    QString extra = QStringLiteral("\n日程 %1 个，任务 %2 个。").arg(result.rows).arg(result.todos);
    if (result.skipped > 0)
        extra += QStringLiteral("\n%1 条记录或任务没有可读的时间或截止日期，未导出。")
                     .arg(result.skipped);
    report(this, result, fileName, extra);
}

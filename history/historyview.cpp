#include "history/historyview.h"

#include "app/database.h"
#include "app/desktop.h"
#include "app/prompt.h"
#include "app/windowhandover.h"
#include "history/dayexport.h"
#include "history/exportdocument.h"
#include "history/selectdate.h"
#include "openexport/openexportbutton.h"
#include "richtext/customtextedit.h"
#include "statistics/statictisview.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QPointer<historyView> &latest()
{
    static QPointer<historyView> view;
    return view;
}

// Holds an editor's place in the column until the editor is made: as high as the editor and,
// unlike a plain spacer, spaced from its neighbours like the editor will be, so nothing moves
// when the editor takes its place. A plain item costs far less than a widget per editor.
class EditorPlace : public QSpacerItem {
public:
    explicit EditorPlace(int height)
        : QSpacerItem(0, height, QSizePolicy::Minimum, QSizePolicy::Fixed)
    {
    }
    bool isEmpty() const override { return false; }
};

// Editors this far outside the visible part are made ahead, so scrolling shows them at once.
constexpr int buildAhead = 600;
} // namespace

historyView::historyView(QWidget *parent, QWidget *dayView, const QString &start,
                         const QString &end)
    : QWidget(parent, Qt::Window), m_dayView(dayView), m_start(start), m_end(end)
{
    const QRect screen = Desktop::availableGeometry();
    const int W = screen.width();
    const int H = screen.height();
    setGeometry(0, 0, W, H);
    setWindowState(Qt::WindowMaximized);
    setWindowTitle(QStringLiteral("历史记录"));

    m_scroll = new QScrollArea(this);
    m_scroll->setGeometry(W / 80, H / 16, W - W / 60 - W / 100, H - H / 7);
    m_scroll->setWidgetResizable(true);
    m_content = new QWidget;
    m_layout = new QVBoxLayout(m_content);
    m_layout->setAlignment(Qt::AlignTop);

    Database::connect(&m_db);
    const QList<HistoryTable> tables = HistoryStore(m_db).range(
        HistoryStore::parseDisplayDate(start), HistoryStore::parseDisplayDate(end));
    for (const HistoryTable &table : tables)
        displayTable(table);
    m_scroll->setWidget(m_content);
    m_scroll->show();

    connect(m_scroll->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &historyView::scheduleFill);
    connect(m_scroll->verticalScrollBar(), &QScrollBar::rangeChanged, this,
            &historyView::scheduleFill);
    m_scroll->viewport()->installEventFilter(this);

    struct ButtonPlace {
        const char *name;
        const char *text;
        const char *icon;
        int x;
        void (historyView::*slot)();
    };
    const ButtonPlace buttons[] = {
        {"backButton", "返回", ":/icon/back.png", W / 80, &historyView::onBackButtonClicked},
        {"statictisButton", "统计", ":/icon/statictis.png", W / 2 - W / 30,
         &historyView::onStatictisButtonClicked},
        {"exportButton", "导出...", ":/icon/exportOut.png", W - W / 15 - W / 80,
         &historyView::onExportButtonClicked},
    };
    for (const ButtonPlace &place : buttons) {
        auto *button = new QPushButton(QIcon(QString::fromLatin1(place.icon)),
                                       QString::fromUtf8(place.text), this);
        button->setObjectName(QString::fromLatin1(place.name));
        button->setGeometry(place.x, H / 85, W / 15, H / 20);
        connect(button, &QPushButton::clicked, this, place.slot);
    }
    new OpenExportButton(this, m_db, m_start, m_end);
}

historyView::~historyView() = default;

historyView *historyView::current()
{
    return latest();
}

void historyView::makeCurrent(historyView *view)
{
    // A hidden view keeps thousands of editors; only the newest one is worth keeping.
    if (latest() && latest() != view)
        latest()->deleteLater();
    latest() = view;
}

void historyView::displayTable(const HistoryTable &table)
{
    Block block;
    block.widget = new QWidget(m_content);
    auto *column = new QVBoxLayout(block.widget);
    column->setContentsMargins(0, 0, 0, 0);

    auto *date = new QLabel(DayExport::dateText(table.date), block.widget);
    date->setObjectName(QStringLiteral("dateLabel"));
    column->addWidget(date);
    for (const ScheduleRecord &record : table.records) {
        auto *time = new QLabel(record.time, block.widget);
        time->setObjectName(QStringLiteral("timeLabel_%1").arg(record.manualIndex));
        column->addWidget(time);
        addEditor(block, column, QStringLiteral("textEdit_%1").arg(record.manualIndex),
                  QStringLiteral("计划：") + record.plan, record.planHeight);
        addEditor(block, column, QStringLiteral("textEditResult_%1").arg(record.manualIndex),
                  QStringLiteral("结果：") + record.result, record.resultHeight);
    }
    for (const SummaryItem &item : table.summary) {
        if (item.type == QLatin1String("summaryText")) {
            column->addWidget(new QLabel(item.name, block.widget));
            addEditor(block, column, QStringLiteral("textEditSummary_%1").arg(item.id), item.detail,
                      item.height);
        } else if (item.type == QLatin1String("summaryScore")) {
            auto *row = new QHBoxLayout;
            row->setAlignment(Qt::AlignRight);
            row->addWidget(new QLabel(item.name, block.widget));
            auto *score = new QSpinBox(block.widget);
            score->setObjectName(QStringLiteral("scoreSpinBox_%1").arg(item.id));
            score->setRange(0, 10);
            score->setValue(item.detail.trimmed().toInt());
            score->setEnabled(false);
            row->addWidget(score);
            row->addWidget(new QLabel(QStringLiteral("分"), block.widget));
            column->addLayout(row);
        }
    }
    m_layout->addWidget(block.widget);
    m_blocks.append(block);
}

void historyView::addEditor(Block &block, QVBoxLayout *layout, const QString &name,
                            const QString &html, int height)
{
    auto *place = new EditorPlace(qMax(0, height));
    layout->addItem(place);
    PendingEditor editor;
    editor.layout = layout;
    editor.place = place;
    editor.name = name;
    editor.html = html;
    editor.height = height;
    block.editors.append(editor);
}

void historyView::buildBlock(Block &block)
{
    block.built = true;
    for (const PendingEditor &pending : qAsConst(block.editors)) {
        auto *editor = new CustomTextEdit(this, pending.height, 1);
        editor->setObjectName(pending.name);
        editor->setHtml(pending.html);
        const int index = pending.layout->indexOf(pending.place);
        delete pending.layout->takeAt(index);
        pending.layout->insertWidget(index, editor);
        editor->show();
    }
    block.editors.clear();
}

bool historyView::scheduleBuilt(int index) const
{
    return index >= 0 && index < m_blocks.size() && m_blocks.at(index).built;
}

bool historyView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize)
        scheduleFill();
    return QWidget::eventFilter(watched, event);
}

void historyView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    scheduleFill();
}

void historyView::scheduleFill()
{
    if (m_fillPending)
        return;
    m_fillPending = true;
    QTimer::singleShot(0, this, &historyView::fillVisible);
}

void historyView::fillVisible()
{
    m_fillPending = false;
    // Block positions are only known once the column is laid out in a shown window.
    if (!isVisible())
        return;
    m_layout->activate();
    const int top = m_scroll->verticalScrollBar()->value() - buildAhead;
    const int bottom =
        m_scroll->verticalScrollBar()->value() + m_scroll->viewport()->height() + buildAhead;
    for (Block &block : m_blocks) {
        if (block.built)
            continue;
        const QRect place = block.widget->geometry();
        if (place.top() > bottom)
            break;
        if (place.bottom() >= top)
            buildBlock(block);
    }
}

void historyView::onBackButtonClicked()
{
    WindowHandOver::handOver(this, m_dayView);
}

void historyView::onStatictisButtonClicked()
{
    // A window of this view, so it goes when a newer history replaces this one; an earlier
    // statistics view of this history is not needed any more.
    if (m_statistics)
        m_statistics->deleteLater();
    auto *statistics = new statictisView(this, this);
    m_statistics = statistics;
    statistics->setWindowFlags(Qt::Window);
    statistics->setWindowState(Qt::WindowMaximized);
    statistics->setWindowModality(Qt::ApplicationModal);
    WindowHandOver::handOver(this, statistics);
}

void historyView::onExportButtonClicked()
{
    auto *dialog = new selectDate(this);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
}

bool historyView::exportDayToText(const QString &fileName, const QString &dayTable)
{
    return DayExport::append(fileName, ExportDocument::dayExport(m_db).dayText(dayTable));
}

void historyView::exportDays(const QString &start, const QString &end, bool daysOnly,
                             const QString &orientation, const QString &size)
{
    const QString pdfFilter = QStringLiteral("Portable Document Format(*.pdf)");
    const QString textFilter = QStringLiteral("Text files(*.txt)");
    QString chosenFilter;
    QString fileName =
        Prompt::saveFileName(this, QStringLiteral("Save File"), QDir::currentPath(),
                             pdfFilter + QStringLiteral(";;") + textFilter, &chosenFilter);
    if (fileName.isEmpty())
        return;
    bool text = fileName.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive);
    if (!text && !fileName.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        // A bare name takes the type of the filter the user chose.
        text = chosenFilter == textFilter;
        fileName += text ? QStringLiteral(".txt") : QStringLiteral(".pdf");
    }

    QString from = start;
    from.remove(QLatin1Char('.'));
    QString to = end;
    to.remove(QLatin1Char('.'));
    bool listed = false;
    const QStringList names = HistoryStore(m_db).allTables(&listed);
    if (!listed) {
        Prompt::warning(this, QStringLiteral("提示"),
                        QStringLiteral("无法读取日程列表，没有导出任何内容。"));
        return;
    }
    if (text && !DayExport::createIfMissing(fileName)) {
        reportExport(false, fileName);
        return;
    }

    if (!m_progress) {
        m_progress = new QProgressBar(this);
        m_progress->setObjectName(QStringLiteral("exportProgressBar"));
    }
    m_progress->setOrientation(Qt::Horizontal);
    m_progress->setGeometry(width() / 3, height() * 8 / 10, width() / 5, height() / 35);
    m_progress->setRange(from.toInt(), to.toInt());
    m_progress->show();

    DayExport exporter = ExportDocument::dayExport(m_db);
    QString html;
    bool written = true;
    const QStringList tables = DayExport::tablesInRange(names, from, to);
    for (const QString &table : tables) {
        m_progress->setValue(table.mid(3, 8).toInt());
        m_progress->repaint();
        if (text) {
            if (!exportDayToText(fileName, table)) {
                written = false;
                break;
            }
        } else {
            html += exporter.dayHtml(table);
        }
    }
    if (written && !daysOnly) {
        bool read = false;
        if (text) {
            const QString list = exporter.taskListText(&read);
            if (read)
                written = DayExport::append(fileName, list);
        } else {
            html += exporter.taskListHtml(&read);
        }
    }
    if (written && !text)
        written = ExportDocument::printPdf(exporter.document(html), fileName, orientation, size);
    reportExport(written, fileName);
}

void historyView::reportExport(bool written, const QString &fileName)
{
    if (m_progress)
        m_progress->hide();
    const QString path = QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
    if (written)
        Prompt::information(this, QStringLiteral("提示"), QStringLiteral("已导出到：") + path);
    else
        Prompt::warning(this, QStringLiteral("提示"),
                        QStringLiteral("无法写入文件，导出失败：") + path);
}

#include "search/searchwindow.h"

#include "app/database.h"
#include "app/logging.h"
#include "app/prompt.h"
#include "schedule/orvaneview.h"
#include "search/excelcells.h"
#include "tasklist/mainview.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

const QString SearchWindow::shortcut = QStringLiteral("Ctrl+Shift+F");

namespace {

const QString title = QStringLiteral("查找全部内容");

QString highlighted(const SearchSnippet &snippet)
{
    if (snippet.matchStart < 0)
        return snippet.text.toHtmlEscaped();
    return snippet.text.left(snippet.matchStart).toHtmlEscaped() +
           QStringLiteral("<span style=\"background-color:#ffd54f; font-weight:600;\">") +
           snippet.text.mid(snippet.matchStart, snippet.matchLength).toHtmlEscaped() +
           QStringLiteral("</span>") +
           snippet.text.mid(snippet.matchStart + snippet.matchLength).toHtmlEscaped();
}

// The widget of the day view that holds the found text.
QWidget *dayWidget(orvaneView *day, const SearchHit &hit)
{
    const int ref = hit.doc.ref;
    // Only in the schedule drawn now: the one drawn before may still wait to be deleted.
    QWidget *content = day->scheduleContent();
    auto named = [content](const QString &name) {
        return content ? content->findChild<QWidget *>(name) : nullptr;
    };
    switch (hit.doc.field) {
    case SearchIndex::RecordTime:
        return named(QStringLiteral("fromTime_%1").arg(ref));
    case SearchIndex::RecordPlan:
        return named(QStringLiteral("textEditPlan_%1").arg(ref));
    case SearchIndex::RecordLabel:
        return named(QStringLiteral("labelButton_%1").arg(ref));
    case SearchIndex::RecordResult:
        return named(QStringLiteral("textEditResult_%1").arg(ref));
    case SearchIndex::SummaryName:
    case SearchIndex::SummaryText: {
        // Text items come first (ids 0 to n-1), score items after them.
        if (QWidget *text = named(QStringLiteral("summaryTextEdit_%1").arg(ref)))
            return text;
        int texts = 0;
        while (named(QStringLiteral("summaryTextEdit_%1").arg(texts)))
            ++texts;
        return named(QStringLiteral("summaryScoreSpin_%1").arg(ref - texts));
    }
    default:
        return nullptr;
    }
}

// Scrolls the found widget into view and selects the text in it.
void bringIntoView(QScrollArea *area, QWidget *widget, const QString &text)
{
    if (!widget)
        return;
    if (auto *edit = qobject_cast<QTextEdit *>(widget)) {
        QTextCursor cursor = edit->textCursor();
        cursor.movePosition(QTextCursor::Start);
        edit->setTextCursor(cursor);
        edit->find(text);
    }
    widget->setFocus();
    if (!area)
        return;
    // A list drawn a moment ago has its final geometry only after its layouts ran.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    area->ensureWidgetVisible(widget, 50, 50);
    QPointer<QScrollArea> later(area);
    QPointer<QWidget> target(widget);
    QTimer::singleShot(0, area, [later, target] {
        if (later && target)
            later->ensureWidgetVisible(target, 50, 50);
    });
}

} // namespace

void SearchWindow::attach(QWidget *view)
{
    auto *keys = new QShortcut(QKeySequence(shortcut), view);
    keys->setContext(Qt::WindowShortcut);
    connect(keys, &QShortcut::activated, view, [view] { open(view); });
}

SearchWindow *SearchWindow::open(QWidget *from)
{
    auto *day = qobject_cast<orvaneView *>(from);
    auto *main = qobject_cast<MainView *>(from);
    if (day && !main)
        main = qobject_cast<MainView *>(day->mainView());
    QWidget *owner = main ? static_cast<QWidget *>(main) : from;
    auto *window = owner->findChild<SearchWindow *>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new SearchWindow(main, owner);
    if (day)
        window->setDayView(day);
    window->show();
    window->raise();
    window->activateWindow();
    window->m_text->setFocus();
    window->m_text->selectAll();
    return window;
}

void SearchWindow::prepareIndex(const QSqlDatabase &db)
{
    SearchIndex::setExcelReader(&ExcelCells::read);
    bool rebuilt = false;
    if (!SearchIndex(db).ensure(&rebuilt))
        logLine(QStringLiteral("search index could not be built"));
}

SearchWindow::SearchWindow(MainView *mainView, QWidget *parent)
    : QWidget(parent, Qt::Window), m_mainView(mainView)
{
    setObjectName(QStringLiteral("searchWindow"));
    setWindowTitle(title);
    resize(820, 560);

    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("searchText"));
    m_text->setPlaceholderText(QStringLiteral("输入要找的文字：任务、记录、小结、Excel 表格"));
    auto *find = new QPushButton(QStringLiteral("查找"), this);
    find->setObjectName(QStringLiteral("searchButton"));
    find->setDefault(true);

    m_table = new QTableWidget(0, 3, this);
    m_table->setObjectName(QStringLiteral("searchResults"));
    m_table->setHorizontalHeaderLabels(
        {QStringLiteral("日期"), QStringLiteral("位置"), QStringLiteral("内容")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);

    m_status = new QLabel(QStringLiteral("回车查找；双击或回车打开结果。"), this);
    m_status->setObjectName(QStringLiteral("searchStatus"));

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("查找："), this));
    row->addWidget(m_text, 1);
    row->addWidget(find);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_status);

    connect(find, &QPushButton::clicked, this, &SearchWindow::onSearchButtonClicked);
    connect(m_text, &QLineEdit::returnPressed, this, &SearchWindow::onSearchButtonClicked);
    connect(m_table, &QTableWidget::cellActivated, this,
            [this](int row, int) { onResultActivated(row); });
    auto *close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
}

QSqlDatabase SearchWindow::database() const
{
    return QSqlDatabase::database(Database::connectionName, false);
}

void SearchWindow::onSearchButtonClicked()
{
    m_searched = m_text->text().trimmed();
    m_hits.clear();
    m_table->setRowCount(0);
    if (m_searched.isEmpty()) {
        m_status->setText(QStringLiteral("请输入要查找的文字。"));
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ready = SearchIndex(database()).ensure();
    bool ok = false;
    if (ready)
        m_hits = SearchQuery(database()).find(m_searched, SearchQuery::defaultLimit, &ok);
    QApplication::restoreOverrideCursor();
    if (!ready || !ok) {
        m_status->setText(QStringLiteral("查找失败：无法读取索引，请稍后再试。"));
        return;
    }

    m_table->setRowCount(m_hits.size());
    for (int i = 0; i < m_hits.size(); ++i) {
        const SearchHit &hit = m_hits.at(i);
        m_table->setItem(i, 0, new QTableWidgetItem(hit.dateText()));
        m_table->setItem(i, 1, new QTableWidgetItem(hit.placeText()));
        const SearchSnippet snippet =
            SearchQuery::snippet(hit.doc.body, hit.matchStart, hit.matchLength);
        m_table->setItem(i, 2, new QTableWidgetItem(snippet.text));
        auto *text = new QLabel(highlighted(snippet), m_table);
        text->setTextFormat(Qt::RichText);
        text->setAutoFillBackground(true);
        m_table->setCellWidget(i, 2, text);
    }
    if (m_hits.isEmpty())
        m_status->setText(QStringLiteral("没有找到“%1”。").arg(m_searched));
    else if (m_hits.size() >= SearchQuery::defaultLimit)
        m_status->setText(QStringLiteral("结果很多，只列出最新的%1条；请输入更多文字缩小范围。")
                              .arg(m_hits.size()));
    else
        m_status->setText(QStringLiteral("找到%1处。双击或回车打开。").arg(m_hits.size()));
    m_table->setCurrentCell(m_hits.isEmpty() ? -1 : 0, 0);
}

void SearchWindow::onResultActivated(int row)
{
    if (row < 0 || row >= m_hits.size())
        return;
    const SearchHit hit = m_hits.at(row);
    if (hit.isTask())
        showTask(hit);
    else
        showDay(hit);
}

void SearchWindow::showTask(const SearchHit &hit)
{
    if (!m_mainView) {
        Prompt::information(this, title, QStringLiteral("清单窗口没有打开，无法显示该任务。"));
        return;
    }
    const int position = SearchQuery(database()).taskPosition(hit.doc.ref);
    if (position < 0) {
        Prompt::information(this, title, QStringLiteral("这条任务已经不在清单中了。"));
        return;
    }
    // From the day view: back to the task list, which asks about unsaved edits first.
    orvaneView *day = m_mainView->dayView();
    if (day && day->isVisible()) {
        day->onBackButtonClicked();
        if (day->isVisible())
            return;
    }
    QWidget *editor = m_mainView->listContainer()
                          ? m_mainView->listContainer()->findChild<QWidget *>(
                                QStringLiteral("textEdit%1").arg(position))
                          : nullptr;
    if (!editor) {
        Prompt::information(this, title,
                            QStringLiteral("这条任务不在当前显示的清单中（可能被筛选或分组隐藏），"
                                           "请取消筛选后再试。"));
        return;
    }
    m_mainView->activateWindow();
    bringIntoView(m_mainView->scrollArea(), editor, m_searched);
}

void SearchWindow::showDay(const SearchHit &hit)
{
    orvaneView *day = nullptr;
    if (m_mainView && m_mainView->dayView() && m_mainView->dayView()->isVisible())
        day = m_mainView->dayView();
    else if (m_dayView && m_dayView->isVisible())
        day = m_dayView;
    if (!day && m_mainView) {
        // From the task list: the day view opens as "每日视图" opens it.
        m_mainView->onViewButtonClicked();
        day = m_mainView->dayView();
    }
    if (!day || !day->showFound(hit.date(), hit.templateName()))
        return;
    day->activateWindow();
    if (hit.doc.field != SearchIndex::ExcelCell)
        bringIntoView(day->rowScrollArea(), dayWidget(day, hit), m_searched);
}

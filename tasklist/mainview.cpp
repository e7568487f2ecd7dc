#include "tasklist/mainview.h"

#include "app/calendarpopup.h"
#include "app/database.h"
#include "app/desktop.h"
#include "app/logging.h"
#include "app/prompt.h"
#include "app/settings.h"
#include "app/windowhandover.h"
#include "backup/backupbutton.h"
#include "richtext/customtextedit.h"
#include "schedule/orvaneview.h"
#include "search/searchwindow.h"
#include "tasklist/criteriawidgets.h"
#include "tasklist/customqcombobox.h"
#include "tasklist/filterclause.h"
#include "tasklist/filterpanel.h"
#include "tasklist/groupedit.h"
#include "tasklist/groupstore.h"
#include "tasklist/labelother.h"
#include "tasklist/sortclause.h"
#include "tasklist/sortpanel.h"
#include "tasklist/sortwidgets.h"
#include "tasklist/taskrow.h"
#include "undo/deletions.h"
#include "undo/undonotice.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGestureEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QSpinBox>
#include <QSwipeGesture>

namespace {
const QString deleteFailedMessage = QStringLiteral("删除失败，清单没有改变。请稍后再试。");
const QString moveFailedMessage = QStringLiteral("移动失败，清单没有改变。请稍后再试。");
const QString databaseFailedMessage =
    QStringLiteral("无法读取数据库文件 KDdatabase.db：它可能已损坏，或者不是本程序的数据库。"
                   "程序没有改动这个文件；请从备份恢复，或把它移走后重新启动。");
const QString groupApplyKey = QStringLiteral("groupApplyMode");
const QString filterApplyKey = QStringLiteral("filterApplyMode");
const QString sortApplyKey = QStringLiteral("sortApplyMode");

bool groupedMode()
{
    return Settings::read(groupApplyKey, false).toBool();
}

bool filterApplied()
{
    return Settings::read(filterApplyKey, false).toBool();
}
} // namespace

MainView::MainView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_AcceptTouchEvents);
    grabGesture(Qt::SwipeGesture);
    if (openDatabase()) {
        logLine(QStringLiteral("SQLite initialed succeed!"));
        SearchWindow::prepareIndex(m_db);
    } else {
        logLine(QStringLiteral("SQLite initialed failed"));
        // An empty list would look as if every task were gone; the file is left as it is.
        Prompt::critical(this, QStringLiteral("提示"), databaseFailedMessage);
    }
    m_groupCount = GroupStore::count();
    // A new window starts unsorted and unfiltered, also after a run that ended without closing
    // the window; a stale flag would leave the filter panel's buttons locked.
    Settings::write(filterApplyKey, false);
    Settings::write(sortApplyKey, false);

    const QRect screen = Desktop::availableGeometry();
    const int W = screen.width();
    const int H = screen.height();
    m_title = new QLabel(QStringLiteral("清单总库"), this);
    QFont titleFont = QApplication::font();
    titleFont.setPointSize(titleFont.pointSize() + 6);
    m_title->setFont(titleFont);
    m_title->setGeometry(W / 3 + H / 10, H / 40, W / 4, H / 20);

    m_aboutButton = new QPushButton(QStringLiteral("版权与捐赠......"), this);
    m_aboutButton->setGeometry(W / 40, H / 40, W / 8, H / 20);
    m_viewButton = new QPushButton(QIcon(QStringLiteral(":/icon/schedule.png")),
                                   QStringLiteral("每日视图"), this);
    m_viewButton->setGeometry(W - W / 8, H / 20, W / 9, H / 20);
    m_viewButton->setShortcut(QKeySequence(QStringLiteral("PgDown")));
    m_saveButton =
        new QPushButton(QIcon(QStringLiteral(":/icon/save.png")), QStringLiteral("保存"), this);
    m_saveButton->setGeometry(W - W / 8, H / 2 - H / 10, W / 9, H / 20);
    m_saveButton->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    m_addButton = new QPushButton(QIcon(QStringLiteral(":/icon/addOne.png")),
                                  QStringLiteral("增加一条"), this);
    m_addButton->setGeometry(W - W / 8, H - H / 6, W / 9, H / 20);
    m_addButton->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    m_rowShared.upArrow = QIcon(QStringLiteral(":/icon/upArrow.png"));
    m_rowShared.downArrow = QIcon(QStringLiteral(":/icon/downArrow.png"));
    m_headerArea = QRect(W / 30, 3 * H / 40, W - W / 15 - W / 8, 150);
    m_listArea = QRect(W / 30, 3 * H / 40 - H / 80 + 220, W - W / 15 - W / 8, H - H / 6 - 220);

    buildPanelStrip();
    const bool grouped = groupedMode();
    createListContainer(grouped ? 1 : 0);
    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setGeometry(m_listArea);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(m_scrollArea->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this]() { makeVisibleRows(); });
    connect(m_scrollArea->verticalScrollBar(), &QScrollBar::rangeChanged, this,
            [this]() { makeVisibleRows(); });
    setWindowState(Qt::WindowMaximized);
    if (grouped)
        buildGroupedRows();
    else
        buildRows(TaskQuery());
    updateAddButton();

    connect(m_saveButton, &QPushButton::clicked, this, &MainView::saveTextEdit);
    connect(m_addButton, &QPushButton::clicked, this, &MainView::onAddButtonClicked);
    connect(m_viewButton, &QPushButton::clicked, this, &MainView::onViewButtonClicked);
    connect(m_aboutButton, &QPushButton::clicked, this, &MainView::onAboutButtonClicked);
    m_undoNotice = new UndoNotice(this, [this] { undoLastDelete(); });
    SearchWindow::attach(this);
    new BackupButton(this, [this]() { return savePending(); });
}

MainView::~MainView()
{
    delete m_dayView;
    delete m_store;
    Database::close();
    QApplication::quit();
}

bool MainView::openDatabase()
{
    const bool opened = Database::connect(&m_db);
    delete m_store;
    m_store = new TaskStore(m_db);
    if (!opened || !m_store->ensureTable())
        return false;
    m_store->repairCounter();
    return true;
}

void MainView::createListContainer(int mode)
{
    if (m_sortCondition.isEmpty())
        m_sortCondition = TaskStore::manualOrder;
    // The grouped list shows every task whatever the filter, so it needs room for all of them.
    int total = m_store->listHeight(mode == 1 ? TaskQuery() : currentQuery());
    m_groupCount = GroupStore::count();
    if (mode == 1)
        total += m_groupCount * 120;
    m_grid = new QGridLayout;
    m_grid->setGeometry(QRect(m_listArea.x(), m_listArea.y(), m_listArea.width(), total));
    m_container = new QWidget;
    m_container->setGeometry(m_listArea.x(), m_listArea.y(), m_listArea.width() - 20, total);
    m_container->setMaximumWidth(m_listArea.width() - 20);
    m_container->setAttribute(Qt::WA_AcceptTouchEvents);
    m_container->grabGesture(Qt::SwipeGesture);
}

TaskQuery MainView::currentQuery() const
{
    return TaskQuery{m_filterCondition, m_sortCondition};
}

void MainView::buildRows(const TaskQuery &query)
{
    bool ok = false;
    const QList<TaskRecord> tasks = m_store->select(query, &ok);
    m_rows.clear();
    m_entries.clear();
    m_entries.reserve(tasks.size());
    m_plainDrawn = query.plain();
    for (int r = 0; r < tasks.size(); ++r)
        addEntry(tasks.at(r), 2 * r);
    m_shownRowCount = tasks.size();
    finishList();
}

void MainView::addEntry(const TaskRecord &task, int gridRow)
{
    m_entries.append(Entry{task, gridRow, nullptr});
    if (task.id + 1 > nextId)
        nextId = task.id + 1;
}

void MainView::setPlaceholder(const Entry &entry)
{
    // The height the list reserves for a task; the row made later takes its place.
    m_grid->setRowMinimumHeight(entry.gridRow, entry.row ? 0 : entry.task.height + 80);
}

TaskRow *MainView::makeRow(int at)
{
    Entry &entry = m_entries[at];
    if (entry.row)
        return entry.row;
    logLine(QStringLiteral("height is %1").arg(entry.task.height));
    const bool last = m_plainDrawn && at == m_entries.size() - 1;
    entry.row = new TaskRow(this, m_grid, entry.gridRow, at, entry.task, m_plainDrawn, last);
    setPlaceholder(entry);
    m_rows.insert(entry.task.manualIndex, entry.row);
    return entry.row;
}

int MainView::entryOf(int manualIndex) const
{
    if (m_plainDrawn)
        return manualIndex >= 0 && manualIndex < m_entries.size() ? manualIndex : -1;
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).task.manualIndex == manualIndex)
            return i;
    }
    return -1;
}

TaskRow *MainView::taskRow(int manualIndex)
{
    const int at = entryOf(manualIndex);
    return at < 0 ? nullptr : makeRow(at);
}

void MainView::makeAllRows()
{
    for (int i = 0; i < m_entries.size(); ++i)
        makeRow(i);
}

void MainView::makeVisibleRows()
{
    if (m_makingRows || !m_grid || !m_container || m_entries.isEmpty() ||
        m_rows.size() == m_entries.size())
        return;
    QScopedValueRollback<bool> guard(m_makingRows, true);
    const int viewHeight = qMax(m_scrollArea->viewport()->height(), 1);
    // Made rows are lower than the placeholders they replace, so a few passes may be needed
    // before the band is full.
    for (int pass = 0; pass < 8; ++pass) {
        m_grid->activate();
        const int value = m_scrollArea->verticalScrollBar()->value();
        const int top = value - viewHeight;
        const int bottom = value + 2 * viewHeight;
        auto rowTop = [this](int i) { return m_grid->cellRect(m_entries.at(i).gridRow, 1).top(); };
        // The first entry that starts below the band's top; the one before it reaches in.
        int lo = 0;
        int hi = m_entries.size();
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (rowTop(mid) <= top)
                lo = mid + 1;
            else
                hi = mid;
        }
        const int first = qMax(0, lo - 1);
        int last = first;
        while (last + 1 < m_entries.size() && rowTop(last + 1) <= bottom)
            ++last;
        int made = 0;
        for (int i = first; i <= last; ++i) {
            if (!m_entries.at(i).row) {
                makeRow(i);
                ++made;
            }
        }
        if (made == 0)
            break;
    }
}

void MainView::buildGroupedRows()
{
    const QList<GroupStore::Group> groups = GroupStore::groups();
    QSet<int> drawn;
    int r = 0;
    m_rows.clear();
    m_entries.clear();
    m_plainDrawn = false;
    auto draw = [&](const TaskRecord &task) {
        drawn.insert(task.manualIndex);
        addEntry(task, r);
        r += 2;
    };
    for (int g = 0; g < groups.size(); ++g) {
        m_grid->addWidget(new QLabel(QStringLiteral("分组%1:").arg(g + 1) + groups.at(g).name), r++,
                          1);
        const QList<TaskRecord> tasks = m_store->selectGroup(groups.at(g).conditionSyntax);
        for (const TaskRecord &task : tasks) {
            if (!drawn.contains(task.manualIndex))
                draw(task);
        }
    }
    m_grid->addWidget(new QLabel(QStringLiteral("其它：未分组")), r++, 1);
    // Positions are dense, so the rest is read position by position. Should the row counter lag
    // behind the table (a lost settings file), the table's row count is taken so no task is
    // left out.
    const int positions = qMax(Settings::read(TaskStore::countKey, 0).toInt(), m_store->rowCount());
    for (int m = 0; m < positions; ++m) {
        if (drawn.contains(m))
            continue;
        const QList<TaskRecord> rest = m_store->selectAt(m);
        for (const TaskRecord &task : rest) {
            if (!drawn.contains(task.manualIndex))
                draw(task);
        }
    }
    finishList();
}

void MainView::finishList()
{
    // The first rows are made before the grid is installed, so the container lays out once.
    for (int i = 0; i < m_entries.size(); ++i) {
        if (i < initialRows)
            makeRow(i);
        else
            setPlaceholder(m_entries.at(i));
    }
    m_container->setLayout(m_grid);
    m_scrollArea->setWidget(m_container);
    m_container->show();
    m_scrollArea->verticalScrollBar()->setValue(m_savedScrollPos);
    makeVisibleRows();
}

void MainView::resizeContainer(int delta)
{
    if (m_container && delta != 0)
        m_container->resize(m_container->width(), qMax(0, m_container->height() + delta));
}

void MainView::destroyListContainer()
{
    m_rows.clear();
    m_entries.clear();
    // Deferred: the redraw is often asked for by a widget inside the container.
    if (QWidget *old = m_scrollArea->takeWidget()) {
        old->hide();
        old->deleteLater();
    }
    m_container = nullptr;
    m_grid = nullptr;
}

void MainView::redrawManualOrder()
{
    destroyListContainer();
    createListContainer(0);
    buildRows(TaskQuery());
}

void MainView::redrawFromTable()
{
    const int scrollPos = m_scrollArea->verticalScrollBar()->value();
    redrawCurrentMode(currentQuery());
    m_scrollArea->verticalScrollBar()->setValue(scrollPos);
}

void MainView::setTextEditIndex(int index)
{
    if (index == m_lastPendingRow)
        return;
    if (m_pendingLast >= static_cast<int>(pendingRows.size()) - 1) {
        if (m_pendingLast == static_cast<int>(pendingRows.size()) - 1) {
            // Told once; nothing more is recorded until the next save.
            ++m_pendingLast;
            Prompt::warning(this, QStringLiteral("提示"),
                            QStringLiteral("您编辑了太多内容，请及时保存。"));
        }
        return;
    }
    m_lastPendingRow = index;
    pendingRows[++m_pendingLast] = index;
}

void MainView::saveTextEdit()
{
    savePending();
}

bool MainView::savePending()
{
    if (m_pendingLast < 0)
        return true;
    const int last = qMin(m_pendingLast, static_cast<int>(pendingRows.size()) - 1);
    QList<TaskRecord> tasks;
    // The rows read so far are saved even when a later one cannot be read. A failed write
    // keeps every edit pending and on screen, so the next save writes it.
    auto finish = [this, &tasks]() {
        if (m_store->saveAll(tasks))
            return true;
        Prompt::warning(this, QStringLiteral("提示"),
                        QStringLiteral("保存失败，修改还在窗口里，请稍后再试。"));
        return false;
    };
    for (int i = 0; i <= last; ++i) {
        const int index = pendingRows[i];
        TaskRow *row = m_rows.value(index);
        auto find = [row](const char *stem) {
            return row ? row->field(QString::fromLatin1(stem)) : nullptr;
        };
        auto *editor = qobject_cast<CustomTextEdit *>(find("textEdit"));
        if (!editor) {
            logLine(QStringLiteral("cann't find child textEdit%1").arg(index));
            return finish();
        }
        const struct {
            const char *stem;
            QWidget *widget;
        } parts[] = {{"startDate", find("startDate")},
                     {"stopDate", find("stopDate")},
                     {"comboImportance", find("comboImportance")},
                     {"comboEmergercy", find("comboEmergercy")},
                     {"spinPriority", find("spinPriority")},
                     {"lineProgress", find("lineProgress")},
                     {"comboLabel", find("comboLabel")}};
        for (const auto &part : parts) {
            if (!part.widget) {
                logLine(QStringLiteral("cann't find child ") + QString::fromLatin1(part.stem));
                return finish();
            }
        }
        TaskRecord task;
        task.manualIndex = index;
        task.content = editor->toHtml();
        task.startDate = static_cast<QLineEdit *>(parts[0].widget)->text();
        task.stopDate = static_cast<QLineEdit *>(parts[1].widget)->text();
        task.importance = static_cast<QComboBox *>(parts[2].widget)->currentText();
        task.emergency = static_cast<QComboBox *>(parts[3].widget)->currentText();
        task.priority = static_cast<QSpinBox *>(parts[4].widget)->value();
        task.progress = static_cast<QSpinBox *>(parts[5].widget)->value();
        task.label = static_cast<QComboBox *>(parts[6].widget)->currentText();
        task.height = editor->height();
        tasks.append(task);
    }
    if (!finish())
        return false;
    m_pendingLast = -1;
    m_lastPendingRow = -1;
    pendingRows.fill(0);
    return true;
}

void MainView::onAddButtonClicked()
{
    if (!savePending())
        return;
    // The id counter never falls below the stored ids, whatever view was drawn last.
    nextId = qMax(nextId, m_store->nextFreeId());
    int position = -1;
    const bool added = m_store->insert(nextId, &position);
    if (!added) {
        Prompt::warning(this, QStringLiteral("提示"), QStringLiteral("清单内容不能为空。"));
    } else {
        ++nextId;
    }
    // Only the plain manual order grows by a row at its end; any other drawing is replaced by
    // it, as is a list that no longer matches the table.
    if (!m_plainDrawn || (added && !appendRow(position)))
        redrawManualOrder();
    m_scrollArea->verticalScrollBar()->setValue(m_scrollArea->verticalScrollBar()->maximum());
}

orvaneView *MainView::dayView() const
{
    return m_dayView.data();
}

void MainView::onViewButtonClicked()
{
    if (!savePending())
        return;
    // A fresh day view takes the list's current filter and order; the one left last time is
    // dropped rather than kept hidden for the rest of the session.
    if (m_dayView)
        m_dayView->deleteLater();
    m_dayView = new orvaneView(nullptr, this, m_filterCondition, m_sortCondition);
    WindowHandOver::handOver(this, m_dayView);
}

void MainView::onAboutButtonClicked()
{
    const QString text = QStringLiteral(
        "<p><b>Orvane</b> 个人计划与日程管理</p>"
        "<p>版权所有 © Velmark。保留所有权利。</p>"
        "<p>如需为个人或公司定制版本，请通过项目的问题追踪页面与 Velmark 联系。</p>"
        "<p>本项目不收取捐赠，也不公布任何收款账户。</p>"
        "<p>帮助：使用说明见随程序分发的 README 文件。</p>"
        "<p>致谢：<br>"
        "Qt 5 工具包，© The Qt Company，按 GNU LGPL 第 3 版使用（Qt Charts 按 GNU GPL 第 3 "
        "版）。<br>"
        "QuaZip，© Sergey A. Tachenov 等，按 GNU LGPL 第 2.1 版（附静态链接例外）使用。</p>");
    Prompt::about(this, QStringLiteral("版权与捐赠"), text);
}

void MainView::setDeleteButtonIndex(int index)
{
    mDeletingNo = index;
    logLine(QStringLiteral("mDeletingNo is %1").arg(index));
}

void MainView::onDelButtonClicked()
{
    if (!savePending())
        return;
    const int deleting = mDeletingNo;
    UndoEntry entry;
    const bool undoable = Deletions::task(m_db, deleting, &entry);
    if (m_store->remove(deleting) != TaskStore::DeleteResult::Deleted) {
        // Both steps were undone: the list is as it was.
        Prompt::warning(this, QStringLiteral("提示"), deleteFailedMessage);
        return;
    }
    if (undoable) {
        m_undo.push(entry);
        m_undoNotice->showDeleted(entry.what);
    }
    m_savedScrollPos = m_scrollArea->verticalScrollBar()->value();
    mDeletingNo = 0;
    // The row leaves the plain list in place; any other drawing is read again.
    if (m_plainDrawn && entryOf(deleting) >= 0) {
        removeRow(deleting);
        m_scrollArea->verticalScrollBar()->setValue(m_savedScrollPos);
    } else {
        redrawManualOrder();
    }
}

void MainView::undoLastDelete()
{
    if (m_undo.isEmpty() || !savePending())
        return;
    UserMessages messages;
    const UndoJournal::Result result = m_undo.undo(&messages);
    if (result == UndoJournal::Failed && messages.isEmpty())
        messages.append({UserMessage::Warning, QStringLiteral("提示"),
                         QStringLiteral("无法撤销删除，数据没有改变。")});
    Prompt::show(this, messages);
    if (result != UndoJournal::Restored)
        return;
    // The list is drawn again as it is shown now (plain, sorted, filtered or grouped).
    m_savedScrollPos = m_scrollArea->verticalScrollBar()->value();
    redrawCurrentMode(currentQuery());
}

void MainView::onUpArrowClicked(int index, int id)
{
    // What was typed is saved first; a redraw from the table would draw over it.
    if (!savePending())
        return;
    if (!m_store->moveUp(index, id)) {
        Prompt::warning(this, QStringLiteral("提示"), moveFailedMessage);
        return;
    }
    if (m_plainDrawn && index > 0 && entryOf(index) >= 0 && m_entries.at(index).task.id == id)
        swapRows(index - 1);
    else
        redrawManualOrder();
}

void MainView::onDownArrowClicked(int index, int id)
{
    if (!savePending())
        return;
    if (!m_store->moveDown(index, id)) {
        Prompt::warning(this, QStringLiteral("提示"), moveFailedMessage);
        return;
    }
    if (m_plainDrawn && index >= 0 && entryOf(index + 1) >= 0 && m_entries.at(index).task.id == id)
        swapRows(index);
    else
        redrawManualOrder();
}

bool MainView::appendRow(int position)
{
    const QList<TaskRecord> added = m_store->selectAt(position);
    if (added.size() != 1 || position != m_entries.size())
        return false;
    const int gridRow = m_entries.isEmpty() ? 0 : m_entries.last().gridRow + 2;
    const int before = m_entries.size() - 1;
    m_entries.append(Entry{added.first(), gridRow, nullptr});
    if (added.first().id + 1 > nextId)
        nextId = added.first().id + 1;
    makeRow(position);
    if (before >= 0 && m_entries.at(before).row)
        m_entries.at(before).row->setPosition(before, false);
    m_shownRowCount = m_entries.size();
    resizeContainer(added.first().height + 80);
    return true;
}

void MainView::removeRow(int at)
{
    const Entry gone = m_entries.takeAt(at);
    if (gone.row)
        gone.row->discard(m_grid);
    else
        m_grid->setRowMinimumHeight(gone.gridRow, 0);
    // The rows below keep their widgets and grid places (the emptied grid rows take no room);
    // they move up one number.
    m_rows.clear();
    const int count = m_entries.size();
    for (int i = 0; i < count; ++i) {
        Entry &entry = m_entries[i];
        if (i >= at)
            entry.task.manualIndex = i;
        if (!entry.row)
            continue;
        if (i >= at) {
            entry.row->setManualIndex(i);
            entry.row->setPosition(i, i == count - 1);
        } else if (i == at - 1) {
            entry.row->setPosition(i, i == count - 1);
        }
        m_rows.insert(i, entry.row);
    }
    m_shownRowCount = count;
    resizeContainer(-(gone.task.height + 80));
}

void MainView::swapRows(int upper)
{
    const int lower = upper + 1;
    Entry &a = m_entries[upper];
    Entry &b = m_entries[lower];
    std::swap(a.task, b.task);
    std::swap(a.row, b.row);
    a.task.manualIndex = upper;
    b.task.manualIndex = lower;
    // Both rows leave the grid before either takes its new place.
    for (const Entry *entry : {&a, &b}) {
        if (entry->row)
            entry->row->takeFrom(m_grid);
    }
    const int last = m_entries.size() - 1;
    for (int i : {upper, lower}) {
        Entry &entry = m_entries[i];
        m_rows.remove(i);
        setPlaceholder(entry);
        if (!entry.row)
            continue;
        entry.row->setManualIndex(i);
        entry.row->placeAt(m_grid, entry.gridRow);
        entry.row->setPosition(i, i == last);
    }
    for (int i : {upper, lower}) {
        if (m_entries.at(i).row)
            m_rows.insert(i, m_entries.at(i).row);
    }
}

void MainView::openCalendar(int index, bool start)
{
    CalendarPopup::open(
        this, QRect(m_listArea.width() / 2 - 200, m_listArea.height() / 2 - 150, 400, 300),
        [this, index, start](const QDate &date) {
            if (start)
                onStartCalendarClicked(date, index);
            else
                onStopCalendarClicked(date, index);
        });
}

void MainView::onStartDateButtonClicked(int index)
{
    openCalendar(index, true);
}

void MainView::onStopDateButtonClicked(int index)
{
    openCalendar(index, false);
}

void MainView::setDateText(const QString &stem, QDate date, int index)
{
    TaskRow *row = m_rows.value(index);
    auto *edit = row ? qobject_cast<QLineEdit *>(row->field(stem)) : nullptr;
    if (!edit) {
        logLine(QStringLiteral("cann't find child ") + stem);
        return;
    }
    edit->setText(date.toString(QStringLiteral("yyyy-MM-dd")));
}

void MainView::onStartCalendarClicked(QDate date, int index)
{
    setDateText(QStringLiteral("startDate"), date, index);
}

void MainView::onStopCalendarClicked(QDate date, int index)
{
    setDateText(QStringLiteral("stopDate"), date, index);
}

void MainView::onLabelComboBoxStateChanged(int index, QString text)
{
    m_store->saveLabel(index, text);
}

void MainView::onLabelOtherButtonClicked(int index)
{
    auto *other = new LabelOther(this, index);
    other->setAttribute(Qt::WA_DeleteOnClose);
    other->setFixedSize(300, 400);
    other->move(width() / 2 - 150, height() / 2 - 200);
    other->setWindowFlags(other->windowFlags() | Qt::WindowStaysOnTopHint);
    other->show();
}

void MainView::redrawCurrentMode(const TaskQuery &query)
{
    destroyListContainer();
    if (groupedMode()) {
        createListContainer(1);
        buildGroupedRows();
    } else {
        createListContainer(0);
        buildRows(query);
    }
}

void MainView::setItemHeight(int index, int newHeight, int scrollPos)
{
    if (!savePending() || !m_store->saveHeight(index, newHeight))
        return;
    // Only the row's editor changes, in whatever drawing is shown: the order and the filter
    // do not look at heights.
    const int at = entryOf(index);
    if (at >= 0) {
        Entry &entry = m_entries[at];
        resizeContainer(newHeight - entry.task.height);
        entry.task.height = newHeight;
        if (entry.row)
            entry.row->editor()->setBoxHeight(newHeight);
        else
            setPlaceholder(entry);
    } else {
        redrawCurrentMode(currentQuery());
    }
    m_scrollArea->verticalScrollBar()->setValue(scrollPos);
}

bool MainView::event(QEvent *event)
{
    if (event->type() != QEvent::Gesture)
        return QWidget::event(event);
    auto *gestureEvent = static_cast<QGestureEvent *>(event);
    if (auto *swipe = static_cast<QSwipeGesture *>(gestureEvent->gesture(Qt::SwipeGesture))) {
        if (swipe->state() == Qt::GestureFinished) {
            int step = 0;
            if (swipe->verticalDirection() == QSwipeGesture::Up)
                step = -5;
            else if (swipe->verticalDirection() == QSwipeGesture::Down)
                step = 5;
            const auto bars = findChildren<QScrollBar *>();
            for (QScrollBar *bar : bars)
                bar->setValue(bar->value() + step);
        }
    }
    event->accept();
    return true;
}

void MainView::closeEvent(QCloseEvent *event)
{
    Settings::write(filterApplyKey, false);
    Settings::write(sortApplyKey, false);
    savePending();
    // Closed while the day view is up: the program is being ended (a shutdown signal).
    if (m_dayView && m_dayView->isVisible())
        m_dayView->storeUnsavedEdits();
    event->accept();
}

void MainView::buildPanelStrip()
{
    m_sortPanel = new SortPanel(this);
    m_sortPanel->setGeometry(m_headerArea.x(), m_headerArea.y(), m_headerArea.width() / 2, 60);
    connect(m_sortPanel->applyButton(), &QPushButton::clicked, this, [this]() {
        onSortApplyButtonClicked(m_sortPanel->sort()->combo->currentText());
        m_sortPanel->applyButton()->setEnabled(false);
    });
    connect(m_sortPanel->cancelButton(), &QPushButton::clicked, this,
            &MainView::onSortCancelButtonClicked);

    m_filterPanel = new FilterPanel(this);
    m_filterPanel->setGeometry(m_headerArea.x(), m_headerArea.y() + 50, m_headerArea.width(), 120);
    CriteriaWidgets *criteria = m_filterPanel->criteria();
    criteria->changed = [this]() { updateFilterButtons(); };
    criteria->keywordChanged = [this](const QString &text) { setFilterApplyButtonEnabled(text); };
    for (int order = 1; order <= 4; ++order) {
        connect(criteria->dateButton(order), &QPushButton::clicked, this,
                [this, order]() { onFilterCalendarButtonClicked(order); });
    }
    connect(m_filterPanel->applyButton(), &QPushButton::clicked, this, [this]() {
        onFilterApplyButtonClicked();
        m_filterPanel->applyButton()->setEnabled(false);
    });
    connect(m_filterPanel->cancelButton(), &QPushButton::clicked, this,
            &MainView::onFilterCancelButtonClicked);

    auto *groupPanel = new QWidget(this);
    groupPanel->setGeometry(m_headerArea.x(), m_headerArea.y() + 150, m_headerArea.width() * 2 / 7,
                            60);
    auto *row = new QHBoxLayout(groupPanel);
    row->addWidget(new QLabel(QStringLiteral("分组:"), groupPanel));
    m_groupCountLabel = new QLabel(groupPanel);
    m_groupCountLabel->setObjectName(QStringLiteral("groupCountLabel"));
    row->addWidget(m_groupCountLabel);
    auto *editButton = new QPushButton(QStringLiteral("查看分组"), groupPanel);
    row->addWidget(editButton);
    m_groupApplyButton = new QPushButton(QStringLiteral("应用"), groupPanel);
    m_groupApplyButton->setObjectName(QStringLiteral("groupApplyButton"));
    m_groupApplyButton->setFixedWidth(70);
    row->addWidget(m_groupApplyButton);
    m_groupCancelButton = new QPushButton(QStringLiteral("取消"), groupPanel);
    m_groupCancelButton->setObjectName(QStringLiteral("groupCancelButton"));
    m_groupCancelButton->setFixedWidth(70);
    row->addWidget(m_groupCancelButton);
    updateGroupCountLabel();
    const bool grouped = groupedMode();
    m_groupApplyButton->setEnabled(!grouped);
    m_groupCancelButton->setEnabled(grouped);
    connect(editButton, &QPushButton::clicked, this, &MainView::onGroupEditButtonClicked);
    connect(m_groupApplyButton, &QPushButton::clicked, this, &MainView::onGroupApplyButtonClicked);
    connect(m_groupCancelButton, &QPushButton::clicked, this,
            &MainView::onGroupCancelButtonClicked);
}

bool MainView::sorted() const
{
    return !currentQuery().manualOrder();
}

void MainView::updateAddButton()
{
    m_addButton->setEnabled(!sorted() && !filterApplied() && !groupedMode());
}

void MainView::onSortApplyButtonClicked(QString sortCondition)
{
    const QString clause = SortClause::orderBy(sortCondition, m_sortPanel->sort()->ascending());
    if (clause.isEmpty() || !savePending())
        return;
    m_sortCondition = clause;
    destroyListContainer();
    createListContainer(0);
    buildRows(currentQuery());
    m_sortPanel->cancelButton()->setEnabled(true);
    Settings::write(sortApplyKey, true);
    updateAddButton();
}

void MainView::onSortCancelButtonClicked()
{
    if (!savePending())
        return;
    m_sortCondition.clear();
    redrawCurrentMode(currentQuery());
    m_sortPanel->reset();
    Settings::write(sortApplyKey, false);
    updateAddButton();
}

void MainView::onFilterCalendarButtonClicked(int order)
{
    CalendarPopup::open(this,
                        QRect(m_listArea.x() + m_listArea.width() / 2 - 200,
                              m_listArea.y() + m_listArea.height() / 2 - 150, 400, 300),
                        [this, order](const QDate &date) { onFilterCalendarClicked(order, date); });
}

void MainView::onFilterCalendarClicked(int order, QDate date)
{
    if (QPushButton *button = m_filterPanel->criteria()->dateButton(order))
        button->setText(date.toString(QStringLiteral("yyyy-MM-dd")));
}

void MainView::updateFilterButtons()
{
    m_filterPanel->updateButtons(m_filterPanel->criteria()->anyChosen(), filterApplied());
}

void MainView::setFilterApplyButtonEnabled(QString text)
{
    m_filterPanel->updateButtons(!text.isEmpty() || m_filterPanel->criteria()->anyChosen(),
                                 filterApplied());
}

void MainView::onFilterApplyButtonClicked()
{
    if (!savePending())
        return;
    m_filterCondition = FilterClause::build(m_filterPanel->criteria()->criteria()).where;
    if (m_filterCondition.isEmpty())
        m_filterPanel->applyButton()->setEnabled(false);
    destroyListContainer();
    createListContainer(0);
    if (m_sortCondition.isEmpty())
        m_sortCondition = TaskStore::manualOrder;
    buildRows(currentQuery());
    Settings::write(filterApplyKey, true);
    m_filterPanel->updateButtons(true, true);
    updateAddButton();
}

void MainView::onFilterCancelButtonClicked()
{
    if (!savePending())
        return;
    m_filterCondition.clear();
    redrawCurrentMode(currentQuery());
    Settings::write(filterApplyKey, false);
    m_filterPanel->criteria()->reset();
    m_filterPanel->updateButtons(false, false);
    updateAddButton();
}

QVariant MainView::getSettingValue(const QString &key) const
{
    if (key != GroupStore::countKey)
        return QVariant();
    return Settings::read(key, 0).toInt();
}

void MainView::setSettingValue(const QString &key, const QVariant &value)
{
    if (key == GroupStore::countKey)
        Settings::write(key, value.toInt());
}

void MainView::updateGroupCountLabel()
{
    m_groupCountLabel->setText(QStringLiteral("共%1个分组").arg(GroupStore::count()));
}

void MainView::onGroupEditButtonClicked()
{
    auto *edit = new GroupEdit(this);
    edit->setFixedSize(m_headerArea.width(), 696);
    edit->move(m_headerArea.x(), 150);
    edit->setWindowModality(Qt::ApplicationModal);
    edit->show();
}

void MainView::onGroupApplyButtonClicked()
{
    if (!savePending())
        return;
    Settings::write(groupApplyKey, true);
    destroyListContainer();
    createListContainer(1);
    buildGroupedRows();
    m_groupApplyButton->setEnabled(false);
    m_groupCancelButton->setEnabled(true);
    updateAddButton();
}

void MainView::onGroupCancelButtonClicked()
{
    if (!savePending())
        return;
    Settings::write(groupApplyKey, false);
    destroyListContainer();
    createListContainer(0);
    buildRows(currentQuery());
    m_groupApplyButton->setEnabled(true);
    m_groupCancelButton->setEnabled(false);
    updateAddButton();
}

#include "tasklist/mainview.h"

#include "app/database.h"
#include "app/desktop.h"
#include "app/logging.h"
#include "app/prompt.h"
#include "app/settings.h"
#include "richtext/customtextedit.h"
#include "tasklist/customqcombobox.h"
#include "tasklist/labelother.h"
#include "tasklist/taskrow.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QComboBox>
#include <QGestureEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSqlError>
#include <QSpinBox>
#include <QSwipeGesture>

namespace {
const QString manualOrder = QStringLiteral(" order by manualIndex");
} // namespace

MainView::MainView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_AcceptTouchEvents);
    grabGesture(Qt::SwipeGesture);
    if (openDatabase())
        logLine(QStringLiteral("SQLite initialed succeed!"));
    else
        logLine(QStringLiteral("SQLite initialed failed"));
    m_groupCount = Settings::read(QStringLiteral("groupCount"), 0).toInt();

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
    m_headerArea = QRect(W / 30, 3 * H / 40, W - W / 15 - W / 8, 150);
    m_listArea = QRect(W / 30, 3 * H / 40 - H / 80 + 220, W - W / 15 - W / 8, H - H / 6 - 220);

    const bool grouped = Settings::read(QStringLiteral("groupApplyMode"), false).toBool();
    createListContainer(grouped ? 1 : 0);
    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setGeometry(m_listArea);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWindowState(Qt::WindowMaximized);
    buildRows(Database::selectAllSql);

    connect(m_saveButton, &QPushButton::clicked, this, &MainView::saveTextEdit);
    connect(m_addButton, &QPushButton::clicked, this, &MainView::onAddButtonClicked);
    connect(m_viewButton, &QPushButton::clicked, this, &MainView::onViewButtonClicked);
    connect(m_aboutButton, &QPushButton::clicked, this, &MainView::onAboutButtonClicked);
}

MainView::~MainView()
{
    delete m_store;
    Database::close();
    QApplication::quit();
}

bool MainView::openDatabase()
{
    const bool opened = Database::connect(&m_db);
    delete m_store;
    m_store = new TaskStore(m_db);
    if (!opened)
        return false;
    return m_store->ensureTable();
}

void MainView::createListContainer(int mode)
{
    if (m_sortCondition.isEmpty())
        m_sortCondition = manualOrder;
    int total =
        m_store->listHeight(Database::selectAllSql + m_filterCondition + m_sortCondition);
    m_groupCount = Settings::read(QStringLiteral("groupCount"), 0).toInt();
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

void MainView::buildRows(const QString &statement)
{
    const QString text =
        statement == Database::selectAllSql ? statement + manualOrder : statement;
    const bool plainOrder = text == Database::selectAllSql + manualOrder;
    bool ok = false;
    const QList<TaskRecord> tasks = m_store->select(text, &ok);
    m_rows.clear();
    for (int r = 0; r < tasks.size(); ++r) {
        const TaskRecord &task = tasks.at(r);
        logLine(QStringLiteral("height is %1").arg(task.height));
        m_rows.insert(task.manualIndex, new TaskRow(this, m_grid, r, task, plainOrder,
                                                    r == tasks.size() - 1));
        m_shownRowCount = r + 1;
        if (task.id + 1 > nextId)
            nextId = task.id + 1;
    }
    m_container->setLayout(m_grid);
    m_scrollArea->setWidget(m_container);
    m_container->show();
    m_scrollArea->verticalScrollBar()->setValue(m_savedScrollPos);
}

void MainView::destroyListContainer()
{
    m_rows.clear();
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
    buildRows(Database::selectAllSql);
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
    const int last = qMin(m_pendingLast, static_cast<int>(pendingRows.size()) - 1);
    // One save is one transaction: one write to disk instead of one per row.
    const bool inTransaction = last >= 0 && m_db.transaction();
    auto finish = [this, inTransaction]() {
        if (inTransaction && !m_db.commit())
            logLine(QStringLiteral("db update failed!"), m_db.lastError().text());
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
            finish();
            return;
        }
        const struct {
            const char *stem;
            QWidget *widget;
        } parts[] = {{"startDate", find("startDate")},         {"stopDate", find("stopDate")},
                     {"comboImportance", find("comboImportance")},
                     {"comboEmergercy", find("comboEmergercy")}, {"spinPriority", find("spinPriority")},
                     {"lineProgress", find("lineProgress")},   {"comboLabel", find("comboLabel")}};
        for (const auto &part : parts) {
            if (!part.widget) {
                logLine(QStringLiteral("cann't find child ") + QString::fromLatin1(part.stem));
                finish();
                return;
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
        m_store->save(task);
    }
    finish();
    m_pendingLast = -1;
    m_lastPendingRow = -1;
    pendingRows.fill(0);
}

void MainView::onAddButtonClicked()
{
    if (m_pendingLast >= 0)
        saveTextEdit();
    // The id counter never falls below the stored ids, whatever view was drawn last.
    nextId = qMax(nextId, m_store->nextFreeId());
    if (!m_store->insert(nextId)) {
        Prompt::warning(this, QStringLiteral("提示"), QStringLiteral("清单内容不能为空。"));
    } else {
        ++nextId;
    }
    redrawManualOrder();
    m_scrollArea->verticalScrollBar()->setValue(m_scrollArea->verticalScrollBar()->maximum());
}

void MainView::onViewButtonClicked()
{
    if (m_pendingLast >= 0)
        saveTextEdit();
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
        "Qt 5 工具包，© The Qt Company，按 GNU LGPL 第 3 版使用（Qt Charts 按 GNU GPL 第 3 版）。<br>"
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
    if (m_pendingLast >= 0)
        saveTextEdit();
    if (m_store->remove(mDeletingNo) == TaskStore::DeleteResult::DeleteFailed)
        return;
    m_savedScrollPos = m_scrollArea->verticalScrollBar()->value();
    mDeletingNo = 0;
    redrawManualOrder();
}

void MainView::onUpArrowClicked(int index, int id)
{
    if (m_store->moveUp(index, id))
        redrawManualOrder();
}

void MainView::onDownArrowClicked(int index, int id)
{
    if (m_store->moveDown(index, id))
        redrawManualOrder();
}

void MainView::openCalendar(int index, bool start)
{
    auto *calendar = new QCalendarWidget(this);
    calendar->setGeometry(m_listArea.width() / 2 - 200, m_listArea.height() / 2 - 150, 400, 300);
    calendar->setWindowModality(Qt::ApplicationModal);
    connect(calendar, &QCalendarWidget::clicked, this, [this, calendar, index, start](QDate date) {
        if (start)
            onStartCalendarClicked(date, index);
        else
            onStopCalendarClicked(date, index);
        calendar->hide();
        calendar->deleteLater();
    });
    calendar->show();
    calendar->raise();
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

void MainView::setItemHeight(int index, int newHeight, int scrollPos)
{
    const QString sort = m_sortCondition.isEmpty() ? manualOrder : m_sortCondition;
    const QString statement = Database::selectAllSql + m_filterCondition + sort;
    if (!m_store->saveHeight(index, newHeight))
        return;
    destroyListContainer();
    createListContainer(0);
    buildRows(statement);
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
    Settings::write(QStringLiteral("filterApplyMode"), false);
    Settings::write(QStringLiteral("sortApplyMode"), false);
    if (m_pendingLast >= 0)
        saveTextEdit();
    event->accept();
}

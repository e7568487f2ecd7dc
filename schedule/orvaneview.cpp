#include "schedule/orvaneview.h"

#include "app/clock.h"
#include "app/database.h"
#include "app/desktop.h"
#include "app/logging.h"
#include "app/paths.h"
#include "app/prompt.h"
#include "app/windowhandover.h"
#include "exceltemplate/exceltemplate.h"
#include "history/selectdate.h"
#include "richtext/customtextedit.h"
#include "schedule/additem.h"
#include "schedule/datechangedview.h"
#include "schedule/dayactions.h"
#include "schedule/daystore.h"
#include "schedule/labeledit.h"
#include "schedule/mergeitem.h"
#include "schedule/planlabels.h"
#include "schedule/summarystore.h"
#include "schedule/templatestore.h"
#include "schedule/templatexml.h"
#include "schedule/todaysummary.h"
#include "statistics/labeldurationstore.h"
#include "tasklist/taskstore.h"
#include "undo/deletions.h"
#include "undo/undonotice.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimeEdit>

namespace {
// Record buttons only as wide as their text, so a timed row fits the schedule column.
QPushButton *compactButton(const QString &text)
{
    auto *button = new QPushButton(text);
    // Wide enough for the longest label caption, "标签:" with three characters and "..".
    const QString widest =
        text.startsWith(QStringLiteral("标签")) || text == PlanLabels::placeholder
            ? QStringLiteral("标签:标签名..")
            : text;
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(widest) + 16);
    return button;
}
} // namespace

orvaneView::orvaneView(QWidget *parent, QWidget *mainView, const QString &filterCondition,
                       const QString &sortCondition)
    : QWidget(parent), m_mainView(mainView), m_filterCondition(filterCondition),
      m_sortCondition(sortCondition)
{
    const QRect screen = Desktop::availableGeometry();
    const int W = screen.width();
    const int H = screen.height();
    setGeometry(0, 0, W, H);
    setWindowState(Qt::WindowMaximized);
    setWindowTitle(QStringLiteral("每日视图"));
    m_defaultTemplate = TemplateStore::defaultTemplate();
    m_date = Clock::today();
    m_dayName = DayStore::dayName(m_date);

    Database::connect(&m_db);
    m_store = new DayStore(m_db);
    m_actions = new DayActions(m_db);

    m_taskArea = QRect(W / 30, H / 14, 4 * W / 10, H - H / 14 - H / 20);
    const int controlsBottom = H / 14 + 2 * 40 + 10;
    m_scheduleArea = QRect(W / 2 - 20, controlsBottom, 4 * W / 10, H - controlsBottom - H / 20);
    m_taskScroll = new QScrollArea(this);
    m_taskScroll->setGeometry(m_taskArea);
    m_taskScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_taskScroll->setWidgetResizable(true);

    resetScheduleArea();
    drawTaskPanel();
    drawDateSchedule(m_date);
    createControls();
    m_undoNotice = new UndoNotice(this, [this] { undoLastDelete(); });
}

orvaneView::~orvaneView()
{
    // Content never put into the scroll area (a date left at the chooser) has no parent.
    if (m_scheduleContent && !m_scheduleContent->parent())
        delete m_scheduleContent;
    delete m_actions;
    delete m_store;
}

void orvaneView::createControls()
{
    const int W = width();
    const int H = height();
    const int top = H / 14;
    const int x0 = m_scheduleArea.x();
    auto place = [](QWidget *w, int x, int y, int width) { w->setGeometry(x, y, width, 34); };

    auto *back =
        new QPushButton(QIcon(QStringLiteral(":/icon/back.png")), QStringLiteral("返回"), this);
    back->setShortcut(QKeySequence(QStringLiteral("PgUp")));
    place(back, x0, top, 90);
    auto *history = new QPushButton(QIcon(QStringLiteral(":/icon/history.png")),
                                    QStringLiteral("历史记录"), this);
    history->setShortcut(QKeySequence(QStringLiteral("PgDown")));
    place(history, x0 + 100, top, 110);
    m_dateEdit = new QDateEdit(m_date, this);
    m_dateEdit->setCalendarPopup(true);
    m_dateEdit->setDisplayFormat(QStringLiteral("yyyy.MM.dd"));
    place(m_dateEdit, x0 + 220, top, 130);
    auto *chooseLabel = new QLabel(QStringLiteral("选择模板："), this);
    place(chooseLabel, x0 + 360, top, 90);
    m_templateCombo = new QComboBox(this);
    m_templateCombo->setObjectName(QStringLiteral("templateComboBox"));
    place(m_templateCombo, x0 + 450, top, qMax(160, W / 2 - 20 + 4 * W / 10 - x0 - 450));
    fillTemplateComboBox();

    const int second = top + 44;
    auto *save =
        new QPushButton(QIcon(QStringLiteral(":/icon/save.png")), QStringLiteral("保存修改"), this);
    save->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    struct Command {
        const char *text;
        void (orvaneView::*slot)();
    };
    const Command commands[] = {
        {"保存当前为模板", &orvaneView::onSaveAsTemplateButtClicked},
        {"设置默认模板", &orvaneView::onSelectDefaultTemplateButtClicked},
        {"删除模板", &orvaneView::onDeleteTemplateButtClicked},
        {"导入模板文件", &orvaneView::onExportInTemplateButtClicked},
        {"导出模板文件", &orvaneView::onExportOutTemplateButtClicked},
        {"编辑今日小结", &orvaneView::onEditTodaySummaryButtonClicked},
    };
    // Each button as wide as its text, one after the other.
    int x = x0;
    auto next = [&x, second, place](QPushButton *button) {
        const int width = button->sizeHint().width();
        place(button, x, second, width);
        x += width + 6;
    };
    next(save);
    for (const Command &command : commands) {
        auto *button = new QPushButton(QString::fromUtf8(command.text), this);
        next(button);
        connect(button, &QPushButton::clicked, this, command.slot);
    }

    connect(back, &QPushButton::clicked, this, &orvaneView::onBackButtonClicked);
    connect(history, &QPushButton::clicked, this, &orvaneView::onHistoryButtonClicked);
    // Leaving the day asks first when it has unsaved edits; "取消" shows the day again.
    connect(m_dateEdit, &QDateEdit::dateChanged, this, [this](QDate date) {
        if (confirmLeave()) {
            drawDateSchedule(date);
            return;
        }
        const QSignalBlocker blocker(m_dateEdit);
        m_dateEdit->setDate(m_date);
    });
    connect(m_templateCombo, &QComboBox::textActivated, this, [this](const QString &templat) {
        if (confirmLeave())
            setScheduleTemplate(templat);
        else
            m_templateCombo->setCurrentIndex(-1);
    });
    connect(save, &QPushButton::clicked, this, &orvaneView::onSaveButtonClicked);
}

void orvaneView::drawTaskPanel()
{
    m_taskContent = new QWidget;
    auto *column = new QVBoxLayout(m_taskContent);
    TaskStore tasks(m_db);
    int total = 0;
    const QList<TaskRecord> rows = tasks.select(TaskQuery{m_filterCondition, m_sortCondition});
    for (const TaskRecord &task : rows) {
        auto *box = new CustomTextEdit(static_cast<ScheduleCellOwner *>(this), task.height,
                                       task.manualIndex, 0, 1);
        box->setReadOnly(true);
        box->setHtml(task.content);
        box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        box->setAlignment(Qt::AlignLeft);
        column->addWidget(box);
        total += task.height + 12;
    }
    column->addStretch();
    m_taskContent->setMinimumHeight(total);
    m_taskScroll->setWidget(m_taskContent);
}

void orvaneView::resetScheduleArea()
{
    if (m_scheduleScroll) {
        // Deferred: a redraw is often asked for by a widget inside the area.
        m_scheduleScroll->hide();
        m_scheduleScroll->deleteLater();
    }
    m_scheduleScroll = new QScrollArea(this);
    m_scheduleScroll->setGeometry(m_scheduleArea);
    m_scheduleScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scheduleScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scheduleScroll->setWidgetResizable(true);
    // The content is filled while it is still detached, so its rows are laid out and shown
    // together when it is put into the scroll area. One never put there has no parent to go
    // with the old area.
    if (m_scheduleContent && !m_scheduleContent->parent())
        m_scheduleContent->deleteLater();
    m_scheduleContent = new QWidget;
    m_grid = new QGridLayout(m_scheduleContent);
    m_grid->setVerticalSpacing(8);
    m_scheduleScroll->show();
    m_recordCount = 0;
}

void orvaneView::showScheduleContent()
{
    if (m_scheduleScroll->widget() != m_scheduleContent)
        m_scheduleScroll->setWidget(m_scheduleContent);
    m_grid->activate();
}

void orvaneView::clearSchedule()
{
    clearLayoutItems(m_grid);
    showScheduleContent();
    m_scheduleDrawn = false;
}

void orvaneView::clearLayoutItems(QLayout *layout)
{
    if (!layout)
        return;
    while (QLayoutItem *item = layout->takeAt(0)) {
        if (QLayout *inner = item->layout()) {
            clearLayoutItems(inner);
            delete inner;
            continue;
        }
        if (QWidget *widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
}

void orvaneView::drawDateSchedule(QDate date)
{
    m_date = date;
    m_dayName = DayStore::dayName(date);
    const DayActions::DateSchedule choice = m_actions->scheduleOfDate(date);
    if (choice.kind == DayActions::DateSchedule::LookupFailed)
        return;
    m_dayXmlTemplates = choice.xmlTemplates;
    m_dayExcelTemplates = choice.excelTemplates;

    switch (choice.kind) {
    case DayActions::DateSchedule::None:
        m_defaultTemplate = choice.templateName;
        clearSchedule();
        break;
    case DayActions::DateSchedule::NewFromDefault:
        m_defaultTemplate = choice.templateName;
        setScheduleTemplate(m_defaultTemplate);
        break;
    case DayActions::DateSchedule::Xml:
        m_currentTemplate = choice.templateName;
        drawScheduleTable(m_dayName + m_currentTemplate);
        break;
    case DayActions::DateSchedule::Excel: {
        m_currentTemplate = choice.templateName;
        const QString fileName = TemplateStore::excelCopyPath(m_dayName, m_currentTemplate);
        logLine(QStringLiteral("m_currentTemplate is ") + m_currentTemplate);
        logLine(QStringLiteral("fileName is ") + fileName);
        clearSchedule();
        openExcelEditor(fileName);
        break;
    }
    default: {
        if (m_dayXmlTemplates.isEmpty()) {
            for (const QString &name : choice.excelRegistries)
                logLine(QStringLiteral("excel is ") + name);
        }
        clearSchedule();
        auto *chooser = new dateChangedView(this);
        m_chooser = chooser;
        chooser->show();
        break;
    }
    }
}

int orvaneView::tableIsNotEmpty(const QString &tableName)
{
    UserMessages messages;
    bool created = false;
    const DayStore::TableState state = m_actions->openSchedule(tableName, &messages, &created);
    Prompt::show(this, messages);
    if (created)
        fillTemplateComboBox();
    return state;
}

void orvaneView::drawSchedule(const QString &templat)
{
    logLine(QStringLiteral("start drawSchedule(m_date + templat): m_date = %1，templat = %2.")
                .arg(m_dayName, templat));
    m_currentTemplate = templat;
    drawScheduleTable(m_dayName + templat);
}

void orvaneView::drawScheduleTable(const QString &tableName)
{
    resetScheduleArea();
    m_scheduleDrawn = false;
    // Every way out puts the (possibly empty) content on screen.
    struct Show {
        orvaneView *view;
        ~Show() { view->showScheduleContent(); }
    } show{this};
    if (tableIsNotEmpty(tableName) == TABLE_CREATE_FAILURE) {
        logLine(QStringLiteral("tableIsNotEmpty(%1) == TABLE_CREATE_FAILURE ").arg(tableName));
        return;
    }
    logLine(QStringLiteral("Schedule is drawing ") + tableName);
    bool ok = false;
    const QList<ScheduleRecord> records = m_store->records(tableName, &ok);
    if (!ok)
        return;
    m_scheduleDrawn = true;
    int r = 0;
    for (const ScheduleRecord &record : records) {
        if (++m_recordCount > TemplateXml::maxRecords) {
            Prompt::warning(this, QStringLiteral("提示"), QStringLiteral("每日计划不要超过50项。"));
            return;
        }
        const int index = record.manualIndex;
        logLine(QStringLiteral("manualIndex is %1").arg(index));
        logLine(QStringLiteral("timeStr is ") + record.time);
        logLine(QStringLiteral("labelStr is ") + record.label);

        auto *add = compactButton(QStringLiteral("增加记录"));
        auto *remove = compactButton(QStringLiteral("删除记录"));
        auto *labelButton = compactButton(PlanLabels::caption(record.label));
        labelButton->setObjectName(QStringLiteral("labelButton_%1").arg(index));
        auto *row = new QHBoxLayout;
        if (record.time.isEmpty()) {
            m_lastRecordTimed = false;
            row->addWidget(add, 0, Qt::AlignCenter);
            row->addWidget(remove, 0, Qt::AlignCenter);
            row->addWidget(labelButton, 0, Qt::AlignCenter);
        } else {
            m_lastRecordTimed = true;
            const QString start = DayTables::spanStart(record.time);
            const QString end = DayTables::spanEnd(record.time);
            auto *from = new QTimeEdit(QTime::fromString(start, QStringLiteral("hh:mm")));
            from->setObjectName(QStringLiteral("fromTime_%1").arg(index));
            from->setDisplayFormat(QStringLiteral("hh:mm"));
            auto *to = new QTimeEdit(QTime::fromString(end, QStringLiteral("hh:mm")));
            to->setObjectName(QStringLiteral("toTime_%1").arg(index));
            to->setDisplayFormat(QStringLiteral("hh:mm"));
            auto *merge = compactButton(QStringLiteral("合并记录"));
            row->addWidget(new QLabel(QStringLiteral("    ")), 0, Qt::AlignLeft);
            row->addWidget(from, 0, Qt::AlignLeft);
            row->addWidget(new QLabel(QStringLiteral("--")), 0, Qt::AlignLeft);
            row->addWidget(to, 1, Qt::AlignLeft);
            row->addWidget(add, 0, Qt::AlignLeft);
            row->addWidget(remove, 0, Qt::AlignLeft);
            row->addWidget(merge, 0, Qt::AlignLeft);
            row->addWidget(labelButton, 0, Qt::AlignLeft);
            connect(merge, &QPushButton::clicked, this,
                    [this, index] { onMergeItemClicked(index); });
        }
        m_grid->addLayout(row, r, 1);
        connect(add, &QPushButton::clicked, this, [this, index] { onAddItemClicked(index); });
        connect(remove, &QPushButton::clicked, this, [this, index] { onDeleteItemClicked(index); });
        connect(labelButton, &QPushButton::clicked, this,
                [this, index] { onLabelButtonClicked(index); });

        m_grid->addWidget(new QLabel(QStringLiteral("计划：")), r + 1, 0);
        auto *plan = new CustomTextEdit(static_cast<ScheduleCellOwner *>(this), record.planHeight,
                                        index, 0, 0);
        plan->setObjectName(QStringLiteral("textEditPlan_%1").arg(index));
        plan->setHtml(record.plan);
        logLine(QStringLiteral("plan is ") + record.plan);
        m_grid->addWidget(plan, r + 1, 1);
        m_grid->addWidget(new QLabel(QStringLiteral("结果：")), r + 2, 0);
        auto *result = new CustomTextEdit(static_cast<ScheduleCellOwner *>(this),
                                          record.resultHeight, index, 1, 0);
        result->setObjectName(QStringLiteral("textEditResult_%1").arg(index));
        result->setHtml(record.result);
        logLine(QStringLiteral("result is ") + record.result);
        m_grid->addWidget(result, r + 2, 1);
        r += 3;
    }
    m_grid->addWidget(new QLabel, r + 1, 1);
    auto *heading =
        new QLabel(QStringLiteral("=====================今日小结内容====================="));
    QFont font = QApplication::font();
    font.setPointSize(font.pointSize() + 2);
    font.setWeight(75);
    font.setItalic(true);
    heading->setFont(font);
    // The rule of "=" must not widen the schedule column; on a narrow screen it is clipped.
    heading->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    heading->setAlignment(Qt::AlignCenter);
    m_grid->addWidget(heading, r + 2, 1, Qt::AlignCenter);
    drawSummary(r + 3);
    m_drawnEdits = readEdits();
}

void orvaneView::drawSummary(int row)
{
    SummaryStore summary(m_db, currentTable());
    const QList<SummaryItem> items = summary.items();
    int texts = 0;
    int scores = 0;
    for (const SummaryItem &item : items) {
        if (item.type == QStringLiteral("summaryText")) {
            m_grid->addWidget(new QLabel(item.name), row++, 1, Qt::AlignCenter);
            auto *box = new CustomTextEdit(static_cast<ScheduleCellOwner *>(this), item.height,
                                           texts, 2, 0);
            box->setObjectName(QStringLiteral("summaryTextEdit_%1").arg(texts));
            box->setHtml(item.detail);
            m_grid->addWidget(box, row++, 1);
            ++texts;
        } else if (item.type == QStringLiteral("summaryScore")) {
            auto *line = new QHBoxLayout;
            line->addStretch();
            line->addWidget(new QLabel(item.name));
            auto *spin = new QSpinBox;
            spin->setObjectName(QStringLiteral("summaryScoreSpin_%1").arg(scores));
            spin->setRange(0, 10);
            bool number = false;
            const int value = item.detail.toInt(&number);
            spin->setValue(number ? value : 0);
            line->addWidget(spin);
            line->addWidget(new QLabel(QStringLiteral("分")));
            m_grid->addLayout(line, row++, 1, Qt::AlignRight);
            ++scores;
        }
    }
}

DayEdits orvaneView::readEdits() const
{
    DayEdits edits;
    auto find = [this](const QString &name) {
        return m_scheduleContent->findChild<QWidget *>(name);
    };
    for (int i = 0;; ++i) {
        auto *plan = qobject_cast<CustomTextEdit *>(find(QStringLiteral("textEditPlan_%1").arg(i)));
        auto *result =
            qobject_cast<CustomTextEdit *>(find(QStringLiteral("textEditResult_%1").arg(i)));
        if (!plan || !result)
            break;
        auto *from = qobject_cast<QTimeEdit *>(find(QStringLiteral("fromTime_%1").arg(i)));
        auto *to = qobject_cast<QTimeEdit *>(find(QStringLiteral("toTime_%1").arg(i)));
        auto *label = qobject_cast<QPushButton *>(find(QStringLiteral("labelButton_%1").arg(i)));
        DayRecordEdit record;
        record.timed = from != nullptr;
        record.start = from ? from->text() : QString();
        record.end = to ? to->text() : QString();
        record.plan = plan->toHtml();
        record.result = result->toHtml();
        record.planHeight = plan->height();
        record.resultHeight = result->height();
        record.labelCaption = label ? label->text() : QString();
        edits.records.append(record);
    }
    for (int i = 0;; ++i) {
        auto *box =
            qobject_cast<CustomTextEdit *>(find(QStringLiteral("summaryTextEdit_%1").arg(i)));
        if (!box)
            break;
        edits.texts.append(DaySummaryTextEdit{box->toHtml(), box->height()});
    }
    for (int i = 0;; ++i) {
        auto *spin = qobject_cast<QSpinBox *>(find(QStringLiteral("summaryScoreSpin_%1").arg(i)));
        if (!spin)
            break;
        edits.scores.append(spin->value());
    }
    return edits;
}

void orvaneView::onSaveButtonClicked()
{
    if (!m_scheduleDrawn) {
        // Nothing of this date is on screen: writing old widgets into its tables would be wrong.
        logLine(QStringLiteral("no schedule drawn for ") + m_dayName +
                QStringLiteral(", nothing saved"));
        return;
    }
    saveDayEdits();
}

bool orvaneView::saveDayEdits()
{
    const DayEdits edits = readEdits();
    // A failure leaves the stored day as it was; the person is told, since the edits are
    // still only on screen.
    if (!m_actions->saveDay(currentTable(), m_date, edits)) {
        Prompt::warning(this, QStringLiteral("提示"),
                        QStringLiteral("保存失败，这一天的内容没有改变。请稍后再试。"));
        return false;
    }
    m_drawnEdits = edits;
    return true;
}

bool orvaneView::hasUnsavedEdits() const
{
    return m_scheduleDrawn && readEdits().differsFrom(m_drawnEdits);
}

bool orvaneView::confirmLeave()
{
    if (!hasUnsavedEdits())
        return true;
    switch (Prompt::saveDiscardCancel(this, QStringLiteral("提示"),
                                      QStringLiteral("这一天的修改还没有保存，要保存吗？"))) {
    case QMessageBox::Save:
        return saveDayEdits();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void orvaneView::storeUnsavedEdits()
{
    if (hasUnsavedEdits())
        saveDayEdits();
}

void orvaneView::closeEvent(QCloseEvent *event)
{
    if (confirmLeave())
        event->accept();
    else
        event->ignore();
}

void orvaneView::checkLabelDurationStatistic()
{
    LabelDurationStore(m_db).checkLabelDurationStatistic(m_date);
}

void orvaneView::updateYearMonthWeekLabelDuration()
{
    LabelDurationStore(m_db).updateYearMonthWeekLabelDuration(m_date);
}

int orvaneView::weekCountInMonth(int year, int month)
{
    return LabelDurationStore::weekCountInMonth(year, month);
}

bool orvaneView::checkTableExistOrNot(QString tableName)
{
    return LabelDurationStore(m_db).checkTableExistOrNot(tableName);
}

void orvaneView::onBackButtonClicked()
{
    if (!confirmLeave())
        return;
    WindowHandOver::handOver(this, m_mainView);
}

void orvaneView::onHistoryButtonClicked()
{
    auto *dialog = new selectDate(this);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
}

bool orvaneView::saveThen(const std::function<bool()> &change)
{
    // Only a day with something typed since it was drawn is written first; an untouched one
    // keeps its stored texts exactly.
    const bool unsaved = hasUnsavedEdits();
    const DayEdits edits = unsaved ? readEdits() : DayEdits();
    if (m_actions->saveThen(currentTable(), m_date, unsaved ? &edits : nullptr, change))
        return true;
    // The edits are still on screen; nothing was redrawn over them.
    Prompt::warning(this, QStringLiteral("提示"),
                    QStringLiteral("保存失败，这一天的内容没有改变。请稍后再试。"));
    return false;
}

void orvaneView::updateCellHeight(int index, int kind, int newHeight, int scrollPos)
{
    if (!saveThen([&] {
            return m_store->updateHeight(currentTable(), index, DayStore::HeightOf(kind),
                                         newHeight);
        }))
        return;
    drawScheduleTable(currentTable());
    // Size the new rows now, so the scroll range is known before the position is restored.
    m_scheduleContent->resize(
        m_scheduleScroll->viewport()->width(),
        qMax(m_scheduleContent->sizeHint().height(), m_scheduleScroll->viewport()->height()));
    m_scheduleScroll->verticalScrollBar()->setValue(scrollPos);
}

void orvaneView::onAddItemClicked(int index)
{
    auto *dialog = new addItem(this, index, m_lastRecordTimed);
    dialog->move(x() + width() / 2 - 150, y() + height() / 2 - 200);
    dialog->show();
}

void orvaneView::addTimedRecord(int index, bool above, const QTime &start, const QTime &end)
{
    if (m_recordCount >= TemplateXml::maxRecords) {
        Prompt::warning(this, QStringLiteral("提示"), QStringLiteral("每日计划不要超过50项。"));
        return;
    }
    if (saveThen(
            [&] { return m_store->addRecord(currentTable(), index, above, true, start, end); }))
        drawScheduleTable(currentTable());
}

void orvaneView::addUntimedRecord(int index, bool above)
{
    if (m_recordCount >= TemplateXml::maxRecords) {
        Prompt::warning(this, QStringLiteral("提示"), QStringLiteral("每日计划不要超过50项。"));
        return;
    }
    if (saveThen([&] { return m_store->addRecord(currentTable(), index, above, false); }))
        drawScheduleTable(currentTable());
}

void orvaneView::onDeleteItemClicked(int index)
{
    // Read after the edits on screen are stored, so taking it back gives what was typed.
    UndoEntry entry;
    bool undoable = false;
    if (saveThen([&] {
            undoable = Deletions::record(m_db, currentTable(), m_date, index, &entry);
            return m_actions->deleteRecord(currentTable(), m_date, index);
        })) {
        drawScheduleTable(currentTable());
        if (undoable)
            journal(entry);
    }
}

void orvaneView::onMergeItemClicked(int index)
{
    const QString time = m_store->recordTime(currentTable(), index);
    bool ok = false;
    const QStringList times = m_store->times(currentTable(), &ok);
    if (!ok)
        return;
    auto *dialog = new mergeItem(this, index, time, times);
    dialog->move(x() + width() / 2 - 200, y() + height() / 6);
    dialog->show();
}

void orvaneView::mergeRecords(int fromIndex, int withIndex, int placeIndex, int option,
                              const QTime &start, const QTime &end)
{
    if (saveThen([&] {
            return m_store->mergeRecords(currentTable(), fromIndex, withIndex, placeIndex,
                                         DayStore::MergeKeep(option), start, end);
        }))
        drawScheduleTable(currentTable());
}

void orvaneView::onLabelButtonClicked(int index)
{
    auto *dialog = new LabelEdit(this, index);
    dialog->setGeometry(x() + width() / 2 + 150, y() + height() / 2 - 100, 450, 500);
    dialog->show();
}

QString orvaneView::readRecordLabel(int index)
{
    return m_store->readLabel(currentTable(), index);
}

void orvaneView::writeRecordLabel(int index, const QString &label)
{
    if (auto *button = m_scheduleContent->findChild<QPushButton *>(
            QStringLiteral("labelButton_%1").arg(index)))
        button->setText(PlanLabels::caption(label));
    m_store->writeLabel(currentTable(), index, label);
}

void orvaneView::onEditTodaySummaryButtonClicked()
{
    if (!m_scheduleDrawn)
        return;
    auto *dialog = new todaySummary(this, currentTable(), readSummaryNames(0), readSummaryNames(1));
    dialog->setGeometry(x() + width() / 2 + 150, y() + height() / 2 - 250, 550, 300);
    dialog->show();
}

QString orvaneView::readSummaryNames(int kind)
{
    return SummaryStore(m_db, currentTable()).readNames(SummaryStore::ItemKind(kind));
}

void orvaneView::applySummaryItems(const QString &textNames, const QString &scoreNames)
{
    if (saveThen(
            [&] { return SummaryStore(m_db, currentTable()).applyItems(textNames, scoreNames); }))
        drawScheduleTable(currentTable());
}

void orvaneView::setScheduleTemplate(QString templat)
{
    if (templat == TemplateStore::noTemplate) {
        clearSchedule();
        return;
    }
    if (!TemplateStore::isExcelTemplate(templat)) {
        m_currentTemplate = templat;
        drawSchedule(templat);
        return;
    }
    m_currentTemplate = templat;
    clearSchedule();
    const QString copy = TemplateStore::openExcelSchedule(m_db, m_dayName, templat);
    if (!copy.isEmpty())
        openExcelEditor(copy);
}

void orvaneView::openExcelEditor(const QString &path)
{
    // A new editor for every opening; it goes away when closed.
    auto *editor = new ExcelTemplate(this, path);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->show();
}

void orvaneView::showDaySchedule(const QString &templat)
{
    m_currentTemplate = templat;
    if (m_dayExcelTemplates.contains(templat) && !m_dayXmlTemplates.contains(templat)) {
        clearSchedule();
        openExcelEditor(TemplateStore::excelCopyPath(m_dayName, templat));
        return;
    }
    drawScheduleTable(m_dayName + templat);
}

void orvaneView::deleteDaySchedule(const QString &templat)
{
    const bool excel =
        m_dayExcelTemplates.contains(templat) && !m_dayXmlTemplates.contains(templat);
    UndoEntry entry;
    const bool undoable = Deletions::schedule(m_db, m_date, templat, excel, &entry);
    if (excel) {
        if (TemplateStore::dropExcelSchedule(m_db, m_dayName, templat)) {
            m_dayExcelTemplates.removeAll(templat);
            if (undoable)
                journal(entry);
        }
        return;
    }
    if (m_actions->dropSchedule(m_dayName + templat, m_date)) {
        m_dayXmlTemplates.removeAll(templat);
        if (undoable)
            journal(entry);
    }
}

void orvaneView::journal(const UndoEntry &entry)
{
    m_undo.push(entry);
    m_undoNotice->showDeleted(entry.what);
}

void orvaneView::undoLastDelete()
{
    // The day is drawn again afterwards: what was typed is stored or let go first.
    if (m_undo.isEmpty() || !confirmLeave())
        return;
    UserMessages messages;
    UndoEntry undone;
    const UndoJournal::Result result = m_undo.undo(&messages, &undone);
    if (result == UndoJournal::Failed && messages.isEmpty())
        messages.append({UserMessage::Warning, QStringLiteral("提示"),
                         QStringLiteral("无法撤销删除，数据没有改变。")});
    Prompt::show(this, messages);
    if (result != UndoJournal::Restored)
        return;
    fillTemplateComboBox();
    const QDate date = undone.date.isValid() ? undone.date : m_date;
    {
        const QSignalBlocker blocker(m_dateEdit);
        m_dateEdit->setDate(date);
    }
    // A chooser still open for the day is replaced by the one the new drawing opens.
    if (m_chooser)
        m_chooser->close();
    drawDateSchedule(date);
}

QComboBox *orvaneView::makeTemplateBox(bool withNone)
{
    auto *box = new QComboBox(this);
    box->setIconSize(QSize(35, 35));
    const QStringList xml = TemplateStore::xmlTemplateNames();
    const QStringList excel = TemplateStore::excelTemplateNames();
    box->addItems(xml);
    if (!excel.isEmpty()) {
        box->insertSeparator(box->count());
        const QIcon icon(QStringLiteral(":/icon/Excel.ico"));
        for (const QString &name : excel)
            box->addItem(icon, name);
    }
    if (withNone && !(xml.isEmpty() && excel.isEmpty())) {
        box->insertSeparator(box->count());
        box->addItem(TemplateStore::noTemplate);
    }
    box->setCurrentIndex(-1);
    return box;
}

void orvaneView::fillTemplateComboBox()
{
    if (!m_templateCombo)
        return;
    QComboBox *fresh = makeTemplateBox(true);
    m_templateCombo->clear();
    m_templateCombo->setIconSize(QSize(35, 35));
    for (int i = 0; i < fresh->count(); ++i) {
        if (fresh->itemText(i).isEmpty() && fresh->itemIcon(i).isNull())
            m_templateCombo->insertSeparator(i);
        else
            m_templateCombo->addItem(fresh->itemIcon(i), fresh->itemText(i));
    }
    m_templateCombo->setCurrentIndex(-1);
    delete fresh;
}

void orvaneView::toggleSmallBox(QPointer<QComboBox> &box, bool withNone, const char *slot, int x)
{
    if (box) {
        box->hide();
        box->deleteLater();
        box = nullptr;
        return;
    }
    box = makeTemplateBox(withNone);
    box->setGeometry(x, height() / 14 + 88, 180, 34);
    connect(box.data(), SIGNAL(textActivated(QString)), this, slot);
    box->show();
    box->showPopup();
}

void orvaneView::onSelectDefaultTemplateButtClicked()
{
    toggleSmallBox(m_defaultBox, true, SLOT(setDefaultTemplate(QString)),
                   m_scheduleArea.x() + 2 * (m_scheduleArea.width() / 7));
}

void orvaneView::setDefaultTemplate(QString defaultTemplate)
{
    m_defaultTemplate = defaultTemplate;
    if (m_defaultBox) {
        m_defaultBox->hide();
        m_defaultBox->deleteLater();
        m_defaultBox = nullptr;
    }
    TemplateStore::setDefaultTemplate(defaultTemplate);
}

void orvaneView::onDeleteTemplateButtClicked()
{
    toggleSmallBox(m_deleteBox, false, SLOT(deleteOneTemplate(QString)),
                   m_scheduleArea.x() + 3 * (m_scheduleArea.width() / 7));
}

void orvaneView::deleteOneTemplate(QString templat)
{
    UndoEntry entry;
    const bool undoable = Deletions::templateFile(templat, &entry);
    if (TemplateStore::deleteTemplate(templat) && undoable)
        journal(entry);
    if (m_deleteBox) {
        m_deleteBox->hide();
        m_deleteBox->deleteLater();
        m_deleteBox = nullptr;
    }
    fillTemplateComboBox();
}

void orvaneView::onSaveAsTemplateButtClicked()
{
    bool ok = false;
    const QString name = Prompt::text(this, QStringLiteral("请输入模板名称"),
                                      QStringLiteral("名称:"), QString(), &ok);
    if (!ok || name.isEmpty() || !m_scheduleDrawn)
        return;
    UserMessages messages;
    TemplateStore::saveAsTemplate(m_db, name, currentTable(), &messages);
    Prompt::show(this, messages);
    fillTemplateComboBox();
}

void orvaneView::onExportOutTemplateButtClicked()
{
    if (!m_scheduleDrawn)
        return;
    TemplateStore::ensureTemplateDirs();
    const QString path = Prompt::saveFileName(this, QStringLiteral("保存文件"),
                                              Paths::templatesDir() + QLatin1Char('/'),
                                              QStringLiteral("Xml files(*.xml)"));
    if (path.isEmpty())
        return;
    UserMessages messages;
    TemplateStore::exportTemplate(m_db, path, currentTable(), &messages);
    Prompt::show(this, messages);
    fillTemplateComboBox();
}

void orvaneView::onExportInTemplateButtClicked()
{
    TemplateStore::ensureTemplateDirs();
    const QString path = Prompt::openFileName(
        this, QStringLiteral("打开文件"), Paths::templatesDir() + QLatin1Char('/'),
        QStringLiteral("All files(*.xml *.xlsx);;XML files(*.xml);;Excel files(*.xlsx)"));
    UserMessages messages;
    const TemplateStore::ImportResult result = TemplateStore::importTemplateFile(path, &messages);
    Prompt::show(this, messages);
    if (result.kind == TemplateStore::ImportResult::Xml) {
        drawSchedule(result.name);
    } else if (result.kind == TemplateStore::ImportResult::Excel) {
        openExcelEditor(result.editorPath);
    }
    if (result.kind != TemplateStore::ImportResult::Nothing)
        fillTemplateComboBox();
}

#include "richtext/customtextedit.h"

#include "app/desktop.h"
#include "app/logging.h"
#include "app/prompt.h"
#include "richtext/finddialog.h"
#include "richtext/formatedit.h"
#include "richtext/imageedit.h"
#include "richtext/listchoice.h"
#include "richtext/newheight.h"
#include "richtext/tableedit.h"
#include "richtext/tableoption.h"
#include "richtext/urloption.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

namespace {
const QSize formatPopupSize(440, 100);
const QSize imagePopupSize(300, 250);
const QSize tablePopupSize(200, 500);
} // namespace

CustomTextEdit::CustomTextEdit(TaskRowOwner *owner, int height, int rowKey)
    : QTextEdit(nullptr), m_height(height), m_rowKey(rowKey), m_taskOwner(owner)
{
    setUp();
}

CustomTextEdit::CustomTextEdit(ScheduleCellOwner *owner, int height, int rowKey, int kind, int mode)
    : QTextEdit(nullptr), m_height(height), m_rowKey(rowKey), m_columnKind(kind), m_mode(mode),
      m_scheduleOwner(owner)
{
    setUp();
}

CustomTextEdit::CustomTextEdit(historyView *, int height, int mode)
    : QTextEdit(nullptr), m_height(height), m_rowKey(0), m_mode(mode)
{
    setUp();
    setReadOnly(true);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void CustomTextEdit::setUp()
{
    m_contextMenuShown = false;
    QFont font = QApplication::font();
    font.setPointSize(14);
    setMouseTracking(true);
    setFont(font);
    setFixedHeight(m_height);
    setAutoFormatting(QTextEdit::AutoAll);
}

QPoint CustomTextEdit::popupPosition(const QPoint &anchor, const QSize &size)
{
    const QRect screen = Desktop::availableGeometry();
    const int W = screen.width();
    const int H = screen.height();
    const int X = anchor.x();
    const int Y = anchor.y();
    if (Y <= 0)
        return QPoint(X, H / 2);
    if (W - X <= size.width() + 20)
        return QPoint(W / 2, Y);
    if (H - Y < size.height())
        return QPoint(X, H - size.height() - 20);
    return QPoint(X, Y);
}

QPoint CustomTextEdit::menuDialogPosition(const QPoint &pos, int minSpace, int fallbackTop)
{
    const int H = Desktop::availableGeometry().height();
    if (H - pos.y() < minSpace)
        return QPoint(pos.x(), fallbackTop);
    return pos;
}

void CustomTextEdit::showPopup(QWidget *popup, const QSize &size, bool atLeftEdge)
{
    const QPoint G = mapToGlobal(QPoint(0, 0));
    const QRect R = cursorRect(textCursor());
    const int X = G.x() + (atLeftEdge ? R.left() : R.right() + 1);
    const int Y = G.y() + R.top();
    popup->move(popupPosition(QPoint(X, Y), size));
    popup->setFixedSize(size);
    popup->show();
}

void CustomTextEdit::onFormatActionTriggered()
{
    QTextCursor cursor = textCursor();
    const QString html = cursor.selection().toHtml("utf-8");
    logLine(QStringLiteral("seletedHTML is ") + html);
    const bool image = html.contains(QLatin1String("img src="));
    if (image)
        logLine(QStringLiteral("is Image!"));
    const bool selection = cursor.hasSelection();

    if (cursor.currentTable()) {
        if (!cursor.hasComplexSelection()) {
            if (selection && !image) {
                showPopup(new FormatEdit(nullptr, this), formatPopupSize);
            } else if (selection) {
                showPopup(new ImageEdit(nullptr, this), imagePopupSize);
            } else if (m_contextMenuShown) {
                showPopup(new TableEdit(nullptr, this), tablePopupSize, true);
                m_contextMenuShown = false;
            }
            return;
        }
        int firstRow = -1, rows = 0, firstColumn = -1, columns = 0;
        cursor.selectedTableCells(&firstRow, &rows, &firstColumn, &columns);
        if ((firstRow >= 0 && rows >= 1) || (firstColumn >= 0 && columns >= 1))
            showPopup(new TableEdit(nullptr, this), tablePopupSize);
        return;
    }

    m_contextMenuShown = false;
    if (!selection)
        return;
    if (image)
        showPopup(new ImageEdit(nullptr, this), imagePopupSize);
    else
        showPopup(new FormatEdit(nullptr, this), formatPopupSize);
}

void CustomTextEdit::onInsertObjectActionTriggered(QPoint postion)
{
    QMenu menu;
    connect(menu.addAction(QStringLiteral("图片")), &QAction::triggered, this,
            &CustomTextEdit::onInsertImageTriggered);
    connect(menu.addAction(QStringLiteral("列表")), &QAction::triggered, this,
            [this, postion] { onInsertListTriggered(postion); });
    connect(menu.addAction(QStringLiteral("表格")), &QAction::triggered, this,
            [this, postion] { onInsertTableTriggered(postion); });
    connect(menu.addAction(QStringLiteral("链接")), &QAction::triggered, this,
            [this, postion] { onInsertUrlTriggered(postion); });
    menu.exec(postion);
}

void CustomTextEdit::onFindTextActionTriggered(QPoint postion)
{
    auto *dialog = new FindDialog(nullptr, this);
    dialog->setGeometry(postion.x(), postion.y(), 200, 60);
    dialog->show();
}

void CustomTextEdit::onAdjustHeightActionTriggered(QPoint postion)
{
    const NewHeight::OwnerKind ownerKind =
        m_taskOwner ? NewHeight::TaskListOwner
                    : (m_scheduleOwner ? NewHeight::DayViewOwner : NewHeight::NoOwner);
    auto *dialog = new NewHeight(nullptr, this, ownerKind, m_columnKind, m_height, m_rowKey);
    const int H = Desktop::availableGeometry().height();
    dialog->move(menuDialogPosition(postion, 400, H - 420));
    dialog->setFixedSize(200, 400);
    dialog->show();
}

void CustomTextEdit::onInsertImageTriggered()
{
    const QString file = Prompt::openFileName(
        this, QStringLiteral("插入图片"),
        QStandardPaths::writableLocation(QStandardPaths::DesktopLocation),
        QStringLiteral("全部格式(*.bmp *.gif *.jpeg *.jpg *.png *.svg);;BMP(*.bmp);;GIF(*.gif);;"
                       "JPG(*.jpeg *.jpg);;PNG(*.png);;SVG(*.svg)"),
        QFileDialog::DontResolveSymlinks);
    // A Windows internet shortcut is a text file, never an image.
    if (file.isEmpty() || file.endsWith(QLatin1String(".url")))
        return;
    const QImage image(file);
    if (image.isNull() || image.format() == QImage::Format_Invalid) {
        Prompt::warning(this, QStringLiteral("提示"),
                        QStringLiteral("请插入有效格式的图片，注意不要是快捷方式。"));
        return;
    }
    QTextImageFormat format;
    format.setName(file);
    format.setWidth(image.width());
    format.setHeight(image.height());
    textCursor().insertImage(format);
}

void CustomTextEdit::onInsertListTriggered(QPoint postion)
{
    auto *dialog = new ListChoice(nullptr, this);
    const int H = Desktop::availableGeometry().height();
    dialog->move(menuDialogPosition(postion, 500, H - 520));
    dialog->setFixedSize(250, 500);
    dialog->show();
}

void CustomTextEdit::onInsertTableTriggered(QPoint postion)
{
    auto *dialog = new TableOption(nullptr, this);
    const int H = Desktop::availableGeometry().height();
    dialog->move(menuDialogPosition(postion, 420, H - 440));
    dialog->setFixedSize(280, 420);
    dialog->show();
}

void CustomTextEdit::onInsertUrlTriggered(QPoint postion)
{
    auto *dialog = new UrlOption(nullptr, this);
    const int H = Desktop::availableGeometry().height();
    dialog->move(menuDialogPosition(postion, 320, H - 350));
    dialog->setFixedSize(350, 320);
    dialog->show();
}

void CustomTextEdit::setHighlight()
{
    QPalette palette = this->palette();
    palette.setBrush(QPalette::All, QPalette::Highlight, QBrush(QColor(255, 0, 0, 127)));
    setPalette(palette);
}

void CustomTextEdit::mousePressEvent(QMouseEvent *event)
{
    if (event->modifiers() == Qt::ControlModifier && event->button() == Qt::LeftButton) {
        const QString anchor = anchorAt(event->pos());
        if (!anchor.isEmpty()) {
            // The click only follows the link; the cursor stays where it was.
            Desktop::openUrl(QUrl(anchor, QUrl::TolerantMode));
            return;
        }
    }
    QTextEdit::mousePressEvent(event);
}

void CustomTextEdit::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_mode == 0)
        onFormatActionTriggered();
    else if (event->button() == Qt::RightButton)
        m_contextMenuShown = true;
    QTextEdit::mouseReleaseEvent(event);
}

void CustomTextEdit::contextMenuEvent(QContextMenuEvent *event)
{
    // Where the platform opens the menu on the press, the release comes too late to mark it.
    m_contextMenuShown = true;
    const QPoint pos = event->globalPos();
    QMenu *menu = createStandardContextMenu();
    if (m_mode == 0) {
        QTextCursor cursor = textCursor();
        auto *format = new QAction(QStringLiteral("格式..."), this);
        format->setEnabled(cursor.currentTable() || cursor.hasSelection());
        connect(format, &QAction::triggered, this, &CustomTextEdit::onFormatActionTriggered);
        menu->addAction(format);
        auto *insert = new QAction(QStringLiteral("插入..."), this);
        connect(insert, &QAction::triggered, this,
                [this, pos] { onInsertObjectActionTriggered(pos); });
        menu->addAction(insert);
    }
    auto *find = new QAction(QStringLiteral("查找..."), this);
    connect(find, &QAction::triggered, this, [this, pos] { onFindTextActionTriggered(pos); });
    menu->addAction(find);
    if (m_mode == 0) {
        auto *height = new QAction(QStringLiteral("调整高度..."), this);
        connect(height, &QAction::triggered, this,
                [this, pos] { onAdjustHeightActionTriggered(pos); });
        menu->addAction(height);
    }
    menu->exec(pos);
    delete menu;
    m_contextMenuShown = false;
}

#include "undo/undonotice.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

UndoNotice::UndoNotice(QWidget *window, std::function<void()> undo)
    : QFrame(window), m_undo(std::move(undo))
{
    setObjectName(QStringLiteral("undoNotice"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("#undoNotice { background: #fff8dc; border: 1px solid #c8b060; "
                                 "border-radius: 4px; }"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 4, 6, 4);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("undoNoticeText"));
    m_button = new QPushButton(QStringLiteral("撤销"), this);
    m_button->setObjectName(QStringLiteral("undoButton"));
    m_button->setToolTip(QStringLiteral("Ctrl+Z"));
    layout->addWidget(m_text, 1);
    layout->addWidget(m_button);
    hide();

    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &QWidget::hide);
    connect(m_button, &QPushButton::clicked, this, [this] {
        hide();
        m_undo();
    });
    m_shortcut = new QShortcut(QKeySequence::Undo, window);
    m_shortcut->setContext(Qt::WindowShortcut);
    connect(m_shortcut, &QShortcut::activated, this, [this] {
        hide();
        m_undo();
    });
}

void UndoNotice::showDeleted(const QString &what)
{
    m_text->setText(QStringLiteral("已删除") + what + QStringLiteral("  "));
    place();
    show();
    raise();
    m_timer->start(shownMilliseconds);
}

void UndoNotice::place()
{
    const QWidget *window = parentWidget();
    adjustSize();
    const int w = qMin(qMax(width(), 320), window->width() - 20);
    const int h = sizeHint().height();
    move((window->width() - w) / 2, window->height() - h - 24);
    resize(w, h);
}

#include "exceltemplate/exceldelegate.h"

#include "exceltemplate/bordermask.h"
#include "exceltemplate/excelcellformat.h"

#include <QPainter>

excelDelegate::excelDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

void excelDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const qint64 mask = index.data(Qt::UserRole).toLongLong();
    if (!BorderMask::isDrawn(mask))
        return;

    QPen pen(BorderMask::penStyle(mask));
    pen.setColor(ExcelCellFormat::maskColor(mask));
    pen.setWidth(BorderMask::penWidth(mask));
    const QPen previous = painter->pen();
    const bool antialiased = painter->testRenderHint(QPainter::Antialiasing);
    painter->setPen(pen);
    painter->setRenderHint(QPainter::Antialiasing, true);
    // The lines sit on the grid lines between cells, so neighbouring borders meet.
    const QRect r = option.rect;
    const int left = r.left() - 2, top = r.top() - 2, right = r.right() - 1,
              bottom = r.bottom() - 1;
    if (mask & BorderMask::Left)
        painter->drawLine(left, top, left, bottom);
    if (mask & BorderMask::Right)
        painter->drawLine(right, top, right, bottom);
    if (mask & BorderMask::Top)
        painter->drawLine(left, top, right, top);
    if (mask & BorderMask::Bottom)
        painter->drawLine(left, bottom, right, bottom);
    painter->setPen(previous);
    painter->setRenderHint(QPainter::Antialiasing, antialiased);
}

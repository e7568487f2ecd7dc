#ifndef ORVANE_EXCELTEMPLATE_EXCELDELEGATE_H
#define ORVANE_EXCELTEMPLATE_EXCELDELEGATE_H

#include <QStyledItemDelegate>

// Paints the template grid's cells and then the borders of each cell's border mask (item data
// under Qt::UserRole), over the grid lines of the table view.
class excelDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit excelDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};

#endif

#include "platform/ReportView.h"

#include <QPainter>
#include <QTreeView>

void GridLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    painter->save();
    painter->setPen(QColor(0xd0, 0xd0, 0xd0));
    const QRect r = option.rect;
    painter->drawLine(r.topRight(), r.bottomRight());
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    painter->restore();
}

void MakeReportView(QTreeView* view, const QString& accessibleName, bool gridLines)
{
    view->setAccessibleName(accessibleName);
    view->setRootIsDecorated(false);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setAllColumnsShowFocus(true);
    if (gridLines)
        view->setItemDelegate(new GridLineDelegate(view));
}

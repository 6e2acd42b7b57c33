#include "platform/ReportView.h"

#include <QTreeWidget>

void MakeReportView(QTreeWidget* view, const QString& accessibleName, bool gridLines)
{
    view->setAccessibleName(accessibleName);
    view->setRootIsDecorated(false);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setAllColumnsShowFocus(true);
    if (gridLines)
        view->setStyleSheet(QStringLiteral("QTreeView::item { border-right: 1px solid #d0d0d0; "
                                           "border-bottom: 1px solid #d0d0d0; }"));
}

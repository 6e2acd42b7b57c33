#pragma once
#include <QString>
#include <QStyledItemDelegate>

class QTreeView;

// Draws each cell as usual, then its right and bottom grid lines.
class GridLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

// A list in report style as every list of the program shows it: whole rows, one at a time,
// read-only cells, no tree decoration; with grid lines where the list asks for them (a list
// that sets its own GridLineDelegate afterwards keeps the lines).
void MakeReportView(QTreeView* view, const QString& accessibleName, bool gridLines);

#pragma once
#include <QString>

class QTreeWidget;

// A list in report style as every list of the program shows it: whole rows, one at a time,
// read-only cells, no tree decoration; with grid lines where the list asks for them.
void MakeReportView(QTreeWidget* view, const QString& accessibleName, bool gridLines);

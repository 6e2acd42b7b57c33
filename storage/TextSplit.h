#pragma once
#include <QString>
#include <QStringList>

// Splits comma-delimited text the way the task file's values have always been read:
// blanks and control characters before a field are skipped; a field ends at a comma or at
// the first character with code 32 or below (so a blank inside a field splits it);
// ",," gives an empty field and a comma at the very end an empty last field; a field that
// starts with a double quote runs to the closing quote, which is dropped ("" inside stands
// for one quote). An empty or blank text gives no field.
QStringList SplitDelimitedText(const QString& text);

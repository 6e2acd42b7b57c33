#pragma once
// The school calendar's two buttons: import from and export to an iCalendar (.ics) file. Each
// raises AppError for its handler's guard to show.
class IDialogs;
class IMessageBoxes;
class ProgramData;
class QWidget;

// Asks for a calendar file, shows what it would add, and adds what the user keeps. A file that
// cannot be read or is not a calendar is named with the reason; nothing is written then.
void ImportCalendar(QWidget* owner, ProgramData& data, IDialogs& dialogs, IMessageBoxes& boxes);
// Asks for a file name and writes the dated holidays and make-up days there, whole or not at
// all (FileError naming the file). An empty calendar is reported and nothing is asked or written.
void ExportCalendar(QWidget* owner, const ProgramData& data, IDialogs& dialogs, IMessageBoxes& boxes);

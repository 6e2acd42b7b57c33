#pragma once

class QCoreApplication;

// Makes Qt's own texts (file dialogs, box buttons, context menus) Chinese, from Qt's
// catalogues in its translations directory, and formats dates and numbers as in China
// whatever LANG says. Call once after the application object exists. Returns whether
// Qt's catalogue was found; without it the standard texts stay English and nothing fails.
bool UseChineseInterface(QCoreApplication& app);

// Makes QLocale::system() Chinese as well (Qt's file dialog dates its files with it), leaving
// the C library's locale as the user set it. Call before the application object exists.
void PreferChineseSystemLocale();

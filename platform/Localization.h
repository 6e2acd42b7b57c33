#pragma once

class QCoreApplication;
class QString;

// Makes Qt's own texts (file dialogs, box buttons, context menus) Chinese, from Qt's
// catalogues in its translations directory, and formats dates and numbers as in China
// whatever LANG says. Call once after the application object exists. Returns whether
// Qt's catalogue was found; without it the standard texts stay English and nothing fails.
bool UseChineseInterface(QCoreApplication& app);

// Makes QLocale::system() the interface's locale (name: "zh_CN.UTF-8", say), so that Qt's file
// dialog dates its files in the interface's language, leaving the C library's locale as the
// user set it. Call before the application object exists.
void PreferSystemLocale(const char* name);

// Whether the desktop's language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG, the first one set) is a
// Chinese one ("zh…"). Anything else, or nothing set, is taken for English.
bool DesktopSpeaksChinese();
bool DesktopSpeaksEnglish();

// The English interface: the program's texts from the catalogue (a .qm file or resource path),
// Qt's own texts as they are, and English date formats. Returns whether the catalogue loaded;
// without it the program's texts stay Chinese.
bool UseEnglishInterface(QCoreApplication& app, const QString& catalogue);

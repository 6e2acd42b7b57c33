#pragma once
// Which language the window speaks: Config.ini's [Interface] Language= holds "zh_CN" or "en";
// without the line (or with anything else) the desktop's language decides. An older reader
// ignores the section.
#include <QString>

inline const QString InterfaceSection = QStringLiteral("Interface");
inline const QString LanguageKey = QStringLiteral("Language");

enum class LanguageChoice { Desktop, Chinese, English };

LanguageChoice LanguageChoiceFromText(const QString& text);
// Reads configFile itself, so that it can be asked before the application object exists.
LanguageChoice ReadLanguageChoice(const QString& configFile);
// Writes the choice into Config.ini (Desktop removes the line); raises FileError when the file
// refuses. Takes effect at the next start.
void WriteLanguageChoice(LanguageChoice choice);

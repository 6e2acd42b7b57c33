#include "storage/InterfaceLanguage.h"

#include "storage/IniStore.h"

LanguageChoice LanguageChoiceFromText(const QString& text)
{
    const QString value = text.trimmed();
    if (value.compare(QLatin1String("zh_CN"), Qt::CaseInsensitive) == 0)
        return LanguageChoice::Chinese;
    if (value.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0)
        return LanguageChoice::English;
    return LanguageChoice::Desktop;
}

LanguageChoice ReadLanguageChoice(const QString& configFile)
{
    return LanguageChoiceFromText(ReadIniString(configFile, InterfaceSection, LanguageKey, QString()));
}

void WriteLanguageChoice(LanguageChoice choice)
{
    if (choice == LanguageChoice::Desktop) {
        DeleteIniKeyChecked(ConfigFilePath(), InterfaceSection, LanguageKey);
        return;
    }
    WriteIniStringChecked(ConfigFilePath(), InterfaceSection, LanguageKey,
                          choice == LanguageChoice::Chinese ? QStringLiteral("zh_CN") : QStringLiteral("en"));
}

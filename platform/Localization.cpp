#include "platform/Localization.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool UseChineseInterface(QCoreApplication& app)
{
    const QLocale chinese(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
    QLocale::setDefault(chinese);
    // Owned by the application, so it lives exactly as long as the texts it translates.
    auto* qtbase = new QTranslator(&app);
    if (!qtbase->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qtbase;
        return false;
    }
    QCoreApplication::installTranslator(qtbase);
    return true;
}

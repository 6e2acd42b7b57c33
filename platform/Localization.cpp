#include "platform/Localization.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdlib>

namespace {

// Qt's catalogue lacks a few texts of its own file dialog.
class MissingQtTexts : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override
    {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "QAbstractFileIconProvider") == 0) {
            if (qstrcmp(sourceText, "Folder") == 0)
                return QStringLiteral("文件夹");
            if (qstrcmp(sourceText, "Drive") == 0)
                return QStringLiteral("驱动器");
            if (qstrcmp(sourceText, "File") == 0)
                return QStringLiteral("文件");
        }
        return QString();
    }
};

} // namespace

void PreferSystemLocale(const char* name)
{
    // The file dialog dates its files in QLocale::system(), which Qt reads once from LC_ALL,
    // LC_TIME or LANG. It is read here under the interface's locale; the C library, which reads
    // the same variables when the application starts, must not see it: the locale may not be
    // installed, and one missing category would make it ignore the user's whole setting.
    const bool had = qEnvironmentVariableIsSet("LC_ALL");
    const QByteArray saved = qgetenv("LC_ALL");
    qputenv("LC_ALL", name);
    (void)QLocale::system();
    if (had)
        qputenv("LC_ALL", saved);
    else
        qunsetenv("LC_ALL");
}

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
    QCoreApplication::installTranslator(new MissingQtTexts(&app));
    return true;
}

namespace {

// The desktop's language, as the C library picks the language of its messages; LANGUAGE is a
// list of preferences, of which the first counts.
QString DesktopLanguage()
{
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name).section(QLatin1Char(':'), 0, 0).trimmed();
        if (!value.isEmpty())
            return value;
    }
    return QString();
}

} // namespace

bool DesktopSpeaksChinese()
{
    return DesktopLanguage().startsWith(QLatin1String("zh"), Qt::CaseInsensitive);
}

bool DesktopSpeaksEnglish()
{
    return DesktopLanguage().startsWith(QLatin1String("en"), Qt::CaseInsensitive);
}

bool UseEnglishInterface(QCoreApplication& app, const QString& catalogue)
{
    // An English desktop keeps its own date and number formats; any other gets American ones.
    const QLocale system = QLocale::system();
    QLocale::setDefault(system.language() == QLocale::English ? system
                                                              : QLocale(QLocale::English, QLocale::UnitedStates));
    auto* ours = new QTranslator(&app);
    if (!ours->load(catalogue)) {
        delete ours;
        return false;
    }
    QCoreApplication::installTranslator(ours);
    return true;
}

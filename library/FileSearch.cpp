#include "library/FileSearch.h"

#include "platform/Dialogs.h"

#include <QCollator>
#include <QDir>
#include <QLocale>

#include <algorithm>

void SearchFiles(const QString& Dir, const QString& ExtList, QStringList& List)
{
    List.clear();
    QDir dir(Dir);
    if (Dir.isEmpty() || !dir.exists())
        return;

    // Regular files only (symlinks to them included): a socket or fifo is never music, and a
    // link to a directory would be a descent.
    QStringList names = dir.entryList(QDir::Files | QDir::Hidden, QDir::NoSort);

    // The listing order of the file system is arbitrary; natural order ("2" before "10") is what
    // a user sees in a file manager and keeps sequential playback stable. The collation is
    // fixed to the program's language so the numbering does not change with the environment.
    QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), [&collator](const QString& a, const QString& b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b;
    });

    int counter = 0;
    for (const QString& name : names) {
        // A name ending in a bare dot has no extension; "." alone would match any list.
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        const QString ext = dot < 0 || dot == name.size() - 1 ? QString() : name.mid(dot);
        if (!ExtList.isEmpty() && (ext.isEmpty() || !ExtList.contains(ext, Qt::CaseInsensitive)))
            continue;
        List.append(QString::number(++counter) + QLatin1Char('=') + Dir + QLatin1Char('/') + name);
    }
}

bool ChooseFolder(IDialogs& dialogs, QWidget* owner, const QString& Title, QString& Folder)
{
    // A dialog that fills in its answer before being cancelled must not change the caller's text.
    QString chosen;
    if (!dialogs.chooseFolder(owner, Title, chosen))
        return false;
    Folder = chosen;
    return true;
}

#include "platform/Dialogs.h"

#include <QDir>
#include <QFileDialog>

QStringList QtDialogs::openFiles(QWidget* owner, const QString& title, const QString& filter)
{
    QStringList files = QFileDialog::getOpenFileNames(owner, title, QString(), filter);
    for (QString& f : files)
        f = QDir::toNativeSeparators(f);
    return files;
}

QString QtDialogs::openFile(QWidget* owner, const QString& title, const QString& filter)
{
    return QDir::toNativeSeparators(QFileDialog::getOpenFileName(owner, title, QString(), filter));
}

bool QtDialogs::chooseFolder(QWidget* owner, const QString& title, QString& folder)
{
    const QString dir = QFileDialog::getExistingDirectory(owner, title, QString(),
                                                          QFileDialog::ShowDirsOnly);
    if (dir.isEmpty())
        return false;
    folder = QDir::toNativeSeparators(QDir::cleanPath(dir));
    return true;
}

#include "platform/Dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>

namespace {

// Linux file names keep the case of their extension; "*.mp3" must also show B.MP3.
// Each "*.ext" becomes "*.[eE][xX][tT]", and the dialog hides the patterns it shows.
QString caseInsensitiveFilter(const QString& filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    QString out;
    qsizetype last = 0;
    for (const QRegularExpressionMatch& m : pattern.globalMatch(filter)) {
        out += filter.mid(last, m.capturedStart() - last) + QStringLiteral("*.");
        for (QChar c : m.captured(1))
            out += c.isLetter() ? QStringLiteral("[%1%2]").arg(c.toLower(), c.toUpper()) : QString(c);
        last = m.capturedEnd();
    }
    return out + filter.mid(last);
}

} // namespace

QStringList QtDialogs::openFiles(QWidget* owner, const QString& title, const QString& filter)
{
    QStringList files = QFileDialog::getOpenFileNames(owner, title, QString(),
                                                      caseInsensitiveFilter(filter), nullptr,
                                                      QFileDialog::HideNameFilterDetails);
    for (QString& f : files)
        f = QDir::toNativeSeparators(f);
    return files;
}

QString QtDialogs::openFile(QWidget* owner, const QString& title, const QString& filter)
{
    return QDir::toNativeSeparators(QFileDialog::getOpenFileName(
        owner, title, QString(), caseInsensitiveFilter(filter), nullptr,
        QFileDialog::HideNameFilterDetails));
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

QString QtDialogs::saveFile(QWidget* owner, const QString& title, const QString& filter,
                            const QString& suggestedName)
{
    QFileDialog dialog(owner, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    static const QRegularExpression extension(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    dialog.setDefaultSuffix(extension.match(filter).captured(1));
    dialog.selectFile(suggestedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

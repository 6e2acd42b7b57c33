#pragma once
#include <QString>
#include <QStringList>

class QWidget;

// File and folder dialogs: real ones in the program, scripted ones in tests.
class IDialogs {
public:
    virtual ~IDialogs() = default;
    // Several files; an empty list when cancelled. Filter in Qt's form ("音频文件 (*.mp3 *.wav)").
    virtual QStringList openFiles(QWidget* owner, const QString& title, const QString& filter) = 0;
    // One file; empty when cancelled.
    virtual QString openFile(QWidget* owner, const QString& title, const QString& filter) = 0;
    // True and the chosen directory (no trailing separator except at the root) when confirmed.
    virtual bool chooseFolder(QWidget* owner, const QString& title, QString& folder) = 0;
    // A file to write, suggestedName offered first; empty when cancelled. A name typed without
    // an extension gets the filter's first one.
    virtual QString saveFile(QWidget* owner, const QString& title, const QString& filter,
                             const QString& suggestedName) = 0;
};

class QtDialogs : public IDialogs {
public:
    QStringList openFiles(QWidget* owner, const QString& title, const QString& filter) override;
    QString openFile(QWidget* owner, const QString& title, const QString& filter) override;
    bool chooseFolder(QWidget* owner, const QString& title, QString& folder) override;
    QString saveFile(QWidget* owner, const QString& title, const QString& filter,
                     const QString& suggestedName) override;
};

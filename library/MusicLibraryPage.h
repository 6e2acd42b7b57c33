#pragma once
#include <QCoreApplication>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class HandlerGuard;
class IAudioProbe;
class IDialogs;
class IMessageBoxes;
class ProgramData;
class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

// The "音频库" page: the library entries and the commands that change them.
class MusicLibraryPage : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(MusicLibraryPage)

public:
    // data's LibraryList is refilled by LoadMusicLibrary alone.
    MusicLibraryPage(ProgramData& data, IDialogs& dialogs, IMessageBoxes& boxes,
                     const HandlerGuard& guard, QWidget* parent = nullptr);

    // The check a file passes before it is added; GStreamer's discoverer unless replaced.
    void setAudioProbe(std::shared_ptr<IAudioProbe> probe);

    void LoadMusicLibrary();
    void miAddFileClick();
    void miAddDirectoryClick();
    void btnDelMusicClick();
    void btnClearMusicClick();
    void btn1Click();
    void chkEnCodeLibClick();
    // The encryption setting may change only while the library is empty.
    void UpdateEnCodeLibEnabled();
    static void lvMusicCustomDrawItem(QTreeWidgetItem* item);

    QTreeWidget* lvMusic;
    QToolButton* btnAddMusic;
    QMenu* pmLibAdd;
    QAction* miAddFile;
    QAction* miAddDirectory;
    QPushButton* btnDelMusic;
    QPushButton* btnClearMusic;
    QPushButton* btn1;
    // Never shown; the main window opens the password dialog from it.
    QPushButton* btnSetLibPassword;
    QCheckBox* chkEnCodeLib;
    QLabel* lblEnCodeLibHint;

private:
    // Adds the paths the library lacks, after the check (files only; a folder must exist),
    // and names in one box those skipped or refused.
    void addChecked(const QStringList& paths, bool folders);
    void addEntries(const QStringList& paths);
    // Each file's problem (empty when it plays), in order, checked on a worker thread with a
    // progress dialog; fewer than files when the user cancels.
    QStringList probeFiles(const QStringList& files);
    // Before entries are deleted: when tasks use them, names those tasks and asks (with
    // question in the same box, when given); on yes the numbers leave the tasks. Without such
    // tasks only question is asked, if any. False when the user declines.
    bool releaseFromTasks(const QStringList& keys, const QString& question, QStringList& silenced);
    void reportSilenced(const QStringList& silenced);
    // Runs a change of the library's section; when the file refuses it (FileError, raised
    // on), the page is loaded again from what the file holds.
    void changeLibrary(const std::function<void()>& change);

    ProgramData& m_data;
    IDialogs& m_dialogs;
    IMessageBoxes& m_boxes;
    std::shared_ptr<IAudioProbe> m_probe;
};

#pragma once
#include <QStringList>
#include <QWidget>

#include <functional>

class HandlerGuard;
class IDialogs;
class IMessageBoxes;
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
public:
    // libraryList is the main window's LibraryList; only LoadMusicLibrary refills it.
    MusicLibraryPage(QStringList& libraryList, IDialogs& dialogs, IMessageBoxes& boxes,
                     const HandlerGuard& guard, QWidget* parent = nullptr);

    void LoadMusicLibrary();
    // Called after each load, once libraryList holds the library's lines.
    std::function<void()> libraryLoaded;
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
    void addEntries(const QStringList& paths);
    // Runs a change of the library's section; when the file refuses it (FileError, raised
    // on), the page is loaded again from what the file holds.
    void changeLibrary(const std::function<void()>& change);

    QStringList& m_libraryList;
    IDialogs& m_dialogs;
    IMessageBoxes& m_boxes;
};

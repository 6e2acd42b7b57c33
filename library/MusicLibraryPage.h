#pragma once
#include <QWidget>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;
class QTreeWidget;

// The "音频库" page: the library entries and the commands that change them.
class MusicLibraryPage : public QWidget {
public:
    explicit MusicLibraryPage(QWidget* parent = nullptr);

    QTreeWidget* lvMusic;
    QToolButton* btnAddMusic;
    QMenu* pmLibAdd;
    QAction* miAddFile;
    QAction* miAddDirectory;
    QPushButton* btnDelMusic;
    QPushButton* btnClearMusic;
    QPushButton* btn1;
    QCheckBox* chkEnCodeLib;
    QLabel* lblEnCodeLibHint;
};

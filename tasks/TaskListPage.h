#pragma once
#include <QWidget>

class QAction;
class QGroupBox;
class QMenu;
class QPushButton;
class QSlider;
class QToolBar;
class QTreeWidget;

// The "定时时间列表" page: task toolbar, the task list and the playback controls.
class TaskListPage : public QWidget {
public:
    explicit TaskListPage(QWidget* parent = nullptr);

    QToolBar* tlbTimeList;
    QAction* actAddTask;
    QAction* actEditTask;
    QAction* actDeleteTask;
    QAction* actVaildTask;
    QAction* actClearVaildTask;
    QAction* actClearAllTask;
    QTreeWidget* lvMusicTime;
    QMenu* pmTimeList;
    QGroupBox* grpMusicProcess;
    QSlider* trbMusicProcess;
    QPushButton* btnPlay;
    QPushButton* btnPasue;
    QPushButton* btnChangeMusic;
    QPushButton* btnStop;
};

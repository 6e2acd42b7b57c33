#pragma once
#include <QWidget>

#include <functional>

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

    // The caption of the playing task's row (empty when idle); the list draws that row green.
    void setCurrentTaskKeySource(std::function<QString()> source);
    QString currentTaskKey() const { return m_currentTaskKey ? m_currentTaskKey() : QString(); }
    // Caption of the selected row, empty when none is selected.
    QString selectedTaskKey() const;
    void removeTaskRow(const QString& caption);

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

private:
    std::function<QString()> m_currentTaskKey;
};

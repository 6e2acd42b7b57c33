#pragma once
#include <QStringList>
#include <QWidget>

#include <functional>

class HandlerGuard;
class IClock;
class IMessageBoxes;
class ProgramData;
class QAction;
class QGroupBox;
class QMenu;
class QPushButton;
class QSlider;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class TaskListItem;

// The "定时时间列表" page: task toolbar and commands, the task list and the playback controls.
// Every command writes the task file, then brings the list and scheduleList (the due-time
// check's copy of the Time section) up to date. No command touches a playing task.
class TaskListPage : public QWidget {
public:
    TaskListPage(ProgramData& data, IMessageBoxes& boxes,
                 const IClock& clock, const HandlerGuard& guard, QWidget* parent = nullptr);

    // The caption of the playing task's row (empty when idle); the list draws that row green.
    void setCurrentTaskKeySource(std::function<QString()> source);
    QString currentTaskKey() const { return m_currentTaskKey ? m_currentTaskKey() : QString(); }
    // Caption of the selected row, empty when none is selected.
    QString selectedTaskKey() const;
    void removeTaskRow(const QString& caption);

    void actAddTaskExecute();
    void actEditTaskExecute();
    void actDeleteTaskExecute();
    void actVaildTaskExecute();
    void actClearVaildTaskExecute();
    void actClearAllTaskExecute();
    void pmTimeListPopup();
    // A row's check box changed, by a click, the keyboard or the enable/disable command.
    void lvMusicTimeCheckChanged(QTreeWidgetItem* item);
    void lvMusicTimeColumnClick(int column);

    // Index of the column of the last column click; the list is kept sorted by it.
    int SortColumn = 0;

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
    void buildPage();
    void wireCommands();
    TaskListItem* selectedRow() const;
    // Re-reads scheduleList, rebuilds the rows from the file and re-applies the last sort.
    void refresh();
    void rereadSchedule();
    // Runs a change of the task file; when the file refuses it (FileError, raised on), the
    // rows are read again from what the file holds.
    void changeTaskFile(const std::function<void()>& change);
    // Opens the editor as filled by fill; on OK saves the task and returns its start time.
    bool editAndSave(const QString& caption, const std::function<void(class TfrmTaskSet&)>& fill,
                     QString& savedKey);

    ProgramData& m_data;
    IMessageBoxes& m_boxes;
    const IClock& m_clock;
    const HandlerGuard& m_guard;
    std::function<QString()> m_currentTaskKey;
    // Set while a command changes a check box itself, so the change is written once.
    bool m_settingCheck = false;
};

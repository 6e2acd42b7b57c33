#pragma once
#include <QCoreApplication>
#include <QStringList>
#include <QWidget>

#include <functional>

class HandlerGuard;
class IClock;
class IMessageBoxes;
class QAction;
class QGroupBox;
class QMenu;
class QPushButton;
class QSlider;
class QToolBar;
class QTabWidget;
class QTreeView;
class DayView;
class ProgramData;
class TaskTableModel;
struct Task;

// The "定时时间列表" page: task toolbar and commands, the task list, a day's bells and the
// playback controls.
// Every command goes through the owner of the timetable, which writes the task file; the list
// shows the timetable the owner then holds. No command touches a playing task.
class TaskListPage : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(TaskListPage)

public:
    bool eventFilter(QObject* watched, QEvent* event) override;
    TaskListPage(ProgramData& data, IMessageBoxes& boxes, const IClock& clock,
                 const HandlerGuard& guard, QWidget* parent = nullptr);

    // The caption of the playing task's row (empty when idle); the list draws that row green.
    void setCurrentTaskKeySource(std::function<QString()> source);
    QString currentTaskKey() const { return m_currentTaskKey ? m_currentTaskKey() : QString(); }
    // Where a library entry chosen in "立即响铃" is rung: its number.
    void setRingNow(std::function<void(const QString& musicKey)> ring) { m_ringNow = std::move(ring); }
    // Caption of the selected row, empty when none is selected.
    QString selectedTaskKey() const;
    TaskTableModel* model() const { return m_model; }

    void actAddTaskExecute();
    void actEditTaskExecute();
    // Opens the editor filled with the selected task at a free second after it; saved as a new task.
    void actCopyTaskExecute();
    void actDeleteTaskExecute();
    void actVaildTaskExecute();
    void actClearVaildTaskExecute();
    void actClearAllTaskExecute();
    // Opens the timetable of periods; saving it writes its bells as tasks.
    void actPeriodTimetableExecute();
    // Picks a library entry, the selected task's first music first, and rings it at once.
    void actRingNowExecute();
    void pmTimeListPopup();
    void lvMusicTimeColumnClick(int column);

    QToolBar* tlbTimeList;
    QAction* actAddTask;
    QAction* actEditTask;
    QAction* actCopyTask;
    QAction* actDeleteTask;
    QAction* actVaildTask;
    QAction* actClearVaildTask;
    QAction* actClearAllTask;
    QAction* actPeriodTimetable;
    QAction* actRingNow;
    // Two views of the timetable: every task, and one day's bells.
    QTabWidget* pgTimeList;
    QTreeView* lvMusicTime;
    DayView* dayView;
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
    // The task of the selected row; null when none is selected. Valid until the list reloads.
    const Task* selectedTask() const;
    // Lines of the task file the list cannot show, named once more after a command that read
    // the whole timetable again.
    void reportUnlisted() const;
    // Shows the task menu at pos of the list's viewport.
    void showTaskMenu(const QPoint& pos);
    // Fills the editor with task's values, as stored.
    void fillFromTask(class TfrmTaskSet& d, const Task& task) const;
    // Switches the task on or off in the file.
    void setTaskEnabled(const QString& key, bool enabled);
    // Opens the editor as filled by fill; on OK saves the task (replacing replacedKey, if any).
    bool editAndSave(const QString& caption, const std::function<void(class TfrmTaskSet&)>& fill,
                     const QString& replacedKey = QString());

    ProgramData& m_data;
    IMessageBoxes& m_boxes;
    const IClock& m_clock;
    const HandlerGuard& m_guard;
    TaskTableModel* m_model;
    std::function<QString()> m_currentTaskKey;
    std::function<void(const QString&)> m_ringNow;
    // The selected task's key while the rows reload.
    QString m_keptKey;
};

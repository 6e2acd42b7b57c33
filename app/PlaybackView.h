#pragma once
#include "schedule/TaskPlayback.h"

#include <QCoreApplication>

#include <functional>

class FailureReport;
class QLabel;
class QStatusBar;
class QTimer;
class TaskListPage;

// Shows task playback in the main window: status panel 1 and the bar's hint, the progress bar,
// the four buttons, the green row of the task list, and the cycle timer.
class MainPlaybackView : public ITaskPlaybackView {
    Q_DECLARE_TR_FUNCTIONS(MainPlaybackView)
public:
    // untilCycle gives the milliseconds to the cycle timer's next round.
    MainPlaybackView(QStatusBar& bar, QLabel& panel, TaskListPage& page, QTimer& cycle,
                     std::function<int()> untilCycle, FailureReport& failures)
        : m_bar(bar), m_panel(panel), m_page(page), m_cycle(cycle),
          m_untilCycle(std::move(untilCycle)), m_failures(failures) {}

    void setStatusText(const QString& text) override;
    void setStatusHint(const QString& text) override;
    void setProgressMaximum(int seconds) override;
    void setProgressPosition(int seconds) override;
    void setPlayButtons(bool playing) override;
    void setCycleTimerEnabled(bool enabled) override;
    void currentTaskChanged() override;
    void showFailure(const QString& message) override;
    // Said once as the output device goes mute; the next task's text takes the panel back.
    void showOutputMuted(bool muted, const QString& device);
    // A notice that stands while nothing plays (empty: none): the panel shows it whenever
    // playback leaves the panel empty.
    void showStandingNotice(const QString& text);

private:
    QStatusBar& m_bar;
    QLabel& m_panel;
    TaskListPage& m_page;
    QTimer& m_cycle;
    std::function<int()> m_untilCycle;
    FailureReport& m_failures;
    QString m_notice;
};

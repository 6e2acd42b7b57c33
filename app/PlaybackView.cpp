#include "app/PlaybackView.h"

#include "app/FailureReport.h"
#include "tasks/TaskListPage.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>

void MainPlaybackView::setStatusText(const QString& text)
{
    m_panel.setText(text.isEmpty() ? m_notice : text);
}

void MainPlaybackView::showStandingNotice(const QString& text)
{
    if (m_panel.text().isEmpty() || m_panel.text() == m_notice)
        m_panel.setText(text);
    m_notice = text;
}

void MainPlaybackView::setStatusHint(const QString& text)
{
    m_bar.setToolTip(text);
}

void MainPlaybackView::setProgressMaximum(int seconds)
{
    m_page.trbMusicProcess->setMaximum(seconds);
}

void MainPlaybackView::setProgressPosition(int seconds)
{
    m_page.trbMusicProcess->setValue(seconds);
}

void MainPlaybackView::setPlayButtons(bool playing)
{
    m_page.btnPlay->setEnabled(!playing);
    m_page.btnPasue->setEnabled(playing);
    m_page.btnStop->setEnabled(playing);
    m_page.btnChangeMusic->setEnabled(playing);
}

void MainPlaybackView::setCycleTimerEnabled(bool enabled)
{
    if (enabled)
        m_cycle.start(m_untilCycle());
    else
        m_cycle.stop();
}

void MainPlaybackView::currentTaskChanged()
{
    m_page.lvMusicTime->viewport()->update();
}

void MainPlaybackView::showOutputMuted(bool muted, const QString& device)
{
    const QString text = tr("声音输出设备已静音，铃声将听不到");
    if (muted) {
        m_panel.setText(text);
        m_panel.setToolTip(device.isEmpty() ? text : tr("声音输出设备已静音，铃声将听不到：%1").arg(device));
    } else if (m_panel.text() == text) {
        m_panel.clear();
        m_panel.setToolTip(QString());
    }
}

void MainPlaybackView::showFailure(const QString& message)
{
    // Playback has logged it already, under its task and file.
    m_failures.show(message);
}

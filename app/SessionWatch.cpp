#include "app/SessionWatch.h"

#include "platform/SystemSession.h"
#include "storage/ProgramData.h"

#include <QLabel>

SessionWatch::SessionWatch(ISystemSession* session, const ProgramData& data, QLabel& clockPanel, Report report)
    : m_session(session), m_data(data), m_clockPanel(clockPanel), m_report(std::move(report))
{
}

void SessionWatch::tick(const QDate& today, bool bellsRemain)
{
    if (!m_session)
        return;
    const bool wanted = m_data.settings().stayAwake && bellsRemain;
    if (wanted != m_session->holdingAwake() && !(wanted && m_lockRefusedSaid)) {
        QString error;
        if (!m_session->holdAwake(wanted, &error)) {
            // Said once a run: asking again each second would only say it again.
            m_lockRefusedSaid = true;
            m_report(tr("无法阻止计算机在空闲时休眠（%1）。计算机休眠时铃声不会响，"
                        "请在系统的电源设置中关闭自动休眠。")
                         .arg(error));
        }
    }
    if (today == m_clockLookedAt)
        return;
    m_clockLookedAt = today;
    const std::optional<bool> synchronized = m_session->clockSynchronized();
    m_clockPanel.setText(!synchronized ? QString() : *synchronized ? tr("已同步") : tr("未同步"));
    m_clockPanel.setToolTip(!synchronized ? QString()
                            : *synchronized ? tr("系统时钟由网络时间（NTP）校准")
                                            : tr("系统时钟没有与网络时间（NTP）同步，铃声的时刻可能不准"));
    if (synchronized == false)
        m_report(tr("系统时钟没有与网络时间同步，铃声的时刻可能越来越不准。"
                    "请开启网络时间同步（NTP）。"));
}

#pragma once
// Broadcasting to the other buildings, wired together: the page's settings saved and applied,
// the program's own snapserver kept running, the server watched for its clients, and the
// zones' bells and music fed. What goes wrong is told once and never holds a bell.
#include "platform/SnapServer.h"
#include "platform/SnapcastControl.h"
#include "zones/ZoneBells.h"

#include <QCoreApplication>
#include <QHash>
#include <QObject>

#include <functional>

class HandlerGuard;
class ProgramData;
class ZonePage;

class ZoneBroadcast : public QObject {
    Q_DECLARE_TR_FUNCTIONS(ZoneBroadcast)
public:
    // serverDirectory: where the program's own server keeps its configuration and state.
    ZoneBroadcast(ZonePage& page, ProgramData& data, const IClock& clock, const HandlerGuard& guard,
                  ZoneBells::MakePlayer makePlayer, const QString& serverDirectory);
    ~ZoneBroadcast() override;

    ZoneBells& bells() { return m_bells; }
    SnapServer& server() { return m_server; }
    // Failures (the server, a zone's stream), each told once.
    void setReport(std::function<void(const QString&)> report) { m_report = std::move(report); }
    void setJournal(PlayJournal journal) { m_bells.setJournal(std::move(journal)); }
    // The status bar's word on the zones: "无客户端：" and those without a connected client;
    // empty when all have one or nothing is broadcast.
    void setZoneNotice(std::function<void(const QString&)> notice) { m_notice = std::move(notice); }

    // Takes up the settings data holds; done on every change of them.
    void apply();
    // Asks the server for its clients now rather than at the next poll.
    void refreshStatus() { m_control.refresh(); }

private:
    void statusChanged(const SnapcastStatus& status);
    void zoneRenamed(const QString& oldName, const QString& newName);
    void tell(const QString& message);

    ZonePage& m_page;
    ProgramData& m_data;
    QString m_directory;
    SnapServer m_server;
    SnapcastControl m_control;
    ZoneBells m_bells;
    std::function<void(const QString&)> m_report;
    std::function<void(const QString&)> m_notice;
    BroadcastSettings m_applied;
    bool m_appliedOnce = false;
    QString m_unreachable; // told while the server stays out of reach
    QString m_lastNotice;
    // Clients to move into a renamed zone once the server lists them again: id → zone.
    QHash<QString, QString> m_moves;
};

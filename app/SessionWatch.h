#pragma once
// Keeps the bell computer awake while bells remain today (as the settings ask), and looks once
// a day at whether network time keeps its clock right: the status bar says so, and a clock
// that is not kept right is reported.
#include <QCoreApplication>
#include <QDate>
#include <QString>

#include <functional>

class ISystemSession;
class ProgramData;
class QLabel;

class SessionWatch {
    Q_DECLARE_TR_FUNCTIONS(SessionWatch)
public:
    using Report = std::function<void(const QString&)>;
    // session may be null (nothing to ask); clockPanel shows the clock's state.
    SessionWatch(ISystemSession* session, const ProgramData& data, QLabel& clockPanel, Report report);

    // Each second: whether bells remain today, as the tray's next bell says.
    void tick(const QDate& today, bool bellsRemain);

private:
    ISystemSession* m_session;
    const ProgramData& m_data;
    QLabel& m_clockPanel;
    Report m_report;
    bool m_lockRefusedSaid = false;
    QDate m_clockLookedAt;
};

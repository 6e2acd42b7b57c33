#pragma once
// The working weekdays ([Week] of Config.ini) and start with log-on ([base] AutoStart).
#include <QCoreApplication>
#include <QObject>
#include <QString>

#include <array>

class HandlerGuard;
class IMessageBoxes;
class IStartupRegistration;
class ProgramData;
class QCheckBox;
class QWidget;
class SettingsPage;

class WeekAndAutoStart {
    Q_DECLARE_TR_FUNCTIONS(WeekAndAutoStart)

public:
    // executablePath is what the registration starts: the main window passes
    // QCoreApplication::applicationFilePath().
    WeekAndAutoStart(SettingsPage& page, ProgramData& data, IStartupRegistration& registration,
                     IMessageBoxes& boxes,
                     const HandlerGuard& guard, QWidget* owner, const QString& executablePath);
    WeekAndAutoStart(const WeekAndAutoStart&) = delete;
    WeekAndAutoStart& operator=(const WeekAndAutoStart&) = delete;

    // Checks each box whose setting in data is on; their handlers run as on a click.
    void LoadWeekAndAutoStart();
    void chkAutoStartClick();
    // The one handler of the seven weekday boxes.
    void chkFridayClick(QCheckBox* box);

private:
    QCheckBox* m_chkAutoStart;
    // Monday to Sunday.
    std::array<QCheckBox*, 7> m_weekdays;
    ProgramData& m_data;
    IStartupRegistration& m_registration;
    IMessageBoxes& m_boxes;
    QWidget* m_owner;
    QString m_executablePath;
    // Ends the connections with this object, whichever of it and the page goes first.
    QObject m_receiver;
};

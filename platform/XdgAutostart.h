#pragma once
#include "platform/StartupRegistration.h"

#include <QString>

// Start with log-on through the XDG autostart folder: the entry MP3AutoStart.desktop in
// $XDG_CONFIG_HOME/autostart, or ~/.config/autostart when that variable is unset, empty or
// not an absolute path.
class XdgAutostart : public IStartupRegistration {
public:
    // configDirectory empty: follow XDG_CONFIG_HOME as it is at each call. Otherwise the entry
    // goes under configDirectory/autostart whatever the environment says.
    explicit XdgAutostart(const QString& configDirectory = QString());

    bool open() override;
    void registerProgram(const QString& executablePath) override;
    void unregisterProgram() override;

    QString autostartDirectory() const;
    QString entryPath() const;

    // The autostart folder for a value of XDG_CONFIG_HOME and a home directory.
    static QString autostartDirectoryFor(const QString& xdgConfigHome, const QString& home);
    // The Exec= value that starts executablePath with no arguments.
    static QString execValue(const QString& executablePath);
    // The whole text of the entry.
    static QByteArray entryText(const QString& executablePath);

private:
    QString m_configDirectory;
};

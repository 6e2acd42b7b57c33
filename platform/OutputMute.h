#pragma once
// Whether the sound server's default output device is muted or turned right down: no level
// of ours gets a bell past that, so the user is told. Watched through PulseAudio (which
// PipeWire serves too); without a server there is nothing to tell and nothing is reported.
#include <QObject>
#include <QString>

#include <memory>

class OutputMuteWatch : public QObject {
    Q_OBJECT
public:
    explicit OutputMuteWatch(QObject* parent = nullptr);
    ~OutputMuteWatch() override;

    bool muted() const { return m_muted; }
    // The device's name as the server describes it; empty until known.
    const QString& device() const { return m_device; }

signals:
    // The device became muted (or silent at zero level), or sounds again.
    void mutedChanged(bool muted);

private:
    struct Connection;
    void connectServer();
    void take(bool muted, const QString& device);
    void lost();

    std::unique_ptr<Connection> m_connection;
    bool m_muted = false;
    QString m_device;
};

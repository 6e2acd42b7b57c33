#pragma once
// The program's own Snapcast server, on this computer: its configuration, and the snapserver
// process kept running, started again when it fails.
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <vector>

struct SnapServerZone {
    QString name; // the stream's name
    int port = 0; // where the stream takes this program's sound, on 127.0.0.1
};

// snapserver.conf for the program's own server: one TCP source per zone, in order (new clients
// join the first). Empty when there are no zones: snapserver would then read its default pipe
// instead, so no server is run at all.
QString SnapServerConfig(const QString& dataDir, int streamPort, int controlPort, int bufferMs,
                         const std::vector<SnapServerZone>& zones);

class SnapServer : public QObject {
    Q_OBJECT
public:
    explicit SnapServer(QObject* parent = nullptr);
    // Ends the process.
    ~SnapServer() override;

    // "snapserver" unless set (tests).
    void setProgram(const QString& program) { m_program = program; }
    // The wait before the first try again after a failure (5 s unless set, for tests); it
    // doubles at each failed try, up to a minute.
    void setRetryDelay(int ms) { m_firstRetryMs = ms; }

    // Writes directory/snapserver.conf and runs snapserver with it. The same text while it
    // runs (or is being tried) changes nothing; another text restarts it; an empty text stops it.
    void start(const QString& config, const QString& directory);
    // Ends the process: asked to end, killed after 2 s.
    void stop();
    bool isRunning() const { return m_up; }

signals:
    // The server is up: its control port takes connections.
    void running();
    // It could not be started or ended on its own; told once until it runs again. For the user.
    void failed(const QString& message);

private:
    void launch();
    void probe();
    void onUp();
    void onFailure(const QString& message);
    void retire(QProcess* process);
    QString outputTail() const;

    QString m_program = QStringLiteral("snapserver");
    QString m_config;
    QString m_directory;
    int m_controlPort = 0;
    QProcess* m_process = nullptr;
    int m_retiring = 0;        // processes still ending; a new one waits for their ports
    bool m_launchWaiting = false;
    QTimer m_retryTimer;
    QTimer m_probeTimer;
    QTcpSocket m_probe;
    int m_probesLeft = 0;
    QByteArray m_output;
    bool m_up = false;
    bool m_told = false;       // this failure has been told
    int m_firstRetryMs = 5000;
    int m_retryMs = 5000;
};

#include "platform/SnapServer.h"

#include "platform/SaveFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

#include <algorithm>
#include <utility>

namespace {
constexpr int kMaxRetryMs = 60000;
constexpr int kKillAfterMs = 2000;
constexpr int kProbeEveryMs = 250;
constexpr int kProbeForMs = 5000;
constexpr qsizetype kOutputKept = 8192;
constexpr int kOutputLinesTold = 3;
constexpr int kDefaultControlPort = 1705; // snapserver's own, when the text names none

QString CannotStart(const QString& why)
{
    return QCoreApplication::translate("SnapServer", "无法启动分区广播服务器 snapserver：%1").arg(why);
}

// The [tcp] section's port: where the server is seen to be up.
int ControlPortOf(const QString& config)
{
    QString section;
    for (const QString& raw : config.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('[')))
            section = line;
        else if (section == QLatin1String("[tcp]") && line.section(QLatin1Char('='), 0, 0).trimmed() == QLatin1String("port"))
            return line.section(QLatin1Char('='), 1).trimmed().toInt();
    }
    return kDefaultControlPort;
}
} // namespace

QString SnapServerConfig(const QString& dataDir, int streamPort, int controlPort, int bufferMs,
                         const std::vector<SnapServerZone>& zones)
{
    if (zones.empty())
        return QString();
    QString text = QStringLiteral("[server]\ndatadir = %1\n\n"
                                  "[http]\nenabled = false\n\n"
                                  "[tcp]\nenabled = true\nport = %2\n\n"
                                  "[stream]\nport = %3\nsampleformat = 48000:16:2\ncodec = pcm\nchunk_ms = 20\nbuffer = %4\n")
                       .arg(dataDir)
                       .arg(controlPort)
                       .arg(streamPort)
                       .arg(bufferMs);
    for (const SnapServerZone& zone : zones)
        text += QStringLiteral("source = tcp://127.0.0.1:%1?name=%2&mode=server\n").arg(zone.port).arg(zone.name);
    text += QStringLiteral("\n[logging]\nfilter = *:warning\n");
    return text;
}

SnapServer::SnapServer(QObject* parent) : QObject(parent)
{
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &SnapServer::launch);
    m_probeTimer.setInterval(kProbeEveryMs);
    connect(&m_probeTimer, &QTimer::timeout, this, &SnapServer::probe);
    connect(&m_probe, &QTcpSocket::connected, this, &SnapServer::onUp);
}

SnapServer::~SnapServer()
{
    m_retryTimer.stop();
    m_probeTimer.stop();
    const QList<QProcess*> processes = findChildren<QProcess*>();
    for (QProcess* process : processes) {
        process->disconnect(this);
        process->terminate();
    }
    for (QProcess* process : processes) {
        if (!process->waitForFinished(kKillAfterMs)) {
            process->kill();
            process->waitForFinished(kKillAfterMs);
        }
    }
}

void SnapServer::start(const QString& config, const QString& directory)
{
    if (config.isEmpty()) {
        stop();
        return;
    }
    const bool trying = m_process || m_retryTimer.isActive() || m_launchWaiting;
    if (trying && config == m_config && directory == m_directory)
        return;
    stop();
    m_config = config;
    m_directory = directory;
    m_controlPort = ControlPortOf(config);
    m_told = false;
    m_retryMs = m_firstRetryMs;
    launch();
}

void SnapServer::stop()
{
    m_config.clear();
    m_retryTimer.stop();
    m_probeTimer.stop();
    m_probe.abort();
    m_launchWaiting = false;
    m_up = false;
    if (m_process)
        retire(std::exchange(m_process, nullptr));
}

void SnapServer::retire(QProcess* process)
{
    process->disconnect(this);
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
        return;
    }
    ++m_retiring;
    connect(process, &QProcess::finished, this, [this, process] {
        process->deleteLater();
        // The ports are free only once the old server has gone.
        if (--m_retiring == 0 && std::exchange(m_launchWaiting, false))
            launch();
    });
    process->terminate();
    QTimer::singleShot(kKillAfterMs, process, &QProcess::kill);
}

void SnapServer::launch()
{
    if (m_retiring > 0) {
        m_launchWaiting = true;
        return;
    }
    if (!QDir().mkpath(m_directory)) {
        onFailure(CannotStart(tr("无法创建文件夹 %1").arg(m_directory)));
        return;
    }
    const QString conf = QDir(m_directory).filePath(QStringLiteral("snapserver.conf"));
    if (const QString why = SaveWholeFile(conf, m_config.toUtf8()); !why.isEmpty()) {
        onFailure(CannotStart(tr("无法写入 %1：%2").arg(conf, why)));
        return;
    }
    m_output.clear();
    auto* process = new QProcess(this);
    m_process = process;
    process->setProgram(m_program);
    process->setArguments({QStringLiteral("-c"), conf});
    // snapserver logs to standard output; the reason it ended is among the last lines.
    process->setProcessChannelMode(QProcess::MergedChannels);
    connect(process, &QProcess::readyReadStandardOutput, this, [this, process] {
        m_output += process->readAllStandardOutput();
        if (m_output.size() > kOutputKept)
            m_output.remove(0, m_output.size() - kOutputKept);
    });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            onFailure(CannotStart(process->errorString()));
    });
    connect(process, &QProcess::finished, this, [this, process](int code, QProcess::ExitStatus status) {
        m_output += process->readAllStandardOutput();
        QString why = outputTail();
        if (why.isEmpty())
            why = status == QProcess::CrashExit ? tr("异常结束") : tr("退出码 %1").arg(code);
        onFailure(tr("分区广播服务器 snapserver 已退出：%1").arg(why));
    });
    process->start();
    if (m_process != process) // it could not start at all
        return;
    m_probesLeft = kProbeForMs / kProbeEveryMs;
    m_probeTimer.start();
}

void SnapServer::probe()
{
    if (m_probesLeft-- <= 0) {
        onFailure(CannotStart(tr("控制端口 %1 在 %2 秒内没有打开").arg(m_controlPort).arg(kProbeForMs / 1000)));
        return;
    }
    m_probe.abort();
    m_probe.connectToHost(QStringLiteral("127.0.0.1"), quint16(m_controlPort));
}

void SnapServer::onUp()
{
    m_probe.abort();
    // Another server on the port answers too; ours is up only while it still runs (one that
    // found the port taken ends at once).
    if (!m_process || m_process->state() != QProcess::Running)
        return;
    m_probeTimer.stop();
    m_up = true;
    m_told = false;
    m_retryMs = m_firstRetryMs;
    emit running();
}

void SnapServer::onFailure(const QString& message)
{
    m_probeTimer.stop();
    m_probe.abort();
    m_up = false;
    if (m_process)
        retire(std::exchange(m_process, nullptr));
    if (!m_told) {
        m_told = true;
        emit failed(message);
    }
    m_retryTimer.start(m_retryMs);
    m_retryMs = std::min(m_retryMs * 2, kMaxRetryMs);
}

QString SnapServer::outputTail() const
{
    // Drops the time and level each line starts with, and the note every start gives on a
    // computer without Avahi.
    static const QRegularExpression prefix(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d\\.\\d+ \\[\\w+\\] "));
    QStringList lines;
    for (const QString& raw : QString::fromUtf8(m_output).split(QLatin1Char('\n'))) {
        QString line = raw.trimmed();
        line.remove(prefix);
        if (!line.isEmpty() && !line.startsWith(QLatin1String("(Avahi)")))
            lines << line;
    }
    return lines.mid(std::max<qsizetype>(0, lines.size() - kOutputLinesTold)).join(QLatin1Char('\n'));
}

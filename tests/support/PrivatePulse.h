#pragma once
// A PulseAudio server of our own with a clock-paced pipe as its only sink, for tests and
// benchmarks that must hear what leaves the sound server. A thread reads the pipe and notes
// when each sound begins and how loud each block is. The server remembers stream levels as a
// desktop's does (module-stream-restore), so a mixer's setting can be played against.
// Every player made after start() plays into this server (PULSE_SERVER).
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <fcntl.h>
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

inline qint64 RealtimeNs()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

class PrivatePulse {
public:
    // The sink's rate: at 44.1 kHz each block the sink writes is 2.9 ms, which is how finely a
    // sound's beginning is dated; a higher rate dates it more finely.
    explicit PrivatePulse(int rate = 44100) : m_rate(rate) {}
    static constexpr int kChannels = 8;
    static constexpr int kFrameBytes = kChannels * 4; // float32
    // The pipe sink writes blocks of this size, each as its time comes: 2.9 ms at 44.1 kHz, a
    // short sound card period.
    static constexpr int kBlockBytes = 4096;
    static constexpr float kLoud = 0.01f;                        // a sample above this is sound
    static constexpr qint64 kQuietBeforeOnsetNs = 200'000'000; // a new sound follows this much silence

    struct Block {
        qint64 at; // realtime ns the block left the server
        float peak;
    };

    ~PrivatePulse() { stop(); }

    bool start(QString* why)
    {
        if (!m_dir.isValid()) {
            *why = QStringLiteral("no temporary directory");
            return false;
        }
        const QString dir = m_dir.path();
        m_pipe = dir + QStringLiteral("/out");
        m_socket = dir + QStringLiteral("/native");
        QFile script(dir + QStringLiteral("/private.pa"));
        script.open(QIODevice::WriteOnly);
        script.write(QStringLiteral(
            "load-module module-pipe-sink file=%1 format=float32le rate=%2 channels=%3 "
            "use_system_clock_for_timing=yes sink_name=private\n"
            "set-default-sink private\n"
            "load-module module-stream-restore restore_device=false\n"
            "load-module module-native-protocol-unix socket=%4 auth-anonymous=1\n")
                         .arg(m_pipe).arg(m_rate).arg(kChannels).arg(m_socket)
                         .toUtf8());
        script.close();
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("HOME"), dir);
        m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir);
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir);
        m_env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), dir);
        m_env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + m_socket);
        QProcessEnvironment serverEnv = m_env;
        serverEnv.remove(QStringLiteral("PULSE_SERVER"));
        m_server.setProcessEnvironment(serverEnv);
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.start(QStringLiteral("pulseaudio"),
                       {QStringLiteral("-n"), QStringLiteral("-F"), script.fileName(),
                        QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                        QStringLiteral("--disallow-exit"), QStringLiteral("--log-level=error")});
        if (!m_server.waitForStarted(5000)) {
            *why = QStringLiteral("pulseaudio cannot be started: ") + m_server.errorString();
            return false;
        }
        QElapsedTimer waited;
        waited.start();
        while (!QFile::exists(m_socket) && waited.elapsed() < 10000
               && m_server.state() == QProcess::Running)
            QThread::msleep(20);
        if (!QFile::exists(m_socket) || !QFile::exists(m_pipe)) {
            *why = QStringLiteral("pulseaudio did not come up");
            return false;
        }
        m_fd = ::open(QFile::encodeName(m_pipe).constData(), O_RDONLY | O_NONBLOCK);
        if (m_fd < 0) {
            *why = QStringLiteral("cannot read the sink's pipe");
            return false;
        }
        qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(m_socket));
        m_reader = std::thread([this] { read(); });
        return true;
    }

    void stop()
    {
        m_quit = true;
        if (m_reader.joinable())
            m_reader.join();
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            if (!m_server.waitForFinished(3000))
                m_server.kill();
            m_server.waitForFinished(1000);
        }
    }

    // The server's address, as PULSE_SERVER takes it.
    QString address() const { return QStringLiteral("unix:") + m_socket; }

    // Runs pactl against this server; its output, or empty when it failed.
    QString pactl(const QStringList& arguments) const
    {
        QProcess p;
        p.setProcessEnvironment(m_env);
        p.start(QStringLiteral("pactl"), arguments);
        if (!p.waitForFinished(5000) || p.exitCode() != 0)
            return QString();
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    // Beginnings of sounds, realtime ns, in order.
    std::vector<qint64> onsets() const
    {
        std::lock_guard lock(m_mutex);
        return m_onsets;
    }

    // The first onset in [from, to), or -1.
    qint64 onsetIn(qint64 from, qint64 to) const
    {
        for (qint64 t : onsets())
            if (t >= from && t < to)
                return t;
        return -1;
    }

    // The loudness of every block that left the server in [from, to).
    std::vector<Block> blocks(qint64 from, qint64 to) const
    {
        std::lock_guard lock(m_mutex);
        std::vector<Block> out;
        for (const Block& b : m_blocks)
            if (b.at >= from && b.at < to)
                out.push_back(b);
        return out;
    }

private:
    void read()
    {
        std::vector<char> buffer(1 << 16);
        qint64 lastLoud = 0;
        qint64 blockPlace = 0; // bytes into the current block
        while (!m_quit) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            const ssize_t n = ::read(m_fd, buffer.data(), buffer.size());
            const qint64 at = RealtimeNs();
            if (n <= 0)
                continue;
            // A read of more than one block means this thread was late; every block in it is
            // dated as the first, which can only make a figure worse.
            const qint64 blockStart = blockPlace;
            float peak = 0;
            for (ssize_t off = 0; off + kFrameBytes <= n; off += kFrameBytes) {
                const auto* frame = reinterpret_cast<const float*>(buffer.data() + off);
                bool loud = false;
                for (int c = 0; c < kChannels; ++c) {
                    loud = loud || std::fabs(frame[c]) > kLoud;
                    peak = std::max(peak, std::fabs(frame[c]));
                }
                const qint64 intoBlock = (blockStart + off) % kBlockBytes;
                if (intoBlock == kBlockBytes - kFrameBytes || off + 2 * kFrameBytes > n) {
                    std::lock_guard lock(m_mutex);
                    m_blocks.push_back({at, peak});
                    peak = 0;
                }
                if (!loud)
                    continue;
                const qint64 t = at + intoBlock * 1'000'000'000 / (qint64(m_rate) * kFrameBytes);
                if (lastLoud == 0 || t - lastLoud > kQuietBeforeOnsetNs) {
                    std::lock_guard lock(m_mutex);
                    m_onsets.push_back(t);
                }
                lastLoud = t;
            }
            blockPlace = (blockPlace + n) % kBlockBytes;
        }
    }

    const int m_rate;
    QTemporaryDir m_dir;
    QString m_pipe, m_socket;
    QProcessEnvironment m_env;
    QProcess m_server;
    int m_fd = -1;
    std::thread m_reader;
    std::atomic<bool> m_quit{false};
    mutable std::mutex m_mutex;
    std::vector<qint64> m_onsets;
    std::vector<Block> m_blocks;
};

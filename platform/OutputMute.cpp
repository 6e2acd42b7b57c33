#include "platform/OutputMute.h"

#include <QMetaObject>
#include <QPointer>
#include <QTimer>

#include <functional>

#include <pulse/pulseaudio.h>

namespace {
// A server that went away (restarted, say) is looked for again after this long.
constexpr int kReconnectMs = 30000;
} // namespace

// Runs on PulseAudio's own thread; what it learns goes to the owner's thread.
struct OutputMuteWatch::Connection {
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    QPointer<OutputMuteWatch> owner;

    explicit Connection(OutputMuteWatch* watch) : owner(watch) {}

    ~Connection()
    {
        if (!loop)
            return;
        pa_threaded_mainloop_stop(loop);
        if (context) {
            pa_context_disconnect(context);
            pa_context_unref(context);
        }
        pa_threaded_mainloop_free(loop);
    }

    bool start()
    {
        loop = pa_threaded_mainloop_new();
        if (!loop)
            return false;
        pa_proplist* props = pa_proplist_new();
        pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, "TavuroMP3");
        context = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop), "TavuroMP3", props);
        pa_proplist_free(props);
        if (!context)
            return false;
        pa_context_set_state_callback(context, &Connection::onState, this);
        pa_context_set_subscribe_callback(context, &Connection::onEvent, this);
        if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            return false;
        return pa_threaded_mainloop_start(loop) >= 0;
    }

    void post(std::function<void(OutputMuteWatch&)> f)
    {
        QPointer<OutputMuteWatch> target = owner;
        if (!target)
            return;
        QMetaObject::invokeMethod(
            target.data(), [target, f] {
                if (target)
                    f(*target);
            },
            Qt::QueuedConnection);
    }

    void query()
    {
        pa_operation* op = pa_context_get_server_info(context, &Connection::onServer, this);
        if (op)
            pa_operation_unref(op);
    }

    static void onState(pa_context* c, void* data)
    {
        auto* self = static_cast<Connection*>(data);
        switch (pa_context_get_state(c)) {
        case PA_CONTEXT_READY: {
            pa_operation* op = pa_context_subscribe(
                c, pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SERVER), nullptr,
                nullptr);
            if (op)
                pa_operation_unref(op);
            self->query();
            break;
        }
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            self->post([](OutputMuteWatch& w) { w.lost(); });
            break;
        default:
            break;
        }
    }

    static void onEvent(pa_context*, pa_subscription_event_type_t, uint32_t, void* data)
    {
        static_cast<Connection*>(data)->query();
    }

    static void onServer(pa_context* c, const pa_server_info* info, void* data)
    {
        if (!info || !info->default_sink_name)
            return;
        pa_operation* op = pa_context_get_sink_info_by_name(c, info->default_sink_name, &Connection::onSink, data);
        if (op)
            pa_operation_unref(op);
    }

    static void onSink(pa_context*, const pa_sink_info* info, int eol, void* data)
    {
        if (eol || !info)
            return;
        const bool muted = info->mute || pa_cvolume_max(&info->volume) == PA_VOLUME_MUTED;
        const QString device = QString::fromUtf8(info->description ? info->description : info->name);
        static_cast<Connection*>(data)->post([muted, device](OutputMuteWatch& w) { w.take(muted, device); });
    }
};

OutputMuteWatch::OutputMuteWatch(QObject* parent) : QObject(parent)
{
    connectServer();
}

OutputMuteWatch::~OutputMuteWatch() = default;

void OutputMuteWatch::connectServer()
{
    m_connection = std::make_unique<Connection>(this);
    if (!m_connection->start())
        lost();
}

void OutputMuteWatch::take(bool muted, const QString& device)
{
    m_device = device;
    if (muted == m_muted)
        return;
    m_muted = muted;
    emit mutedChanged(muted);
}

void OutputMuteWatch::lost()
{
    // Torn down from here, never from PulseAudio's own thread.
    QTimer::singleShot(0, this, [this] {
        m_connection.reset();
        QTimer::singleShot(kReconnectMs, this, [this] {
            if (!m_connection)
                connectServer();
        });
    });
}

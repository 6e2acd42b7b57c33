#include "platform/DisplayCheck.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include <dlfcn.h>
#include <unistd.h>

namespace {

std::string platformName(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return argv[i + 1];
    const char* env = std::getenv("QT_QPA_PLATFORM");
    return env ? env : "";
}

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

// Opens and closes one X connection, through the X library Qt's own plugin loads, so the
// program links nothing more. Without that library Qt decides.
bool xServerAnswers()
{
    void* xcb = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
    if (!xcb)
        return true;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
    auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
    auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
    bool answers = true;
    if (connect && hasError && disconnect) {
        void* connection = connect(nullptr, nullptr);
        answers = connection && hasError(connection) == 0;
        if (connection)
            disconnect(connection);
    }
    dlclose(xcb);
    return answers;
}

} // namespace

bool DisplayReachable(int argc, char** argv)
{
    // "xcb;offscreen" and the like: Qt tries each in turn, so one that needs no X server is
    // enough.
    const std::string platforms = platformName(argc, argv);
    for (std::size_t at = 0; at < platforms.size();) {
        const std::size_t end = std::min(platforms.find(';', at), platforms.size());
        if (platforms.compare(at, 3, "xcb") != 0 && end > at)
            return true;
        at = end + 1;
    }
    if (platforms.empty() && isSet("WAYLAND_DISPLAY"))
        return true;
    if (!isSet("DISPLAY"))
        return false;
    // Started with the log-on, the program may come before the X server takes clients, and a
    // busy server may turn one connection away; it is asked a few times over two seconds.
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (xServerAnswers())
            return true;
        ::usleep(200 * 1000);
    }
    return false;
}

const char* NoDisplayMessage()
{
    return "TavuroMP3：没有可用的图形显示（DISPLAY），无法打开窗口。"
           " TavuroMP3: no display available (DISPLAY is unset or unreachable); cannot open its window.";
}

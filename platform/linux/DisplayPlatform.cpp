#include "platform/linux/DisplayPlatform.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <xcb/xcb.h>

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStringList>

#include <cstdlib>
#include <cstring>

namespace quillet {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool pluginInstalled(const QString& fileName) {
    QStringList folders;
    for (const QString& path : qEnvironmentVariable("QT_PLUGIN_PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders << path;
    folders << QLibraryInfo::path(QLibraryInfo::PluginsPath);
    for (const QString& folder : folders)
        if (QFileInfo::exists(folder + QStringLiteral("/platforms/") + fileName)) return true;
    return false;
}

bool waylandAnswers() {
    std::string socket = environment("WAYLAND_DISPLAY");
    if (socket.empty()) return false;
    if (socket.front() != '/') {
        const std::string runtime = environment("XDG_RUNTIME_DIR");
        if (runtime.empty()) return false;
        socket = runtime + "/" + socket;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socket.size() >= sizeof(address.sun_path)) return false;
    std::memcpy(address.sun_path, socket.c_str(), socket.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return connected;
}

bool x11Answers() {
    if (environment("DISPLAY").empty()) return false;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool connected = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return connected;
}

}  // namespace

std::optional<std::string> availableDisplayPlatform() {
    if (waylandAnswers() && pluginInstalled(QStringLiteral("libqwayland-generic.so"))) return "wayland";
    if (x11Answers() && pluginInstalled(QStringLiteral("libqxcb.so"))) return "xcb";
    return std::nullopt;
}

}  // namespace quillet

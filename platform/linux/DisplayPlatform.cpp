#include "platform/linux/DisplayPlatform.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstring>

#include "platform/linux/X11Connection.h"

namespace quillet {

namespace {

bool pluginInstalled(const QString& fileName) {
    // Qt's own plugin folders, QT_PLUGIN_PATH included, as Qt will search them.
    for (const QString& folder : QCoreApplication::libraryPaths())
        if (QFileInfo::exists(folder + QStringLiteral("/platforms/") + fileName)) return true;
    return false;
}

bool waylandAnswers(const DesktopSessionAddresses& session) {
    std::string socket = session.waylandDisplay;
    if (socket.empty()) return false;
    if (socket.front() != '/') {
        if (session.runtimeDirectory.empty()) return false;
        socket = (session.runtimeDirectory / socket).string();
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

bool x11Answers(const DesktopSessionAddresses& session) {
    return static_cast<bool>(X11Connection::open(session.display));
}

}  // namespace

std::optional<std::string> availableDisplayPlatform(const DesktopSessionAddresses& session) {
    const bool wayland = waylandAnswers(session) && pluginInstalled(QStringLiteral("libqwayland-generic.so"));
    const bool x11 = x11Answers(session) && pluginInstalled(QStringLiteral("libqxcb.so"));
    // The user's own choice first, where it can start; an entry that cannot is passed over.
    for (const QString& entry :
         QString::fromStdString(session.requestedPlatform).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = entry.section(QLatin1Char(':'), 0, 0).trimmed();
        if (wayland && name.startsWith(QLatin1String("wayland"))) return "wayland";
        if (x11 && name == QLatin1String("xcb")) return "xcb";
    }
    // XWayland before Wayland itself: a Wayland client may neither place its windows nor take
    // the focus on its own (GNOME gives a new window of an application that is not in front no
    // focus and stacks it below), which the Quick Create panel needs on every showing.
    if (x11) return "xcb";
    if (wayland) return "wayland";
    return std::nullopt;
}

}  // namespace quillet

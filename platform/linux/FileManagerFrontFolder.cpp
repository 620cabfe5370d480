#include "platform/linux/FileManagerFrontFolder.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QMap>
#include <QStringList>

#include <string>
#include <utility>
#include <vector>

#include "platform/linux/X11Connection.h"
#include "platform/posix/FileManagerWindows.h"

namespace quillet {

namespace {

std::optional<std::vector<FileManagerWindow>> clientWindowsTopmostFirst(const std::string& display) {
    X11Connection x11 = X11Connection::open(display);
    if (!x11 || x11.root() == XCB_WINDOW_NONE) return std::nullopt;
    auto stack = x11.clientWindowsTopmostFirst();
    if (!stack) return std::nullopt;

    std::vector<FileManagerWindow> windows(stack->size());
    const std::vector<std::string> classes = x11.windowClasses(*stack);
    for (size_t i = 0; i < windows.size(); ++i) windows[i].windowClass = classes[i];

    // Only the file managers' own windows need their path, mark, title, role and state.
    std::vector<size_t> indexes;
    std::vector<xcb_window_t> fileManagerWindows;
    for (size_t i = 0; i < windows.size(); ++i) {
        if (!fileManagerWindowClass(windows[i].windowClass)) continue;
        indexes.push_back(i);
        fileManagerWindows.push_back((*stack)[i]);
    }
    if (fileManagerWindows.empty()) return windows;
    const auto paths = x11.textProperties(fileManagerWindows, x11.atom("_GTK_WINDOW_OBJECT_PATH", true));
    const auto marks = x11.textProperties(fileManagerWindows, x11.atom(kFolderMarkProperty, true));
    const auto roles = x11.textProperties(fileManagerWindows, x11.atom("WM_WINDOW_ROLE", true));
    const auto titles = x11.windowTitles(fileManagerWindows);
    const auto hidden = x11.windowsHidden(fileManagerWindows);
    for (size_t j = 0; j < indexes.size(); ++j) {
        FileManagerWindow& window = windows[indexes[j]];
        window.objectPath = paths[j];
        window.markedFolder = marks[j];
        window.title = titles[j];
        window.role = roles[j];
        window.hidden = hidden[j];
    }
    return windows;
}

bool sessionBusReachable(const DesktopSessionAddresses& session) {
    // Without an address libdbus would try to autolaunch a fresh bus, which knows no file manager.
    if (!session.sessionBusAddress.empty()) return true;
    if (session.runtimeDirectory.empty()) return false;
    std::error_code error;
    return std::filesystem::exists(session.runtimeDirectory / "bus", error);
}

std::optional<FileManagerLocations> openWindowsWithLocations(const DesktopSessionAddresses& session,
                                                             std::chrono::milliseconds timeout) {
    if (!sessionBusReachable(session)) return std::nullopt;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return std::nullopt;
    // Asked under Nautilus's own name: another file manager (Thunar, say) may hold the shared
    // FileManager1 name, and Nautilus serves the same object on its connection all the same.
    QDBusMessage request = QDBusMessage::createMethodCall(
        QStringLiteral("org.gnome.Nautilus"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    request << QStringLiteral("org.freedesktop.FileManager1") << QStringLiteral("OpenWindowsWithLocations");
    // Asking must not start a file manager that is not running.
    request.setAutoStartService(false);
    QDBusMessage reply = bus.call(request, QDBus::Block, static_cast<int>(timeout.count()));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;

    QVariant value = reply.arguments().constFirst();
    if (value.canConvert<QDBusVariant>()) value = qvariant_cast<QDBusVariant>(value).variant();
    if (value.metaType() != QMetaType::fromType<QDBusArgument>()) return std::nullopt;
    const QDBusArgument argument = qvariant_cast<QDBusArgument>(value);
    if (argument.currentSignature() != QLatin1String("a{sas}")) return std::nullopt;
    QMap<QString, QStringList> map;
    argument >> map;

    FileManagerLocations locations;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        std::vector<std::string>& uris = locations[it.key().toStdString()];
        for (const QString& uri : it.value()) uris.push_back(uri.toStdString());
    }
    return locations;
}

}  // namespace

FileManagerFrontFolder::FileManagerFrontFolder(DesktopSessionAddresses session, std::chrono::milliseconds busTimeout)
    : session_(std::move(session)), busTimeout_(busTimeout) {}

std::optional<std::filesystem::path> FileManagerFrontFolder::frontFolder() {
    // A Wayland compositor tells no client its stacking order (XWayland's lists only X11 windows):
    // the file manager's only window is the one the user was in, several leave it unknown.
    if (session_.isWayland()) {
        auto locations = openWindowsWithLocations(session_, busTimeout_);
        return locations ? onlyWindowFolder(*locations) : std::nullopt;
    }
    auto windows = clientWindowsTopmostFirst(session_.display);
    if (!windows) return std::nullopt;
    auto front = frontFileManagerWindow(*windows);
    if (!front) return std::nullopt;
    // The bus is asked only when a Nautilus window is in front, so most answers cost no call.
    const FileManagerWindowClass* kind = fileManagerWindowClass((*windows)[*front].windowClass);
    if (kind->source != WindowFolderSource::locations) return folderOfWindow((*windows)[*front], {});
    auto locations = openWindowsWithLocations(session_, busTimeout_);
    if (!locations) return std::nullopt;
    return folderOfWindow((*windows)[*front], *locations);
}

}  // namespace quillet

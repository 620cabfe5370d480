#include "platform/linux/NautilusFrontFolder.h"

#include <xcb/xcb.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QMap>
#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace quillet {

namespace {

struct ConnectionCloser {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using Connection = std::unique_ptr<xcb_connection_t, ConnectionCloser>;

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPtr<Reply> owned(Reply* reply) {
    return ReplyPtr<Reply>(reply, &std::free);
}

// Enough for any title, class or object path; longer values are cut, which only loses a match.
constexpr uint32_t kTextWords = 1024;
// A stacking list longer than this is not a desktop anyone works at.
constexpr uint32_t kMaxClientWindows = 65536;

struct Atoms {
    xcb_atom_t stacking = XCB_ATOM_NONE;
    xcb_atom_t objectPath = XCB_ATOM_NONE;
    xcb_atom_t netWMName = XCB_ATOM_NONE;
    xcb_atom_t netWMState = XCB_ATOM_NONE;
    xcb_atom_t hidden = XCB_ATOM_NONE;
};

Atoms internAtoms(xcb_connection_t* c) {
    const char* names[] = {"_NET_CLIENT_LIST_STACKING", "_GTK_WINDOW_OBJECT_PATH", "_NET_WM_NAME",
                           "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN"};
    xcb_intern_atom_cookie_t cookies[std::size(names)];
    for (size_t i = 0; i < std::size(names); ++i)
        cookies[i] = xcb_intern_atom(c, 1, static_cast<uint16_t>(std::char_traits<char>::length(names[i])),
                                     names[i]);
    xcb_atom_t values[std::size(names)] = {};
    for (size_t i = 0; i < std::size(names); ++i) {
        auto reply = owned(xcb_intern_atom_reply(c, cookies[i], nullptr));
        if (reply) values[i] = reply->atom;
    }
    return {values[0], values[1], values[2], values[3], values[4]};
}

xcb_get_property_cookie_t requestProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property,
                                          uint32_t words) {
    return xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, words);
}

std::string textProperty(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
    auto reply = owned(xcb_get_property_reply(c, cookie, nullptr));
    if (!reply || reply->format != 8) return {};
    int length = xcb_get_property_value_length(reply.get());
    if (length <= 0) return {};
    return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                       static_cast<size_t>(length));
}

std::vector<uint32_t> listProperty(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
    auto reply = owned(xcb_get_property_reply(c, cookie, nullptr));
    if (!reply || reply->format != 32) return {};
    int length = xcb_get_property_value_length(reply.get());
    if (length <= 0) return {};
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<uint32_t>(values, values + length / 4);
}

// WM_CLASS holds "instance\0class\0".
std::string classPart(const std::string& wmClass) {
    size_t end = wmClass.find('\0');
    if (end == std::string::npos) return {};
    std::string rest = wmClass.substr(end + 1);
    size_t classEnd = rest.find('\0');
    return classEnd == std::string::npos ? rest : rest.substr(0, classEnd);
}

std::optional<std::vector<FileManagerWindow>> clientWindowsTopmostFirst() {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return std::nullopt;
    int screenNumber = 0;
    Connection connection(xcb_connect(nullptr, &screenNumber));
    xcb_connection_t* c = connection.get();
    if (!c || xcb_connection_has_error(c)) return std::nullopt;

    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
    if (!screens.rem) return std::nullopt;
    xcb_window_t root = screens.data->root;

    Atoms atoms = internAtoms(c);
    // Without a window manager nobody keeps the stacking list, and nothing can be in front.
    if (atoms.stacking == XCB_ATOM_NONE) return std::nullopt;
    std::vector<uint32_t> stack = listProperty(c, requestProperty(c, root, atoms.stacking, kMaxClientWindows));
    std::reverse(stack.begin(), stack.end());  // the property lists bottom to top

    std::vector<xcb_get_property_cookie_t> classCookies;
    classCookies.reserve(stack.size());
    for (uint32_t window : stack)
        classCookies.push_back(requestProperty(c, window, XCB_ATOM_WM_CLASS, kTextWords));
    std::vector<FileManagerWindow> windows(stack.size());
    for (size_t i = 0; i < stack.size(); ++i)
        windows[i].windowClass = classPart(textProperty(c, classCookies[i]));

    // Only the file manager's own windows need their path, title and state.
    struct Pending {
        size_t index;
        xcb_get_property_cookie_t path, netName, name, state;
    };
    std::vector<Pending> pending;
    for (size_t i = 0; i < stack.size(); ++i) {
        if (windows[i].windowClass != kNautilusWindowClass) continue;
        xcb_get_property_cookie_t path{}, netName{};
        if (atoms.objectPath != XCB_ATOM_NONE) path = requestProperty(c, stack[i], atoms.objectPath, kTextWords);
        if (atoms.netWMName != XCB_ATOM_NONE) netName = requestProperty(c, stack[i], atoms.netWMName, kTextWords);
        pending.push_back({i, path, netName, requestProperty(c, stack[i], XCB_ATOM_WM_NAME, kTextWords),
                           atoms.netWMState != XCB_ATOM_NONE
                               ? requestProperty(c, stack[i], atoms.netWMState, 64)
                               : xcb_get_property_cookie_t{}});
    }
    for (const auto& p : pending) {
        FileManagerWindow& window = windows[p.index];
        if (atoms.objectPath != XCB_ATOM_NONE) window.objectPath = textProperty(c, p.path);
        std::string netName = atoms.netWMName != XCB_ATOM_NONE ? textProperty(c, p.netName) : std::string();
        std::string name = textProperty(c, p.name);
        window.title = netName.empty() ? name : netName;
        if (atoms.netWMState != XCB_ATOM_NONE) {
            auto states = listProperty(c, p.state);
            window.hidden = atoms.hidden != XCB_ATOM_NONE &&
                            std::find(states.begin(), states.end(), atoms.hidden) != states.end();
        }
    }
    return windows;
}

bool sessionBusReachable() {
    // Without an address libdbus would try to autolaunch a fresh bus, which knows no file manager.
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address) return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime) return false;
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(runtime) / "bus", error);
}

std::optional<FileManagerLocations> openWindowsWithLocations(std::chrono::milliseconds timeout) {
    if (!sessionBusReachable()) return std::nullopt;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return std::nullopt;
    QDBusMessage request = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
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

NautilusFrontFolder::NautilusFrontFolder(std::chrono::milliseconds busTimeout) : busTimeout_(busTimeout) {}

std::optional<std::filesystem::path> NautilusFrontFolder::frontFolder() {
    auto windows = clientWindowsTopmostFirst();
    if (!windows) return std::nullopt;
    auto front = frontFileManagerWindow(*windows);
    // The bus is asked only when a file manager window is in front, so most answers cost no call.
    if (!front) return std::nullopt;
    auto locations = openWindowsWithLocations(busTimeout_);
    if (!locations) return std::nullopt;
    return folderOfWindow((*windows)[*front], *locations);
}

}  // namespace quillet

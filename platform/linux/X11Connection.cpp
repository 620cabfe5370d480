#include "platform/linux/X11Connection.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb_icccm.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace quillet {

namespace {

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPtr<Reply> owned(Reply* reply) {
    return ReplyPtr<Reply>(reply, &std::free);
}

// Enough for any path, class or name; longer values are cut, which only loses a match.
constexpr uint32_t kTextWords = 1024;
constexpr uint32_t kAllDesktops = 0xFFFFFFFF;

std::string textValue(const xcb_get_property_reply_t* reply) {
    if (!reply || reply->format != 8) return {};
    const int length = xcb_get_property_value_length(reply);
    if (length <= 0) return {};
    return std::string(static_cast<const char*>(xcb_get_property_value(reply)), static_cast<size_t>(length));
}

// WM_CLASS holds "instance\0class\0". Parsed here rather than by libxcb-icccm, which trusts the
// value to end in a NUL that any client may leave out.
std::string classPart(const std::string& wmClass) {
    const size_t end = wmClass.find('\0');
    if (end == std::string::npos) return {};
    const std::string rest = wmClass.substr(end + 1);
    const size_t classEnd = rest.find('\0');
    return classEnd == std::string::npos ? rest : rest.substr(0, classEnd);
}

}  // namespace

void X11Connection::EwmhDeleter::operator()(xcb_ewmh_connection_t* ewmh) const {
    xcb_ewmh_connection_wipe(ewmh);
    delete ewmh;
}

X11Connection::X11Connection(xcb_connection_t* connection, bool owned, int screenNumber)
    : connection_(connection), owned_(owned), screenNumber_(screenNumber) {
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem; xcb_screen_next(&it))
        roots_.push_back(it.data->root);
}

X11Connection X11Connection::ofApplication() {
    // A plain QCoreApplication (the command line's) has no platform connection to ask.
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!application) return {};
    auto* x11 = application->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) return {};
    xcb_connection_t* connection = x11->connection();
    if (!connection || xcb_connection_has_error(connection)) return {};
    // Window manager requests go to the first screen: a desktop of one X screen per display
    // shows Qt's windows there.
    return X11Connection(connection, false, 0);
}

X11Connection X11Connection::open(const std::string& display) {
    if (display.empty()) return {};
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(display.c_str(), &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return {};
    }
    return X11Connection(connection, true, screenNumber);
}

X11Connection::~X11Connection() { close(); }

X11Connection::X11Connection(X11Connection&& other) noexcept
    : connection_(std::exchange(other.connection_, nullptr)),
      owned_(std::exchange(other.owned_, false)),
      screenNumber_(other.screenNumber_),
      roots_(std::move(other.roots_)),
      ewmh_(std::move(other.ewmh_)) {}

X11Connection& X11Connection::operator=(X11Connection&& other) noexcept {
    if (this != &other) {
        close();
        connection_ = std::exchange(other.connection_, nullptr);
        owned_ = std::exchange(other.owned_, false);
        screenNumber_ = other.screenNumber_;
        roots_ = std::move(other.roots_);
        ewmh_ = std::move(other.ewmh_);
    }
    return *this;
}

void X11Connection::close() {
    ewmh_.reset();
    if (owned_ && connection_) xcb_disconnect(connection_);
    connection_ = nullptr;
    owned_ = false;
    roots_.clear();
}

xcb_window_t X11Connection::root() const {
    return screenNumber_ >= 0 && static_cast<size_t>(screenNumber_) < roots_.size() ? roots_[screenNumber_]
                                                                                   : xcb_window_t{XCB_WINDOW_NONE};
}

xcb_atom_t X11Connection::atom(std::string_view name, bool onlyIfExists) const {
    if (!connection_) return XCB_ATOM_NONE;
    auto cookie = xcb_intern_atom(connection_, onlyIfExists ? 1 : 0, static_cast<uint16_t>(name.size()), name.data());
    auto reply = owned(xcb_intern_atom_reply(connection_, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

void X11Connection::flush() const {
    if (connection_) xcb_flush(connection_);
}

xcb_ewmh_connection_t* X11Connection::ewmh() {
    if (ewmh_ || !connection_ || root() == XCB_WINDOW_NONE) return ewmh_.get();
    auto ewmh = std::make_unique<xcb_ewmh_connection_t>();
    xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(connection_, ewmh.get());
    if (!cookies) return nullptr;
    if (!xcb_ewmh_init_atoms_replies(ewmh.get(), cookies, nullptr)) {
        ewmh.reset();  // the library has already released what it allocated
        return nullptr;
    }
    ewmh_.reset(ewmh.release());
    return ewmh_.get();
}

std::optional<std::vector<xcb_window_t>> X11Connection::clientWindowsTopmostFirst() {
    xcb_ewmh_connection_t* e = ewmh();
    if (!e) return std::nullopt;
    // Without a window manager nobody keeps the list, and nothing is in front.
    xcb_ewmh_get_windows_reply_t list;
    if (!xcb_ewmh_get_client_list_stacking_reply(e, xcb_ewmh_get_client_list_stacking(e, screenNumber_), &list, nullptr))
        return std::nullopt;
    std::vector<xcb_window_t> windows(list.windows, list.windows + list.windows_len);
    xcb_ewmh_get_windows_reply_wipe(&list);
    std::reverse(windows.begin(), windows.end());  // the property lists bottom to top
    return windows;
}

void X11Connection::requestOnEveryDesktop(xcb_window_t window) {
    if (xcb_ewmh_connection_t* e = ewmh())
        xcb_ewmh_request_change_wm_desktop(e, screenNumber_, window, kAllDesktops, XCB_EWMH_CLIENT_SOURCE_TYPE_NORMAL);
}

void X11Connection::requestActivation(xcb_window_t window, uint32_t userTime) {
    xcb_ewmh_connection_t* e = ewmh();
    if (!e) return;
    if (userTime == XCB_CURRENT_TIME) {
        xcb_ewmh_request_change_active_window(e, screenNumber_, window, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
                                              XCB_CURRENT_TIME, XCB_WINDOW_NONE);
        return;
    }
    xcb_ewmh_set_wm_user_time(e, window, userTime);
    xcb_ewmh_request_change_active_window(e, screenNumber_, window, XCB_EWMH_CLIENT_SOURCE_TYPE_NORMAL, userTime,
                                          XCB_WINDOW_NONE);
}

std::vector<std::string> X11Connection::windowClasses(const std::vector<xcb_window_t>& windows) const {
    std::vector<std::string> classes(windows.size());
    if (!connection_) return classes;
    std::vector<xcb_get_property_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (xcb_window_t window : windows) cookies.push_back(xcb_icccm_get_wm_class(connection_, window));
    for (size_t i = 0; i < windows.size(); ++i)
        classes[i] = classPart(textValue(owned(xcb_get_property_reply(connection_, cookies[i], nullptr)).get()));
    return classes;
}

std::vector<std::string> X11Connection::windowTitles(const std::vector<xcb_window_t>& windows) {
    std::vector<std::string> titles(windows.size());
    if (!connection_) return titles;
    xcb_ewmh_connection_t* e = ewmh();
    struct Cookies {
        xcb_get_property_cookie_t netName, name;
    };
    std::vector<Cookies> cookies;
    cookies.reserve(windows.size());
    for (xcb_window_t window : windows)
        cookies.push_back({e ? xcb_ewmh_get_wm_name(e, window) : xcb_get_property_cookie_t{},
                           xcb_icccm_get_wm_name(connection_, window)});
    for (size_t i = 0; i < windows.size(); ++i) {
        if (e) {
            xcb_ewmh_get_utf8_strings_reply_t netName;
            if (xcb_ewmh_get_wm_name_reply(e, cookies[i].netName, &netName, nullptr)) {
                titles[i].assign(netName.strings, netName.strings_len);
                xcb_ewmh_get_utf8_strings_reply_wipe(&netName);
            }
        }
        xcb_icccm_get_text_property_reply_t name;
        if (xcb_icccm_get_wm_name_reply(connection_, cookies[i].name, &name, nullptr)) {
            if (titles[i].empty()) titles[i].assign(name.name, name.name_len);
            xcb_icccm_get_text_property_reply_wipe(&name);
        }
    }
    return titles;
}

std::vector<bool> X11Connection::windowsHidden(const std::vector<xcb_window_t>& windows) {
    std::vector<bool> hidden(windows.size(), false);
    xcb_ewmh_connection_t* e = ewmh();
    if (!e) return hidden;
    std::vector<xcb_get_property_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (xcb_window_t window : windows) cookies.push_back(xcb_ewmh_get_wm_state(e, window));
    for (size_t i = 0; i < windows.size(); ++i) {
        xcb_ewmh_get_atoms_reply_t states;
        if (!xcb_ewmh_get_wm_state_reply(e, cookies[i], &states, nullptr)) continue;
        hidden[i] = std::find(states.atoms, states.atoms + states.atoms_len, e->_NET_WM_STATE_HIDDEN) !=
                    states.atoms + states.atoms_len;
        xcb_ewmh_get_atoms_reply_wipe(&states);
    }
    return hidden;
}

std::vector<std::string> X11Connection::textProperties(const std::vector<xcb_window_t>& windows,
                                                       xcb_atom_t property) const {
    std::vector<std::string> values(windows.size());
    if (!connection_ || property == XCB_ATOM_NONE) return values;
    std::vector<xcb_get_property_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (xcb_window_t window : windows)
        cookies.push_back(xcb_get_property(connection_, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, kTextWords));
    for (size_t i = 0; i < windows.size(); ++i)
        values[i] = textValue(owned(xcb_get_property_reply(connection_, cookies[i], nullptr)).get());
    return values;
}

}  // namespace quillet

#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// A connection to the X server with what the adapters ask of it: root windows, atoms, the
// window manager's conventions (EWMH) and the properties clients set on their windows (ICCCM).
// Either Qt's own connection, borrowed, so that requests and events go through Qt's event loop,
// or one of its own to a display, for processes that show no window (the command line).
// Every request is made on the main thread; replies are awaited where a value is returned.
class X11Connection {
public:
    // Not connected.
    X11Connection() = default;
    // Qt's connection; not connected when Qt runs without X11 (Wayland, offscreen, no
    // application) or the connection has failed.
    static X11Connection ofApplication();
    // A connection of its own to `display` (as DISPLAY names it), closed with this object; not
    // connected when `display` is empty or the server does not answer.
    static X11Connection open(const std::string& display);

    ~X11Connection();
    X11Connection(X11Connection&& other) noexcept;
    X11Connection& operator=(X11Connection&& other) noexcept;
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    explicit operator bool() const { return connection_ != nullptr; }
    xcb_connection_t* get() const { return connection_; }
    // The root window of every screen, in screen order.
    const std::vector<xcb_window_t>& roots() const { return roots_; }
    // The root window of the connection's default screen.
    xcb_window_t root() const;

    // The atom called `name`, made when no client has yet; with `onlyIfExists` XCB_ATOM_NONE then.
    xcb_atom_t atom(std::string_view name, bool onlyIfExists = false) const;
    void flush() const;

    // The managed windows, topmost first, from the window manager's stacking list; nothing when
    // no window manager keeps one.
    std::optional<std::vector<xcb_window_t>> clientWindowsTopmostFirst();
    // Asks the window manager to show `window` on every desktop, like a panel that joins all
    // spaces.
    void requestOnEveryDesktop(xcb_window_t window);
    // Records `userTime` (the server time of the input event that asked for `window`) as the
    // user's last action in it and asks the window manager to activate it for that action. With
    // no time (XCB_CURRENT_TIME) the window is asked for as a taskbar asks, for a window the user
    // has just called up.
    void requestActivation(xcb_window_t window, uint32_t userTime);

    // Properties of many windows at once, all requested before the first answer is awaited. One
    // entry per window, empty for a window without the property or that has gone meanwhile.
    // The class part of WM_CLASS.
    std::vector<std::string> windowClasses(const std::vector<xcb_window_t>& windows) const;
    // _NET_WM_NAME, else WM_NAME.
    std::vector<std::string> windowTitles(const std::vector<xcb_window_t>& windows);
    // Whether _NET_WM_STATE holds _NET_WM_STATE_HIDDEN (minimised).
    std::vector<bool> windowsHidden(const std::vector<xcb_window_t>& windows);
    // An 8-bit property such as a path or name; values past 4 KiB are cut.
    std::vector<std::string> textProperties(const std::vector<xcb_window_t>& windows, xcb_atom_t property) const;

private:
    struct EwmhDeleter {
        void operator()(xcb_ewmh_connection_t* ewmh) const;
    };
    X11Connection(xcb_connection_t* connection, bool owned, int screenNumber);
    // The EWMH atoms, interned on first use; nullptr when the server refuses them.
    xcb_ewmh_connection_t* ewmh();
    void close();

    xcb_connection_t* connection_ = nullptr;
    bool owned_ = false;
    int screenNumber_ = 0;
    std::vector<xcb_window_t> roots_;
    std::unique_ptr<xcb_ewmh_connection_t, EwmhDeleter> ewmh_;
};

}  // namespace quillet

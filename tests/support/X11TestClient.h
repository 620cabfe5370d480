#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::test {

// A second X client of the test's own: makes windows and sets their properties as other
// programs would, and reads what a window manager or the code under test left on the server.
class X11TestClient {
public:
    X11TestClient() : c_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(c_)) return;
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
        root_ = screen->root;
        visual_ = screen->root_visual;
    }
    ~X11TestClient() { xcb_disconnect(c_); }
    X11TestClient(const X11TestClient&) = delete;
    X11TestClient& operator=(const X11TestClient&) = delete;

    bool ok() const { return !xcb_connection_has_error(c_); }
    xcb_connection_t* connection() const { return c_; }
    xcb_window_t root() const { return root_; }

    xcb_atom_t atom(std::string_view name) {
        auto* reply = xcb_intern_atom_reply(
            c_, xcb_intern_atom(c_, 0, static_cast<uint16_t>(name.size()), name.data()), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return atom;
    }

    // A 100 x 100 window, not yet shown; it hears its own property changes.
    xcb_window_t makeWindow() {
        const xcb_window_t window = xcb_generate_id(c_);
        const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window, root_, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, visual_, XCB_CW_EVENT_MASK, &events);
        sync();
        return window;
    }
    void map(xcb_window_t window) {
        xcb_map_window(c_, window);
        sync();
    }

    void setBytes(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, std::string_view value) {
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                            static_cast<uint32_t>(value.size()), value.data());
        sync();
    }
    void setList(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, const std::vector<uint32_t>& values) {
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window, property, type, 32,
                            static_cast<uint32_t>(values.size()), values.data());
        sync();
    }

    // The first 32-bit value of a property; nothing when the window has none.
    std::optional<uint32_t> cardinal(xcb_window_t window, xcb_atom_t property) {
        auto* reply = xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1), nullptr);
        std::optional<uint32_t> value;
        if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 4)
            std::memcpy(&value.emplace(), xcb_get_property_value(reply), 4);
        std::free(reply);
        return value;
    }

    // The server's current time, as an event of a user's action would carry it.
    uint32_t serverTime() {
        if (!clock_) clock_ = makeWindow();
        xcb_change_property(c_, XCB_PROP_MODE_APPEND, clock_, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, "");
        xcb_flush(c_);
        while (xcb_generic_event_t* event = xcb_wait_for_event(c_)) {
            uint32_t time = 0;
            if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
                auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
                if (notify->window == clock_) time = notify->time;
            }
            std::free(event);
            if (time != 0) return time;
        }
        return 0;
    }

    // Returns once the server has processed every request made so far.
    void sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

private:
    xcb_connection_t* c_;
    xcb_window_t root_ = XCB_WINDOW_NONE;
    xcb_visualid_t visual_ = 0;
    xcb_window_t clock_ = XCB_WINDOW_NONE;
};

}  // namespace quillet::test

#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <vector>

namespace quillet::test {

inline constexpr xcb_keysym_t kControlLKeysym = 0xffe3;
inline constexpr xcb_keysym_t kShiftLKeysym = 0xffe1;
inline constexpr xcb_keysym_t kAltLKeysym = 0xffe9;
inline constexpr xcb_keysym_t kSuperLKeysym = 0xffeb;
inline constexpr xcb_keysym_t kCapsLockKeysym = 0xffe5;
inline constexpr xcb_keysym_t kNumLockKeysym = 0xff7f;

// A second X client: types through XTest as a person would, watches key presses that reach the
// root window ungrabbed, holds grabs of its own and edits the keyboard mapping.
class XTestKeyboard {
public:
    XTestKeyboard() : c_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(c_)) return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        // Key presses nobody grabbed reach the root window (focus follows the pointer, which
        // rests on the root); this client hears them.
        uint32_t mask = XCB_EVENT_MASK_KEY_PRESS;
        xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
        sync();
    }
    ~XTestKeyboard() { xcb_disconnect(c_); }
    XTestKeyboard(const XTestKeyboard&) = delete;
    XTestKeyboard& operator=(const XTestKeyboard&) = delete;

    bool ok() const { return !xcb_connection_has_error(c_); }
    xcb_connection_t* connection() const { return c_; }
    xcb_window_t root() const { return root_; }

    // The first keycode producing the symbol under the current mapping, 0 if none.
    xcb_keycode_t keycode(xcb_keysym_t keysym) {
        xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c_);
        xcb_keycode_t* found = xcb_key_symbols_get_keycode(symbols, keysym);
        xcb_keycode_t result = found ? found[0] : 0;
        std::free(found);
        xcb_key_symbols_free(symbols);
        return result;
    }

    // Holds the modifiers, taps the key, lets go in reverse order; returns once the server has
    // processed all of it.
    void tap(std::initializer_list<xcb_keysym_t> modifiers, xcb_keysym_t key) {
        tapKeycode(modifiers, keycode(key));
    }
    void tapKeycode(std::initializer_list<xcb_keysym_t> modifiers, xcb_keycode_t key) {
        std::vector<xcb_keycode_t> held;
        for (xcb_keysym_t m : modifiers) held.push_back(keycode(m));
        for (xcb_keycode_t k : held) fake(XCB_KEY_PRESS, k);
        fake(XCB_KEY_PRESS, key);
        fake(XCB_KEY_RELEASE, key);
        for (auto it = held.rbegin(); it != held.rend(); ++it) fake(XCB_KEY_RELEASE, *it);
        sync();
    }

    // The server's current modifier and lock state of the core keyboard.
    uint16_t modifierState() {
        auto* reply = xcb_query_pointer_reply(c_, xcb_query_pointer(c_, root_), nullptr);
        uint16_t mask = reply ? reply->mask : 0;
        std::free(reply);
        return mask & 0xff;
    }

    // Whether a press of the keycode reached the root window since the last time it was asked.
    bool sawPressOf(xcb_keycode_t key) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
            if ((event->response_type & 0x7f) == XCB_KEY_PRESS)
                unclaimedPresses_.push_back(reinterpret_cast<xcb_key_press_event_t*>(event)->detail);
            std::free(event);
        }
        const auto before = unclaimedPresses_.size();
        std::erase(unclaimedPresses_, key);
        return unclaimedPresses_.size() != before;
    }

    // Returns the X error code, 0 when the grab was granted.
    int grabKey(xcb_keycode_t key, uint16_t modifiers) {
        auto cookie = xcb_grab_key_checked(c_, 0, root_, modifiers, key, XCB_GRAB_MODE_ASYNC,
                                           XCB_GRAB_MODE_ASYNC);
        xcb_generic_error_t* error = xcb_request_check(c_, cookie);
        int code = error ? error->error_code : 0;
        std::free(error);
        return code;
    }
    void ungrabKey(xcb_keycode_t key, uint16_t modifiers) {
        xcb_ungrab_key(c_, key, root_, modifiers);
        sync();
    }

    // The keysyms of one keycode, as many as the mapping has per keycode.
    std::vector<xcb_keysym_t> mapping(xcb_keycode_t key) {
        auto* reply = xcb_get_keyboard_mapping_reply(c_, xcb_get_keyboard_mapping(c_, key, 1), nullptr);
        std::vector<xcb_keysym_t> syms;
        if (reply) {
            const xcb_keysym_t* s = xcb_get_keyboard_mapping_keysyms(reply);
            syms.assign(s, s + reply->keysyms_per_keycode);
            std::free(reply);
        }
        return syms;
    }
    void setMapping(xcb_keycode_t key, const std::vector<xcb_keysym_t>& syms) {
        xcb_change_keyboard_mapping(c_, 1, key, uint8_t(syms.size()), syms.data());
        sync();
    }
    // A keycode the mapping leaves without any symbol, counting down from the highest.
    std::optional<xcb_keycode_t> unusedKeycode() {
        const xcb_setup_t* setup = xcb_get_setup(c_);
        for (int k = setup->max_keycode; k >= setup->min_keycode; --k) {
            bool empty = true;
            for (xcb_keysym_t s : mapping(xcb_keycode_t(k))) empty = empty && s == 0;
            if (empty) return xcb_keycode_t(k);
        }
        return std::nullopt;
    }

    void sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

private:
    void fake(uint8_t type, xcb_keycode_t key) {
        xcb_test_fake_input(c_, type, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    }

    xcb_connection_t* c_;
    xcb_window_t root_ = XCB_NONE;
    std::vector<xcb_keycode_t> unclaimedPresses_;
};

}  // namespace quillet::test

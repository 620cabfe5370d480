// Time from a synthetic key press to a window of the given name being mapped, over many presses.
// Runs against whatever program is already on the display (the application, or the hot key
// probe); bench/hotkey-latency.sh starts both in a private X session.
//
// Usage: quillet_hotkey_latency --window NAME [--keys ctrl+alt+n] [--dismiss KEYS] [--count 50]
//                                [--warmup 3] [--ready-timeout 30]
// Between presses the window must go away again: --dismiss types KEYS to close it (Escape for a
// panel); without it the program is expected to hide the window by itself.

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::optional<xcb_keysym_t> keysymNamed(std::string name) {
    static const std::map<std::string, xcb_keysym_t> named = {
        {"ctrl", 0xffe3}, {"control", 0xffe3}, {"shift", 0xffe1}, {"alt", 0xffe9},
        {"super", 0xffeb}, {"escape", 0xff1b}, {"return", 0xff0d}, {"space", 0x20},
        {"tab", 0xff09},
    };
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char ch) { return std::tolower(ch); });
    if (auto it = named.find(name); it != named.end()) return it->second;
    if (name.size() == 1) return xcb_keysym_t(static_cast<unsigned char>(name[0]));
    if (name.size() >= 2 && name[0] == 'f') {
        int n = std::atoi(name.c_str() + 1);
        if (n >= 1 && n <= 12) return xcb_keysym_t(0xffbe + n - 1);
    }
    return std::nullopt;
}

class Session {
public:
    Session() : c_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(c_)) return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
        symbols_ = xcb_key_symbols_alloc(c_);
        xcb_flush(c_);
    }
    ~Session() {
        if (symbols_) xcb_key_symbols_free(symbols_);
        xcb_disconnect(c_);
    }
    bool ok() const { return !xcb_connection_has_error(c_); }

    std::optional<std::vector<xcb_keycode_t>> keycodes(const std::string& combination) {
        std::vector<xcb_keycode_t> codes;
        size_t start = 0;
        while (start <= combination.size()) {
            size_t end = combination.find('+', start);
            if (end == std::string::npos) end = combination.size();
            auto sym = keysymNamed(combination.substr(start, end - start));
            if (!sym) return std::nullopt;
            xcb_keycode_t* found = xcb_key_symbols_get_keycode(symbols_, *sym);
            if (!found || found[0] == 0) {
                std::free(found);
                return std::nullopt;
            }
            codes.push_back(found[0]);
            std::free(found);
            start = end + 1;
        }
        return codes;
    }

    void type(const std::vector<xcb_keycode_t>& codes) {
        for (xcb_keycode_t k : codes) xcb_test_fake_input(c_, XCB_KEY_PRESS, k, 0, XCB_NONE, 0, 0, 0);
        for (auto it = codes.rbegin(); it != codes.rend(); ++it)
            xcb_test_fake_input(c_, XCB_KEY_RELEASE, *it, 0, XCB_NONE, 0, 0, 0);
        xcb_flush(c_);
    }

    // Waits for a window named `name` (or whose child is, under a reparenting window manager)
    // to be mapped; returns the mapped window.
    std::optional<xcb_window_t> waitForMap(const std::string& name, Clock::time_point deadline) {
        while (auto event = next(deadline)) {
            bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            xcb_window_t w = mapped ? reinterpret_cast<xcb_map_notify_event_t*>(event.get())->window : 0;
            if (mapped && named(w, name, 1)) return w;
        }
        return std::nullopt;
    }
    bool waitForUnmap(xcb_window_t window, Clock::time_point deadline) {
        while (auto event = next(deadline)) {
            if ((event->response_type & 0x7f) == XCB_UNMAP_NOTIFY &&
                reinterpret_cast<xcb_unmap_notify_event_t*>(event.get())->window == window)
                return true;
        }
        return false;
    }
    void drain() {
        while (xcb_generic_event_t* e = xcb_poll_for_event(c_)) std::free(e);
    }

private:
    struct FreeDeleter {
        void operator()(void* p) const { std::free(p); }
    };
    using Event = std::unique_ptr<xcb_generic_event_t, FreeDeleter>;

    Event next(Clock::time_point deadline) {
        while (Clock::now() < deadline) {
            if (xcb_generic_event_t* e = xcb_poll_for_event(c_)) return Event(e);
            if (xcb_connection_has_error(c_)) return nullptr;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return nullptr;
    }

    bool named(xcb_window_t w, const std::string& name, int depth) {
        for (const char* atomName : {"_NET_WM_NAME", "WM_NAME"}) {
            if (title(w, atomName) == name) return true;
        }
        if (depth == 0) return false;
        auto* tree = xcb_query_tree_reply(c_, xcb_query_tree(c_, w), nullptr);
        if (!tree) return false;
        bool found = false;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree) && !found; ++i)
            found = named(children[i], name, depth - 1);
        std::free(tree);
        return found;
    }
    std::string title(xcb_window_t w, const char* atomName) {
        auto* atom = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 1, uint16_t(std::strlen(atomName)), atomName), nullptr);
        if (!atom || atom->atom == XCB_NONE) {
            std::free(atom);
            return {};
        }
        auto* prop = xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, w, atom->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr);
        std::free(atom);
        std::string value;
        if (prop) {
            value.assign(static_cast<const char*>(xcb_get_property_value(prop)),
                         size_t(xcb_get_property_value_length(prop)));
            std::free(prop);
        }
        return value;
    }

    xcb_connection_t* c_;
    xcb_window_t root_ = XCB_NONE;
    xcb_key_symbols_t* symbols_ = nullptr;
};

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
    std::string window, keys = "ctrl+alt+n", dismiss;
    int count = 50, warmup = 3, readyTimeout = 30;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "%s needs a value\n", arg.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--window") window = value();
        else if (arg == "--keys") keys = value();
        else if (arg == "--dismiss") dismiss = value();
        else if (arg == "--count") count = std::atoi(value().c_str());
        else if (arg == "--warmup") warmup = std::atoi(value().c_str());
        else if (arg == "--ready-timeout") readyTimeout = std::atoi(value().c_str());
        else {
            std::fprintf(stderr, "unknown argument %s\n", arg.c_str());
            return 2;
        }
    }
    if (window.empty() || count < 1) {
        std::fprintf(stderr, "usage: quillet_hotkey_latency --window NAME [--keys K] [--dismiss K] "
                             "[--count N] [--warmup N] [--ready-timeout S]\n");
        return 2;
    }
    Session session;
    if (!session.ok()) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    auto press = session.keycodes(keys);
    auto close = dismiss.empty() ? std::optional<std::vector<xcb_keycode_t>>{} : session.keycodes(dismiss);
    if (!press || (!dismiss.empty() && !close)) {
        std::fprintf(stderr, "keys not on this keyboard: %s %s\n", keys.c_str(), dismiss.c_str());
        return 2;
    }

    std::vector<double> samples;
    double firstShowing = 0;
    const auto readyDeadline = Clock::now() + std::chrono::seconds(readyTimeout);
    for (int n = 0; n < warmup + count; ++n) {
        std::optional<xcb_window_t> mapped;
        Clock::time_point start;
        // Until the program is up, presses go unanswered: the warm-up presses retry each second.
        do {
            session.drain();
            start = Clock::now();
            session.type(*press);
            mapped = session.waitForMap(window, start + std::chrono::seconds(n < warmup ? 1 : 5));
        } while (!mapped && n < warmup && Clock::now() < readyDeadline);
        if (!mapped) {
            std::fprintf(stderr, "press %d: no window named \"%s\" appeared\n", n + 1, window.c_str());
            return 1;
        }
        const double elapsed = milliseconds(Clock::now() - start);
        if (n == 0) firstShowing = elapsed;
        if (n >= warmup) samples.push_back(elapsed);
        // The dismissing keys reach the window once it has the focus, which may come a moment
        // after it is mapped: they are typed again until it goes away.
        bool gone = false;
        for (const auto giveUp = Clock::now() + std::chrono::seconds(5); !gone && Clock::now() < giveUp;) {
            if (close) session.type(*close);
            gone = session.waitForUnmap(*mapped, Clock::now() + std::chrono::milliseconds(close ? 250 : 5000));
        }
        if (!gone) {
            std::fprintf(stderr, "press %d: the window did not go away\n", n + 1);
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    std::sort(samples.begin(), samples.end());
    // Nearest rank: the value at or below which that share of the presses lies.
    auto at = [&](double q) {
        const size_t rank = size_t(std::ceil(q * double(samples.size())));
        return samples[std::clamp<size_t>(rank, 1, samples.size()) - 1];
    };
    std::printf("press %s -> \"%s\" mapped: %zu presses, p50 %.2f ms, p90 %.2f ms, min %.2f ms, max %.2f ms; "
                "first press after launch %.2f ms\n",
                keys.c_str(), window.c_str(), samples.size(), at(0.5), at(0.9), samples.front(), samples.back(),
                firstShowing);
    return 0;
}

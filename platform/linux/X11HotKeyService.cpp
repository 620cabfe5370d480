#include "platform/linux/X11HotKeyService.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QMetaObject>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <tuple>

#include "platform/KeyCodeMapping.h"
#include "platform/linux/X11Connection.h"

namespace quillet {

namespace {

constexpr xcb_keysym_t kNumLockKeysym = 0xff7f;
constexpr xcb_keysym_t kScrollLockKeysym = 0xff14;
// XKB event subtypes that announce a changed key map.
constexpr uint8_t kXkbNewKeyboardNotify = 0;
constexpr uint8_t kXkbMapNotify = 1;
// The modifier bits of a key event's state; the rest are pointer buttons.
constexpr uint16_t kKeyModifierBits = 0xff;

}  // namespace

bool X11HotKeyService::Grab::operator<(const Grab& o) const {
    return std::tie(root, keycode, modifiers) < std::tie(o.root, o.keycode, o.modifiers);
}

class X11HotKeyService::EventFilter final : public QAbstractNativeEventFilter {
public:
    explicit EventFilter(X11HotKeyService& service) : service_(service) {}
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t" || !message) return false;
        return service_.handleEvent(message);
    }

private:
    X11HotKeyService& service_;
};

X11HotKeyService::X11HotKeyService() : filter_(std::make_unique<EventFilter>(*this)) {}

X11HotKeyService::~X11HotKeyService() {
    *alive_ = false;
    if (xcb_connection_t* c = connection()) {
        for (const auto& [ref, registration] : registrations_) ungrab(registration.grabs);
        xcb_flush(c);
    }
    if (filterInstalled_ && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(filter_.get());
    if (keySymbols_) xcb_key_symbols_free(keySymbols_);
}

xcb_connection_t* X11HotKeyService::connection() {
    X11Connection application = X11Connection::ofApplication();
    xcb_connection_t* current = application.get();
    if (current != connection_) forgetConnection();
    if (!current || connection_) return current;

    connection_ = current;
    roots_ = application.roots();
    // Qt's connection uses XKB, and the server then reports keymap changes to it as XKB events
    // rather than core MappingNotify, so both are watched.
    static const char kXkbName[] = "XKEYBOARD";
    auto cookie = xcb_query_extension(current, sizeof kXkbName - 1, kXkbName);
    if (auto* reply = xcb_query_extension_reply(current, cookie, nullptr)) {
        if (reply->present) xkbFirstEvent_ = reply->first_event;
        std::free(reply);
    }
    return current;
}

// The application's connection went away (or was replaced): its grabs went with it.
void X11HotKeyService::forgetConnection() {
    if (!connection_) return;
    connection_ = nullptr;
    if (keySymbols_) xcb_key_symbols_free(keySymbols_);
    keySymbols_ = nullptr;
    roots_.clear();
    lockMasksKnown_ = false;
    xkbFirstEvent_ = 0;
    filterInstalled_ = false;
    for (auto& [ref, registration] : registrations_) registration.grabs.clear();
}

bool X11HotKeyService::prepareKeyboardState() {
    xcb_connection_t* c = connection();
    if (!c) return false;
    if (!keySymbols_) keySymbols_ = xcb_key_symbols_alloc(c);
    if (!keySymbols_) return false;
    if (lockMasksKnown_) return true;

    lockMasks_ = LockMasks{XCB_MOD_MASK_LOCK, 0, 0};
    auto cookie = xcb_get_modifier_mapping(c);
    if (auto* reply = xcb_get_modifier_mapping_reply(c, cookie, nullptr)) {
        const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(reply);
        const int perModifier = reply->keycodes_per_modifier;
        for (int modifier = 0; modifier < 8; ++modifier) {
            for (int i = 0; i < perModifier; ++i) {
                xcb_keycode_t keycode = keycodes[modifier * perModifier + i];
                if (keycode == 0) continue;
                for (int column = 0; column < 4; ++column) {
                    xcb_keysym_t sym = xcb_key_symbols_get_keysym(keySymbols_, keycode, column);
                    if (sym == kNumLockKeysym) lockMasks_.numLock |= uint16_t(1u << modifier);
                    if (sym == kScrollLockKeysym) lockMasks_.scrollLock |= uint16_t(1u << modifier);
                }
            }
        }
        std::free(reply);
    }
    lockMasksKnown_ = true;
    return true;
}

X11HotKeyService::LockMasks X11HotKeyService::lockMasks() {
    prepareKeyboardState();
    return lockMasks_;
}

size_t X11HotKeyService::grabCount(HotKeyRef ref) const {
    auto it = registrations_.find(ref);
    return it == registrations_.end() ? 0 : it->second.grabs.size();
}

int X11HotKeyService::installEventHandler(Handler handler, HandlerRef& outRef) {
    if (!connection()) return kX11HotKeyNoConnectionErr;
    outRef = nextHandlerRef_++;
    handlers_[outRef] = std::move(handler);
    updateFilter();
    return kHotKeyNoErr;
}

int X11HotKeyService::removeEventHandler(HandlerRef ref) {
    if (!handlers_.erase(ref)) return kX11HotKeyBadRefErr;
    updateFilter();
    return kHotKeyNoErr;
}

int X11HotKeyService::registerEventHotKey(uint32_t keyCode, uint32_t carbonModifiers,
                                          HotKeyIdentity identity, const HotKeyPurpose&,
                                          HotKeyRef& outRef) {
    if (!connection()) return kX11HotKeyNoConnectionErr;
    Registration registration{keyCode, carbonModifiers, identity, {}};
    if (int status = grab(registration); status != kHotKeyNoErr) return status;
    outRef = nextHotKeyRef_++;
    registrations_.emplace(outRef, std::move(registration));
    updateFilter();
    return kHotKeyNoErr;
}

int X11HotKeyService::unregisterEventHotKey(HotKeyRef ref) {
    auto it = registrations_.find(ref);
    if (it == registrations_.end()) return kX11HotKeyBadRefErr;
    if (xcb_connection_t* c = connection()) {
        ungrab(it->second.grabs);
        xcb_flush(c);
    }
    registrations_.erase(it);
    updateFilter();
    return kHotKeyNoErr;
}

// Grabs every keycode producing the key's symbol under every lock combination, all or nothing.
int X11HotKeyService::grab(Registration& registration) {
    auto keysym = keysymForKeyCode(registration.keyCode);
    const auto base = static_cast<uint16_t>(xModifierMask(registration.carbonModifiers));
    // A grab without modifiers would take the plain key away from every other program.
    if (!keysym || base == 0) return kX11HotKeyInvalidErr;
    if (!prepareKeyboardState()) return kX11HotKeyNoConnectionErr;
    xcb_connection_t* c = connection_;

    std::vector<xcb_keycode_t> keycodes;
    if (xcb_keycode_t* found = xcb_key_symbols_get_keycode(keySymbols_, *keysym)) {
        for (xcb_keycode_t* k = found; *k != XCB_NO_SYMBOL; ++k) keycodes.push_back(*k);
        std::free(found);
    }
    if (keycodes.empty()) return kX11HotKeyInvalidErr;

    const uint16_t locks[] = {lockMasks_.capsLock, lockMasks_.numLock, lockMasks_.scrollLock};
    std::set<Grab> wanted;
    for (uint32_t root : roots_)
        for (xcb_keycode_t keycode : keycodes)
            for (unsigned combination = 0; combination < 8; ++combination) {
                uint16_t modifiers = base;
                for (unsigned bit = 0; bit < 3; ++bit)
                    if (combination & (1u << bit)) modifiers |= locks[bit];
                wanted.insert(Grab{root, keycode, modifiers});
            }

    // Grabbing a combination this connection already holds would silently take it over from the
    // registration that made it.
    for (const auto& [ref, other] : registrations_)
        for (const Grab& g : other.grabs)
            if (wanted.count(g)) return kX11HotKeyExistsErr;

    std::vector<std::pair<Grab, xcb_void_cookie_t>> requests;
    for (const Grab& g : wanted)
        requests.emplace_back(g, xcb_grab_key_checked(c, 0, g.root, g.modifiers, g.keycode,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    int status = kHotKeyNoErr;
    std::vector<Grab> granted;
    for (const auto& [g, cookie] : requests) {
        if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
            if (status == kHotKeyNoErr || error->error_code == XCB_ACCESS)
                status = error->error_code == XCB_ACCESS ? kX11HotKeyExistsErr : kX11HotKeyRequestErr;
            std::free(error);
        } else {
            granted.push_back(g);
        }
    }
    if (status != kHotKeyNoErr) {
        ungrab(granted);
        xcb_flush(c);
        return status;
    }
    registration.grabs = std::move(granted);
    return kHotKeyNoErr;
}

void X11HotKeyService::ungrab(const std::vector<Grab>& grabs) {
    if (!connection_) return;
    // UngrabKey only ever releases this client's own grabs.
    for (const Grab& g : grabs) xcb_ungrab_key(connection_, g.keycode, g.root, g.modifiers);
}

bool X11HotKeyService::handleEvent(void* message) {
    auto* event = static_cast<xcb_generic_event_t*>(message);
    const uint8_t type = event->response_type & 0x7f;
    const bool synthetic = event->response_type & 0x80;

    if ((type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) && !synthetic) {
        auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
        if (std::find(roots_.begin(), roots_.end(), key->event) == roots_.end()) return false;
        const Grab pressed{key->event, key->detail, uint16_t(key->state & kKeyModifierBits)};
        for (const auto& [ref, registration] : registrations_) {
            const auto& grabs = registration.grabs;
            if (type == XCB_KEY_RELEASE) {
                // The release of a grabbed key comes to the root as well; it means nothing here.
                if (std::any_of(grabs.begin(), grabs.end(),
                                [&](const Grab& g) { return g.root == pressed.root && g.keycode == pressed.keycode; }))
                    return true;
                continue;
            }
            if (std::find_if(grabs.begin(), grabs.end(), [&](const Grab& g) {
                    return !(g < pressed) && !(pressed < g);
                }) == grabs.end())
                continue;
            const HotKeyEvent hotKeyEvent{registration.identity, key->time};
            // A handler may remove itself or unregister keys while it runs.
            std::vector<Handler> handlers;
            for (const auto& [handlerRef, handler] : handlers_) handlers.push_back(handler);
            for (const auto& handler : handlers) handler(hotKeyEvent);
            return true;
        }
        return false;
    }
    if (type == XCB_MAPPING_NOTIFY) {
        auto* mapping = reinterpret_cast<xcb_mapping_notify_event_t*>(event);
        if (mapping->request != XCB_MAPPING_POINTER) keyboardMappingChanged();
        return false;
    }
    if (xkbFirstEvent_ != 0 && type == xkbFirstEvent_) {
        const uint8_t xkbType = reinterpret_cast<const uint8_t*>(event)[1];
        if (xkbType == kXkbNewKeyboardNotify || xkbType == kXkbMapNotify) keyboardMappingChanged();
    }
    return false;  // Qt follows the keymap too
}

// One change usually arrives as several events; the grabs are renewed once, after them.
void X11HotKeyService::keyboardMappingChanged() {
    if (renewPending_) return;
    auto* app = QCoreApplication::instance();
    if (!app) return;
    renewPending_ = true;
    std::weak_ptr<bool> alive = alive_;
    QMetaObject::invokeMethod(
        app,
        [this, alive] {
            auto a = alive.lock();
            if (a && *a) renewGrabs();
        },
        Qt::QueuedConnection);
}

void X11HotKeyService::renewGrabs() {
    renewPending_ = false;
    xcb_connection_t* c = connection();
    if (!c) return;
    for (auto& [ref, registration] : registrations_) {
        ungrab(registration.grabs);
        registration.grabs.clear();
    }
    if (keySymbols_) xcb_key_symbols_free(keySymbols_);
    keySymbols_ = nullptr;
    lockMasksKnown_ = false;
    for (auto& [ref, registration] : registrations_) {
        if (int status = grab(registration); status != kHotKeyNoErr) {
            // The registration stays, so the next keymap change tries again.
            log_.error("Failed to renew the hot key of key code %u with modifiers %u after a keyboard change: %d",
                       registration.keyCode, registration.carbonModifiers, status);
        }
    }
    xcb_flush(c);
}

// The filter sees only the application's own connection; it is needed while anything is
// registered (to follow keymap changes) or a handler waits for presses.
void X11HotKeyService::updateFilter() {
    auto* app = QCoreApplication::instance();
    const bool wanted = connection_ && (!handlers_.empty() || !registrations_.empty());
    if (wanted && !filterInstalled_ && app) {
        app->installNativeEventFilter(filter_.get());
        filterInstalled_ = true;
    } else if (!wanted && filterInstalled_) {
        if (app) app->removeNativeEventFilter(filter_.get());
        filterInstalled_ = false;
    }
}

}  // namespace quillet

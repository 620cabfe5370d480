#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/HotKeyService.h"
#include "shared/logging/Logger.h"

struct xcb_connection_t;
struct _XCBKeySymbols;

namespace quillet {

// System-wide hot keys on X11: each registration is a passive key grab on the root window, made
// on Qt's own xcb connection so that presses arrive through Qt's event loop on the main thread.
//
// Construct it after the QGuiApplication and release it before; it needs nothing else. Where Qt
// runs without an X11 connection (Wayland, offscreen, no display) installing the handler and
// registering fail with kX11HotKeyNoConnectionErr and nothing else is touched.
//
// A registration grabs every keycode that currently produces the key's symbol, with the Carbon
// modifiers translated to X modifiers, once for each combination of Caps Lock, Num Lock and
// Scroll Lock, so a lit lock light does not turn the shortcut off. When the keyboard mapping
// changes, every registration is grabbed anew.
class X11HotKeyService final : public HotKeyService {
public:
    // Statuses besides kHotKeyNoErr. The first two keep the values the Carbon hot key service
    // uses for the same conditions.
    static constexpr int kX11HotKeyExistsErr = -9878;    // another client holds the combination
    static constexpr int kX11HotKeyInvalidErr = -9879;   // no modifier, or the key is not on this keyboard
    static constexpr int kX11HotKeyNoConnectionErr = -9860;  // Qt has no X11 connection
    static constexpr int kX11HotKeyRequestErr = -9868;   // the server refused a grab for another reason
    static constexpr int kX11HotKeyBadRefErr = -9870;    // no such registration or handler

    X11HotKeyService();
    ~X11HotKeyService() override;
    X11HotKeyService(const X11HotKeyService&) = delete;
    X11HotKeyService& operator=(const X11HotKeyService&) = delete;

    int installEventHandler(Handler handler, HandlerRef& outRef) override;
    int removeEventHandler(HandlerRef ref) override;
    int registerEventHotKey(uint32_t keyCode, uint32_t carbonModifiers, HotKeyIdentity identity,
                            const HotKeyPurpose& purpose, HotKeyRef& outRef) override;
    int unregisterEventHotKey(HotKeyRef ref) override;

    // The X modifier masks grabbed for the lock keys under the current modifier mapping (Num Lock
    // and Scroll Lock are 0 when no modifier carries them). For tests and diagnostics.
    struct LockMasks {
        uint16_t capsLock = 0, numLock = 0, scrollLock = 0;
    };
    LockMasks lockMasks();
    // How many passive grabs the registration holds (0 for an unknown reference).
    size_t grabCount(HotKeyRef ref) const;

private:
    struct Grab {
        uint32_t root;
        uint8_t keycode;
        uint16_t modifiers;
        bool operator<(const Grab& o) const;
    };
    struct Registration {
        uint32_t keyCode;
        uint32_t carbonModifiers;
        HotKeyIdentity identity;
        std::vector<Grab> grabs;
    };
    class EventFilter;
    friend class EventFilter;

    xcb_connection_t* connection();
    bool prepareKeyboardState();
    void forgetConnection();
    int grab(Registration& registration);
    void ungrab(const std::vector<Grab>& grabs);
    bool handleEvent(void* message);
    void keyboardMappingChanged();
    void renewGrabs();
    void updateFilter();

    Logger log_{kAppSubsystem, "GlobalHotKey"};
    xcb_connection_t* connection_ = nullptr;  // Qt's, borrowed
    _XCBKeySymbols* keySymbols_ = nullptr;
    std::vector<uint32_t> roots_;
    LockMasks lockMasks_;
    bool lockMasksKnown_ = false;
    uint8_t xkbFirstEvent_ = 0;
    bool renewPending_ = false;
    std::map<HotKeyRef, Registration> registrations_;
    std::map<HandlerRef, Handler> handlers_;
    HotKeyRef nextHotKeyRef_ = 1;
    HandlerRef nextHandlerRef_ = 1;
    std::unique_ptr<EventFilter> filter_;
    bool filterInstalled_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quillet

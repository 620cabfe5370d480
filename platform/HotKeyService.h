#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace quillet {

// The identity a hot key is registered with and that every press carries back.
struct HotKeyIdentity {
    uint32_t signature = 0;
    uint32_t id = 0;
    bool operator==(const HotKeyIdentity&) const = default;
};

// One hot-key-pressed event as the handler sees it; the identity is absent when the event
// could not be read.
struct HotKeyEvent {
    std::optional<HotKeyIdentity> identity;
    uint32_t timestamp = 0;  // the server time of the key press, for focus requests
};

inline constexpr int kHotKeyNoErr = 0;

// The system-wide hot key facility: one handler receives every press of every registered
// combination, on the main thread. Statuses are 0 on success. Key codes and modifiers are in
// their stored form (macOS virtual key code, Carbon mask); adapters translate.
class HotKeyService {
public:
    using HotKeyRef = uint64_t;
    using HandlerRef = uint64_t;
    using Handler = std::function<int(const HotKeyEvent&)>;

    virtual ~HotKeyService() = default;
    virtual int installEventHandler(Handler handler, HandlerRef& outRef) = 0;
    virtual int removeEventHandler(HandlerRef ref) = 0;
    virtual int registerEventHotKey(uint32_t keyCode, uint32_t carbonModifiers,
                                    HotKeyIdentity identity, HotKeyRef& outRef) = 0;
    virtual int unregisterEventHotKey(HotKeyRef ref) = 0;
};

}  // namespace quillet

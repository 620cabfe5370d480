#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

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

// What a registration is for, in words a facility can show or carry out on its own: desktops
// that list the user's shortcuts in their settings show the description, and those that run a
// command instead of delivering a press run the `quillet` launcher with the command's words.
struct HotKeyPurpose {
    std::string name;         // stable across launches: "quick-create", "create-md"
    std::string description;  // "Show Quick Create", "New Markdown File"
    std::vector<std::string> command;  // words after "quillet": {"quick-create"}
    bool operator==(const HotKeyPurpose&) const = default;
};

inline constexpr int kHotKeyNoErr = 0;
// A registration the facility answers later, through the result observer, once the desktop
// (or the user, in a dialog of the desktop) has decided.
inline constexpr int kHotKeyPending = 1;

// The system-wide hot key facility: one handler receives every press of every registered
// combination, on the main thread. Statuses are 0 on success. Key codes and modifiers are in
// their stored form (macOS virtual key code, Carbon mask); adapters translate. Registrations made
// in one turn of the main loop may be handed to the desktop together at the end of the turn.
class HotKeyService {
public:
    using HotKeyRef = uint64_t;
    using HandlerRef = uint64_t;
    using Handler = std::function<int(const HotKeyEvent&)>;
    // Receives the final status of each registration that was answered kHotKeyPending, on the
    // main thread, unless it was unregistered first.
    using ResultObserver = std::function<void(HotKeyRef ref, int status)>;

    virtual ~HotKeyService() = default;
    virtual int installEventHandler(Handler handler, HandlerRef& outRef) = 0;
    virtual int removeEventHandler(HandlerRef ref) = 0;
    virtual int registerEventHotKey(uint32_t keyCode, uint32_t carbonModifiers,
                                    HotKeyIdentity identity, const HotKeyPurpose& purpose,
                                    HotKeyRef& outRef) = 0;
    virtual int unregisterEventHotKey(HotKeyRef ref) = 0;
    // Facilities that answer every registration at once never call it.
    virtual void setResultObserver(ResultObserver observer) { (void)observer; }
    // Why this way cannot hold any shortcut in this session, once it knows ("the global shortcuts
    // portal did not open a session (response 2)"): for the log and the shortcuts card. Nothing
    // while it works, or may yet.
    virtual std::optional<std::string> wayFailure() const { return std::nullopt; }
};

}  // namespace quillet

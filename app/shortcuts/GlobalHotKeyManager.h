#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/creation/CreationDestination.h"
#include "app/observation/Published.h"
#include "app/shortcuts/HotKeySuspension.h"
#include "app/keys/QuickCreateShortcut.h"
#include "platform/HotKeyService.h"
#include "shared/logging/Logger.h"
#include "platform/MainQueue.h"

namespace quillet {

// What a registered hot key does when pressed.
struct HotKeyAction {
    enum class Kind { createFile, quickCreate };
    Kind kind = Kind::quickCreate;
    std::string typeID;  // for createFile
    // For createFile: where to create, when not the direct-shortcut destination of the settings
    // (a key binding of the desktop carries the destination that was set when it was written).
    std::optional<CreationDestinationMode> destination;

    static HotKeyAction quickCreate() { return {Kind::quickCreate, {}, {}}; }
    static HotKeyAction createFile(std::string typeID,
                                   std::optional<CreationDestinationMode> destination = std::nullopt) {
        return {Kind::createFile, std::move(typeID), destination};
    }
    bool operator==(const HotKeyAction&) const = default;
};

// The stable name ("quick-create", "create-md") and the description a person reads ("Show Quick
// Create", "New Markdown File") of a registered action, with the launcher's words that perform it.
HotKeyPurpose hotKeyPurpose(const HotKeyAction& action, std::vector<std::string> command);

// Keeps the Quick Create shortcut and the direct per-type shortcuts registered system-wide and
// turns each press into a HotKeyAction, performed later on the main queue.
class GlobalHotKeyManager {
public:
    // "QLTP", first character in the most significant byte.
    static constexpr uint32_t kSignature = (uint32_t('Q') << 24) | (uint32_t('L') << 16) |
                                           (uint32_t('T') << 8) | uint32_t('P');
    static constexpr uint32_t kQuickCreateID = 1;
    static constexpr uint32_t kFirstFileTypeID = 100;

    // The `quillet` words that perform an action, for desktops that run a command for a key.
    using CommandForAction = std::function<std::vector<std::string>(const HotKeyAction&)>;

    // `perform` runs each pressed action; it is called on the main queue, never from the
    // event handler itself.
    GlobalHotKeyManager(HotKeyService& service, MainQueue& mainQueue,
                        std::function<void(const HotKeyAction&)> perform, CommandForAction commandFor = {});
    ~GlobalHotKeyManager();
    GlobalHotKeyManager(const GlobalHotKeyManager&) = delete;
    GlobalHotKeyManager& operator=(const GlobalHotKeyManager&) = delete;

    // Replaces every earlier registration. Failures are logged only. While suspended it only
    // remembers the set, which is registered when the last suspension ends.
    void registerShortcuts(const QuickCreateShortcut& quickCreate,
                           const FileTypeShortcuts& fileTypeShortcuts);
    // Releases every hot key and forgets the set, so no suspension brings it back.
    void unregisterAll();

    // Releases every hot key until the last returned suspension ends, then registers the set last
    // asked for. A shortcut recorder holds one while it records: a grabbed combination would
    // otherwise go to the grab and never reach the recorder.
    [[nodiscard]] HotKeySuspension suspend();
    bool isSuspended() const { return suspensions_ > 0; }

    // The installed handler's body.
    int handleHotKeyEvent(const HotKeyEvent& event);

    const std::map<uint32_t, HotKeyAction>& actionsByID() const { return actionsByID_; }
    bool handlerInstalled() const { return handlerInstalled_; }
    // Server time of the press being performed, for the window manager's focus rules.
    uint32_t lastEventTimestamp() const { return lastEventTimestamp_; }

    // Why no shortcut can be held in this session (which way was tried, and why it failed), once
    // the service knows; nothing while shortcuts work. The shortcuts card shows it.
    Published<std::optional<std::string>> wayFailure;

private:
    struct ShortcutSet {
        QuickCreateShortcut quickCreate;
        FileTypeShortcuts fileTypeShortcuts;
    };
    void releaseRegistrations();
    void resume();
    void registrationAnswered(HotKeyService::HotKeyRef ref, int status);
    void updateWayFailure();
    bool installHandlerIfNeeded();
    void registerHotKey(const QuickCreateShortcut& shortcut, uint32_t id, const HotKeyAction& action,
                        std::set<QuickCreateShortcut, bool (*)(const QuickCreateShortcut&,
                                                               const QuickCreateShortcut&)>& used);

    Logger log_{kAppSubsystem, "GlobalHotKey"};
    HotKeyService& service_;
    MainQueue& mainQueue_;
    std::function<void(const HotKeyAction&)> perform_;
    CommandForAction commandFor_;
    std::map<uint32_t, HotKeyService::HotKeyRef> hotKeyRefs_;
    std::map<uint32_t, HotKeyAction> actionsByID_;
    // Registrations the service answers later: their id and the shortcut's display text, for the
    // log line of the answer.
    std::map<HotKeyService::HotKeyRef, std::pair<uint32_t, std::string>> pending_;
    std::optional<HotKeyService::HandlerRef> eventHandlerRef_;
    bool handlerInstalled_ = false;
    uint32_t lastEventTimestamp_ = 0;
    // What the last registerShortcuts asked for, kept for the end of a suspension.
    std::optional<ShortcutSet> wanted_;
    int suspensions_ = 0;
    // Cleared on destruction, so a press already queued finds the manager gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quillet

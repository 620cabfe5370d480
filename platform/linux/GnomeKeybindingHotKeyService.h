#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "platform/HotKeyService.h"
#include "platform/MainQueue.h"
#include "shared/logging/Logger.h"

namespace quillet {

// System-wide hot keys on a GNOME Wayland session without the global shortcuts portal: each
// registration becomes one of the desktop's custom key bindings, which runs the `quillet`
// launcher with the registration's command; the launcher hands it to the running instance (or
// starts one). Presses therefore never reach the installed handler.
//
// Only our own entries are touched: those under kPathPrefix in the desktop's list, whose other
// entries keep their place. The registrations of one turn of the main loop are written together
// at its end, so replacing the whole set is one change of the list. The bindings outlive the
// process on purpose (the desktop keeps starting Quillet+ through them); a cleared shortcut is
// removed at the next change, and removeAll() takes every one away when Quillet+ is uninstalled.
class GnomeKeybindingHotKeyService final : public HotKeyService {
public:
    static constexpr const char* kSchema = "org.gnome.settings-daemon.plugins.media-keys";
    static constexpr const char* kBindingSchema = "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";
    static constexpr const char* kListKey = "custom-keybindings";
    static constexpr const char* kPathPrefix = "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/quillet-";

    static constexpr int kBindingTakenErr = -9878;    // another custom binding holds the combination
    static constexpr int kBindingInvalidErr = -9879;  // no accelerator for it, or nothing to run
    static constexpr int kBindingUnavailableErr = -9860;  // the desktop's schemas are not installed
    static constexpr int kBindingBadRefErr = -9870;

    // Whether the installed schemas describe the desktop's custom key bindings.
    static bool isAvailable();
    // Removes every binding Quillet+ wrote; nothing when the schemas are missing.
    static void removeAll();

    // `launcher` is the absolute path of the `quillet` program the bindings run.
    GnomeKeybindingHotKeyService(std::filesystem::path launcher, MainQueue& mainQueue);
    ~GnomeKeybindingHotKeyService() override;

    int installEventHandler(Handler handler, HandlerRef& outRef) override;
    int removeEventHandler(HandlerRef ref) override;
    int registerEventHotKey(uint32_t keyCode, uint32_t carbonModifiers, HotKeyIdentity identity,
                            const HotKeyPurpose& purpose, HotKeyRef& outRef) override;
    int unregisterEventHotKey(HotKeyRef ref) override;
    std::optional<std::string> wayFailure() const override;

    // The command line a binding runs for the given words, each quoted for the desktop's parser.
    std::string commandLine(const std::vector<std::string>& words) const;

private:
    struct Binding {
        std::string path, name, command, accelerator;
    };
    void scheduleWrite();
    void write();

    Logger log_{kAppSubsystem, "GlobalHotKey"};
    std::filesystem::path launcher_;
    MainQueue& mainQueue_;
    std::map<HotKeyRef, Binding> bindings_;
    HotKeyRef nextHotKeyRef_ = 1;
    HandlerRef nextHandlerRef_ = 1;
    bool writeScheduled_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quillet

#pragma once

#include <string>
#include <utility>

#include "platform/HotKeyService.h"
#include "shared/logging/Logger.h"

namespace quillet {

// Where the session offers no way to hold a key system-wide (a Wayland session without the
// global shortcuts portal, outside GNOME): installing the handler fails, and the log says why
// each time it is tried, so the manager registers nothing and the shortcuts card says so.
class UnavailableHotKeyService final : public HotKeyService {
public:
    static constexpr int kUnavailableErr = -9860;

    explicit UnavailableHotKeyService(std::string reason) : reason_(std::move(reason)) {}

    int installEventHandler(Handler, HandlerRef&) override {
        log_.error("Global shortcuts are not available: %{public}s", reason_);
        return kUnavailableErr;
    }
    int removeEventHandler(HandlerRef) override { return kUnavailableErr; }
    int registerEventHotKey(uint32_t, uint32_t, HotKeyIdentity, const HotKeyPurpose&, HotKeyRef&) override {
        return kUnavailableErr;
    }
    int unregisterEventHotKey(HotKeyRef) override { return kUnavailableErr; }

private:
    Logger log_{kAppSubsystem, "GlobalHotKey"};
    std::string reason_;
};

}  // namespace quillet

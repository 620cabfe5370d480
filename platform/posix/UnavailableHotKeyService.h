#pragma once

#include <string>
#include <utility>

#include "platform/HotKeyService.h"

namespace quillet {

// Where the session offers no way to hold a key system-wide (a Wayland session without the
// global shortcuts portal, outside GNOME): installing the handler fails and the way's failure
// says why, so the manager registers nothing and the log and the shortcuts card say so.
class UnavailableHotKeyService final : public HotKeyService {
public:
    static constexpr int kUnavailableErr = -9860;

    explicit UnavailableHotKeyService(std::string reason) : reason_(std::move(reason)) {}

    int installEventHandler(Handler, HandlerRef&) override { return kUnavailableErr; }
    int removeEventHandler(HandlerRef) override { return kUnavailableErr; }
    int registerEventHotKey(uint32_t, uint32_t, HotKeyIdentity, const HotKeyPurpose&, HotKeyRef&) override {
        return kUnavailableErr;
    }
    int unregisterEventHotKey(HotKeyRef) override { return kUnavailableErr; }
    std::optional<std::string> wayFailure() const override { return reason_; }

private:
    std::string reason_;
};

}  // namespace quillet

#pragma once

#include <map>
#include <set>
#include <tuple>

#include "platform/HotKeyService.h"

namespace quillet::test {

// Records registrations like the system would, refuses combinations marked as taken by
// another application, and lets a test press a registered combination.
class FakeHotKeyService final : public HotKeyService {
public:
    struct Registration {
        uint32_t keyCode, modifiers;
        HotKeyIdentity identity;
    };
    int installStatus = kHotKeyNoErr;
    int installCalls = 0;
    int removeCalls = 0;
    std::set<std::pair<uint32_t, uint32_t>> takenElsewhere;  // (keyCode, modifiers)
    std::map<HotKeyRef, Registration> registered;

    int installEventHandler(Handler handler, HandlerRef& outRef) override {
        ++installCalls;
        if (installStatus != kHotKeyNoErr) return installStatus;
        handler_ = std::move(handler);
        outRef = 7;
        return kHotKeyNoErr;
    }
    int removeEventHandler(HandlerRef) override {
        ++removeCalls;
        handler_ = nullptr;
        return kHotKeyNoErr;
    }
    int registerEventHotKey(uint32_t keyCode, uint32_t modifiers, HotKeyIdentity identity,
                            HotKeyRef& outRef) override {
        if (takenElsewhere.count({keyCode, modifiers})) return -9878;  // already taken
        outRef = nextRef_++;
        registered[outRef] = {keyCode, modifiers, identity};
        return kHotKeyNoErr;
    }
    int unregisterEventHotKey(HotKeyRef ref) override {
        registered.erase(ref);
        return kHotKeyNoErr;
    }

    // Delivers a press as the system would; returns the handler's status.
    int press(HotKeyIdentity identity) {
        return handler_ ? handler_(HotKeyEvent{identity, 1234}) : -1;
    }
    int pressUnreadable() { return handler_ ? handler_(HotKeyEvent{std::nullopt, 0}) : -1; }
    std::map<uint32_t, uint32_t> idsByKeyCode() const {
        std::map<uint32_t, uint32_t> out;
        for (const auto& [ref, r] : registered) out[r.keyCode] = r.identity.id;
        return out;
    }

private:
    Handler handler_;
    HotKeyRef nextRef_ = 1;
};

}  // namespace quillet::test

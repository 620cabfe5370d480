#pragma once

#include <map>
#include <set>
#include <tuple>
#include <vector>

#include "platform/HotKeyService.h"

namespace quillet::test {

// Records registrations like the system would, refuses combinations marked as taken by
// another application, and lets a test press a registered combination.
class FakeHotKeyService final : public HotKeyService {
public:
    struct Registration {
        uint32_t keyCode, modifiers;
        HotKeyIdentity identity;
        HotKeyPurpose purpose;
    };
    int installStatus = kHotKeyNoErr;
    int installCalls = 0;
    int removeCalls = 0;
    std::set<std::pair<uint32_t, uint32_t>> takenElsewhere;  // (keyCode, modifiers)
    std::map<HotKeyRef, Registration> registered;
    // When set, registrations answer kHotKeyPending and wait for settle(), as a desktop that
    // asks the user does.
    bool answersLater = false;
    std::vector<HotKeyRef> unsettled;
    // What wayFailure() answers: set where the way itself cannot work.
    std::optional<std::string> failure;

    std::optional<std::string> wayFailure() const override { return failure; }

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
                            const HotKeyPurpose& purpose, HotKeyRef& outRef) override {
        if (takenElsewhere.count({keyCode, modifiers})) return -9878;  // already taken
        outRef = nextRef_++;
        registered[outRef] = {keyCode, modifiers, identity, purpose};
        if (!answersLater) return kHotKeyNoErr;
        unsettled.push_back(outRef);
        return kHotKeyPending;
    }
    int unregisterEventHotKey(HotKeyRef ref) override {
        registered.erase(ref);
        return kHotKeyNoErr;
    }
    void setResultObserver(ResultObserver observer) override { observer_ = std::move(observer); }
    // Answers every pending registration that is still registered: `status` for those whose key
    // code is in `refused`, success for the others.
    void settle(const std::set<uint32_t>& refusedKeyCodes = {}, int status = -9878) {
        auto pending = std::move(unsettled);
        unsettled.clear();
        for (HotKeyRef ref : pending) {
            auto it = registered.find(ref);
            if (it == registered.end() || !observer_) continue;
            const bool refused = refusedKeyCodes.count(it->second.keyCode) > 0;
            if (refused) registered.erase(it);
            observer_(ref, refused ? status : kHotKeyNoErr);
        }
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
    ResultObserver observer_;
    HotKeyRef nextRef_ = 1;
};

}  // namespace quillet::test

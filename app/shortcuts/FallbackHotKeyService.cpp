#include "app/shortcuts/FallbackHotKeyService.h"

#include <vector>

namespace quillet {

FallbackHotKeyService::FallbackHotKeyService(std::unique_ptr<HotKeyService> first, std::string firstName,
                                             WayFailed wayFailed, Factory makeFallback, std::string fallbackName)
    : service_(std::move(first)),
      firstName_(std::move(firstName)),
      wayFailed_(std::move(wayFailed)),
      makeFallback_(std::move(makeFallback)),
      fallbackName_(std::move(fallbackName)) {
    watch(*service_);
}

FallbackHotKeyService::~FallbackHotKeyService() {
    service_->setResultObserver({});
    if (retired_) retired_->setResultObserver({});
}

void FallbackHotKeyService::watch(HotKeyService& service) {
    // Answers of a way that was given up on are not ours any more: its refs may be the new one's.
    const bool fallback = fellBack_;
    service.setResultObserver([this, fallback](HotKeyRef inner, int status) {
        if (fallback == fellBack_) innerAnswered(inner, status);
    });
}

int FallbackHotKeyService::installEventHandler(Handler handler, HandlerRef& outRef) {
    HandlerRef inner = 0;
    const int status = service_->installEventHandler(handler, inner);
    if (status != kHotKeyNoErr) return status;
    outRef = nextHandlerRef_++;
    handlers_[outRef] = InstalledHandler{std::move(handler), inner};
    return kHotKeyNoErr;
}

int FallbackHotKeyService::removeEventHandler(HandlerRef ref) {
    const auto it = handlers_.find(ref);
    if (it == handlers_.end()) return service_->removeEventHandler(0);
    const int status = service_->removeEventHandler(it->second.inner);
    handlers_.erase(it);
    return status;
}

int FallbackHotKeyService::registerEventHotKey(uint32_t keyCode, uint32_t carbonModifiers, HotKeyIdentity identity,
                                               const HotKeyPurpose& purpose, HotKeyRef& outRef) {
    HotKeyRef inner = 0;
    const int status = service_->registerEventHotKey(keyCode, carbonModifiers, identity, purpose, inner);
    if (status != kHotKeyNoErr && status != kHotKeyPending) {
        if (fellBack_ || !wayFailed_(status)) return status;
        // The first way cannot hold any shortcut: this one goes to the fallback with the rest.
        fallBack();
        return registerEventHotKey(keyCode, carbonModifiers, identity, purpose, outRef);
    }
    outRef = nextRef_++;
    registrations_[outRef] = Registration{keyCode, carbonModifiers, identity, purpose, inner, status == kHotKeyPending};
    return status;
}

int FallbackHotKeyService::unregisterEventHotKey(HotKeyRef ref) {
    const auto it = registrations_.find(ref);
    if (it == registrations_.end()) return service_->unregisterEventHotKey(0);
    const int status = service_->unregisterEventHotKey(it->second.inner);
    registrations_.erase(it);
    return status;
}

std::map<HotKeyService::HotKeyRef, FallbackHotKeyService::Registration>::iterator FallbackHotKeyService::findInner(
    HotKeyRef inner) {
    for (auto it = registrations_.begin(); it != registrations_.end(); ++it)
        if (it->second.inner == inner && it->second.pending) return it;
    return registrations_.end();
}

void FallbackHotKeyService::innerAnswered(HotKeyRef inner, int status) {
    const auto it = findInner(inner);
    if (it == registrations_.end()) return;
    if (!fellBack_ && status != kHotKeyNoErr && wayFailed_(status)) {
        fallBack();
        return;
    }
    const HotKeyRef ref = it->first;
    it->second.pending = false;
    // A refused registration is gone; its owner does not unregister it.
    if (status != kHotKeyNoErr) registrations_.erase(it);
    if (observer_) observer_(ref, status);
}

std::optional<std::string> FallbackHotKeyService::wayFailure() const {
    if (!fellBack_) return service_->wayFailure();
    auto second = service_->wayFailure();
    if (!second) return std::nullopt;
    return firstFailure_ + ", and " + *second;
}

void FallbackHotKeyService::fallBack() {
    fellBack_ = true;
    firstFailure_ = service_->wayFailure().value_or(firstName_ + " failed");
    log_.error("Global shortcuts through %{public}s: %{public}s failed", fallbackName_, firstName_);
    // The first way's registrations are let go, so it leaves nothing bound. It may be calling us
    // from inside itself, so it is kept (idle) rather than destroyed here.
    for (auto& [ref, registration] : registrations_)
        if (!registration.pending) service_->unregisterEventHotKey(registration.inner);
    for (auto& [ref, installed] : handlers_) service_->removeEventHandler(installed.inner);
    retired_ = std::move(service_);
    service_ = makeFallback_();
    watch(*service_);

    for (auto& [ref, installed] : handlers_) service_->installEventHandler(installed.handler, installed.inner);
    // Every registration is made again; those the owner still waits for are answered now or
    // when the fallback answers.
    std::vector<std::pair<HotKeyRef, int>> answers;
    for (auto it = registrations_.begin(); it != registrations_.end();) {
        Registration& registration = it->second;
        const bool ownerWaits = registration.pending;
        const int status = service_->registerEventHotKey(registration.keyCode, registration.carbonModifiers,
                                                         registration.identity, registration.purpose,
                                                         registration.inner);
        registration.pending = status == kHotKeyPending;
        if (status == kHotKeyPending || (status == kHotKeyNoErr && !ownerWaits)) {
            ++it;
            continue;
        }
        if (ownerWaits) answers.emplace_back(it->first, status);
        if (status != kHotKeyNoErr) {
            if (!ownerWaits) log_.error("Lost a hot key in the fallback: %d", status);
            it = registrations_.erase(it);
        } else {
            ++it;
        }
    }
    for (const auto& [ref, status] : answers)
        if (observer_) observer_(ref, status);
}

}  // namespace quillet

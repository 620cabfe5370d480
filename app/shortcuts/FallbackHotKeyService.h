#pragma once

#include <functional>
#include <map>
#include <memory>

#include "platform/HotKeyService.h"
#include "shared/logging/Logger.h"

namespace quillet {

// A way of holding shortcuts with a second way behind it: while the first way works, everything
// goes there; once it answers a registration with a status that says the way itself failed (a
// portal whose session cannot open, say), the second way is made and takes every registration
// and handler over, and stays. Owners see one service whose refs never change.
class FallbackHotKeyService final : public HotKeyService {
public:
    using Factory = std::function<std::unique_ptr<HotKeyService>()>;
    using WayFailed = std::function<bool(int status)>;

    // The names are for the log ("portal", "gnome-keybindings").
    FallbackHotKeyService(std::unique_ptr<HotKeyService> first, std::string firstName, WayFailed wayFailed,
                          Factory makeFallback, std::string fallbackName);
    ~FallbackHotKeyService() override;

    int installEventHandler(Handler handler, HandlerRef& outRef) override;
    int removeEventHandler(HandlerRef ref) override;
    int registerEventHotKey(uint32_t keyCode, uint32_t carbonModifiers, HotKeyIdentity identity,
                            const HotKeyPurpose& purpose, HotKeyRef& outRef) override;
    int unregisterEventHotKey(HotKeyRef ref) override;
    void setResultObserver(ResultObserver observer) override { observer_ = std::move(observer); }
    // Once fallen back, the first way's failure and the second's, when that fails too.
    std::optional<std::string> wayFailure() const override;

    bool hasFallenBack() const { return fellBack_; }

private:
    struct Registration {
        uint32_t keyCode;
        uint32_t carbonModifiers;
        HotKeyIdentity identity;
        HotKeyPurpose purpose;
        HotKeyRef inner = 0;
        bool pending = false;
    };
    struct InstalledHandler {
        Handler handler;
        HandlerRef inner = 0;
    };

    void innerAnswered(HotKeyRef inner, int status);
    void fallBack();
    void watch(HotKeyService& service);
    std::map<HotKeyRef, Registration>::iterator findInner(HotKeyRef inner);

    std::unique_ptr<HotKeyService> service_;
    std::unique_ptr<HotKeyService> retired_;
    std::string firstName_;
    WayFailed wayFailed_;
    Factory makeFallback_;
    std::string fallbackName_;
    bool fellBack_ = false;
    std::string firstFailure_;
    std::map<HotKeyRef, Registration> registrations_;
    std::map<HandlerRef, InstalledHandler> handlers_;
    HotKeyRef nextRef_ = 1;
    HandlerRef nextHandlerRef_ = 1;
    ResultObserver observer_;
    Logger log_{kAppSubsystem, "GlobalHotKey"};
};

}  // namespace quillet

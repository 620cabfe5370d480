#include "app/shortcuts/GlobalHotKeyManager.h"

#include <algorithm>
#include <vector>

#include "shared/catalog/FileTypeCatalog.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace {
bool shortcutLess(const QuickCreateShortcut& a, const QuickCreateShortcut& b) {
    return std::tie(a.keyCode, a.carbonModifiers) < std::tie(b.keyCode, b.carbonModifiers);
}
}  // namespace

HotKeyPurpose hotKeyPurpose(const HotKeyAction& action, std::vector<std::string> command) {
    if (action.kind == HotKeyAction::Kind::quickCreate)
        return {"quick-create", translate("Show Quick Create"), std::move(command)};
    // TRANSLATORS: what a keyboard shortcut does, as the desktop's shortcut settings list it; %1 is a file type.
    std::string description = formatText(translate("New %1 File"), {action.typeID});
    if (const auto type = fileTypeForID(action.typeID)) {
        // "New Word Document" rather than "New Word Document File"; a template is named by its
        // own name ("New Letter").
        const bool named = type->category == FileTypeCategory::office || type->category == FileTypeCategory::templates;
        // TRANSLATORS: %1 is a document type ("Word Document") or a template's name.
        description = formatText(translate(named ? "New %1" : "New %1 File"), {localizedName(*type)});
    }
    return {"create-" + action.typeID, std::move(description), std::move(command)};
}

GlobalHotKeyManager::GlobalHotKeyManager(HotKeyService& service, MainQueue& mainQueue,
                                         std::function<void(const HotKeyAction&)> perform,
                                         CommandForAction commandFor)
    : service_(service), mainQueue_(mainQueue), perform_(std::move(perform)), commandFor_(std::move(commandFor)) {
    std::weak_ptr<bool> alive = alive_;
    service_.setResultObserver([this, alive](HotKeyService::HotKeyRef ref, int status) {
        auto a = alive.lock();
        if (a && *a) registrationAnswered(ref, status);
    });
}

GlobalHotKeyManager::~GlobalHotKeyManager() {
    *alive_ = false;
    unregisterAll();
    service_.setResultObserver({});
    if (eventHandlerRef_) service_.removeEventHandler(*eventHandlerRef_);
}

void GlobalHotKeyManager::registerShortcuts(const QuickCreateShortcut& quickCreate,
                                            const FileTypeShortcuts& fileTypeShortcuts) {
    wanted_ = ShortcutSet{quickCreate, fileTypeShortcuts};
    if (isSuspended()) return;
    releaseRegistrations();
    if (!installHandlerIfNeeded()) {
        updateWayFailure();
        return;
    }

    std::set<QuickCreateShortcut, bool (*)(const QuickCreateShortcut&, const QuickCreateShortcut&)>
        used(shortcutLess);
    registerHotKey(quickCreate, kQuickCreateID, HotKeyAction::quickCreate(), used);

    // std::map already iterates by identifier in plain ascending order.
    uint32_t counter = kFirstFileTypeID;
    for (const auto& [typeID, shortcut] : fileTypeShortcuts) {
        registerHotKey(shortcut, counter, HotKeyAction::createFile(typeID), used);
        ++counter;  // skipped pairs still consume their id
    }
    updateWayFailure();
}

void GlobalHotKeyManager::updateWayFailure() {
    auto failure = service_.wayFailure();
    if (failure == wayFailure.get()) return;
    if (failure) log_.error("Global shortcuts are not available: %{public}s", *failure);
    wayFailure.set(std::move(failure));
}

void GlobalHotKeyManager::registerHotKey(
    const QuickCreateShortcut& shortcut, uint32_t id, const HotKeyAction& action,
    std::set<QuickCreateShortcut, bool (*)(const QuickCreateShortcut&, const QuickCreateShortcut&)>& used) {
    if (!shortcut.isUsable()) return;
    if (!used.insert(shortcut).second) {
        log_.error("Skipping duplicate %{public}s hot key", shortcut.displayString());
        return;
    }
    HotKeyService::HotKeyRef ref = 0;
    const HotKeyPurpose purpose = hotKeyPurpose(action, commandFor_ ? commandFor_(action) : std::vector<std::string>{});
    int status = service_.registerEventHotKey(shortcut.keyCode, shortcut.carbonModifiers,
                                              HotKeyIdentity{kSignature, id}, purpose, ref);
    if (status != kHotKeyNoErr && status != kHotKeyPending) {
        log_.error("Failed to register %{public}s hot key: %d", shortcut.displayString(), status);
        return;
    }
    hotKeyRefs_[id] = ref;
    actionsByID_[id] = action;
    if (status == kHotKeyPending) {
        // Logged when the desktop answers.
        pending_[ref] = {id, shortcut.displayString()};
        return;
    }
    log_.log("Registered %{public}s hot key", shortcut.displayString());
}

void GlobalHotKeyManager::registrationAnswered(HotKeyService::HotKeyRef ref, int status) {
    const auto it = pending_.find(ref);
    if (it == pending_.end()) return;
    const auto [id, display] = it->second;
    pending_.erase(it);
    if (status == kHotKeyNoErr) {
        log_.log("Registered %{public}s hot key", display);
        updateWayFailure();
        return;
    }
    log_.error("Failed to register %{public}s hot key: %d", display, status);
    // A refused combination does nothing, as if it had been refused at once.
    hotKeyRefs_.erase(id);
    actionsByID_.erase(id);
    updateWayFailure();
}

void GlobalHotKeyManager::unregisterAll() {
    releaseRegistrations();
    wanted_.reset();
}

void GlobalHotKeyManager::releaseRegistrations() {
    for (const auto& [id, ref] : hotKeyRefs_) service_.unregisterEventHotKey(ref);
    hotKeyRefs_.clear();
    actionsByID_.clear();
    pending_.clear();
}

HotKeySuspension GlobalHotKeyManager::suspend() {
    if (suspensions_++ == 0) {
        releaseRegistrations();
        log_.log("Hot keys released while a shortcut is recorded");
    }
    std::weak_ptr<bool> alive = alive_;
    return HotKeySuspension([this, alive] {
        auto a = alive.lock();
        if (a && *a) resume();
    });
}

void GlobalHotKeyManager::resume() {
    if (--suspensions_ > 0) return;
    if (!wanted_) return;
    const ShortcutSet wanted = *wanted_;
    registerShortcuts(wanted.quickCreate, wanted.fileTypeShortcuts);
}

bool GlobalHotKeyManager::installHandlerIfNeeded() {
    if (handlerInstalled_) return true;
    std::weak_ptr<bool> alive = alive_;
    HotKeyService::HandlerRef ref = 0;
    int status = service_.installEventHandler(
        [this, alive](const HotKeyEvent& event) {
            auto a = alive.lock();
            if (!a || !*a) return kHotKeyNoErr;  // the manager is gone
            return handleHotKeyEvent(event);
        },
        ref);
    if (status != kHotKeyNoErr) {
        log_.error("Failed to install hot key handler: %d", status);
        return false;
    }
    eventHandlerRef_ = ref;
    handlerInstalled_ = true;
    return true;
}

int GlobalHotKeyManager::handleHotKeyEvent(const HotKeyEvent& event) {
    if (!event.identity || event.identity->signature != kSignature) return kHotKeyNoErr;
    auto it = actionsByID_.find(event.identity->id);
    if (it == actionsByID_.end()) return kHotKeyNoErr;
    HotKeyAction action = it->second;
    uint32_t timestamp = event.timestamp;
    std::weak_ptr<bool> alive = alive_;
    mainQueue_.async([this, alive, action, timestamp] {
        auto a = alive.lock();
        if (!a || !*a) return;
        lastEventTimestamp_ = timestamp;
        if (perform_) perform_(action);
    });
    return kHotKeyNoErr;
}

}  // namespace quillet

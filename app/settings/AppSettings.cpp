#include "app/settings/AppSettings.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "shared/settings/DefaultsSuite.h"
#include "shared/settings/SettingsKeys.h"
#include "app/keys/ShortcutConflicts.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "shared/Identifiers.h"
#include "shared/logging/Logger.h"

namespace quillet {

namespace {

DefaultsValue::Data bytes(const std::string& text) { return DefaultsValue::Data(text.begin(), text.end()); }

std::optional<std::string> storedData(const DefaultsSuite& defaults, const char* key) {
    auto value = defaults.get(key);
    if (!value || !value->data()) return std::nullopt;
    return std::string(value->data()->begin(), value->data()->end());
}

std::optional<std::string> storedString(const DefaultsSuite& defaults, const char* key) {
    auto value = defaults.get(key);
    if (!value || !value->string()) return std::nullopt;
    return *value->string();
}

AppPresence loadAppPresence(const DefaultsSuite& defaults, AppPresence whenUnset) {
    auto stored = storedString(defaults, settingsKey::appPresence);
    if (!defaults.get(settingsKey::appPresence)) return whenUnset;
    if (stored == "menuBarOnly") return AppPresence::menuBarOnly;
    return AppPresence::dockOnly;  // "dockAndMenuBar" is no longer offered
}

CreationDestinationMode loadDestination(const DefaultsSuite& defaults) {
    auto stored = storedString(defaults, settingsKey::directShortcutDestination);
    if (stored) {
        if (auto mode = creationDestinationModeFromRawValue(*stored)) return *mode;
    }
    return CreationDestinationMode::desktop;
}

bool loadBoolean(const DefaultsSuite& defaults, const char* key) {
    auto value = defaults.get(key);
    if (!value) return false;
    if (auto b = value->boolean()) return *b;
    if (auto i = value->integer()) return *i != 0;
    return false;
}

DefaultsValue stringArrayValue(const std::vector<std::string>& strings) {
    DefaultsValue::Array array;
    array.reserve(strings.size());
    for (const auto& s : strings) array.emplace_back(s);
    return DefaultsValue(std::move(array));
}

}  // namespace

QuickCreateShortcut loadQuickCreateShortcut(const DefaultsSuite& defaults) {
    auto json = storedData(defaults, settingsKey::quickCreateShortcut);
    if (!json) return defaultQuickCreateShortcut;
    try {
        auto shortcut = decodeQuickCreateShortcut(*json);
        return shortcut.isUsable() ? shortcut : defaultQuickCreateShortcut;
    } catch (const ShortcutDecodingError&) {
        return defaultQuickCreateShortcut;
    }
}

FileTypeShortcuts loadFileTypeShortcuts(const DefaultsSuite& defaults, const std::vector<std::string>& templateIDs) {
    auto json = storedData(defaults, settingsKey::fileTypeShortcuts);
    if (!json) return {};
    auto object = nlohmann::json::parse(*json, nullptr, false);
    if (object.is_discarded() || !object.is_object()) return {};
    FileTypeShortcuts decoded;
    try {
        for (const auto& [id, value] : object.items()) decoded[id] = quickCreateShortcutFromJSON(value);
    } catch (const ShortcutDecodingError&) {
        return {};  // one bad entry fails the whole map
    }
    FileTypeShortcuts kept;
    const std::set<std::string> templates(templateIDs.begin(), templateIDs.end());
    for (const auto& [id, shortcut] : decoded)
        if ((fileType(id) || templates.count(id)) && shortcut.isUsable()) kept.emplace(id, shortcut);
    return kept;
}

void storeQuickCreateShortcut(DefaultsSuite& defaults, const QuickCreateShortcut& shortcut,
                              std::chrono::milliseconds wait) {
    defaults.setOrThrow(settingsKey::quickCreateShortcut, bytes(encodeQuickCreateShortcut(shortcut)), wait);
}

void storeFileTypeShortcuts(DefaultsSuite& defaults, const FileTypeShortcuts& shortcuts,
                            std::chrono::milliseconds wait) {
    nlohmann::json object = nlohmann::json::object();
    for (const auto& [id, s] : shortcuts) object[id] = quickCreateShortcutJSON(s);
    defaults.setOrThrow(settingsKey::fileTypeShortcuts, bytes(object.dump()), wait);
}

// Every field as the suite holds it, each with its fallback: what launching and reloading read.
struct StoredSettings {
    std::set<std::string> enabledFileTypeIDs;
    std::vector<std::string> fileTypeOrder;
    AppPresence appPresence;
    QuickCreateShortcut quickCreateShortcut;
    FileTypeShortcuts fileTypeShortcuts;
    CreationDestinationMode directShortcutDestination;
    bool hasCompletedOnboarding;

    static StoredSettings load(const DefaultsSuite& defaults, AppPresence presenceWhenUnset,
                               const std::vector<std::string>& templateIDs) {
        return {loadEnabledFileTypeIDs(defaults, templateIDs), loadFileTypeOrder(defaults, templateIDs),
                loadAppPresence(defaults, presenceWhenUnset),
                loadQuickCreateShortcut(defaults), loadFileTypeShortcuts(defaults, templateIDs),
                loadDestination(defaults),
                loadBoolean(defaults, settingsKey::hasCompletedOnboarding)};
    }
};

AppSettings::AppSettings(DefaultsSuite& defaults, AppPresence presenceWhenUnset)
    : AppSettings(defaults, presenceWhenUnset, StoredSettings::load(defaults, presenceWhenUnset, {})) {}

AppSettings::AppSettings(DefaultsSuite& defaults, AppPresence presenceWhenUnset, StoredSettings stored)
    : enabledFileTypeIDs(std::move(stored.enabledFileTypeIDs), settingsKey::enabledFileTypeIDs,
                         [this](const std::set<std::string>& ids, std::chrono::milliseconds wait) {
                             defaults_.setOrThrow(settingsKey::enabledFileTypeIDs,
                                                  stringArrayValue({ids.begin(), ids.end()}), wait);
                             // The templates the user has now seen in the list: from here on
                             // the set above says whether each is on. Any other is new. Written
                             // only when they differ from those recorded, so without templates
                             // the set stays the only key written.
                             const std::set<std::string> seen(templateTypeIDs_.begin(), templateTypeIDs_.end());
                             if (loadKnownTemplateIDs(defaults_) != seen)
                                 defaults_.setOrThrow(settingsKey::knownTemplateIDs,
                                                      stringArrayValue(templateTypeIDs_), wait);
                         },
                         saver_),
      fileTypeOrder(std::move(stored.fileTypeOrder), settingsKey::fileTypeOrder,
                    [this](const std::vector<std::string>& order, std::chrono::milliseconds wait) {
                        defaults_.setOrThrow(settingsKey::fileTypeOrder, stringArrayValue(order), wait);
                    },
                    saver_),
      appPresence(stored.appPresence, settingsKey::appPresence,
                  [this](const AppPresence& p, std::chrono::milliseconds wait) {
                      defaults_.setOrThrow(settingsKey::appPresence, std::string(rawValue(p)), wait);
                  },
                  saver_),
      quickCreateShortcut(stored.quickCreateShortcut, settingsKey::quickCreateShortcut,
                          [this](const QuickCreateShortcut& s, std::chrono::milliseconds wait) {
                              storeQuickCreateShortcut(defaults_, s, wait);
                          },
                          saver_),
      fileTypeShortcuts(std::move(stored.fileTypeShortcuts), settingsKey::fileTypeShortcuts,
                        [this](const FileTypeShortcuts& map, std::chrono::milliseconds wait) {
                            storeFileTypeShortcuts(defaults_, map, wait);
                        },
                        saver_),
      directShortcutDestination(stored.directShortcutDestination, settingsKey::directShortcutDestination,
                                [this](const CreationDestinationMode& mode, std::chrono::milliseconds wait) {
                                    defaults_.setOrThrow(settingsKey::directShortcutDestination,
                                                         std::string(rawValue(mode)), wait);
                                },
                                saver_),
      hasCompletedOnboarding(stored.hasCompletedOnboarding, settingsKey::hasCompletedOnboarding,
                             [this](const bool& done, std::chrono::milliseconds wait) {
                                 defaults_.setOrThrow(settingsKey::hasCompletedOnboarding, done, wait);
                             },
                             saver_),
      defaults_(defaults),
      presenceWhenUnset_(presenceWhenUnset) {
    // The one key written while loading.
    storePresenceAsLoaded();
}

void AppSettings::storePresenceAsLoaded() {
    auto stored = storedString(defaults_, settingsKey::appPresence);
    if (stored == rawValue(appPresence.get())) return;
    // Not the user's doing, so nothing to tell them: a refusal is logged, and the next load
    // tries again.
    try {
        defaults_.setOrThrow(settingsKey::appPresence, std::string(rawValue(appPresence.get())),
                             saver_.isPatient() ? SettingsSaver::kTryWait : DefaultsSuite::kBusyTimeout);
    } catch (const DefaultsWriteError& e) {
        Logger(kAppSubsystem, "Settings").error("Could not store the loaded presence: %{public}s", e.description());
    }
}

void AppSettings::reloadFromSuite() {
    // Every key is read before any field is published, so a subscriber that writes a setting
    // while being told cannot make a later field come from after its own write.
    StoredSettings stored = StoredSettings::load(defaults_, presenceWhenUnset_, templateTypeIDs_);
    enabledFileTypeIDs.adopt(std::move(stored.enabledFileTypeIDs));
    fileTypeOrder.adopt(std::move(stored.fileTypeOrder));
    appPresence.adopt(stored.appPresence);
    quickCreateShortcut.adopt(stored.quickCreateShortcut);
    fileTypeShortcuts.adopt(std::move(stored.fileTypeShortcuts));
    directShortcutDestination.adopt(stored.directShortcutDestination);
    hasCompletedOnboarding.adopt(stored.hasCompletedOnboarding);
    storePresenceAsLoaded();
}

void AppSettings::adoptTemplates(std::vector<std::string> templateTypeIDs) {
    if (templateTypeIDs == templateTypeIDs_) return;
    templateTypeIDs_ = std::move(templateTypeIDs);
    reloadFromSuite();
}

void AppSettings::setEnabled(bool enabled, const std::string& typeID) {
    auto ids = enabledFileTypeIDs.get();
    if (enabled)
        ids.insert(typeID);
    else
        ids.erase(typeID);
    enabledFileTypeIDs.set(std::move(ids));
}

void AppSettings::setShortcut(const std::optional<QuickCreateShortcut>& shortcut,
                              const std::string& typeID) {
    if (!fileType(typeID) &&
        std::find(templateTypeIDs_.begin(), templateTypeIDs_.end(), typeID) == templateTypeIDs_.end())
        return;
    auto map = fileTypeShortcuts.get();
    if (shortcut && shortcut->isUsable())
        map[typeID] = *shortcut;
    else
        map.erase(typeID);
    fileTypeShortcuts.set(std::move(map));
}

std::vector<FileTypeDefinition> AppSettings::orderedFileTypes() const {
    return quillet::orderedFileTypes(fileTypeOrder.get());
}

std::vector<FileTypeDefinition> AppSettings::enabledFileTypesInOrder() const {
    return quillet::enabledFileTypesInOrder(fileTypeOrder.get(), enabledFileTypeIDs.get());
}

std::optional<std::string> AppSettings::conflictDescription(
    const QuickCreateShortcut& candidate, const std::optional<std::string>& excludingTypeID) const {
    return quillet::conflictDescription(candidate, quickCreateShortcut.get(), fileTypeShortcuts.get(),
                                        orderedFileTypes(), excludingTypeID);
}

}  // namespace quillet

#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/creation/CreationDestination.h"
#include "app/observation/Published.h"
#include "app/settings/AppPresence.h"
#include "app/settings/SettingsSaver.h"
#include "app/keys/QuickCreateShortcut.h"
#include "shared/catalog/FileTypeDefinition.h"
#include "shared/settings/DefaultsSuite.h"

namespace quillet {

struct StoredSettings;

// An observable setting that is written to the suite the moment it is assigned: its key (and
// only its key) is written, and the new value is published once it is stored. A value the suite
// refuses is never published: the field, and everything that shows it, keeps the stored one, and
// the saver reports why.
template <typename T>
class SettingField {
public:
    // Writes the value under the field's key, waiting at most the given time for another
    // program's lock; throws a DefaultsWriteError when it was not stored.
    using Write = std::function<void(const T&, std::chrono::milliseconds wait)>;

    SettingField(T initial, std::string key, Write write, SettingsSaver& saver)
        : published_(std::move(initial)), key_(std::move(key)), write_(std::move(write)), saver_(saver) {}

    const T& get() const { return published_.get(); }
    const T& operator*() const { return published_.get(); }
    const T* operator->() const { return &published_.get(); }
    void set(T value) {
        auto shared = std::make_shared<T>(std::move(value));
        saver_.save(
            key_, [this, shared](std::chrono::milliseconds wait) { write_(*shared, wait); },
            [this, shared] { published_.set(std::move(*shared)); });
    }
    // Takes a value read back from the suite: published only when it differs from the current
    // one, and not written again (it is what the suite holds already).
    bool adopt(T value) {
        if (value == published_.get()) return false;
        published_.set(std::move(value));
        return true;
    }
    [[nodiscard]] Subscription subscribe(typename Published<T>::Observer observer) {
        return published_.subscribe(std::move(observer));
    }

private:
    Published<T> published_;
    std::string key_;
    Write write_;
    SettingsSaver& saver_;
};

// The two shortcut keys, read with the same fallbacks as the settings below (a damaged or unusable
// value reads as the default, or as no shortcut) and written in the same stored form: for the
// command line, which changes these keys and nothing else.
QuickCreateShortcut loadQuickCreateShortcut(const DefaultsSuite& defaults);
// Entries of templates count while the template is among `templateIDs` (those in the folder now).
FileTypeShortcuts loadFileTypeShortcuts(const DefaultsSuite& defaults, const std::vector<std::string>& templateIDs = {});
// Both throw a DefaultsWriteError when the value was not stored.
void storeQuickCreateShortcut(DefaultsSuite& defaults, const QuickCreateShortcut& shortcut,
                              std::chrono::milliseconds wait = DefaultsSuite::kBusyTimeout);
void storeFileTypeShortcuts(DefaultsSuite& defaults, const FileTypeShortcuts& shortcuts,
                            std::chrono::milliseconds wait = DefaultsSuite::kBusyTimeout);

// Every user setting, loaded from the shared settings suite with a fallback per key, so a
// damaged or foreign value never stops the application from starting.
class AppSettings {
public:
    // Loads every field from the suite, which must outlive the settings; writes back
    // "appPresence" when the stored text was missing or not what was loaded. A missing presence
    // (the first launch) loads as `presenceWhenUnset`: the tray where the desktop has one.
    explicit AppSettings(DefaultsSuite& defaults, AppPresence presenceWhenUnset = AppPresence::dockOnly);
    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    SettingField<std::set<std::string>> enabledFileTypeIDs;
    SettingField<std::vector<std::string>> fileTypeOrder;
    SettingField<AppPresence> appPresence;
    SettingField<QuickCreateShortcut> quickCreateShortcut;
    SettingField<FileTypeShortcuts> fileTypeShortcuts;
    SettingField<CreationDestinationMode> directShortcutDestination;
    SettingField<bool> hasCompletedOnboarding;

    DefaultsSuite& defaults() const { return defaults_; }
    // Writes every assignment above; the composition root tells it where refusals go and lets
    // it wait out locks on the event loop.
    SettingsSaver& saver() { return saver_; }

    // Reads every key again, with the same fallbacks as at launch, after another process (the
    // command line) changed the suite. Only the fields whose value differs are published, so
    // their subscribers react once per real change and an unrelated write stirs nothing.
    void reloadFromSuite();

    // The user's templates now in the Templates folder, by id, in the folder's order: the file
    // type keys are read again with them (see loadEnabledFileTypeIDs), so a new template shows
    // up enabled at the end of the order and a removed one leaves every list. Nothing happens
    // when the ids are the ones adopted before.
    void adoptTemplates(std::vector<std::string> templateTypeIDs);
    const std::vector<std::string>& templateTypeIDs() const { return templateTypeIDs_; }

    // Switches a type on or off; the id is not checked and every type may be off.
    void setEnabled(bool enabled, const std::string& typeID);
    // Stores a usable shortcut for a catalog type or a present template, or removes its entry;
    // unknown ids change nothing.
    void setShortcut(const std::optional<QuickCreateShortcut>& shortcut, const std::string& typeID);

    // Catalog types in the user's order, enabled or not.
    std::vector<FileTypeDefinition> orderedFileTypes() const;
    // The types offered for creation: ordered, then only the enabled ones.
    std::vector<FileTypeDefinition> enabledFileTypesInOrder() const;
    // What the candidate collides with ("Conflicts with Quick Create", "Conflicts with Markdown").
    std::optional<std::string> conflictDescription(const QuickCreateShortcut& candidate,
                                                   const std::optional<std::string>& excludingTypeID) const;

private:
    AppSettings(DefaultsSuite& defaults, AppPresence presenceWhenUnset, StoredSettings stored);
    // A missing or retired presence is stored as loaded.
    void storePresenceAsLoaded();

    DefaultsSuite& defaults_;
    AppPresence presenceWhenUnset_;
    SettingsSaver saver_;
    std::vector<std::string> templateTypeIDs_;
};

}  // namespace quillet

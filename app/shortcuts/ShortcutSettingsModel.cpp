#include "app/shortcuts/ShortcutSettingsModel.h"

#include "app/observation/Published.h"
#include "app/settings/AppSettings.h"
#include "app/keys/ShortcutConflicts.h"
#include "shared/text/Translation.h"

namespace quillet {

ShortcutSettingsModel::ShortcutSettingsModel(AppSettings& settings, bool globalShortcutsAvailable, DesktopWords words,
                                             Published<std::optional<std::string>>* wayFailure)
    : settings_(settings),
      globalShortcutsAvailable_(globalShortcutsAvailable),
      words_(std::move(words)),
      wayFailure_(wayFailure) {}

std::optional<std::string> ShortcutSettingsModel::availabilityNote() const {
    const std::optional<std::string> why = wayFailure_ ? wayFailure_->get() : std::nullopt;
    if (globalShortcutsAvailable_ && !why) return std::nullopt;
    std::string note = translate(kUnavailableNote);
    if (why && !why->empty()) {
        // The log's reason, as a sentence of its own.
        std::string sentence = *why;
        if (sentence.front() >= 'a' && sentence.front() <= 'z') sentence.front() = char(sentence.front() - 'a' + 'A');
        note += "\n" + sentence + ".";
    }
    return note;
}

QuickCreateShortcut ShortcutSettingsModel::quickCreateShortcut() const { return settings_.quickCreateShortcut.get(); }

std::optional<std::string> ShortcutSettingsModel::quickCreateConflict() const {
    return quickCreateConflictDescription(settings_.quickCreateShortcut.get(), settings_.fileTypeShortcuts.get(),
                                          settings_.orderedFileTypes());
}

void ShortcutSettingsModel::setQuickCreateShortcut(const QuickCreateShortcut& shortcut) {
    settings_.quickCreateShortcut.set(shortcut);
}

void ShortcutSettingsModel::resetQuickCreateShortcut() { settings_.quickCreateShortcut.set(defaultQuickCreateShortcut); }

CreationDestinationMode ShortcutSettingsModel::destination() const { return settings_.directShortcutDestination.get(); }

std::string ShortcutSettingsModel::destinationSymbol() const {
    return destinationChoice(destination()).symbolName;
}

void ShortcutSettingsModel::setDestination(CreationDestinationMode mode) {
    if (mode != settings_.directShortcutDestination.get()) settings_.directShortcutDestination.set(mode);
}

std::vector<ShortcutSettingsModel::DirectShortcutRow> ShortcutSettingsModel::directShortcutRows() const {
    std::vector<DirectShortcutRow> rows;
    for (const auto& type : settings_.orderedFileTypes()) rows.push_back(directShortcutRow(type));
    return rows;
}

ShortcutSettingsModel::DirectShortcutRow ShortcutSettingsModel::directShortcutRow(const FileTypeDefinition& type) const {
    DirectShortcutRow row;
    row.type = type;
    const auto& shortcuts = settings_.fileTypeShortcuts.get();
    if (auto it = shortcuts.find(type.id); it != shortcuts.end()) row.shortcut = it->second;
    row.canClear = row.shortcut.has_value();
    // TRANSLATORS: %1 is a file type ("Markdown").
    row.clearHelp = formatText(translate("Clear %1 shortcut"), {localizedName(type)});

    // A disabled type keeps its shortcut but registers nothing, so its own row names no conflict;
    // the other rows and the Quick Create row still count it.
    if (!settings_.enabledFileTypeIDs.get().count(type.id)) {
        // TRANSLATORS: %1 is a file name extension (".md").
        row.status = formatText(translate("%1 disabled"), {"." + type.fileExtension});
        return row;
    }
    if (row.shortcut) {
        if (auto conflict = settings_.conflictDescription(*row.shortcut, type.id)) {
            row.status = *conflict;
            row.statusIsConflict = true;
            return row;
        }
    }
    row.status = "." + type.fileExtension;
    return row;
}

void ShortcutSettingsModel::setShortcut(const std::string& typeID, const std::optional<QuickCreateShortcut>& shortcut) {
    settings_.setShortcut(shortcut, typeID);
}

void ShortcutSettingsModel::clearShortcut(const std::string& typeID) { settings_.setShortcut(std::nullopt, typeID); }

Subscription ShortcutSettingsModel::observe(std::function<void()> changed) {
    if (wayFailure_)
        return subscribeToAny(std::move(changed), settings_.quickCreateShortcut, settings_.fileTypeShortcuts,
                              settings_.enabledFileTypeIDs, settings_.fileTypeOrder, settings_.directShortcutDestination,
                              *wayFailure_);
    return subscribeToAny(std::move(changed), settings_.quickCreateShortcut, settings_.fileTypeShortcuts,
                          settings_.enabledFileTypeIDs, settings_.fileTypeOrder, settings_.directShortcutDestination);
}

}  // namespace quillet

#include "app/keys/ShortcutConflicts.h"

#include "shared/text/Translation.h"

namespace quillet {

namespace {

std::optional<std::string> firstTypeHolding(const QuickCreateShortcut& shortcut,
                                            const FileTypeShortcuts& fileTypeShortcuts,
                                            const std::vector<FileTypeDefinition>& orderedFileTypes,
                                            const std::optional<std::string>& excludingTypeID) {
    for (const auto& type : orderedFileTypes) {
        if (excludingTypeID && type.id == *excludingTypeID) continue;
        auto it = fileTypeShortcuts.find(type.id);
        if (it != fileTypeShortcuts.end() && it->second == shortcut)
            return formatText(translate("Conflicts with %1"), {localizedName(type)});
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> conflictDescription(const QuickCreateShortcut& candidate,
                                               const QuickCreateShortcut& quickCreateShortcut,
                                               const FileTypeShortcuts& fileTypeShortcuts,
                                               const std::vector<FileTypeDefinition>& orderedFileTypes,
                                               const std::optional<std::string>& excludingTypeID) {
    if (candidate == quickCreateShortcut) return std::string(translate("Conflicts with Quick Create"));
    return firstTypeHolding(candidate, fileTypeShortcuts, orderedFileTypes, excludingTypeID);
}

std::optional<std::string> quickCreateConflictDescription(
    const QuickCreateShortcut& quickCreateShortcut, const FileTypeShortcuts& fileTypeShortcuts,
    const std::vector<FileTypeDefinition>& orderedFileTypes) {
    return firstTypeHolding(quickCreateShortcut, fileTypeShortcuts, orderedFileTypes, std::nullopt);
}

}  // namespace quillet

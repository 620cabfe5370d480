#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/keys/QuickCreateShortcut.h"
#include "shared/catalog/FileTypeDefinition.h"

namespace quillet {

// What a candidate combination collides with: "Conflicts with Quick Create" when it is the
// Quick Create shortcut, else "Conflicts with <type name>" for the first type in the user's order
// (enabled or not, the excluded one skipped) whose direct shortcut it is; nothing when it is free.
std::optional<std::string> conflictDescription(const QuickCreateShortcut& candidate,
                                               const QuickCreateShortcut& quickCreateShortcut,
                                               const FileTypeShortcuts& fileTypeShortcuts,
                                               const std::vector<FileTypeDefinition>& orderedFileTypes,
                                               const std::optional<std::string>& excludingTypeID);

// The Quick Create side: "Conflicts with <type name>" for the first type in the user's order
// whose direct shortcut equals the Quick Create shortcut; nothing when none does.
std::optional<std::string> quickCreateConflictDescription(
    const QuickCreateShortcut& quickCreateShortcut, const FileTypeShortcuts& fileTypeShortcuts,
    const std::vector<FileTypeDefinition>& orderedFileTypes);

}  // namespace quillet

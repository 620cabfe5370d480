#pragma once

#include <set>
#include <string>
#include <vector>

#include "shared/catalog/FileTypeCategory.h"
#include "shared/catalog/FileTypeDefinition.h"

namespace quillet {

// One switchable type of the file types list.
struct FileTypesListRow {
    FileTypeDefinition type;
    // The extension as the row shows it, with its full stop (".md").
    std::string extensionText;
    bool isEnabled = false;

    bool operator==(const FileTypesListRow&) const = default;
};

// The types of one category, titled with the category's name.
struct FileTypesListSection {
    FileTypeCategory category;
    std::string title;
    std::vector<FileTypesListRow> rows;

    bool operator==(const FileTypesListSection&) const = default;
};

// Every category in catalog order, each with its types in the user's order, enabled or not; a
// category without types keeps its section (its title alone), so the list's shape never
// depends on the order setting.
std::vector<FileTypesListSection> fileTypesListSections(const std::vector<FileTypeDefinition>& orderedTypes,
                                                        const std::set<std::string>& enabledTypeIDs);

}  // namespace quillet

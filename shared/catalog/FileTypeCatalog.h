#pragma once

#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "shared/catalog/FileTypeDefinition.h"

namespace quillet {

// The sixteen built-in types, compiled in, in their default display order.
const std::vector<FileTypeDefinition>& allTypes();
const std::unordered_map<std::string, FileTypeDefinition>& typesByID();
const std::set<std::string>& allIDs();
const std::vector<std::string>& defaultOrder();

// The type with this id, or null when the catalog does not know it.
const FileTypeDefinition* fileType(const std::string& id);

// The type an id names: a built-in type, or a user's template by its id alone (whether the file
// is there is the business of UserTemplates). Nothing for an id that names neither.
std::optional<FileTypeDefinition> fileTypeForID(const std::string& id);

// A stored order mapped through fileTypeForID, keeping its order and skipping unknown ids.
std::vector<FileTypeDefinition> orderedFileTypes(const std::vector<std::string>& fileTypeOrder);

// orderedFileTypes, keeping only types whose id is in the enabled set (exact comparison).
std::vector<FileTypeDefinition> enabledFileTypesInOrder(
    const std::vector<std::string>& fileTypeOrder, const std::set<std::string>& enabledFileTypeIDs);

}  // namespace quillet

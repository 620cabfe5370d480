#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

#include "shared/catalog/FileTypeCategory.h"

namespace quillet {

// One creatable file type. Identity is `id`; equality compares all five fields.
struct FileTypeDefinition {
    std::string id;
    std::string displayName;
    std::string fileExtension;
    FileTypeCategory category;
    std::string sfSymbolName;

    bool operator==(const FileTypeDefinition&) const = default;
};

// The type's name as menus and lists show it: a built-in type's in the session's language, a
// template's (the user's own file name) as it is.
std::string localizedName(const FileTypeDefinition& type);

// Why a serialized definition could not be read.
class FileTypeDecodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// JSON object with exactly the keys id, displayName, fileExtension, category, sfSymbolName.
std::string encodeFileTypeDefinition(const FileTypeDefinition& type);
// Throws FileTypeDecodingError for malformed JSON, a missing or non-string key, or an unknown
// category.
FileTypeDefinition decodeFileTypeDefinition(const std::string& json);

size_t hashValue(const FileTypeDefinition& type);

}  // namespace quillet

template <>
struct std::hash<quillet::FileTypeDefinition> {
    size_t operator()(const quillet::FileTypeDefinition& type) const noexcept {
        return quillet::hashValue(type);
    }
};

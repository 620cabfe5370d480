#include "shared/catalog/FileTypeCategory.h"

namespace quillet {

std::string_view rawValue(FileTypeCategory category) {
    switch (category) {
        case FileTypeCategory::plainText: return "Plain Text";
        case FileTypeCategory::code: return "Code";
        case FileTypeCategory::office: return "Office";
        case FileTypeCategory::templates: return "Templates";
    }
    return {};
}

std::optional<FileTypeCategory> fileTypeCategoryFromRawValue(std::string_view raw) {
    for (auto category : kAllFileTypeCategories)
        if (rawValue(category) == raw) return category;
    return std::nullopt;
}

}  // namespace quillet

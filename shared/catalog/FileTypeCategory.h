#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// The group of a file type. Its raw value is also its display name and persisted form.
// `templates` holds the user's own templates (see UserTemplates.h), after the built-in groups.
enum class FileTypeCategory { plainText, code, office, templates };

std::string_view rawValue(FileTypeCategory category);
// The group's name as menus and lists show it, in the session's language.
std::string localizedTitle(FileTypeCategory category);
// Only the exact raw values are accepted ("Code", not "code").
std::optional<FileTypeCategory> fileTypeCategoryFromRawValue(std::string_view raw);

inline constexpr std::array<FileTypeCategory, 4> kAllFileTypeCategories{
    FileTypeCategory::plainText, FileTypeCategory::code, FileTypeCategory::office, FileTypeCategory::templates};

}  // namespace quillet

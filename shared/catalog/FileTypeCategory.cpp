#include "shared/catalog/FileTypeCategory.h"

#include "shared/text/Translation.h"

namespace quillet {

std::string_view rawValue(FileTypeCategory category) {
    switch (category) {
        // TRANSLATORS: a group of file types: text, Markdown, RTF and CSV.
        case FileTypeCategory::plainText: return N_("Plain Text");
        // TRANSLATORS: a group of file types: programming and markup languages.
        case FileTypeCategory::code: return N_("Code");
        // TRANSLATORS: a group of file types: Word, Excel and PowerPoint documents.
        case FileTypeCategory::office: return N_("Office");
        // TRANSLATORS: the group of the user's own templates (the Templates folder).
        case FileTypeCategory::templates: return N_("Templates");
    }
    return {};
}

std::string localizedTitle(FileTypeCategory category) { return translate(std::string(rawValue(category)).c_str()); }

std::optional<FileTypeCategory> fileTypeCategoryFromRawValue(std::string_view raw) {
    for (auto category : kAllFileTypeCategories)
        if (rawValue(category) == raw) return category;
    return std::nullopt;
}

}  // namespace quillet

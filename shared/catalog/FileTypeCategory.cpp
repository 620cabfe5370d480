#include "shared/catalog/FileTypeCategory.h"

#include "shared/text/Translation.h"

namespace quillet {

std::string_view rawValue(FileTypeCategory category) {
    switch (category) {
        case FileTypeCategory::plainText:
            // TRANSLATORS: a group of file types: text, Markdown, RTF and CSV.
            return N_("Plain Text");
        case FileTypeCategory::code:
            // TRANSLATORS: a group of file types: programming and markup languages.
            return N_("Code");
        case FileTypeCategory::office:
            // TRANSLATORS: a group of file types: Word, Excel and PowerPoint documents.
            return N_("Office");
        case FileTypeCategory::templates:
            // TRANSLATORS: the group of the user's own templates (the Templates folder).
            return N_("Templates");
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

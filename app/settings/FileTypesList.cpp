#include "app/settings/FileTypesList.h"

namespace quillet {

std::vector<FileTypesListSection> fileTypesListSections(const std::vector<FileTypeDefinition>& orderedTypes,
                                                        const std::set<std::string>& enabledTypeIDs) {
    std::vector<FileTypesListSection> sections;
    for (FileTypeCategory category : kAllFileTypeCategories) {
        FileTypesListSection section{category, std::string(rawValue(category)), {}};
        for (const auto& type : orderedTypes) {
            if (type.category != category) continue;
            section.rows.push_back({type, "." + type.fileExtension, enabledTypeIDs.count(type.id) > 0});
        }
        sections.push_back(std::move(section));
    }
    return sections;
}

}  // namespace quillet

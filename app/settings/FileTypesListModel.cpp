#include "app/settings/FileTypesListModel.h"

#include "app/observation/Published.h"
#include "app/settings/AppSettings.h"
#include "shared/catalog/UserTemplates.h"
#include "shared/text/Translation.h"

namespace quillet {

std::vector<FileTypesListSection> fileTypesListSections(const std::vector<FileTypeDefinition>& orderedTypes,
                                                        const std::set<std::string>& enabledTypeIDs) {
    std::vector<FileTypesListSection> sections;
    for (FileTypeCategory category : kAllFileTypeCategories) {
        FileTypesListSection section{category, localizedTitle(category), {}};
        for (const auto& type : orderedTypes) {
            if (type.category != category) continue;
            // A template is told apart by where it lies in the Templates folder.
            const bool isTemplate = category == FileTypeCategory::templates;
            section.rows.push_back({type, isTemplate ? *templateRelativePath(type.id) : "." + type.fileExtension,
                                    enabledTypeIDs.count(type.id) > 0});
        }
        // The built-in groups always show, empty or not; the templates' only when there are any.
        if (category == FileTypeCategory::templates && section.rows.empty()) continue;
        sections.push_back(std::move(section));
    }
    return sections;
}

FileTypesListModel::FileTypesListModel(AppSettings& settings) : settings_(settings) {}

std::vector<FileTypesListSection> FileTypesListModel::sections() const {
    return fileTypesListSections(settings_.orderedFileTypes(), settings_.enabledFileTypeIDs.get());
}

bool FileTypesListModel::isEnabled(const std::string& typeID) const {
    return settings_.enabledFileTypeIDs->count(typeID) > 0;
}

void FileTypesListModel::setEnabled(const std::string& typeID, bool enabled) { settings_.setEnabled(enabled, typeID); }

Subscription FileTypesListModel::observe(std::function<void()> changed) {
    return subscribeToAny(std::move(changed), settings_.enabledFileTypeIDs, settings_.fileTypeOrder);
}

}  // namespace quillet

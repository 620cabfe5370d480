#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/observation/Subscription.h"
#include "shared/catalog/FileTypeCategory.h"
#include "shared/catalog/FileTypeDefinition.h"

namespace quillet {

class AppSettings;

// One switchable type of the file types list.
struct FileTypesListRow {
    FileTypeDefinition type;
    // The extension as the row shows it, with its full stop (".md"); for a template, its path in
    // the Templates folder ("Work/Invoice.ods").
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

// What the file types list shows and where its switches go: the sections above, from the
// settings as they are now. A switch writes the type's enabled state and nothing else.
class FileTypesListModel {
public:
    explicit FileTypesListModel(AppSettings& settings);

    std::vector<FileTypesListSection> sections() const;
    bool isEnabled(const std::string& typeID) const;
    void setEnabled(const std::string& typeID, bool enabled);

    // `changed` runs after every change of the enabled types or their order, wherever it was
    // made, until the returned subscription is cancelled or dropped.
    [[nodiscard]] Subscription observe(std::function<void()> changed);

private:
    AppSettings& settings_;
};

}  // namespace quillet

#include "app/quickcreate/QuickCreatePanelModel.h"

#include <algorithm>

#include "app/observation/Published.h"
#include "app/quickcreate/DesktopCreationController.h"
#include "app/settings/AppSettings.h"
#include "shared/catalog/UserTemplates.h"
#include "shared/text/Translation.h"

namespace quillet {

QuickCreatePanelModel::QuickCreatePanelModel(DesktopCreationController& controller) : controller_(controller) {}

std::vector<QuickCreatePanelModel::Section> QuickCreatePanelModel::sections() const {
    const std::vector<FileTypeDefinition> matching = controller_.matchingFileTypes();
    std::vector<Section> result;
    for (FileTypeCategory category : kAllFileTypeCategories) {
        Section section{category, localizedTitle(category), {}};
        // Templates of a subfolder get a section of their own, titled with the folder's path, in
        // the order the folders first come.
        std::vector<Section> folders;
        for (const auto& type : matching) {
            if (type.category != category) continue;
            const std::string group = templateGroup(type);
            if (group.empty()) {
                section.types.push_back(type);
                continue;
            }
            auto folder = std::find_if(folders.begin(), folders.end(), [&](const Section& s) { return s.heading == group; });
            if (folder == folders.end()) folder = folders.insert(folders.end(), Section{category, group, {}});
            folder->types.push_back(type);
        }
        if (!section.types.empty()) result.push_back(std::move(section));
        for (auto& folder : folders) result.push_back(std::move(folder));
    }
    return result;
}

bool QuickCreatePanelModel::showsEmptyState() const { return controller_.matchingFileTypes().empty(); }

QuickCreatePanelModel::Footer QuickCreatePanelModel::footer() const {
    const CreationDestinationMode mode = controller_.destinationMode.get();
    const DestinationChoice& choice = destinationChoice(mode);
    Footer footer;
    footer.symbolName = choice.symbolName;
    if (const auto& status = controller_.statusMessage.get()) {
        footer.title = *status;
        footer.titleIsStatus = true;
    } else {
        footer.title = words().fill(choice.title);
    }
    footer.detail = mode == CreationDestinationMode::desktop ? controller_.desktopFolderURL().string()
                                                             : words().fill(kFrontFolderDetail);
    return footer;
}

const DesktopWords& QuickCreatePanelModel::words() const { return controller_.words(); }

CreationDestinationMode QuickCreatePanelModel::destinationMode() const { return controller_.destinationMode.get(); }

const std::string& QuickCreatePanelModel::searchText() const { return controller_.searchText.get(); }

Subscription QuickCreatePanelModel::observe(std::function<void()> changed) {
    AppSettings& settings = controller_.settings();
    return subscribeToAny(std::move(changed), controller_.destinationMode, controller_.searchText,
                          controller_.statusMessage, settings.enabledFileTypeIDs, settings.fileTypeOrder,
                          selection_);
}

void QuickCreatePanelModel::setSearchText(const std::string& text) {
    if (text != controller_.searchText.get()) controller_.searchText.set(text);
}

void QuickCreatePanelModel::setDestinationMode(CreationDestinationMode mode) {
    if (mode != controller_.destinationMode.get()) controller_.destinationMode.set(mode);
}

void QuickCreatePanelModel::createFile(const FileTypeDefinition& type) { controller_.createFile(type); }

namespace {

// Where a tile sits in the drawn grid: its row counted over every section, and its column.
struct GridPlace {
    size_t row = 0;
    size_t column = 0;
};

// The grid as drawn: rows of tiles, each section starting a new row.
std::vector<std::vector<FileTypeDefinition>> gridRows(const std::vector<QuickCreatePanelModel::Section>& sections) {
    std::vector<std::vector<FileTypeDefinition>> rows;
    for (const auto& section : sections)
        for (size_t i = 0; i < section.types.size(); ++i) {
            if (i % QuickCreatePanelModel::kColumns == 0) rows.emplace_back();
            rows.back().push_back(section.types[i]);
        }
    return rows;
}

}  // namespace

std::optional<FileTypeDefinition> QuickCreatePanelModel::selectedType() const {
    const auto rows = gridRows(sections());
    if (rows.empty()) return std::nullopt;
    if (const auto& chosen = selection_.get(); chosen && chosen->searchText == searchText())
        for (const auto& row : rows)
            for (const auto& type : row)
                if (type.id == chosen->typeID) return type;
    return rows.front().front();
}

void QuickCreatePanelModel::moveSelection(Move move) {
    const auto rows = gridRows(sections());
    const auto selected = selectedType();
    if (!selected) return;
    GridPlace at;
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            if (rows[r][c].id == selected->id) at = {r, c};

    GridPlace to = at;
    switch (move) {
        case Move::left:
            if (at.column > 0)
                --to.column;
            else if (at.row > 0)
                to = {at.row - 1, rows[at.row - 1].size() - 1};
            break;
        case Move::right:
            if (at.column + 1 < rows[at.row].size())
                ++to.column;
            else if (at.row + 1 < rows.size())
                to = {at.row + 1, 0};
            break;
        case Move::up:
            if (at.row > 0) to = {at.row - 1, std::min(at.column, rows[at.row - 1].size() - 1)};
            break;
        case Move::down:
            if (at.row + 1 < rows.size()) to = {at.row + 1, std::min(at.column, rows[at.row + 1].size() - 1)};
            break;
    }
    Selection next{rows[to.row][to.column].id, searchText()};
    if (selection_.get() != next) selection_.set(std::move(next));
}

void QuickCreatePanelModel::resetSelection() {
    if (selection_.get()) selection_.set(std::nullopt);
}

void QuickCreatePanelModel::prepareNextOpening() {
    // Every opening by a key or a menu is in the Desktop mode.
    controller_.startQuickCreateAfresh(CreationDestinationMode::desktop);
    resetSelection();
}

bool QuickCreatePanelModel::createSelected() {
    const auto selected = selectedType();
    if (!selected) return false;
    createFile(*selected);
    return true;
}

}  // namespace quillet

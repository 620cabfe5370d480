#include "app/quickcreate/QuickCreatePanelModel.h"

#include "app/observation/Published.h"
#include "app/quickcreate/DesktopCreationController.h"
#include "app/settings/AppSettings.h"

namespace quillet {

QuickCreatePanelModel::QuickCreatePanelModel(DesktopCreationController& controller) : controller_(controller) {}

std::vector<QuickCreatePanelModel::Section> QuickCreatePanelModel::sections() const {
    const std::vector<FileTypeDefinition> matching = controller_.matchingFileTypes();
    std::vector<Section> result;
    for (FileTypeCategory category : kAllFileTypeCategories) {
        Section section{category, std::string(rawValue(category)), {}};
        for (const auto& type : matching)
            if (type.category == category) section.types.push_back(type);
        if (!section.types.empty()) result.push_back(std::move(section));
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
                          controller_.statusMessage, settings.enabledFileTypeIDs, settings.fileTypeOrder);
}

void QuickCreatePanelModel::setSearchText(const std::string& text) {
    if (text != controller_.searchText.get()) controller_.searchText.set(text);
}

void QuickCreatePanelModel::setDestinationMode(CreationDestinationMode mode) {
    if (mode != controller_.destinationMode.get()) controller_.destinationMode.set(mode);
}

void QuickCreatePanelModel::createFile(const FileTypeDefinition& type) { controller_.createFile(type); }

}  // namespace quillet

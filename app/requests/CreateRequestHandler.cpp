#include "app/requests/CreateRequestHandler.h"

#include <exception>

#include "app/creation/FolderAccessCreation.h"
#include "shared/requests/CreateRequestURL.h"
#include "app/requests/URLComponents.h"
#include "platform/ApplicationWindows.h"
#include "platform/FileViewer.h"
#include "platform/MainQueue.h"
#include "platform/ModalAlert.h"
#include "shared/errors/UserFacingError.h"
#include "shared/catalog/FileTypeCatalog.h"

namespace quillet {

CreateRequestHandler::CreateRequestHandler(FolderAccessCreation& creation, ModalAlert& alert,
                                           FileViewer& fileViewer, ApplicationWindows& windows,
                                           MainQueue& mainQueue)
    : creation_(creation),
      alert_(alert),
      fileViewer_(fileViewer),
      windows_(windows),
      mainQueue_(mainQueue),
      log_(kAppSubsystem, kLogCategory) {}

OpenURLOutcome CreateRequestHandler::handleOpenURL(std::string_view url, std::int64_t requester) {
    const auto scheme = urlScheme(url);
    if (!scheme || *scheme != kCreateRequestScheme) return {OpenURLOutcome::Kind::ignored, {}};

    const auto request = CreateFileRequest::parse(url);
    if (!request) {
        windows_.activateIgnoringOtherApps();
        return {OpenURLOutcome::Kind::activated, {}};
    }

    const bool wasActive = windows_.isActive();
    const auto created = handleCreateRequest(*request, requester);
    if (!wasActive) {
        // Delivering the URL may have opened the main window; the second pass catches one that
        // appears only once the current event has been handled.
        closeMainWindows();
        mainQueue_.async([this] { closeMainWindows(); });
    }
    if (!created) return {OpenURLOutcome::Kind::failed, {}};
    return {OpenURLOutcome::Kind::created, *created};
}

std::optional<std::filesystem::path> CreateRequestHandler::handleCreateRequest(const CreateFileRequest& request,
                                                                              std::int64_t requester) {
    // A template id that leads out of the Templates folder names no template: refused here like
    // any unknown type, before anything is read or created.
    const std::optional<FileTypeDefinition> type = creation_.fileTypeNamed(request.typeID);
    if (!type) {
        log_.error("Unknown file type requested: %{public}s", request.typeID);
        windows_.activateIgnoringOtherApps();
        alert_.runModal({kFailureMessage, kUnknownTypeText, AlertStyle::warning});
        return std::nullopt;
    }

    std::filesystem::path created;
    try {
        // The folder comes from outside: a relative path or one holding NUL is refused here,
        // before anything touches the file system.
        const FolderPath folder = request.folderURL();
        log_.log("Creating file from Finder request: type=%{public}s dir=%{public}s", request.typeID,
                 folder.string());
        created = creation_.createFileWithFolderAccess(*type, folder);
    } catch (const UserFacingError& error) {
        fail(error.description());
        return std::nullopt;
    } catch (const std::exception& error) {
        // Nothing else is expected; whatever it is, the user hears of it and the loop goes on.
        fail(error.what());
        return std::nullopt;
    }
    log_.log("Created file from Finder request: %{public}s", created.string());
    fileViewer_.showInRequestingFileManager({created}, requester);
    return created;
}

void CreateRequestHandler::fail(const std::string& description) {
    log_.error("Create request failed: %{public}s", description);
    windows_.activateIgnoringOtherApps();
    alert_.runModal({kFailureMessage, description, AlertStyle::warning});
}

void CreateRequestHandler::closeMainWindows() {
    windows_.closeWindows([](const WindowDescription& window) {
        return !window.isPanel && window.title == kMainWindowTitle;
    });
}

}  // namespace quillet

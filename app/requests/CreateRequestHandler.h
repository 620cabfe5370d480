#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "app/requests/CreateFileRequest.h"
#include "shared/logging/Logger.h"
#include "shared/text/Translation.h"

namespace quillet {

class ApplicationWindows;
class FileViewer;
class FolderAccessCreation;
class MainQueue;
class ModalAlert;

// What became of one opened URL, for callers that report it (the command line's exit status).
struct OpenURLOutcome {
    enum class Kind {
        ignored,    // not a create request at all: nothing happened
        activated,  // a malformed create request: the application only came to the front
        created,    // createdFile holds the new file
        failed,     // the user was shown why (an alert)
    };
    Kind kind = Kind::ignored;
    std::filesystem::path createdFile;

    bool operator==(const OpenURLOutcome&) const = default;
};

// Carries out the create requests the file-manager extension sends as quillaxe: URLs. Every URL
// the application is asked to open comes through handleOpenURL, on the main thread; alerts and
// the access prompt run modally inside it.
class CreateRequestHandler {
public:
    static constexpr const char* kLogCategory = "CreateFileRequest";
    // The title of the main window, the one window a request closes again.
    static constexpr const char* kMainWindowTitle = "Quillet+";
    static constexpr const char* kFailureMessage = N_("Could not create file");
    static constexpr const char* kUnknownTypeText = N_("Quillet+ does not know how to create this file type.");

    // Every collaborator must outlive the handler, and the handler must outlive the work it
    // queues on `mainQueue`.
    CreateRequestHandler(FolderAccessCreation& creation, ModalAlert& alert, FileViewer& fileViewer,
                         ApplicationWindows& windows, MainQueue& mainQueue);

    // Takes the URL's text as it arrived: scheme and host are compared as written. `requester`
    // is the file manager process the link came from (0 when unknown), which is asked to show
    // the new file.
    OpenURLOutcome handleOpenURL(std::string_view url, std::int64_t requester = 0);
    // The new file, or nothing once the failure has been logged and shown.
    std::optional<std::filesystem::path> handleCreateRequest(const CreateFileRequest& request,
                                                             std::int64_t requester = 0);
    // Closes the application's ordinary windows titled "Quillet+", leaving panels alone.
    void closeMainWindows();

private:
    void fail(const std::string& description);

    FolderAccessCreation& creation_;
    ModalAlert& alert_;
    FileViewer& fileViewer_;
    ApplicationWindows& windows_;
    MainQueue& mainQueue_;
    Logger log_;
};

}  // namespace quillet

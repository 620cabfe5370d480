#pragma once

#include <memory>

#include "app/creation/CreationDestination.h"

namespace quillet {
class CreateRequestHandler;
class FolderAccessCreation;
class ResourceBundle;
struct UserEnvironment;
}  // namespace quillet

namespace quillet::cli {

// What one command-line run needs to create files the way the application does: the shared
// settings suite with its folder grants, the creation entry, and the request handler with its
// alert, reveal, activation and window ports. Built once per run, as the application's
// composition root builds its own.
//
// With a display (see availableDisplayPlatform) a QApplication runs, so alerts and the access
// prompt are Qt dialogs and new files are revealed in the file manager. Without one nothing of
// Qt starts: alerts go to standard error and an access prompt counts as cancelled. A script's
// run asks for no dialogs at all: it is never left waiting on one.
class CreationSession {
public:
    enum class Dialogs { whereDisplayed, never };

    // The user's folders come from `environment`, the templates from `resources`; both must
    // outlive the session.
    CreationSession(const UserEnvironment& environment, const ResourceBundle& resources,
                    Dialogs dialogs = Dialogs::whereDisplayed);
    ~CreationSession();
    CreationSession(const CreationSession&) = delete;
    CreationSession& operator=(const CreationSession&) = delete;

    bool hasDisplay() const;
    FolderAccessCreation& creation();
    CreateRequestHandler& requestHandler();
    // The folder Quick Create would use now: the Desktop, or the front file manager window's.
    ResolvedCreationDestination resolveDestination(CreationDestinationMode mode);

    // Runs the work the handler queued for later and waits for reveals still on their way to
    // the file manager; called before the process exits.
    void finish();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace quillet::cli

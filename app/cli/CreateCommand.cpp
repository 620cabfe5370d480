#include <filesystem>
#include <ostream>

#include "app/cli/CommandLine.h"
#include "app/cli/CreateInFolder.h"
#include "app/cli/CreationSession.h"
#include "app/creation/CreationDestination.h"
#include "app/creation/FolderAccessCreation.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "shared/errors/UserFacingError.h"

namespace quillet::cli {

int createCommand(Invocation& inv) {
    std::string destinationArgument;
    const bool destinationGiven = takeOption(inv.args, "--destination", destinationArgument);
    if (inv.args.empty() || inv.args.size() > 2 || (inv.args.size() == 2 && inv.args[1].empty()) ||
        (destinationGiven && inv.args.size() == 2)) {
        inv.err << "usage: quillet create TYPE FOLDER\n"
                << "       quillet create TYPE [--destination desktop|frontFinderFolder]\n";
        return kExitUsage;
    }
    const FileTypeDefinition* type = fileType(inv.args[0]);
    if (!type) return usageError(inv, "unknown file type \"" + inv.args[0] + "\" (see quillet types)");
    CreationDestinationMode mode = CreationDestinationMode::desktop;
    if (destinationGiven) {
        auto parsed = creationDestinationModeFromRawValue(destinationArgument);
        if (!parsed)
            return usageError(inv, "unknown destination \"" + destinationArgument +
                                       "\" (desktop or frontFinderFolder)");
        mode = *parsed;
    }

    // Through the saved grants like every other creation: a sandboxed run without one prompts
    // (and, without a display, reports the missing access).
    CreationSession session(inv.environment, inv.resources);
    if (inv.args.size() == 2) return createInFolder(inv, {type, inv.args[1]}, session.creation());
    try {
        // Where Quick Create would put it, resolved right before writing, and the line its
        // status shows.
        const ResolvedCreationDestination destination = session.resolveDestination(mode);
        const std::filesystem::path created = session.creation().createFileWithFolderAccess(*type, destination.url);
        inv.out << created.string() << "\n" << creationStatusMessage(created, destination) << "\n";
        return kExitOK;
    } catch (const UserFacingError& error) {
        return reportCreationFailure(inv, error.description());
    } catch (const std::exception& error) {
        // Nothing else is expected; the command still ends with the text and a failure status.
        return reportCreationFailure(inv, error.what());
    }
}

}  // namespace quillet::cli

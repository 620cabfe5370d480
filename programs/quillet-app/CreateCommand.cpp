#include <unistd.h>

#include <filesystem>
#include <optional>
#include <ostream>

#include "programs/quillet-app/CommandLine.h"
#include "app/commands/CreateInFolder.h"
#include "programs/quillet-app/CreationSession.h"
#include "app/creation/CreationDestination.h"
#include "app/creation/FolderAccessCreation.h"
#include "app/desktop/FileManagerMenu.h"
#include "platform/posix/LaunchingFileManagerViewer.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "shared/catalog/UserTemplates.h"
#include "shared/text/Translation.h"

namespace quillet::cli {

int createCommand(Invocation& inv) {
    // "create TYPE --item PATH...", as the file managers' menus run it with the clicked items:
    // every word after the option is an item, whatever it looks like.
    std::optional<std::string> clickedItem;
    if (inv.args.size() >= 2 && inv.args[1] == FileManagerMenu::kItemOption) {
        if (inv.args.size() == 2 || inv.args[2].empty())
            return usageError(inv, N_("--item needs the clicked item's path"));
        clickedItem = inv.args[2];
        inv.args.resize(1);
    }
    std::string destinationArgument;
    const bool destinationGiven = takeOption(inv.args, "--destination", destinationArgument);
    if (inv.args.empty() || inv.args.size() > 2 || (inv.args.size() == 2 && inv.args[1].empty()) ||
        (destinationGiven && inv.args.size() == 2)) {
        inv.err << "usage: quillet create TYPE FOLDER\n"
                << "       quillet create TYPE [--destination desktop|frontFinderFolder]\n"
                << "       quillet create TYPE --item PATH...\n";
        return kExitUsage;
    }
    const auto type = creatableFileType(inv.args[0], UserTemplates(inv.environment.templatesFolder()));
    if (!type)
        return usageError(inv, formatText(translate("unknown file type \"%1\" (see quillet types)"), {inv.args[0]}));
    CreationDestinationMode mode = CreationDestinationMode::desktop;
    if (destinationGiven) {
        auto parsed = creationDestinationModeFromRawValue(destinationArgument);
        if (!parsed)
            return usageError(inv, formatText(translate("unknown destination \"%1\" (desktop or frontFinderFolder)"),
                                              {destinationArgument}));
        mode = *parsed;
    }

    // Through the saved grants like every other creation: a sandboxed run without one prompts
    // (and, without a display, reports the missing access).
    CreationSession session(inv.environment, inv.resources);
    const CreateFileInFolder create = [&session](const FileTypeDefinition& type, const FolderPath& folder) {
        return session.creation().createFileWithFolderAccess(type, folder);
    };
    if (clickedItem) {
        LaunchingFileManagerViewer clickedIn(::getppid(), sessionBusAddressOf(inv.environment.sessionBusAddress,
                                                                        inv.environment.runtimeDirectory.value_or("")));
        return createInFolder(inv, {*type, *clickedItem, true}, create, &clickedIn);
    }
    if (inv.args.size() == 2) return createInFolder(inv, {*type, inv.args[1]}, create);
    return reportingCreationFailures(inv, [&] {
        // Where Quick Create would put it, resolved right before writing, and the line its
        // status shows.
        const ResolvedCreationDestination destination = session.resolveDestination(mode);
        const std::filesystem::path created = session.creation().createFileWithFolderAccess(*type, destination.url);
        inv.out << created.string() << "\n" << creationStatusMessage(created, destination) << "\n";
        return kExitOK;
    });
}

}  // namespace quillet::cli

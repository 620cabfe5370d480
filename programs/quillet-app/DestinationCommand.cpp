#include <ostream>

#include "programs/quillet-app/CommandLine.h"
#include "programs/quillet-app/DesktopSessionEnvironment.h"
#include "programs/quillet-app/QtProgram.h"
#include "app/creation/CreationDestination.h"
#include "platform/linux/FileManagerFrontFolder.h"
#include "shared/text/Translation.h"

namespace quillet::cli {

int destinationCommand(Invocation& inv) {
    if (inv.args.size() > 1) return usageError(inv, N_("destination takes at most one mode"));
    CreationDestinationMode mode = CreationDestinationMode::desktop;
    if (!inv.args.empty()) {
        auto parsed = creationDestinationModeFromRawValue(inv.args.front());
        if (!parsed)
            return usageError(inv, formatText(translate("unknown destination \"%1\" (desktop or frontFinderFolder)"),
                                              {inv.args.front()}));
        mode = *parsed;
    }

    // The session bus connection needs an application object; nothing else of Qt runs here.
    const QtProgram qt({"quillet"}, inv.environment, inv.resources, QtProgram::Start::eventLoop);

    FileManagerFrontFolder fileManager{desktopSessionAddresses(inv.environment)};
    ResolvedCreationDestination destination = resolveDestination(mode, fileManager, desktopFolderURL(inv.environment));
    inv.out << destination.url.string() << '\n' << destination.destinationDisplayName() << '\n';
    if (destination.usedFallback)
        inv.err << "quillet: " << translate("no file manager window names a folder; using the Desktop") << "\n";
    return kExitOK;
}

}  // namespace quillet::cli

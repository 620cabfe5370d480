#include <ostream>

#include "programs/quillet-app/CommandLine.h"
#include "shared/settings/DefaultsSuite.h"
#include "shared/paths/UserEnvironment.h"
#include "shared/settings/SettingsKeys.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "shared/catalog/UserTemplates.h"

namespace quillet::cli {

// Lists what the menus offer: the enabled types in the user's order (--all: every type in that
// order). Reads the settings with the same rules as the application and writes nothing.
int typesCommand(Invocation& inv) {
    bool all = takeFlag(inv.args, "--all");
    if (!inv.args.empty()) return usageError(inv, "usage: quillet types [--all]");
    auto suite = DefaultsSuite::openShared(inv.environment.configurationHome);
    // The user's templates are listed after the built-in types, with the category "Templates".
    const auto templateIDs = typeIDs(UserTemplates(inv.environment.templatesFolder()).discover());
    auto order = loadFileTypeOrder(*suite, templateIDs);
    auto types = all ? orderedFileTypes(order)
                     : enabledFileTypesInOrder(order, loadEnabledFileTypeIDs(*suite, templateIDs));
    for (const auto& type : types) {
        inv.out << type.id << '\t' << type.displayName << '\t' << type.fileExtension << '\t'
                << rawValue(type.category) << '\n';
    }
    return kExitOK;
}

}  // namespace quillet::cli

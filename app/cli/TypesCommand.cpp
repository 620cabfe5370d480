#include <ostream>

#include "app/cli/CommandLine.h"
#include "shared/catalog/FileTypeCatalog.h"

namespace quillet::cli {

int typesCommand(Invocation& inv) {
    if (!inv.args.empty()) return usageError(inv, "types takes no arguments");
    for (const auto& type : allTypes()) {
        inv.out << type.id << '\t' << type.displayName << '\t' << type.fileExtension << '\t'
                << rawValue(type.category) << '\n';
    }
    return kExitOK;
}

}  // namespace quillet::cli

#include <filesystem>
#include <ostream>
#include <system_error>

#include "app/cli/CommandLine.h"
#include "app/creation/FileCreationService.h"
#include "platform/FilePaths.h"
#include "platform/FileManager.h"
#include "shared/catalog/FileTypeCatalog.h"

namespace quillet::cli {

namespace {

// What the user sees when a creation fails, the same title and text as the alert.
int reportFailure(Invocation& inv, const std::string& description) {
    inv.err << "Could not create file\n" << description << "\n";
    return kExitFailure;
}

}  // namespace

int createCommand(Invocation& inv) {
    if (inv.args.size() != 2 || inv.args[1].empty()) {
        inv.err << "usage: quillet create TYPE FOLDER\n";
        return kExitUsage;
    }
    const FileTypeDefinition* type = fileType(inv.args[0]);
    if (!type) return usageError(inv, "unknown file type \"" + inv.args[0] + "\" (see quillet types)");

    // A relative folder is taken from where the command runs.
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(inv.args[1], ec);
    if (ec)
        return reportFailure(
            inv, PlatformError::posix(ec.value(), "Could not find the current folder").description());
    const std::filesystem::path folder = standardizedPath(absolute);

    try {
        inv.out << createFile(*type, folder, FileManager::defaultManager()).string() << "\n";
        return kExitOK;
    } catch (const FileCreationError& error) {
        return reportFailure(inv, error.description());
    } catch (const PlatformError& error) {
        return reportFailure(inv, error.description());
    }
}

}  // namespace quillet::cli

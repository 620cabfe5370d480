#include <filesystem>
#include <ostream>
#include <system_error>

#include "app/access/SecurityScopedFolderAccessError.h"
#include "app/cli/CommandLine.h"
#include "app/cli/CreationSession.h"
#include "app/creation/FileCreationError.h"
#include "app/creation/FolderAccessCreation.h"
#include "platform/FilePaths.h"
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

    // Through the saved grants like every other creation: a sandboxed run without one prompts
    // (and, without a display, reports the missing access).
    CreationSession session;
    try {
        inv.out << session.creation().createFileWithFolderAccess(*type, folder).string() << "\n";
        return kExitOK;
    } catch (const SecurityScopedFolderAccessError& error) {
        return reportFailure(inv, error.description());
    } catch (const FileCreationError& error) {
        return reportFailure(inv, error.description());
    } catch (const PlatformError& error) {
        return reportFailure(inv, error.description());
    }
}

}  // namespace quillet::cli

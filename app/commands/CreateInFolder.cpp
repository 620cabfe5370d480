#include "app/commands/CreateInFolder.h"

#include <filesystem>
#include <ostream>
#include <system_error>

#include "app/desktop/FileManagerMenu.h"
#include "platform/FileViewer.h"
#include "shared/catalog/UserTemplates.h"
#include "shared/errors/PlatformError.h"
#include "shared/errors/UserFacingError.h"
#include "shared/text/Translation.h"

namespace quillet::cli {

std::optional<FolderCreationArguments> folderCreationArguments(std::vector<std::string> args,
                                                               const UserTemplates& templates) {
    std::string destination;
    if (takeOption(args, "--destination", destination)) return std::nullopt;
    if (args.size() >= 2 && args[1] == FileManagerMenu::kItemOption) {
        // Without an item it is a usage error, never a folder named like the option.
        const auto type = creatableFileType(args[0], templates);
        if (!type || args.size() < 3 || args[2].empty()) return std::nullopt;
        return FolderCreationArguments{*type, args[2], true};
    }
    if (args.size() != 2 || args[1].empty()) return std::nullopt;
    const auto type = creatableFileType(args[0], templates);
    if (!type) return std::nullopt;
    return FolderCreationArguments{*type, args[1]};
}

int reportCreationFailure(Invocation& inv, const std::string& description) {
    inv.err << translate("Could not create file") << "\n" << description << "\n";
    return kExitFailure;
}

std::optional<FolderPath> creationFolder(const FolderCreationArguments& arguments, std::error_code& error) {
    const std::filesystem::path absolute = std::filesystem::absolute(arguments.folder, error);
    if (error) return std::nullopt;
    auto folder = FolderPath::fromAbsolute(arguments.clickedItem ? folderForClickedItem(absolute) : absolute);
    if (!folder) error = std::make_error_code(std::errc::invalid_argument);
    return folder;
}

int reportingCreationFailures(Invocation& inv, const std::function<int()>& create) {
    try {
        return create();
    } catch (const UserFacingError& error) {
        return reportCreationFailure(inv, error.description());
    } catch (const std::exception& error) {
        // Nothing else is expected; the command still ends with the text and a failure status.
        return reportCreationFailure(inv, error.what());
    }
}

int createInFolder(Invocation& inv, const FolderCreationArguments& arguments, const CreateFileInFolder& create,
                   FileViewer* clickedIn) {
    return reportingCreationFailures(inv, [&] {
        std::error_code ec;
        const std::optional<FolderPath> folder = creationFolder(arguments, ec);
        if (!folder)
            return reportCreationFailure(
                inv, PlatformError::posix(ec.value(), "Could not find the current folder").description());
        const std::filesystem::path created = create(arguments.type, *folder);
        inv.out << created.string() << "\n";
        inv.out.flush();
        // As the file manager's own "new file" does: the new file selected where it was clicked.
        if (arguments.clickedItem && clickedIn) clickedIn->activateFileViewerSelecting({created});
        return kExitOK;
    });
}

}  // namespace quillet::cli

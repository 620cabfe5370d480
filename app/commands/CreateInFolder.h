#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <system_error>
#include <string>
#include <vector>

#include "app/commands/Invocation.h"
#include "shared/catalog/FileTypeDefinition.h"
#include "shared/paths/FolderPath.h"

namespace quillet {
class FileViewer;
class UserTemplates;
}

namespace quillet::cli {

// "quillet create TYPE FOLDER": the part of "create" that the application program and the
// launcher share. The launcher carries it out itself whenever no access prompt can be needed.
struct FolderCreationArguments {
    FileTypeDefinition type;
    std::string folder;  // as given
    // The form the file managers' menus run, "create TYPE --item PATH...": `folder` is the first
    // clicked item, which stands for itself when it is a folder and for the folder holding it
    // otherwise.
    bool clickedItem = false;
};

// The type and folder when the words after "create" are exactly that form with a known type (a
// built-in one or a template in `templates` now); nothing for any other form and for words
// "create" answers with a usage error.
std::optional<FolderCreationArguments> folderCreationArguments(std::vector<std::string> args,
                                                               const UserTemplates& templates);

// What the user sees when a creation fails, the same title and text as the alert; the status.
int reportCreationFailure(Invocation& inv, const std::string& description);

// Runs `create` and returns its status; whatever it throws is reported as a failed creation.
int reportingCreationFailures(Invocation& inv, const std::function<int()>& create);

// The folder the file goes into; nothing, with the error, when the folder the command runs from
// cannot be found (a relative folder is taken from there).
std::optional<FolderPath> creationFolder(const FolderCreationArguments& arguments, std::error_code& error);

// How the file is made: the new file's path, or an error thrown. FolderAccessCreation's road, or,
// outside a sandbox, the plain one, which needs no grant.
using CreateFileInFolder = std::function<std::filesystem::path(const FileTypeDefinition&, const FolderPath&)>;

// Creates the file in the folder (a relative one is taken from where the command runs), prints
// its path and returns the exit status; failures are printed by reportCreationFailure. A file made
// for a click in a file manager's menu is shown there by `clickedIn`, when given.
int createInFolder(Invocation& inv, const FolderCreationArguments& arguments, const CreateFileInFolder& create,
                   FileViewer* clickedIn = nullptr);

}  // namespace quillet::cli

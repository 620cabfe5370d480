#include "programs/quillet/LauncherCreation.h"

#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string_view>
#include <system_error>

#include "app/access/SecurityScopedFolderAccess.h"
#include "app/commands/CreateInFolder.h"
#include "app/creation/FileCreationService.h"
#include "app/creation/FolderAccessCreation.h"
#include "platform/posix/NewFileWriter.h"
#include "platform/posix/ResourceBundle.h"
#include "platform/posix/AmbientScopedAccess.h"
#include "platform/posix/LastComponentDisplayNames.h"
#include "platform/posix/LaunchingFileManagerViewer.h"
#include "platform/posix/NoDisplayApplication.h"
#include "platform/posix/NoDisplayFolderPanel.h"
#include "platform/posix/PosixFolderBookmarks.h"
#include "shared/logging/Logger.h"
#include "shared/paths/FilePaths.h"
#include "shared/paths/UserEnvironment.h"
#include "shared/settings/DefaultsSuite.h"

namespace quillet::cli {

std::optional<int> createInFolderWithoutToolkit(int argc, char** argv) {
    if (argc < 2 || std::string_view(argv[1]) != "create") return std::nullopt;
    const std::vector<std::string> words(argv + 2, argv + argc);
    const UserEnvironment environment = UserEnvironment::fromProcess();
    const UserTemplates templates(environment.templatesFolder());
    const auto arguments = folderCreationArguments(words, templates);
    if (!arguments) return std::nullopt;

    // As in the application program: past the file size limit a write fails and is reported.
    std::signal(SIGXFSZ, SIG_IGN);
    installLogSink(makeSystemLogSink(environment.logToStderr));
    const ResourceBundle resources = ResourceBundle::besideExecutable();

    NewFileWriter fileWriter(resources, std::make_shared<AmbientScopedAccess>());
    fileWriter.setTemplates(templates);
    Invocation inv{words, std::cout, std::cerr, environment, resources};
    LaunchingFileManagerViewer clickedIn(::getppid(), sessionBusAddressOf(environment.sessionBusAddress,
                                                                    environment.runtimeDirectory.value_or("")));
    if (!environment.sandboxed) {
        // Outside a sandbox a grant changes nothing about the write (access here is ambient), so
        // the settings suite, where the grants are kept, is not even opened.
        return createInFolder(
            inv, *arguments,
            [&fileWriter](const FileTypeDefinition& type, const FolderPath& folder) {
                return createFile(type, folder, fileWriter);
            },
            &clickedIn);
    }

    // The parts the application program builds for this command, with the adapters it uses
    // without a display; the panel is never shown, as a prompt goes to the application program.
    std::unique_ptr<DefaultsSuite> suite = DefaultsSuite::openShared(environment.configurationHome);
    PosixFolderBookmarks bookmarks;
    LastComponentDisplayNames displayNames;
    NoDisplayFolderPanel panel;
    NoDisplayApplication application;
    SecurityScopedFolderAccess access(*suite, bookmarks, displayNames, &panel, &application);
    std::error_code ec;
    const std::optional<FolderPath> folder = creationFolder(*arguments, ec);
    if (folder && !access.bestSavedRoot(*folder)) return std::nullopt;
    FolderAccessCreation creation(access, fileWriter, environment);
    return createInFolder(
        inv, *arguments,
        [&creation](const FileTypeDefinition& type, const FolderPath& folder) {
            return creation.createFileWithFolderAccess(type, folder);
        },
        &clickedIn);
}

}  // namespace quillet::cli

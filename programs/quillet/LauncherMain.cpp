#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <vector>

#include "programs/quillet/LauncherCreation.h"
#include "app/instance/DesktopLaunchRequester.h"
#include "app/instance/InstanceRequest.h"
#include "platform/posix/ResourceBundle.h"
#include "shared/paths/UserEnvironment.h"
#include "shared/text/Translation.h"

// The program the desktop, the file manager and the user start as "quillet". What the running
// instance can carry out (a link the desktop hands over, a second launch, "quick-create") is
// handed to it from here, before any toolkit library is loaded, so a file-manager request costs
// little more than the new file itself. Everything else, and the same requests when no instance
// runs, is done by the application program, started in this process's place. "create TYPE
// FOLDER" needs neither: it is done here, unless only the application program can go on.
int main(int argc, char** argv) {
    // Texts in the session's language; no catalogue is read before one is shown.
    quillet::bindTranslations(
        quillet::localeDirectoryBeside(quillet::executableDirectory() / ".." / "share" / "quillet"), true);
    if (const auto status = quillet::cli::createInFolderWithoutToolkit(argc, argv)) return *status;
    if (auto request = quillet::forwardableRequest(argc, argv)) {
        const auto variable = [](const char* name) -> std::optional<std::string> {
            const char* value = ::secure_getenv(name);
            return value ? std::optional<std::string>(value) : std::nullopt;
        };
        if (request->kind == quillet::InstanceRequest::Kind::openURL)
            request->requester = quillet::desktopLaunchRequester(variable);
        // A creation prints what it made, or why not, as it does in its own process.
        request->wantsResult = quillet::canWaitForResult(request->kind);
        // Only the runtime and temporary folders are needed: the account database is not read.
        const auto environment = quillet::UserEnvironment::fromVariables(variable, {}, {});
        const auto socket =
            quillet::instance_socket::pathFor(environment.runtimeDirectory, environment.temporaryDirectory);
        const auto result = quillet::forwardToRunningInstance(socket, *request);
        using Status = quillet::instance_socket::SendResult::Status;
        if (result.status == Status::accepted) return quillet::reportForwardedAnswer(result, std::cout, std::cerr);
        if (result.status != Status::noInstance) {
            std::cerr << "quillet: " << result.error << "\n";
            return 1;
        }
    }
    // The application program lies in libexec/ beside bin/, in the build tree, a bundle and a
    // system install alike.
    const std::string program =
        (quillet::executablePath().parent_path() / ".." / "libexec" / "quillet-app").lexically_normal().string();
    std::vector<char*> arguments{const_cast<char*>(program.c_str())};
    for (int i = 1; i < argc; ++i) arguments.push_back(argv[i]);
    arguments.push_back(nullptr);
    ::execv(program.c_str(), arguments.data());
    std::cerr << "quillet: "
              << quillet::formatText(quillet::translate("could not start %1: %2"), {program, std::strerror(errno)})
              << "\n";
    return 1;
}

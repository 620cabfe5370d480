#include <ostream>
#include <string>

#include "app/cli/CommandLine.h"
#include "app/shell/Application.h"

namespace quillet::cli {

// The application, started with a user-initiated update check: the way to reach the check until
// a running instance takes commands from the command line.
int checkForUpdatesCommand(Invocation& inv) {
    if (!inv.args.empty()) {
        inv.err << "usage: quillet check-for-updates\n";
        return kExitUsage;
    }
    std::string program = "quillet";
    char* argv[] = {program.data(), nullptr};
    return runApplication(1, argv, inv.environment, inv.resources, ApplicationLaunchOptions{.checkForUpdates = true});
}

}  // namespace quillet::cli

#include <ostream>
#include <string>

#include "programs/quillet-app/CommandLine.h"
#include "programs/quillet-app/Application.h"

namespace quillet::cli {

// A user-initiated update check in the running application, which is started for it when none
// runs.
int checkForUpdatesCommand(Invocation& inv) {
    if (!inv.args.empty()) {
        inv.err << "usage: quillet check-for-updates\n";
        return kExitUsage;
    }
    std::string program = "quillet";
    char* argv[] = {program.data(), nullptr};
    return runApplication(1, argv, inv.environment, inv.resources, ApplicationLaunchOptions{{InstanceRequest::Kind::checkForUpdates, {}}});
}

}  // namespace quillet::cli

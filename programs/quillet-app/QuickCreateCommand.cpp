#include <ostream>
#include <string>

#include "programs/quillet-app/CommandLine.h"
#include "programs/quillet-app/Application.h"

namespace quillet::cli {

// The Quick Create panel of the running application, which is started for it when none runs:
// for desktop shortcuts and scripts.
int quickCreateCommand(Invocation& inv) {
    if (!inv.args.empty()) {
        inv.err << "usage: quillet quick-create\n";
        return kExitUsage;
    }
    std::string program = "quillet";
    char* argv[] = {program.data(), nullptr};
    return runApplication(1, argv, inv.environment, inv.resources,
                          ApplicationLaunchOptions{{InstanceRequest::Kind::quickCreate, {}}});
}

}  // namespace quillet::cli

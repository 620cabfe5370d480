#pragma once

#include "app/instance/InstanceRequest.h"
#include "shared/text/Translation.h"

namespace quillet {

class ResourceBundle;
struct UserEnvironment;

inline constexpr const char* kAlreadyRunningMessage = N_("Quillet+ is already running.");

struct ApplicationLaunchOptions {
    // What this launch asks for: carried out by the instance already running, else by this one
    // once it runs (a plain launch brings nothing forward then: there is nothing open yet).
    InstanceRequest request{InstanceRequest::Kind::activate, {}};
};

// Runs Quillet+ until it is asked to quit (SIGTERM, SIGINT or a quit from its user interface):
// builds the long-lived parts in launch order, starts the Quick Create controller, and stops it
// again at exit. While it runs, later launches reach it through its instance socket. When another
// instance runs already, the launch's request goes to that one and the status is 0; it is 1
// when that instance cannot be reached.
// Everything it builds finds the user's folders in `environment` and its templates in
// `resources`. After an update installed a new version, that version is started in this process.
int runApplication(int argc, char** argv, const UserEnvironment& environment, const ResourceBundle& resources,
                   const ApplicationLaunchOptions& options = {});

}  // namespace quillet

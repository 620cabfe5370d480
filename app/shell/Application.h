#pragma once

namespace quillet {

class ResourceBundle;
struct UserEnvironment;

inline constexpr const char* kAlreadyRunningMessage = "Quillet+ is already running.";

struct ApplicationLaunchOptions {
    // Starts a user-initiated update check once the application runs.
    bool checkForUpdates = false;
};

// Runs Quillet+ until it is asked to quit (SIGTERM, SIGINT or a quit from its user interface):
// builds the long-lived parts in launch order, starts the Quick Create controller, and stops it
// again at exit. Returns the process's exit status; 1 when another instance is already running.
// Everything it builds finds the user's folders in `environment` and its templates in
// `resources`. After an update installed a new version, that version is started in this process.
int runApplication(int argc, char** argv, const UserEnvironment& environment, const ResourceBundle& resources,
                   const ApplicationLaunchOptions& options = {});

}  // namespace quillet

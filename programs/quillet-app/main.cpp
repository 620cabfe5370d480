#include <csignal>

#include "programs/quillet-app/CommandLine.h"
#include "platform/posix/ResourceBundle.h"
#include "shared/logging/Logger.h"
#include "shared/paths/UserEnvironment.h"
#include "shared/text/Translation.h"

// The composition root of the command line and of the application it starts: the process's
// environment and the program's resources are found here, once, and handed down.
int main(int argc, char** argv) {
    // Past the file size limit a write must fail and be reported, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    const quillet::UserEnvironment environment = quillet::UserEnvironment::fromProcess();
    quillet::installLogSink(quillet::makeSystemLogSink(environment.logToStderr));
    const quillet::ResourceBundle resources = quillet::ResourceBundle::besideExecutable();
    // Texts in the session's language; no catalogue is read before one is shown.
    quillet::bindTranslations(quillet::localeDirectoryBeside(resources.resourceDirectory()), true);
    return quillet::cli::runCommandLine(argc, argv, environment, resources);
}

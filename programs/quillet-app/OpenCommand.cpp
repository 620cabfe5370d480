#include <cstdlib>
#include <ostream>

#include "programs/quillet-app/CommandLine.h"
#include "programs/quillet-app/CreationSession.h"
#include "app/instance/DesktopLaunchRequester.h"
#include "app/requests/CreateRequestHandler.h"
#include "shared/Identifiers.h"

namespace quillet::cli {

int openURL(Invocation& inv, const std::string& url, bool dialogs) {
    CreationSession session(inv.environment, inv.resources,
                            dialogs ? CreationSession::Dialogs::whereDisplayed : CreationSession::Dialogs::never);
    // The text exactly as given: the handler compares scheme and host as written.
    // Started by a file manager's module through our desktop entry: that file manager shows the file.
    const std::int64_t requester = desktopLaunchRequester([](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    });
    // Nothing this process starts (a file manager opening a folder) passes it on.
    ::unsetenv(kRequestingProcessVariable);
    const OpenURLOutcome outcome = session.requestHandler().handleOpenURL(url, requester);
    if (outcome.kind == OpenURLOutcome::Kind::created) inv.out << outcome.createdFile.string() << '\n' << std::flush;
    session.finish();
    // The alert (or standard error) has told the user why; the status tells the caller.
    return outcome.kind == OpenURLOutcome::Kind::failed ? kExitFailure : kExitOK;
}

int openCommand(Invocation& inv) {
    if (inv.args.size() != 1 || inv.args[0].empty()) {
        inv.err << "usage: quillet open URL\n";
        return kExitUsage;
    }
    // The scriptable form: a failure is printed and the status says so; no dialog waits.
    return openURL(inv, inv.args[0], false);
}

}  // namespace quillet::cli

#include <ostream>

#include "programs/quillet-app/CommandLine.h"
#include "programs/quillet-app/CreationSession.h"
#include "app/requests/CreateRequestHandler.h"

namespace quillet::cli {

int openURL(Invocation& inv, const std::string& url) {
    CreationSession session(inv.environment, inv.resources);
    // The text exactly as given: the handler compares scheme and host as written.
    const OpenURLOutcome outcome = session.requestHandler().handleOpenURL(url);
    if (outcome.kind == OpenURLOutcome::Kind::created) inv.out << outcome.createdFile.string() << '\n' << std::flush;
    session.finish();
    // The alert has told the user why; the status tells the caller.
    return outcome.kind == OpenURLOutcome::Kind::failed ? kExitFailure : kExitOK;
}

int openCommand(Invocation& inv) {
    if (inv.args.size() != 1 || inv.args[0].empty()) {
        inv.err << "usage: quillet open URL\n";
        return kExitUsage;
    }
    return openURL(inv, inv.args[0]);
}

}  // namespace quillet::cli

#include "extension/gio/CaughtExceptionLog.h"

#include <exception>

#include "extension/FinderSync.h"
#include "shared/logging/Logger.h"

namespace quillet {

void logCaughtException(const char* whatWasBeingDone) noexcept {
    // Logging can fail too (no memory left); the file manager must go on regardless.
    try {
        const Logger log(kExtensionSubsystem, "FinderSync");
        try {
            throw;
        } catch (const std::exception& e) {
            log.error("%{public}s failed: %{public}s", whatWasBeingDone, e.what());
        } catch (...) {
            log.error("%{public}s failed: an exception of unknown type", whatWasBeingDone);
        }
    } catch (...) {
    }
}

}  // namespace quillet

#include "platform/MainQueue.h"

#include <exception>

#include "shared/errors/UserFacingError.h"
#include "shared/logging/Logger.h"

namespace quillet {

void runQueuedWork(const std::function<void()>& work) noexcept {
    const Logger log(kAppSubsystem, "MainQueue");
    try {
        work();
    } catch (const UserFacingError& error) {
        log.error("Queued work failed: %{public}s", error.description());
    } catch (const std::exception& error) {
        log.error("Queued work failed: %{public}s", error.what());
    } catch (...) {
        log.error("Queued work failed with an exception of unknown type");
    }
}

}  // namespace quillet

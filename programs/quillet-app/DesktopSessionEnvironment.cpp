#include "programs/quillet-app/DesktopSessionEnvironment.h"

namespace quillet {

DesktopSessionAddresses desktopSessionAddresses(const UserEnvironment& environment) {
    return {environment.display, environment.sessionBusAddress,
            environment.runtimeDirectory.value_or(std::filesystem::path()), environment.waylandDisplay,
            environment.requestedWindowPlatform, environment.sessionType};
}

}  // namespace quillet

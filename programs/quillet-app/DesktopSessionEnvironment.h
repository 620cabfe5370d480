#pragma once

#include "platform/linux/DesktopSessionAddresses.h"
#include "shared/paths/UserEnvironment.h"

namespace quillet {

// The desktop session's addresses from what the root read of the environment, for the adapters
// that reach the session on connections of their own.
DesktopSessionAddresses desktopSessionAddresses(const UserEnvironment& environment);

}  // namespace quillet

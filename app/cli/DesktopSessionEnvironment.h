#pragma once

#include "platform/linux/NautilusFrontFolder.h"

namespace quillet {

// The desktop session's addresses as this process's environment names them, read where the
// composition roots build the adapters that reach the session.
DesktopSessionAddresses desktopSessionFromEnvironment();

}  // namespace quillet

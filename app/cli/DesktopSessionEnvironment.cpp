#include "app/cli/DesktopSessionEnvironment.h"

#include <cstdlib>
#include <string>

namespace quillet {

namespace {
std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}
}  // namespace

DesktopSessionAddresses desktopSessionFromEnvironment() {
    return {variable("DISPLAY"), variable("DBUS_SESSION_BUS_ADDRESS"), variable("XDG_RUNTIME_DIR")};
}

}  // namespace quillet

#include "shared/paths/UserEnvironment.h"

#include "shared/paths/UserDirectories.h"

#include <cstdlib>

#include "shared/paths/FilePaths.h"

namespace quillet {

namespace {

std::optional<std::filesystem::path> absolutePath(const std::optional<std::string>& value) {
    if (!value || value->empty() || value->front() != '/') return std::nullopt;
    return standardizedPath(*value);
}

}  // namespace

std::optional<std::filesystem::path> UserEnvironment::templatesFolder() const {
    return userTemplatesFolder(homeFolder(), configurationHome);
}

std::filesystem::path UserEnvironment::homeFolder() const {
    if (!accountHome.empty()) return accountHome;
    if (homeVariable) return *homeVariable;
    return "/";
}

UserEnvironment UserEnvironment::fromVariables(const VariableLookup& variable, std::filesystem::path accountHome,
                                               std::string accountUserName) {
    UserEnvironment environment;
    environment.accountHome = accountHome.empty() ? accountHome : standardizedPath(accountHome);
    environment.accountUserName = std::move(accountUserName);
    environment.homeVariable = absolutePath(variable("HOME"));
    // A base directory: the variable when absolute, else its default inside $HOME, or inside
    // the account's home when HOME is unset or relative.
    const auto baseDirectory = [&](const char* name,
                                   const std::filesystem::path& defaultInHome) -> std::optional<std::filesystem::path> {
        if (auto given = absolutePath(variable(name))) return given;
        if (environment.homeVariable) return *environment.homeVariable / defaultInHome;
        if (!environment.accountHome.empty()) return environment.accountHome / defaultInHome;
        return std::nullopt;
    };
    environment.configurationHome = baseDirectory("XDG_CONFIG_HOME", ".config");
    environment.dataHome = baseDirectory("XDG_DATA_HOME", ".local/share");
    environment.runtimeDirectory = absolutePath(variable("XDG_RUNTIME_DIR"));
    if (auto temporary = absolutePath(variable("TMPDIR"))) environment.temporaryDirectory = *temporary;
    environment.sandboxed = variable(kSandboxEnvironmentVariable).has_value();
    environment.logToStderr = variable(kLogEnvironmentVariable) == "stderr";
    environment.uiTesting = variable(kUITestingEnvironmentVariable) == "1";
    environment.display = variable("DISPLAY").value_or("");
    environment.waylandDisplay = variable("WAYLAND_DISPLAY").value_or("");
    environment.currentDesktop = variable("XDG_CURRENT_DESKTOP").value_or("");
    environment.sessionType = variable("XDG_SESSION_TYPE").value_or("");
    environment.sessionBusAddress = variable("DBUS_SESSION_BUS_ADDRESS").value_or("");
    environment.requestedWindowPlatform = variable("QT_QPA_PLATFORM").value_or("");
    return environment;
}

UserEnvironment UserEnvironment::fromProcess() {
    // The one place that reads the process's environment.
    return fromVariables(
        [](const char* name) -> std::optional<std::string> {
            const char* value = std::getenv(name);
            if (!value) return std::nullopt;
            return std::string(value);
        },
        quillet::accountHomeFolder(), quillet::accountUserName());
}

}  // namespace quillet

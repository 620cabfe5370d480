#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace quillet {

// What the process's surroundings say about the user: the account's home, the variables that
// move the configuration, data, runtime and temporary folders, the sandbox marker, the log choice and
// the desktop session's addresses.
// A composition root (the application, the command line, the file-manager module) reads it once
// and hands the values down; nothing below the roots reads the environment or the account
// database, so every rule can be run against folders a test makes.
struct UserEnvironment {
    // Present (with any value, even empty) in a sandboxed process's environment.
    static constexpr const char* kSandboxEnvironmentVariable = "APP_SANDBOX_CONTAINER_ID";
    // QUILLET_LOG=stderr sends the log to standard error even where journald runs.
    static constexpr const char* kLogEnvironmentVariable = "QUILLET_LOG";
    // QUILLET_UI_TESTING=1 (exactly) keeps the application in the taskbar and out of the tray.
    static constexpr const char* kUITestingEnvironmentVariable = "QUILLET_UI_TESTING";

    // The home folder of the account database's entry for the user, never $HOME (inside a
    // sandbox that names the container); empty when the user has no entry.
    std::filesystem::path accountHome{};
    // The login name of the same entry; empty without one.
    std::string accountUserName{};
    // $HOME, when it is an absolute path.
    std::optional<std::filesystem::path> homeVariable{};
    // $XDG_CONFIG_HOME when it is an absolute path; otherwise .config in $HOME (or in the
    // account's home when HOME is unset or relative). Nothing without any home.
    std::optional<std::filesystem::path> configurationHome{};
    // $XDG_DATA_HOME when it is an absolute path; otherwise .local/share in the same home as
    // above. Nothing without any home.
    std::optional<std::filesystem::path> dataHome{};
    // $XDG_RUNTIME_DIR, when it is an absolute path.
    std::optional<std::filesystem::path> runtimeDirectory{};
    // $TMPDIR when it is an absolute path, else /tmp.
    std::filesystem::path temporaryDirectory{"/tmp"};
    bool sandboxed = false;
    bool logToStderr = false;
    bool uiTesting = false;
    // The desktop session's addresses, as given ($DISPLAY, $DBUS_SESSION_BUS_ADDRESS); empty
    // when unset. Adapters that reach the session on their own connections use them.
    // ($WAYLAND_DISPLAY travels as waylandDisplay.)
    std::string display{};
    std::string waylandDisplay{};
    // $XDG_CURRENT_DESKTOP, as given: which desktop's settings the application may point to.
    std::string currentDesktop{};
    // $XDG_SESSION_TYPE, as given ("x11", "wayland", "tty"; empty when unset): how the
    // application can hold keys system-wide.
    std::string sessionType{};
    std::string sessionBusAddress{};
    // $QT_QPA_PLATFORM, as given: the window platform the user asked for ("xcb", "wayland;xcb").
    std::string requestedWindowPlatform{};

    // The home the user's folders (the Desktop) are found in: the account's, else $HOME, else
    // "/". Never empty.
    std::filesystem::path homeFolder() const;
    // The user's Templates folder (see userTemplatesFolder), found in the same home; nothing
    // when the user has none. Reads user-dirs.dirs each time.
    std::optional<std::filesystem::path> templatesFolder() const;

    // The value of a variable, or nothing when it is unset.
    using VariableLookup = std::function<std::optional<std::string>(const char* name)>;
    // The rules above applied to the given variables and account entry. Relative paths are
    // invalid by the base directory rules and count as unset.
    static UserEnvironment fromVariables(const VariableLookup& variable, std::filesystem::path accountHome,
                                         std::string accountUserName);
    // This process's environment and account entry. Only composition roots call it.
    static UserEnvironment fromProcess();
};

}  // namespace quillet

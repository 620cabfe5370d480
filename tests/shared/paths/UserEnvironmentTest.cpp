#include <gtest/gtest.h>

#include <map>
#include <string>

#include "shared/paths/UserEnvironment.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

using Variables = std::map<std::string, std::string>;

UserEnvironment environmentOf(const Variables& variables, const fs::path& accountHome = "/home/alice") {
    return UserEnvironment::fromVariables(
        [&](const char* name) -> std::optional<std::string> {
            auto it = variables.find(name);
            if (it == variables.end()) return std::nullopt;
            return it->second;
        },
        accountHome, accountHome.empty() ? "" : "alice");
}

}  // namespace

TEST(UserEnvironment, ConfigurationHomeFollowsTheBaseDirectoryRules) {
    EXPECT_EQ(environmentOf({{"XDG_CONFIG_HOME", "/srv/config/"}, {"HOME", "/home/other"}}).configurationHome,
              fs::path("/srv/config"));
    // Relative and empty values are invalid and ignored: .config in $HOME.
    for (const char* invalid : {"relative/config", ""}) {
        EXPECT_EQ(environmentOf({{"XDG_CONFIG_HOME", invalid}, {"HOME", "/home/other"}}).configurationHome,
                  fs::path("/home/other/.config"))
            << invalid;
    }
    // Without a usable HOME, the account's home.
    EXPECT_EQ(environmentOf({}).configurationHome, fs::path("/home/alice/.config"));
    EXPECT_EQ(environmentOf({{"HOME", "relative"}}).configurationHome, fs::path("/home/alice/.config"));
    // Without any home there is none.
    EXPECT_EQ(environmentOf({}, "").configurationHome, std::nullopt);
    EXPECT_EQ(environmentOf({{"XDG_CONFIG_HOME", "/srv/config"}}, "").configurationHome, fs::path("/srv/config"));
}

TEST(UserEnvironment, DataHomeFollowsTheBaseDirectoryRules) {
    EXPECT_EQ(environmentOf({{"XDG_DATA_HOME", "/srv/data/"}, {"HOME", "/home/other"}}).dataHome,
              fs::path("/srv/data"));
    for (const char* invalid : {"relative/data", ""}) {
        EXPECT_EQ(environmentOf({{"XDG_DATA_HOME", invalid}, {"HOME", "/home/other"}}).dataHome,
                  fs::path("/home/other/.local/share"))
            << invalid;
    }
    EXPECT_EQ(environmentOf({{"HOME", "relative"}}).dataHome, fs::path("/home/alice/.local/share"));
    EXPECT_EQ(environmentOf({}, "").dataHome, std::nullopt);
    EXPECT_EQ(environmentOf({{"XDG_DATA_HOME", "/srv/data"}}, "").dataHome, fs::path("/srv/data"));
    // The configuration variable does not move the data home.
    EXPECT_EQ(environmentOf({{"XDG_CONFIG_HOME", "/srv/config"}}).dataHome, fs::path("/home/alice/.local/share"));
}

TEST(UserEnvironment, TheAccountsHomeIsNeverHOME) {
    const auto contained = environmentOf({{"HOME", "/var/containers/org.quillet.Quillet"}});
    EXPECT_EQ(contained.accountHome, fs::path("/home/alice"));
    EXPECT_EQ(contained.homeVariable, fs::path("/var/containers/org.quillet.Quillet"));
    EXPECT_EQ(contained.homeFolder(), fs::path("/home/alice"));
    // Without an account entry $HOME stands in, and without that the root.
    EXPECT_EQ(environmentOf({{"HOME", "/var/containers/x/"}}, "").homeFolder(), fs::path("/var/containers/x"));
    EXPECT_EQ(environmentOf({{"HOME", "relative"}}, "").homeFolder(), fs::path("/"));
    EXPECT_EQ(environmentOf({}, "").homeFolder(), fs::path("/"));
}

TEST(UserEnvironment, RuntimeAndTemporaryFoldersOnlyWhenAbsolute) {
    const auto given = environmentOf({{"XDG_RUNTIME_DIR", "/run/user/4242/"}, {"TMPDIR", "/var/tmp//x/"}});
    EXPECT_EQ(given.runtimeDirectory, fs::path("/run/user/4242"));
    EXPECT_EQ(given.temporaryDirectory, fs::path("/var/tmp/x"));
    for (const char* invalid : {"relative", ""}) {
        const auto ignored = environmentOf({{"XDG_RUNTIME_DIR", invalid}, {"TMPDIR", invalid}});
        EXPECT_EQ(ignored.runtimeDirectory, std::nullopt) << invalid;
        EXPECT_EQ(ignored.temporaryDirectory, fs::path("/tmp")) << invalid;
    }
}

TEST(UserEnvironment, TheSandboxVariableDecidesEvenWhenEmpty) {
    EXPECT_FALSE(environmentOf({}).sandboxed);
    EXPECT_TRUE(environmentOf({{"APP_SANDBOX_CONTAINER_ID", ""}}).sandboxed);
    EXPECT_TRUE(environmentOf({{"APP_SANDBOX_CONTAINER_ID", "org.quillet.Quillet"}}).sandboxed);
}

TEST(UserEnvironment, OnlyQUILLET_LOGStderrForcesStandardError) {
    EXPECT_FALSE(environmentOf({}).logToStderr);
    EXPECT_TRUE(environmentOf({{"QUILLET_LOG", "stderr"}}).logToStderr);
    for (const char* other : {"", "journald", "STDERR", "stderr "})
        EXPECT_FALSE(environmentOf({{"QUILLET_LOG", other}}).logToStderr) << other;
}

TEST(UserEnvironment, OnlyQUILLET_UI_TESTINGExactlyOneIsTheTestMode) {
    EXPECT_FALSE(environmentOf({}).uiTesting);
    EXPECT_TRUE(environmentOf({{"QUILLET_UI_TESTING", "1"}}).uiTesting);
    for (const char* other : {"", "0", "true", "YES", "1 ", "01"})
        EXPECT_FALSE(environmentOf({{"QUILLET_UI_TESTING", other}}).uiTesting) << other;
}

// The session's addresses travel as given, so adapters reach the same display and bus as Qt.
TEST(UserEnvironment, TheDesktopSessionsAddressesAreTakenAsGiven) {
    const auto environment = environmentOf(
        {{"DISPLAY", ":7"}, {"WAYLAND_DISPLAY", "wayland-1"}, {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/run/b"}});
    EXPECT_EQ(environment.display, ":7");
    EXPECT_EQ(environment.waylandDisplay, "wayland-1");
    EXPECT_EQ(environment.sessionBusAddress, "unix:path=/run/b");
    EXPECT_EQ(environmentOf({}).display, "");
    EXPECT_EQ(environmentOf({}).waylandDisplay, "");
    EXPECT_EQ(environmentOf({}).sessionBusAddress, "");
}

// GNOME's custom key bindings as Quillet+ writes them, read back through GSettings from the
// keyfile backend in a private configuration folder (set up in main, before GLib reads the
// environment). The media-keys schemas are the installed ones.
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/shortcuts/GlobalHotKeyManager.h"
#include "platform/linux/GnomeKeybindingHotKeyService.h"
#include "platform/linux/PlatformTheme.h"
#include "shared/logging/Logger.h"
#include "tests/support/ManualMainQueue.h"

extern char** environ;

namespace quillet {
namespace {

std::filesystem::path configHome;

using Settings = std::unique_ptr<GSettings, decltype(&g_object_unref)>;
constexpr const char* kBase = "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/";

std::vector<std::string> list() {
    const Settings settings(g_settings_new(GnomeKeybindingHotKeyService::kSchema), g_object_unref);
    std::vector<std::string> paths;
    gchar** values = g_settings_get_strv(settings.get(), GnomeKeybindingHotKeyService::kListKey);
    for (gchar** value = values; *value; ++value) paths.emplace_back(*value);
    g_strfreev(values);
    return paths;
}

void setList(const std::vector<std::string>& paths) {
    const Settings settings(g_settings_new(GnomeKeybindingHotKeyService::kSchema), g_object_unref);
    std::vector<const gchar*> values;
    for (const auto& path : paths) values.push_back(path.c_str());
    values.push_back(nullptr);
    g_settings_set_strv(settings.get(), GnomeKeybindingHotKeyService::kListKey, values.data());
}

// name, command and binding of the entry at `path`.
std::map<std::string, std::string> entry(const std::string& path) {
    const Settings settings(g_settings_new_with_path(GnomeKeybindingHotKeyService::kBindingSchema, path.c_str()),
                            g_object_unref);
    std::map<std::string, std::string> values;
    for (const char* key : {"name", "command", "binding"}) {
        gchar* value = g_settings_get_string(settings.get(), key);
        values[key] = value;
        g_free(value);
    }
    return values;
}

void setEntry(const std::string& path, const std::map<std::string, std::string>& values) {
    const Settings settings(g_settings_new_with_path(GnomeKeybindingHotKeyService::kBindingSchema, path.c_str()),
                            g_object_unref);
    for (const auto& [key, value] : values) g_settings_set_string(settings.get(), key.c_str(), value.c_str());
}

// Runs a command line as the desktop does (parsed by the shell rules), and returns its status.
int runCommandLine(const std::string& line) {
    gchar** argv = nullptr;
    if (!g_shell_parse_argv(line.c_str(), nullptr, &argv, nullptr)) return -1;
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ);
    g_strfreev(argv);
    if (spawned != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::string kOthers = std::string(kBase) + "custom0/";
const std::map<std::string, std::string> kOtherEntry{
    {"name", "Terminal"}, {"command", "kgx"}, {"binding", "<Control><Alt>t"}};

class GnomeKeybindings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(GnomeKeybindingHotKeyService::isAvailable())
            << "the media-keys schemas (package gnome-settings-daemon-common) are not installed";
        // Another program's binding, which must keep its place and its values.
        setEntry(kOthers, kOtherEntry);
        setList({kOthers});
    }
    void TearDown() override { GnomeKeybindingHotKeyService::removeAll(); }

    // What the application's controller gives as commands.
    static std::vector<std::string> command(const HotKeyAction& action, const std::string& destination) {
        if (action.kind == HotKeyAction::Kind::quickCreate) return {"quick-create"};
        return {"create", action.typeID, "--destination", destination};
    }

    std::shared_ptr<MemoryLogSink> sink = std::make_shared<MemoryLogSink>();
    ScopedLogSink scoped{sink};
    test::ManualMainQueue queue;
    std::string destination = "desktop";
    GnomeKeybindingHotKeyService service{"/opt/Quillet+ test/bin/quillet", queue};
    GlobalHotKeyManager manager{service, queue, [](const HotKeyAction&) {},
                                [this](const HotKeyAction& action) { return command(action, destination); }};
};

TEST_F(GnomeKeybindings, FollowTheShortcutsAndLeaveOtherEntriesAlone) {
    const std::string quick = std::string(kBase) + "quillet-quick-create/";
    const std::string md = std::string(kBase) + "quillet-create-md/";
    const std::string docx = std::string(kBase) + "quillet-create-docx/";

    manager.registerShortcuts(defaultQuickCreateShortcut, {{"md", {46, kCarbonControlKey | kCarbonShiftKey}},
                                                           {"docx", {96, kCarbonCommandKey}}});
    queue.drain();
    EXPECT_TRUE(sink->contains("Registered Ctrl+Alt+N hot key"));
    EXPECT_EQ(list(), (std::vector<std::string>{kOthers, docx, md, quick}));
    EXPECT_EQ(entry(quick), (std::map<std::string, std::string>{
                                {"name", "Quillet+: Show Quick Create"},
                                {"command", "'/opt/Quillet+ test/bin/quillet' 'quick-create'"},
                                {"binding", "<Control><Alt>n"}}));
    EXPECT_EQ(entry(md), (std::map<std::string, std::string>{
                             {"name", "Quillet+: New Markdown File"},
                             {"command", "'/opt/Quillet+ test/bin/quillet' 'create' 'md' '--destination' 'desktop'"},
                             {"binding", "<Control><Shift>m"}}));
    EXPECT_EQ(entry(docx)["binding"], "<Super>F5");
    EXPECT_EQ(entry(kOthers), kOtherEntry);

    // A changed shortcut and destination rewrite that entry; a cleared one is removed, keys and all.
    destination = "frontFinderFolder";
    manager.registerShortcuts(defaultQuickCreateShortcut, {{"md", {45, kCarbonControlKey | kCarbonShiftKey}}});
    queue.drain();
    EXPECT_EQ(list(), (std::vector<std::string>{kOthers, md, quick}));
    EXPECT_EQ(entry(md)["binding"], "<Control><Shift>n");
    EXPECT_EQ(entry(md)["command"], "'/opt/Quillet+ test/bin/quillet' 'create' 'md' '--destination' 'frontFinderFolder'");
    EXPECT_EQ(entry(docx)["binding"], "") << "the removed entry's keys are reset too";

    // A combination another program's binding holds stays with it, and the log says so.
    manager.registerShortcuts(defaultQuickCreateShortcut, {{"txt", {17, kCarbonControlKey | kCarbonOptionKey}}});
    queue.drain();
    EXPECT_TRUE(sink->contains("Failed to register Ctrl+Alt+T hot key: -9878"));
    EXPECT_EQ(list(), (std::vector<std::string>{kOthers, quick}));

    // While a shortcut is recorded nothing of ours is bound, so the desktop lets the keys through.
    {
        const HotKeySuspension suspension = manager.suspend();
        queue.drain();
        EXPECT_EQ(list(), std::vector<std::string>{kOthers});
    }
    queue.drain();
    EXPECT_EQ(list(), (std::vector<std::string>{kOthers, quick}));

    // Uninstalling takes away every binding of ours, and only those.
    GnomeKeybindingHotKeyService::removeAll();
    EXPECT_EQ(list(), std::vector<std::string>{kOthers});
    EXPECT_EQ(entry(quick)["command"], "");
    EXPECT_EQ(entry(kOthers), kOtherEntry);
}

// The command of a binding as the desktop runs it, with the built launcher and no instance
// running: the launcher carries it out itself and the file appears.
TEST_F(GnomeKeybindings, CommandsRunTheLauncher) {
    const char* launcher = std::getenv("QUILLET_LAUNCHER");
    ASSERT_TRUE(launcher) << "QUILLET_LAUNCHER names the built quillet program";
    GnomeKeybindingHotKeyService real(launcher, queue);
    GlobalHotKeyManager realManager{real, queue, [](const HotKeyAction&) {},
                                    [this](const HotKeyAction& action) { return command(action, destination); }};
    realManager.registerShortcuts(defaultQuickCreateShortcut, {{"md", {46, kCarbonControlKey | kCarbonShiftKey}}});
    queue.drain();

    const std::filesystem::path desktop = configHome.parent_path() / "Desktop";
    std::filesystem::create_directories(desktop);
    std::ofstream(configHome / "user-dirs.dirs") << "XDG_DESKTOP_DIR=\"" << desktop.string() << "\"\n";
    const std::string command = entry(std::string(kBase) + "quillet-create-md/")["command"];
    ASSERT_EQ(runCommandLine(command), 0) << command;
    EXPECT_TRUE(std::filesystem::is_regular_file(desktop / "Untitled.md"));
    ASSERT_EQ(runCommandLine(command), 0) << command;
    EXPECT_TRUE(std::filesystem::is_regular_file(desktop / "Untitled 2.md"));
}

// GNOME's dark mode reaches GTK, and so Qt's GTK theme, as "<theme>:dark"; a light desktop or
// a theme that is dark by name asks for nothing. (Here for GSettings' private keyfile backend.)
TEST(GtkDarkMode, PreferDarkAsksForTheDarkVariantOfTheDesktopsTheme) {
    GSettings* settings = g_settings_new("org.gnome.desktop.interface");
    const auto set = [&](const char* scheme, const char* theme) {
        g_settings_set_string(settings, "color-scheme", scheme);
        g_settings_set_string(settings, "gtk-theme", theme);
        g_settings_sync();
    };
    set("default", "Adwaita");
    EXPECT_EQ(gtkThemeForDarkMode(), std::nullopt);
    set("prefer-dark", "Adwaita");
    EXPECT_EQ(gtkThemeForDarkMode(), std::optional<std::string>("Adwaita:dark"));
    set("prefer-dark", "Yaru-dark");
    EXPECT_EQ(gtkThemeForDarkMode(), std::nullopt);
    set("prefer-light", "Yaru");
    EXPECT_EQ(gtkThemeForDarkMode(), std::nullopt);
    g_settings_reset(settings, "color-scheme");
    g_settings_reset(settings, "gtk-theme");
    g_object_unref(settings);
}

}  // namespace
}  // namespace quillet

int main(int argc, char** argv) {
    // A private configuration folder, runtime folder and the keyfile backend, before GLib reads
    // any of them.
    char base[] = "/tmp/quillet-gnome-keys-XXXXXX";
    if (!mkdtemp(base)) return 1;
    quillet::configHome = std::filesystem::path(base) / "config";
    std::filesystem::create_directories(quillet::configHome);
    std::filesystem::create_directories(std::filesystem::path(base) / "runtime");
    std::filesystem::permissions(std::filesystem::path(base) / "runtime", std::filesystem::perms::owner_all);
    setenv("XDG_CONFIG_HOME", quillet::configHome.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (std::filesystem::path(base) / "runtime").c_str(), 1);
    setenv("GSETTINGS_BACKEND", "keyfile", 1);
    setenv("QUILLET_LOG", "stderr", 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    std::filesystem::remove_all(base);
    return status;
}

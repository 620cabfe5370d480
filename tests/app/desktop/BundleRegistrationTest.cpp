#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/desktop/BundleRegistration.h"
#include "shared/logging/Logger.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

const fs::path kResources = fs::path(QUILLET_SOURCE_DIR) / "resources";

// A bundle laid out as the packaging script lays it out, in a folder of the given name.
fs::path makeBundle(const fs::path& parent) {
    const fs::path bundle = parent / "Quillet+.app";
    fs::create_directories(bundle / "bin");
    fs::create_directories(bundle / "share" / "quillet");
    test::writeFile(bundle / "bin" / "quillet", "");
    test::writeFile(bundle / "share" / "quillet" / "Info.json", "{}");
    for (const char* name : {"org.quillet.Quillet.desktop", "org.quillet.Quillet.autostart.desktop", "org.quillet.Quillet.svg"})
        fs::copy_file(kResources / name, bundle / "share" / "quillet" / name);
    return bundle;
}

struct Homes {
    explicit Homes(const fs::path& root) : data(root / "data"), config(root / "config") {}
    fs::path data;
    fs::path config;
    UserEnvironment environment() const { return UserEnvironment{.configurationHome = config, .dataHome = data}; }
    fs::path entry() const { return data / "applications" / "org.quillet.Quillet.desktop"; }
    fs::path icon() const { return data / "icons/hicolor/scalable/apps/org.quillet.Quillet.svg"; }
    fs::path list() const { return config / "mimeapps.list"; }
    fs::path autostart() const { return config / "autostart" / "org.quillet.Quillet.desktop"; }
};

std::vector<fs::path> registerFrom(const fs::path& bundle, const Homes& homes) {
    return BundleRegistration(ApplicationBundle::containing(bundle / "bin" / "quillet"), homes.environment())
        .registerBundle();
}

// The lines of a file with `key=` at their start.
std::vector<std::string> linesWithKey(const std::string& text, const std::string& key) {
    std::vector<std::string> found;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (line.rfind(key + "=", 0) == 0) found.push_back(line);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return found;
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct Identity {
    ino_t inode;
    timespec modified;
};
Identity identityOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return {info.st_ino, info.st_mtim};
}
bool sameFile(const Identity& a, const Identity& b) {
    return a.inode == b.inode && a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec;
}

struct Verdict {
    int status;
    std::string output;
};
// desktop-file-validate on `file`: its exit status and what it printed; nothing without the tool.
std::optional<Verdict> desktopFileValidate(const fs::path& file) {
    int fds[2];
    if (::pipe(fds) != 0) return std::nullopt;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        ::dup2(fds[1], STDERR_FILENO);
        ::close(fds[0]);
        ::execlp("desktop-file-validate", "desktop-file-validate", file.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    Verdict verdict{-1, {}};
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) verdict.output.append(buffer, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    verdict.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (verdict.status == 127) return std::nullopt;
    return verdict;
}

}  // namespace

TEST(BundleRegistration, WritesTheEntryIconAndHandlerOnceAndThenNothing) {
    test::TemporaryFolder root;
    const fs::path bundle = makeBundle(root / "Applications");
    const Homes homes(root.path());
    auto log = std::make_shared<MemoryLogSink>();
    ScopedLogSink scoped(log);

    EXPECT_EQ(registerFrom(bundle, homes),
              (std::vector<fs::path>{homes.entry(), homes.icon(), homes.list(), homes.autostart()}));

    const std::string entry = test::readFile(homes.entry());
    const std::string program = (bundle / "bin" / "quillet").string();
    // The Quick Create action starts the bundle's program too.
    EXPECT_EQ(linesWithKey(entry, "Exec"), (std::vector<std::string>{"Exec=\"" + program + "\" %u",
                                                                      "Exec=\"" + program + "\" quick-create"}));
    EXPECT_EQ(linesWithKey(entry, "TryExec"), std::vector<std::string>{"TryExec=" + program});
    EXPECT_EQ(linesWithKey(entry, "Icon"), std::vector<std::string>{"Icon=org.quillet.Quillet"});
    // Every other line of the bundle's entry as it is.
    const std::string resourceEntry = test::readFile(kResources / "org.quillet.Quillet.desktop");
    for (const char* key : {"Type", "Name", "MimeType", "Categories", "NoDisplay", "Terminal", "StartupNotify"})
        EXPECT_EQ(linesWithKey(entry, key), linesWithKey(resourceEntry, key)) << key;
    EXPECT_EQ(test::readFile(homes.icon()), test::readFile(kResources / "org.quillet.Quillet.svg"));
    EXPECT_EQ(test::readFile(homes.list()),
              "[Default Applications]\nx-scheme-handler/quillaxe=org.quillet.Quillet.desktop\n");
    EXPECT_TRUE(log->contains("Registered the desktop entry at " + homes.entry().string()));
    EXPECT_TRUE(log->contains("Registered the scheme handler setting at " + homes.list().string()));
    // No temporary file stays behind.
    EXPECT_EQ(namesIn(homes.entry().parent_path()), std::vector<std::string>{"org.quillet.Quillet.desktop"});
    EXPECT_EQ(namesIn(homes.config), (std::vector<std::string>{"autostart", "mimeapps.list"}));
    EXPECT_EQ(namesIn(homes.autostart().parent_path()), std::vector<std::string>{"org.quillet.Quillet.desktop"});

    const Identity entryBefore = identityOf(homes.entry()), iconBefore = identityOf(homes.icon()),
                   listBefore = identityOf(homes.list()), autostartBefore = identityOf(homes.autostart());
    log->clear();
    EXPECT_TRUE(registerFrom(bundle, homes).empty());
    EXPECT_TRUE(sameFile(identityOf(homes.entry()), entryBefore));
    EXPECT_TRUE(sameFile(identityOf(homes.icon()), iconBefore));
    EXPECT_TRUE(sameFile(identityOf(homes.list()), listBefore));
    EXPECT_TRUE(sameFile(identityOf(homes.autostart()), autostartBefore));
    EXPECT_TRUE(log->records().empty()) << log->lines().front();

    // The bundle moved: only the two entries follow it.
    const fs::path moved = root / "Elsewhere" / "Quillet+.app";
    fs::create_directories(moved.parent_path());
    fs::rename(bundle, moved);
    EXPECT_EQ(registerFrom(moved, homes), (std::vector<fs::path>{homes.entry(), homes.autostart()}));
    EXPECT_EQ(linesWithKey(test::readFile(homes.entry()), "Exec"),
              (std::vector<std::string>{"Exec=\"" + (moved / "bin" / "quillet").string() + "\" %u",
                                        "Exec=\"" + (moved / "bin" / "quillet").string() + "\" quick-create"}));
    EXPECT_EQ(linesWithKey(test::readFile(homes.autostart()), "Exec"),
              std::vector<std::string>{"Exec=\"" + (moved / "bin" / "quillet").string() + "\""});
    EXPECT_TRUE(sameFile(identityOf(homes.list()), listBefore));
}

TEST(BundleRegistration, OutsideABundleNothingIsWritten) {
    test::TemporaryFolder root;
    const Homes homes(root.path());
    // The build tree and a system prefix: the right shape and resources, but no *.app.
    for (const char* prefix : {"build", "usr"}) {
        fs::rename(makeBundle(root / "prefixes"), root / "prefixes" / prefix);
        const fs::path program = root / "prefixes" / prefix / "bin" / "quillet";
        EXPECT_TRUE(BundleRegistration(ApplicationBundle::containing(program), homes.environment())
                        .registerBundle()
                        .empty());
    }
    EXPECT_FALSE(fs::exists(homes.data));
    EXPECT_FALSE(fs::exists(homes.config));
}

TEST(BundleRegistration, ExecQuotesThePathAsDesktopEntriesRequire) {
    // Inside double quotes ", `, $ and \ take a backslash; the key file then doubles every
    // backslash; % is doubled so it is no field code.
    EXPECT_EQ(desktopEntryExecArgument("/home/a b/Quillet+.app/bin/quillet"), "\"/home/a b/Quillet+.app/bin/quillet\"");
    EXPECT_EQ(desktopEntryExecArgument("/x/say \"hi\"/q"), R"("/x/say \\"hi\\"/q")");
    EXPECT_EQ(desktopEntryExecArgument("/x/back\\slash/q"), R"("/x/back\\\\slash/q")");
    EXPECT_EQ(desktopEntryExecArgument("/x/$HOME/`id`/q"), R"("/x/\\$HOME/\\`id\\`/q")");
    EXPECT_EQ(desktopEntryExecArgument("/x/100%/it's;&|<>*?#()~/q"), R"("/x/100%%/it's;&|<>*?#()~/q")");
    EXPECT_EQ(desktopEntryExecArgument("/x/Ünïcødé/q"), "\"/x/Ünïcødé/q\"");
    // What a desktop entry cannot carry.
    EXPECT_EQ(desktopEntryExecArgument("/x/line\nbreak/q"), std::nullopt);
    EXPECT_EQ(desktopEntryExecArgument("/x/tab\there/q"), std::nullopt);
    EXPECT_EQ(desktopEntryExecArgument("/x/\xff\xfe/q"), std::nullopt);

    // Through a whole registration: a bundle in a folder with all of them.
    ScopedLogSink quiet(std::make_shared<MemoryLogSink>());
    test::TemporaryFolder root;
    const fs::path bundle = makeBundle(root / "My \"odd\" $apps\\here");
    const Homes homes(root.path());
    ASSERT_EQ(registerFrom(bundle, homes).size(), 4u);
    const std::string entry = test::readFile(homes.entry());
    const std::string folder = root.path().string() + R"(/My \\"odd\\" \\$apps\\\\here/Quillet+.app/bin/quillet)";
    EXPECT_EQ(linesWithKey(entry, "Exec"),
              (std::vector<std::string>{"Exec=\"" + folder + "\" %u", "Exec=\"" + folder + "\" quick-create"}));
    EXPECT_EQ(linesWithKey(test::readFile(homes.autostart()), "Exec"), std::vector<std::string>{"Exec=\"" + folder + "\""});
    // TryExec is a plain string: only the backslash is escaped.
    EXPECT_EQ(linesWithKey(entry, "TryExec"),
              std::vector<std::string>{"TryExec=" + root.path().string() + R"(/My "odd" $apps\\here/Quillet+.app/bin/quillet)"});
}

TEST(BundleRegistration, DesktopEntryKeysAreReplacedOrAddedInTheEntryGroupOnly) {
    // An action starts the same program with its own arguments; any other group stays as it is.
    const std::string entry =
        "# header\n[Desktop Entry]\nName=Q\nExec=old %u\nIcon=old\n\n[Desktop Action New]\nName=New\nExec=other --new\n"
        "[Desktop Action Plain]\nExec=other\n[X-Other]\nExec=kept\nIcon=kept\n";
    EXPECT_EQ(desktopEntryForProgram(entry, "/a/bin/quillet"),
              "# header\n[Desktop Entry]\nName=Q\nExec=\"/a/bin/quillet\" %u\nTryExec=/a/bin/quillet\n"
              "Icon=org.quillet.Quillet\n\n[Desktop Action New]\nName=New\nExec=\"/a/bin/quillet\" --new\n"
              "[Desktop Action Plain]\nExec=\"/a/bin/quillet\"\n[X-Other]\nExec=kept\nIcon=kept\n");
    // Written again over its own output (the next launch), for a program whose quoted path has a
    // space: the action keeps its arguments and nothing of the path.
    const auto written = desktopEntryForProgram(entry, "/home/a b/bin/quillet");
    ASSERT_TRUE(written);
    EXPECT_NE(written->find("Exec=\"/home/a b/bin/quillet\" --new\n"), std::string::npos);
    EXPECT_EQ(desktopEntryForProgram(*written, "/home/a b/bin/quillet"), written);
    // Exec is a command, not a list: a closing ";" is an argument, and is kept on every pass.
    const auto semicolon = desktopEntryForProgram("[Desktop Entry]\n[Desktop Action X]\nExec=on ;\n", "/a/bin/quillet");
    ASSERT_TRUE(semicolon);
    EXPECT_NE(semicolon->find("Exec=\"/a/bin/quillet\" ;\n"), std::string::npos);
    EXPECT_EQ(desktopEntryForProgram(*semicolon, "/a/bin/quillet"), semicolon);
    EXPECT_EQ(desktopEntryForProgram("[Desktop Entry]\nName=Q\nTryExec=x", "/a/bin/quillet"),
              "[Desktop Entry]\nName=Q\nTryExec=/a/bin/quillet\nExec=\"/a/bin/quillet\" %u\nIcon=org.quillet.Quillet\n");
    EXPECT_EQ(desktopEntryForProgram("Name=Q\nExec=x\n[Other]\n", "/a/bin/quillet"), std::nullopt);
    EXPECT_EQ(desktopEntryForProgram("[Desktop Entry]\nExec=x\n", "/a/\n/quillet"), std::nullopt);
}

TEST(BundleRegistration, MimeAppsListKeepsEverythingButOurKey) {
    const std::string key = "x-scheme-handler/quillaxe", ours = "org.quillet.Quillet.desktop";
    const std::string before =
        "# kept as written\n"
        "[Added Associations]\n"
        "x-scheme-handler/quillaxe=other.desktop;\n"
        "text/plain=gedit.desktop;\n"
        "\n"
        "[Default Applications]\n"
        "text/html=firefox.desktop\n"
        "x-scheme-handler/quillaxe = other.desktop\n"
        "  # a comment in the group\n"
        "x-scheme-handler/quillaxe=duplicate.desktop\n"
        "x-scheme-handler/quillaxe-not=keep.desktop\n"
        "\n"
        "[Removed Associations]\n"
        "image/jpeg=viewer.desktop;\n";
    EXPECT_EQ(mimeAppsListWithDefault(before, key, ours),
              "# kept as written\n"
              "[Added Associations]\n"
              "x-scheme-handler/quillaxe=other.desktop;\n"
              "text/plain=gedit.desktop;\n"
              "\n"
              "[Default Applications]\n"
              "text/html=firefox.desktop\n"
              "x-scheme-handler/quillaxe=org.quillet.Quillet.desktop\n"
              "  # a comment in the group\n"
              "x-scheme-handler/quillaxe-not=keep.desktop\n"
              "\n"
              "[Removed Associations]\n"
              "image/jpeg=viewer.desktop;\n");
    // The group without the key: added after its last line, before the blank one.
    EXPECT_EQ(mimeAppsListWithDefault("[Default Applications]\ntext/html=a.desktop\n\n[Added Associations]\n", key, ours),
              "[Default Applications]\ntext/html=a.desktop\nx-scheme-handler/quillaxe=org.quillet.Quillet.desktop\n\n"
              "[Added Associations]\n");
    // No group, and a last line without its line break.
    EXPECT_EQ(mimeAppsListWithDefault("[Added Associations]\ntext/plain=a.desktop", key, ours),
              "[Added Associations]\ntext/plain=a.desktop\n\n[Default Applications]\n"
              "x-scheme-handler/quillaxe=org.quillet.Quillet.desktop\n");
    EXPECT_EQ(mimeAppsListWithDefault("", key, ours), "[Default Applications]\nx-scheme-handler/quillaxe=org.quillet.Quillet.desktop\n");
    // Already so: the same text, so nothing is written.
    const std::string done = "[Default Applications]\nx-scheme-handler/quillaxe=org.quillet.Quillet.desktop\n# end\n";
    EXPECT_EQ(mimeAppsListWithDefault(done, key, ours), done);

    // On disk, the user's file keeps its permissions.
    ScopedLogSink quiet(std::make_shared<MemoryLogSink>());
    test::TemporaryFolder root;
    const Homes homes(root.path());
    fs::create_directories(homes.config);
    test::writeFile(homes.list(), before);
    fs::permissions(homes.list(), fs::perms::owner_read | fs::perms::owner_write);
    registerFrom(makeBundle(root.path()), homes);
    EXPECT_EQ(test::readFile(homes.list()), mimeAppsListWithDefault(before, key, ours));
    EXPECT_EQ(fs::status(homes.list()).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST(BundleRegistration, LinksAtTheTargetsAreLeftAsTheyAre) {
    test::TemporaryFolder root;
    const Homes homes(root.path());
    const fs::path bundle = makeBundle(root.path());
    fs::create_directories(homes.entry().parent_path());
    fs::create_directories(homes.config);
    test::writeFile(root / "dotfiles-entry", "mine");
    test::writeFile(root / "dotfiles-list", "[Default Applications]\n");
    fs::create_symlink(root / "dotfiles-entry", homes.entry());
    fs::create_symlink(root / "dotfiles-list", homes.list());
    // A login item kept elsewhere, linked in, that the user turned on.
    fs::create_directories(homes.autostart().parent_path());
    const std::string linkedLoginItem = "[Desktop Entry]\nType=Application\nName=Mine\nExec=/opt/old/quillet\n";
    test::writeFile(root / "dotfiles-autostart", linkedLoginItem);
    fs::create_symlink(root / "dotfiles-autostart", homes.autostart());
    auto log = std::make_shared<MemoryLogSink>();
    ScopedLogSink scoped(log);

    EXPECT_EQ(registerFrom(bundle, homes), std::vector<fs::path>{homes.icon()});
    EXPECT_TRUE(fs::is_symlink(homes.entry()));
    EXPECT_TRUE(fs::is_symlink(homes.list()));
    EXPECT_TRUE(fs::is_symlink(homes.autostart()));
    EXPECT_EQ(test::readFile(root / "dotfiles-entry"), "mine");
    EXPECT_EQ(test::readFile(root / "dotfiles-list"), "[Default Applications]\n");
    EXPECT_EQ(test::readFile(root / "dotfiles-autostart"), linkedLoginItem);
    EXPECT_TRUE(log->contains("Left the desktop entry alone: " + homes.entry().string() + ": not a regular file"));
    EXPECT_TRUE(log->contains("Left the scheme handler setting alone: " + homes.list().string() + ": not a regular file"));
    EXPECT_TRUE(log->contains("Left the autostart entry alone: " + homes.autostart().string() + ": not a regular file"));

    // A dangling link and a folder in the icon's place are left too.
    fs::remove(homes.icon());
    fs::create_directory(homes.icon());
    fs::remove(homes.entry());
    fs::create_symlink(root / "nowhere", homes.entry());
    fs::remove(homes.autostart());
    fs::create_symlink(root / "nowhere-autostart", homes.autostart());
    EXPECT_TRUE(registerFrom(bundle, homes).empty());
    EXPECT_FALSE(fs::exists(root / "nowhere"));
    EXPECT_FALSE(fs::exists(root / "nowhere-autostart"));
    EXPECT_TRUE(fs::is_symlink(homes.autostart()));
    EXPECT_TRUE(fs::is_directory(homes.icon()));
}

TEST(BundleRegistration, AFailedWriteIsLoggedAndLeavesTheOldFileWhole) {
    test::TemporaryFolder root;
    const Homes homes(root.path());
    const fs::path bundle = makeBundle(root.path());
    fs::create_directories(homes.entry().parent_path());
    test::writeFile(homes.entry(), "[Desktop Entry]\nExec=old\n");

    // Past the file size limit the new entry cannot be written whole.
    const auto outcome = test::runInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        auto log = std::make_shared<MemoryLogSink>();
        ScopedLogSink scoped(log);
        registerFrom(bundle, homes);
        std::string lines;
        for (const auto& line : log->lines()) lines += line + "\n";
        return lines;
    });
    ASSERT_TRUE(outcome.exited);
    EXPECT_NE(outcome.output.find("Could not register the desktop entry: " + homes.entry().string() + ": File too large"),
              std::string::npos)
        << outcome.output;
    EXPECT_EQ(test::readFile(homes.entry()), "[Desktop Entry]\nExec=old\n");
    EXPECT_EQ(namesIn(homes.entry().parent_path()), std::vector<std::string>{"org.quillet.Quillet.desktop"});
    // The short handler setting fit, and is there.
    EXPECT_TRUE(fs::is_regular_file(homes.list()));
}

TEST(BundleRegistration, AReadOnlyFolderIsLoggedNotFatal) {
    test::TemporaryFolder root;
    const Homes homes(root.path());
    const fs::path bundle = makeBundle(root.path());
    fs::create_directories(homes.entry().parent_path());
    fs::create_directories(homes.config);
    const auto attempt = [&] {
        auto log = std::make_shared<MemoryLogSink>();
        ScopedLogSink scoped(log);
        std::string out;
        for (const auto& path : registerFrom(bundle, homes)) out += "wrote " + path.string() + "\n";
        for (const auto& line : log->lines()) out += line + "\n";
        return out;
    };
    std::string output;
    if (::geteuid() != 0) {
        fs::permissions(homes.entry().parent_path(), fs::perms::owner_write, fs::perm_options::remove);
        output = attempt();
    } else {
        // Root writes anywhere: the registration runs as the unprivileged "nobody".
        struct passwd* nobody = ::getpwnam("nobody");
        if (!nobody) GTEST_SKIP() << "no user \"nobody\" to run as";
        fs::permissions(root.path(), fs::perms::others_exec, fs::perm_options::add);
        for (const fs::path& folder : {homes.data, homes.data / "applications", homes.config})
            ASSERT_EQ(::chown(folder.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        fs::permissions(homes.entry().parent_path(), fs::perms::owner_write, fs::perm_options::remove);
        const auto outcome = test::runInChild([&] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
                return std::string("skip: ") + std::strerror(errno);
            return attempt();
        });
        ASSERT_TRUE(outcome.exited);
        if (outcome.output.rfind("skip: ", 0) == 0) GTEST_SKIP() << outcome.output;
        output = outcome.output;
    }
    EXPECT_NE(output.find("Could not register the desktop entry: " + homes.entry().string() + ": Permission denied"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("wrote " + homes.icon().string() + "\n"), std::string::npos) << output;
    EXPECT_NE(output.find("wrote " + homes.list().string() + "\n"), std::string::npos) << output;
    EXPECT_FALSE(fs::exists(homes.entry()));
}

// The uninstaller takes the registration back: our entry and icon go, the scheme default goes
// only while it still names us, and the rest of the user's list stays line for line.
TEST(BundleRegistration, UnregisteringRemovesOnlyWhatIsOurs) {
    test::TemporaryFolder root;
    const Homes homes(root.path());
    const fs::path bundle = makeBundle(root.path() / "Applications");
    registerFrom(bundle, homes);
    const std::string before = "# mine\n[Default Applications]\ntext/plain=editor.desktop\n";
    test::writeFile(homes.list(), before + "x-scheme-handler/quillaxe=org.quillet.Quillet.desktop;\n[Added Associations]\n"
                                           "x-scheme-handler/quillaxe=org.quillet.Quillet.desktop;\n");
    const BundleRegistration registration(ApplicationBundle::containing(bundle / "bin" / "quillet"), homes.environment());

    EXPECT_EQ(registration.unregisterBundle().size(), 4u);
    EXPECT_FALSE(fs::exists(homes.entry()));
    EXPECT_FALSE(fs::exists(homes.icon()));
    EXPECT_FALSE(fs::exists(homes.autostart()));
    EXPECT_EQ(test::readFile(homes.list()),
              before + "[Added Associations]\nx-scheme-handler/quillaxe=org.quillet.Quillet.desktop;\n");
    EXPECT_TRUE(registration.unregisterBundle().empty()) << "a second time finds nothing to do";

    // Another application chosen as the handler, and links at our places, are not ours to remove.
    const std::string chosen = "[Default Applications]\nx-scheme-handler/quillaxe=other.desktop\n";
    test::writeFile(homes.list(), chosen);
    test::writeFile(root.path() / "elsewhere.desktop", "[Desktop Entry]\n");
    fs::create_symlink(root.path() / "elsewhere.desktop", homes.entry());
    EXPECT_TRUE(registration.unregisterBundle().empty());
    EXPECT_EQ(test::readFile(homes.list()), chosen);
    EXPECT_TRUE(fs::is_symlink(homes.entry()));
    EXPECT_TRUE(fs::exists(root.path() / "elsewhere.desktop"));
}

// Launch at login: the autostart entry starts the bundle's program with no arguments, is valid,
// and is written again only when something in it changes.
TEST(BundleRegistration, TheAutostartEntryStartsTheBundleAtLogin) {
    test::TemporaryFolder root;
    const fs::path bundle = makeBundle(root / "My Apps" / "for work");
    const Homes homes(root.path());
    auto log = std::make_shared<MemoryLogSink>();
    ScopedLogSink scoped(log);

    const auto written = registerFrom(bundle, homes);
    ASSERT_NE(std::find(written.begin(), written.end(), homes.autostart()), written.end());
    const std::string entry = test::readFile(homes.autostart());
    const std::string program = (bundle / "bin" / "quillet").string();
    EXPECT_EQ(linesWithKey(entry, "Exec"), std::vector<std::string>{"Exec=\"" + program + "\""});
    EXPECT_EQ(desktopEntryExecProgram(desktopEntryValue(entry, "Exec").value_or("")), bundle / "bin" / "quillet");
    EXPECT_EQ(linesWithKey(entry, "TryExec"), std::vector<std::string>{"TryExec=" + program});
    EXPECT_EQ(linesWithKey(entry, "Icon"), std::vector<std::string>{"Icon=org.quillet.Quillet"});
    EXPECT_EQ(linesWithKey(entry, "X-GNOME-Autostart-enabled"), std::vector<std::string>{"X-GNOME-Autostart-enabled=true"});
    for (const char* key : {"Type", "Name", "Comment", "Terminal"})
        EXPECT_EQ(linesWithKey(entry, key).size(), 1u) << key;
    // Neither hidden nor left out of the desktop's list of startup applications.
    EXPECT_TRUE(linesWithKey(entry, "Hidden").empty());
    EXPECT_TRUE(linesWithKey(entry, "NoDisplay").empty());
    EXPECT_FALSE(isTurnedOffAutostartEntry(entry));
    EXPECT_TRUE(log->contains("Registered the autostart entry at " + homes.autostart().string()));
    if (const auto verdict = desktopFileValidate(homes.autostart())) {
        EXPECT_EQ(verdict->status, 0) << verdict->output;
        EXPECT_EQ(verdict->output.find("error"), std::string::npos) << verdict->output;
    } else {
        ADD_FAILURE() << "desktop-file-validate is not installed";
    }

    const Identity before = identityOf(homes.autostart());
    log->clear();
    EXPECT_TRUE(registerFrom(bundle, homes).empty());
    EXPECT_TRUE(sameFile(identityOf(homes.autostart()), before));
    EXPECT_TRUE(log->records().empty());

    // One that differs, turned on, is the bundle's to keep current: an old place, a foreign
    // program of our name, or keys of the entry's own that say it is on.
    for (const std::string& old : {std::string("[Desktop Entry]\nExec=\"/old place/Quillet+.app/bin/quillet\"\n"),
                                   std::string("[Desktop Entry]\nType=Application\nExec=/usr/bin/other\n"),
                                   std::string("[Desktop Entry]\nHidden=false\nX-GNOME-Autostart-enabled=true\nExec=x\n"),
                                   std::string("[Desktop Action Off]\nHidden=true\n[Desktop Entry]\nExec=x\n")}) {
        test::writeFile(homes.autostart(), old);
        EXPECT_EQ(registerFrom(bundle, homes), std::vector<fs::path>{homes.autostart()}) << old;
        EXPECT_EQ(test::readFile(homes.autostart()), entry) << old;
    }
}

// Turned off in the desktop's startup applications (or by hand): kept to the byte, never
// re-pointed or replaced.
TEST(BundleRegistration, AnAutostartEntryTheUserTurnedOffIsKept) {
    test::TemporaryFolder root;
    const fs::path bundle = makeBundle(root / "Applications");
    const Homes homes(root.path());
    auto log = std::make_shared<MemoryLogSink>();
    ScopedLogSink scoped(log);
    fs::create_directories(homes.autostart().parent_path());
    for (const std::string& off : {
             std::string("[Desktop Entry]\nType=Application\nName=Quillet+\nExec=\"/old/Quillet+.app/bin/quillet\"\n"
                         "Hidden=true\n"),
             std::string("[Desktop Entry]\nName=Quillet+\nExec=quillet\nX-GNOME-Autostart-enabled=false\n"),
             std::string("# mine\n[Desktop Entry]\nExec=quillet\nHidden = 1"),
             std::string("[Desktop Entry]\nExec=quillet\nX-GNOME-Autostart-enabled=true\nX-GNOME-Autostart-enabled=0\n"),
         }) {
        EXPECT_TRUE(isTurnedOffAutostartEntry(off)) << off;
        test::writeFile(homes.autostart(), off);
        const Identity before = identityOf(homes.autostart());
        log->clear();
        const auto written = registerFrom(bundle, homes);
        EXPECT_EQ(std::find(written.begin(), written.end(), homes.autostart()), written.end()) << off;
        EXPECT_EQ(test::readFile(homes.autostart()), off);
        EXPECT_TRUE(sameFile(identityOf(homes.autostart()), before)) << off;
        for (const auto& line : log->lines()) EXPECT_EQ(line.find("autostart"), std::string::npos) << line;
    }
    EXPECT_EQ(namesIn(homes.autostart().parent_path()), std::vector<std::string>{"org.quillet.Quillet.desktop"});
}

TEST(BundleRegistration, ExecProgramReadsBackWhatExecArgumentWrites) {
    for (const char* path : {"/home/a b/Quillet+.app/bin/quillet", "/x/say \"hi\"/q", "/x/back\\slash/q",
                             "/x/$HOME/`id`/q", "/x/100%/it's;&|<>*?#()~/q", "/x/Ünïcødé/q", "/x/ends in space /q"}) {
        const auto argument = desktopEntryExecArgument(path);
        ASSERT_TRUE(argument) << path;
        EXPECT_EQ(desktopEntryExecProgram(*argument), fs::path(path)) << *argument;
        EXPECT_EQ(desktopEntryExecProgram(*argument + " %u"), fs::path(path)) << *argument;
    }
    EXPECT_EQ(desktopEntryExecProgram("quillet"), fs::path("quillet"));
    EXPECT_EQ(desktopEntryExecProgram("  /usr/bin/other --flag \"x y\""), fs::path("/usr/bin/other"));
    // The key file's \s is a space before the arguments are split: inside quotes it stays.
    EXPECT_EQ(desktopEntryExecProgram(R"("/usr/bin/with\sspace" %u)"), fs::path("/usr/bin/with space"));
    EXPECT_EQ(desktopEntryExecProgram(R"(/usr/bin/with\sspace %u)"), fs::path("/usr/bin/with"));
    // Malformed: not a program to compare with.
    for (const char* bad : {"", "   ", "\"/unclosed", R"("/bad \q escape")", R"(/bad\x)", "trailing\\",
                            "\"/a\"b", "/a/%u", "/a/100%"})
        EXPECT_EQ(desktopEntryExecProgram(bad), std::nullopt) << bad;
}

// On uninstall, the autostart entry goes when it starts this bundle, turned off or not; one of
// our name that starts another program, or a link, is the user's and stays.
TEST(BundleRegistration, UnregisteringRemovesOnlyOurAutostartEntry) {
    test::TemporaryFolder root;
    const Homes homes(root.path());
    const fs::path bundle = makeBundle(root.path() / "My Apps");
    ScopedLogSink quiet(std::make_shared<MemoryLogSink>());
    const BundleRegistration registration(ApplicationBundle::containing(bundle / "bin" / "quillet"), homes.environment());
    const auto removes = [&] {
        const auto changed = registration.unregisterBundle();
        return std::find(changed.begin(), changed.end(), homes.autostart()) != changed.end();
    };

    registration.registerBundle();
    ASSERT_TRUE(fs::is_regular_file(homes.autostart()));
    EXPECT_TRUE(removes());
    EXPECT_FALSE(fs::exists(homes.autostart()));
    EXPECT_TRUE(fs::is_directory(homes.autostart().parent_path())) << "the folder is the desktop's";

    const std::string program = *desktopEntryExecArgument(bundle / "bin" / "quillet");
    test::writeFile(homes.autostart(), "[Desktop Entry]\nExec=" + program + "\nHidden=true\n");
    EXPECT_TRUE(removes());
    EXPECT_FALSE(fs::exists(homes.autostart()));

    for (const std::string& foreign :
         {std::string("[Desktop Entry]\nType=Application\nName=Other\nExec=/usr/bin/other-program --at-login\n"),
          std::string("[Desktop Entry]\nExec=\"/elsewhere/Quillet+.app/bin/quillet\"\n"),
          std::string("[Desktop Entry]\nExec=quillet\n"),
          std::string("[Desktop Action X]\nExec=" + program + "\n[Desktop Entry]\nExec=/usr/bin/other\n"),
          std::string("not a key file at all")}) {
        test::writeFile(homes.autostart(), foreign);
        EXPECT_FALSE(removes()) << foreign;
        EXPECT_EQ(test::readFile(homes.autostart()), foreign);
    }

    // A link to an entry of ours is not followed, nor removed.
    fs::remove(homes.autostart());
    test::writeFile(root.path() / "kept.desktop", "[Desktop Entry]\nExec=" + program + "\n");
    fs::create_symlink(root.path() / "kept.desktop", homes.autostart());
    EXPECT_FALSE(removes());
    EXPECT_TRUE(fs::is_symlink(homes.autostart()));
    EXPECT_EQ(test::readFile(root.path() / "kept.desktop"), "[Desktop Entry]\nExec=" + program + "\n");
}

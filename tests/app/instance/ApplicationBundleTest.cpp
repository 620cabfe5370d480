#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include <nlohmann/json.hpp>

#include "app/instance/ApplicationBundle.h"
#include "app/update/QuilletCheckForUpdatesCommand.h"
#include "app/update/QuilletSelfUpdater.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

// <root>/<name>/bin/quillet with, when `withInfo`, share/quillet/Info.json beside it.
fs::path layOut(const fs::path& root, const std::string& name, bool withInfo) {
    const fs::path folder = root / name;
    fs::create_directories(folder / "bin");
    fs::create_directories(folder / "share" / "quillet");
    test::writeFile(folder / "bin" / "quillet", "");
    if (withInfo) test::writeFile(folder / "share" / "quillet" / "Info.json", "{}");
    return folder / "bin" / "quillet";
}

}  // namespace

TEST(ApplicationBundle, AnAppFolderWithItsInformationDictionaryIsABundle) {
    test::TemporaryFolder root;
    const auto bundle = ApplicationBundle::containing(layOut(root / "My Apps", "Quillet+.app", true));
    const fs::path folder = root / "My Apps" / "Quillet+.app";
    EXPECT_EQ(bundle.path(), folder);
    EXPECT_EQ(bundle.executable(), folder / "bin" / "quillet");
    EXPECT_EQ(bundle.resourceDirectory(), folder / "share" / "quillet");
    EXPECT_TRUE(bundle.isAppBundle());
    EXPECT_EQ(bundle.installedBundle(), folder);
    // Named through "." and "..", it is the same bundle.
    EXPECT_EQ(ApplicationBundle::containing(folder / "share" / ".." / "bin" / "." / "quillet").installedBundle(), folder);
}

TEST(ApplicationBundle, BuildTreesPrefixesAndIncompleteFoldersAreNot) {
    test::TemporaryFolder root;
    // The build tree and a system prefix have Info.json too, but are not named *.app.
    for (const char* name : {"build", "usr", "Quillet+.app.old", "app"}) {
        const auto bundle = ApplicationBundle::containing(layOut(root.path(), name, true));
        EXPECT_EQ(bundle.path(), root / name);
        EXPECT_FALSE(bundle.isAppBundle()) << name;
        EXPECT_EQ(bundle.installedBundle(), std::nullopt) << name;
    }
    EXPECT_FALSE(ApplicationBundle::containing("/usr/bin/quillet").isAppBundle());
    EXPECT_EQ(ApplicationBundle::containing("/usr/bin/quillet").path(), fs::path("/usr"));
    // A *.app folder without its information dictionary, or with a folder in its place.
    EXPECT_EQ(ApplicationBundle::containing(layOut(root.path(), "Empty.app", false)).installedBundle(), std::nullopt);
    EXPECT_EQ(ApplicationBundle::containing(layOut(root.path(), ".app", true)).installedBundle(), std::nullopt);
    const auto odd = layOut(root.path(), "Odd.app", false);
    fs::create_directory(root / "Odd.app" / "share" / "quillet" / "Info.json");
    EXPECT_EQ(ApplicationBundle::containing(odd).installedBundle(), std::nullopt);
}

TEST(ApplicationBundle, OnlyTheInstalledDictionaryMarksASystemInstallAndItOffersNoUpdates) {
    EXPECT_TRUE(isSystemInstall(nlohmann::json{{"QuilletSystemInstall", true}}));
    for (const auto& info : {nlohmann::json::object(), nlohmann::json{{"QuilletSystemInstall", false}},
                             nlohmann::json{{"QuilletSystemInstall", "true"}}, nlohmann::json{{"QuilletSystemInstall", 1}},
                             nlohmann::json::array(), nlohmann::json()})
        EXPECT_FALSE(isSystemInstall(info)) << info.dump();

    // What the build makes: the build tree's dictionary (a bundle is made from it) is not one;
    // the one `cmake --install` and the package put in share/quillet is, with no update feed, so
    // no "Check for Updates..." is offered there.
    const auto read = [](const fs::path& file) { return nlohmann::json::parse(test::readFile(file)); };
    const auto built = read(fs::path(QUILLET_BINARY_DIR) / "share" / "quillet" / "Info.json");
    const auto installed = read(fs::path(QUILLET_BINARY_DIR) / "resources" / "installed" / "Info.json");
    EXPECT_FALSE(isSystemInstall(built));
    EXPECT_TRUE(isSystemInstall(installed));
    EXPECT_EQ(installed.value("CFBundleShortVersionString", ""), built.value("CFBundleShortVersionString", "?"));
    const auto configuration = QuilletSelfUpdateConfiguration::fromInfoDictionary(installed);
    EXPECT_FALSE(configuration.isConfigured());
    QuilletSelfUpdater updater(configuration, [](const QuilletSelfUpdateConfiguration&) {
        return std::unique_ptr<SoftwareUpdateController>();
    });
    EXPECT_TRUE(QuilletCheckForUpdatesCommand(updater).items().empty());
}

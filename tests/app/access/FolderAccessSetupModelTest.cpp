#include <gtest/gtest.h>

#include "app/access/FolderAccessLocations.h"
#include "app/access/FolderAccessSetupModel.h"
#include "shared/paths/UserEnvironment.h"
#include "tests/support/GrantStoreFixture.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
using namespace quillet::test;
namespace fs = std::filesystem;
using Access = SecurityScopedFolderAccess;
using Model = FolderAccessSetupModel;
using Action = FolderAccessSetupModel::Action;

namespace {

// The real grant store on a private suite, a home "me" inside a temporary folder (so its parent
// can be chosen too), a runtime folder for online-account mounts and a folder volumes mount in.
class FolderAccessSetupTest : public ::testing::Test, protected GrantStoreFixture {
protected:
    fs::path folder(const std::string& relative) {
        fs::path p = root.path() / relative;
        fs::create_directories(p);
        return p;
    }
    FolderAccessLocations locations() const {
        FolderAccessLocations l;
        l.realHome = me;
        l.processHome = root / "process-home";
        l.volumeMountFolders = {root / "run-media-me", root / "media"};
        l.providerMountsFolder = root / "runtime/gvfs";
        return l;
    }
    std::string status() const { return model.state->statusMessage.value_or("(none)"); }
    std::vector<std::string> shownTitles() const {
        std::vector<std::string> titles;
        for (const auto& shown : panel.shown()) titles.push_back(shown.title);
        return titles;
    }

    TemporaryFolder root;
    fs::path me = folder("me");
    Model model{access, names, locations(), true};
};

}  // namespace

TEST_F(FolderAccessSetupTest, GrantingTheHomeFolderAndForgettingItAgain) {
    model.reload();
    EXPECT_EQ(model.summary(), "No saved folder roots.");
    EXPECT_FALSE(model.showsGrid());
    EXPECT_EQ(model.state->statusMessage, std::nullopt);

    panel.enqueueChoice(me.string() + "/");
    model.perform(Action::grantHomeFolder);
    ASSERT_EQ(panel.shown().size(), 1u);
    const auto& shown = panel.shown()[0];
    EXPECT_EQ(shown.title, "Allow Home Folder Access");
    EXPECT_EQ(shown.message, "Choose your home folder so Quillet+ can create files in folders you own.");
    EXPECT_EQ(shown.prompt, "Allow Access");
    EXPECT_EQ(shown.directoryURL, me);  // the home itself, so accepting the panel as it opens grants it
    EXPECT_FALSE(shown.allowsMultipleSelection);
    EXPECT_FALSE(shown.canCreateDirectories);
    EXPECT_EQ(windows.activations(), 1);

    EXPECT_EQ(status(), "Saved access to Home.");
    EXPECT_EQ(model.summary(), "1 saved folder root.");
    EXPECT_EQ(model.cells(), (std::vector<Model::Cell>{{me, "house", "Home"}}));
    EXPECT_TRUE(suite().get(Access::bookmarkKey(me)));

    model.forgetAccess(me);
    EXPECT_EQ(status(), "Removed access to Home.");
    EXPECT_EQ(model.summary(), "No saved folder roots.");
    EXPECT_FALSE(model.showsGrid());
    EXPECT_FALSE(suite().get(Access::bookmarkKey(me)));
}

TEST_F(FolderAccessSetupTest, TheHomeGrantAcceptsOnlyAFolderThatContainsTheHome) {
    const fs::path other = folder("other");
    panel.enqueueCancel();
    model.perform(Action::grantHomeFolder);
    EXPECT_EQ(status(), "Quillet+ needs access to me before it can create files there.");

    panel.enqueueChoice(other);
    model.perform(Action::grantHomeFolder);
    EXPECT_EQ(status(), "Please choose me (or a folder that contains it), not other.");
    EXPECT_TRUE(access.savedFolderRoots().empty());

    // The home's parent contains it; it is not the home, so it goes by its own name.
    panel.enqueueChoice(root.path());
    model.perform(Action::grantHomeFolder);
    EXPECT_EQ(status(), "Saved access to " + root.path().filename().string() + ".");
    EXPECT_EQ(model.cells(), (std::vector<Model::Cell>{{root.path(), "folder", root.path().filename().string()}}));

    // Without an account entry no panel is shown.
    FolderAccessLocations homeless = locations();
    homeless.realHome.reset();
    Model lost{access, names, homeless, true};
    lost.perform(Action::grantHomeFolder);
    EXPECT_EQ(lost.state->statusMessage, "Quillet+ could not locate your home folder.");
    lost.perform(Action::addCloudFolders);
    EXPECT_EQ(lost.state->statusMessage, "Quillet+ could not locate your home folder.");
    EXPECT_EQ(panel.shown().size(), 3u);
}

TEST_F(FolderAccessSetupTest, CloudFoldersAreDropboxTheProviderMountsAndTheClientFolders) {
    const fs::path dropbox = folder("me/Dropbox");
    const fs::path drive = folder("runtime/gvfs/google-drive:host=example.com,user=me");
    const fs::path nextcloud = folder("runtime/gvfs/dav:host=cloud.example.com,ssl=true");
    const fs::path oneDrive = folder("me/OneDrive");
    // No "Google Drive" folder in the home: it is not asked for (the panel would run out of answers).

    panel.enqueueCancel();                        // Dropbox declined
    panel.enqueue({true, {drive, nextcloud}});    // two provider mounts
    panel.enqueue({true, {}});                    // OneDrive confirmed as offered
    model.perform(Action::addCloudFolders);

    EXPECT_EQ(status(), "Saved access to 3 folder roots.");
    EXPECT_EQ(shownTitles(), (std::vector<std::string>{"Allow Dropbox Access", "Add Cloud Folder Access",
                                                       "Allow OneDrive Access"}));
    EXPECT_EQ(panel.shown()[0].message, "Click Allow Access to let Quillet+ create files in Dropbox and its subfolders.");
    EXPECT_EQ(panel.shown()[0].directoryURL, dropbox);
    const auto& providers = panel.shown()[1];
    EXPECT_EQ(providers.message, "Choose Google Drive, OneDrive, or other provider folders that Quillet+ can use.");
    EXPECT_EQ(providers.directoryURL, root / "runtime/gvfs");
    EXPECT_TRUE(providers.allowsMultipleSelection);
    EXPECT_EQ(windows.activations(), 3);
    EXPECT_EQ(model.state->authorizedFolders.size(), 3u);
    EXPECT_FALSE(suite().get(Access::bookmarkKey(dropbox)));
    for (const auto& granted : {drive, nextcloud, oneDrive}) EXPECT_TRUE(suite().get(Access::bookmarkKey(granted)));
}

TEST_F(FolderAccessSetupTest, CloudFoldersWithNothingToOfferShowNoPanel) {
    // GIO keeps its mount folder with nothing mounted; an empty panel is not worth showing.
    folder("runtime/gvfs/.hidden");
    folder("me/Library/CloudStorage/OneDrive");  // not where Linux clients keep their folders
    model.perform(Action::addCloudFolders);
    EXPECT_EQ(status(), "Quillet+ needs access to me before it can create files there.");
    EXPECT_TRUE(panel.shown().empty());

    // Offered but every prompt declined, the same message.
    folder("me/Dropbox");
    folder("me/Google Drive");
    panel.enqueueCancel();
    panel.enqueueCancel();
    model.perform(Action::addCloudFolders);
    EXPECT_EQ(status(), "Quillet+ needs access to me before it can create files there.");
    EXPECT_EQ(shownTitles(), (std::vector<std::string>{"Allow Dropbox Access", "Allow Google Drive Access"}));
}

TEST_F(FolderAccessSetupTest, AFailedSaveInTheProviderPanelEndsTheCloudFlow) {
    const fs::path drive = folder("runtime/gvfs/google-drive:host=example.com,user=me");
    folder("me/OneDrive");
    model.reload();
    panel.enqueue({true, {drive, root / "runtime/gvfs/unmounted"}});
    model.perform(Action::addCloudFolders);
    EXPECT_NE(status().find("No such file or directory"), std::string::npos) << status();
    EXPECT_EQ(panel.shown().size(), 1u);  // OneDrive is not asked for after the failure
    // The folder saved before the failure stays saved and shows at the next reload.
    EXPECT_TRUE(model.state->authorizedFolders.empty());
    model.reload();
    EXPECT_EQ(model.state->authorizedFolders, std::vector<fs::path>{drive});
    EXPECT_NE(status().find("No such file or directory"), std::string::npos);  // a reload keeps the message
}

TEST_F(FolderAccessSetupTest, OtherFoldersStartInTheHomeWithoutComingToTheFront) {
    const fs::path projects = folder("me/Projects");
    panel.enqueueChoice(projects.string() + "/./");
    model.perform(Action::addOtherFolders);
    EXPECT_EQ(status(), "Saved access to Projects.");
    ASSERT_EQ(panel.shown().size(), 1u);
    EXPECT_EQ(panel.shown()[0].title, "Add Other Folders");
    EXPECT_EQ(panel.shown()[0].message, "Choose any other folders Quillet+ can create files in.");
    EXPECT_EQ(panel.shown()[0].directoryURL, me);
    EXPECT_TRUE(panel.shown()[0].allowsMultipleSelection);
    EXPECT_EQ(windows.activations(), 0);
    EXPECT_EQ(model.cells(), (std::vector<Model::Cell>{{projects, "folder", "Projects"}}));

    panel.enqueue({true, {}});
    model.perform(Action::addOtherFolders);
    EXPECT_EQ(status(), "No folder roots selected.");
    panel.enqueue({true, {folder("a"), folder("b")}});
    model.perform(Action::addOtherFolders);
    EXPECT_EQ(status(), "Saved access to 2 folder roots.");
    EXPECT_EQ(model.summary(), "3 saved folder roots.");
    panel.enqueueCancel();
    model.perform(Action::addOtherFolders);
    EXPECT_EQ(status(), "Quillet+ needs access to me before it can create files there.");
    EXPECT_EQ(model.summary(), "3 saved folder roots.");

    // Without an account entry the panel has no starting folder and a cancel names $HOME.
    FolderAccessLocations homeless = locations();
    homeless.realHome.reset();
    Model lost{access, names, homeless, true};
    panel.enqueueCancel();
    lost.perform(Action::addOtherFolders);
    EXPECT_EQ(panel.shown().back().directoryURL, std::nullopt);
    EXPECT_EQ(lost.state->statusMessage, "Quillet+ needs access to process-home before it can create files there.");
}

TEST_F(FolderAccessSetupTest, ExternalVolumesStartWhereVolumesAreMounted) {
    const fs::path usb = folder("media/USB Stick");
    panel.enqueueChoice(usb);
    model.perform(Action::addExternalVolumes);
    ASSERT_EQ(panel.shown().size(), 1u);
    EXPECT_EQ(panel.shown()[0].title, "Add External Volume Access");
    EXPECT_EQ(panel.shown()[0].message, "Choose external volumes that Quillet+ can use.");
    EXPECT_EQ(panel.shown()[0].directoryURL, root / "media");  // the user's own folder is missing
    EXPECT_EQ(windows.activations(), 0);
    EXPECT_EQ(status(), "Saved access to USB Stick.");
    EXPECT_EQ(model.cells(), (std::vector<Model::Cell>{{usb, "externaldrive", "USB Stick"}}));

    folder("run-media-me");
    panel.enqueueCancel();
    model.perform(Action::addExternalVolumes);
    EXPECT_EQ(panel.shown()[1].directoryURL, root / "run-media-me");
    EXPECT_EQ(status(), "Quillet+ needs access to run-media-me before it can create files there.");

    FolderAccessLocations none;
    none.volumeMountFolders = {root / "missing"};
    EXPECT_EQ(none.externalVolumesFolder(), fs::path("/media"));
}

TEST(FolderAccessLocations, RowSymbolsAndNamesFollowTheLinuxPlaces) {
    UserEnvironment environment;
    environment.accountHome = "/home/alice/";
    environment.accountUserName = "alice";
    environment.homeVariable = "/var/container";
    environment.runtimeDirectory = "/run/user/1000";
    const auto locations = FolderAccessLocations::fromEnvironment(environment);
    EXPECT_EQ(locations.realHome, fs::path("/home/alice"));
    EXPECT_EQ(locations.processHome, fs::path("/var/container"));
    EXPECT_EQ(locations.providerMountsFolder, fs::path("/run/user/1000/gvfs"));
    EXPECT_EQ(locations.volumeMountFolders,
              (std::vector<fs::path>{"/run/media/alice", "/media/alice", "/media", "/mnt"}));

    GrantStoreFixture store;
    const Model model{store.access, store.names, locations, true};
    for (const char* volume : {"/media/alice/USB", "/run/media/alice/Backup/", "/media/Disk", "/mnt/data"})
        EXPECT_EQ(model.rowSymbol(volume), "externaldrive") << volume;
    // The folders volumes are mounted in are not volumes themselves; nor is a look-alike name.
    for (const char* plain : {"/media", "/media/", "/media/alice", "/run/media/alice", "/mnt", "/media2/x",
                              "/run/media", "/home/alice/Dropbox", "/"})
        EXPECT_EQ(model.rowSymbol(plain), "folder") << plain;
    EXPECT_EQ(model.rowSymbol("/home/alice/"), "house");
    EXPECT_EQ(model.displayName("/home/alice/."), "Home");
    EXPECT_EQ(model.displayName("/home/alice/Dropbox"), "Dropbox");
    EXPECT_EQ(model.displayName("/home/alicia"), "alicia");

    // A user name that would climb out of the mount folders is not joined to them.
    environment.accountUserName = "..";
    environment.accountHome.clear();
    environment.runtimeDirectory.reset();
    const auto odd = FolderAccessLocations::fromEnvironment(environment);
    EXPECT_EQ(odd.volumeMountFolders, (std::vector<fs::path>{"/media", "/mnt"}));
    EXPECT_EQ(odd.realHome, std::nullopt);
    EXPECT_EQ(odd.providerMountsFolder, std::nullopt);
}

TEST(FolderAccessSetupTexts, CountsAreSpelledOut) {
    EXPECT_EQ(Model::summaryText(0), "No saved folder roots.");
    EXPECT_EQ(Model::summaryText(1), "1 saved folder root.");
    EXPECT_EQ(Model::summaryText(12), "12 saved folder roots.");
    std::vector<std::string> titles;
    for (const auto& button : Model::grantButtons()) titles.push_back(button.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"Grant Home Folder...", "Add Other Folders...",
                                                "Add Cloud Folders...", "Add External Volumes..."}));
}

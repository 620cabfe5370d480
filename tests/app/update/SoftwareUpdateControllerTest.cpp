#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "app/update/BundleInstaller.h"
#include "app/update/SoftwareUpdateController.h"
#include "tests/support/ManualMainQueue.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/UpdateDoubles.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

const std::string kArchive = "the new version's archive";

std::string feedWith(const std::string& enclosureURL, const std::string& version = "2.0",
                     const std::string& signature = "sparkle:edSignature=\"good-signature\"",
                     std::uint64_t length = kArchive.size()) {
    return R"(<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle"><channel>
      <item><sparkle:version>0.9</sparkle:version><enclosure url="https://u.example/0.9.tar.xz"/></item>
      <item>
        <sparkle:version>)" + version + R"(</sparkle:version>
        <description>What is new</description>
        <sparkle:releaseNotesLink>https://u.example/notes</sparkle:releaseNotesLink>
        <enclosure url=")" + enclosureURL + R"(" length=")" + std::to_string(length) + "\" " + signature + R"(/>
      </item></channel></rss>)";
}

const std::string kFeed = feedWith("https://u.example/Quillet-2.0.tar.xz");

// A real application folder in a temporary "Applications" folder, the engine over port doubles.
class SoftwareUpdateControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(applications);
        test::writeApplication(bundle, "1.0", "old");
        before = test::snapshotTree(bundle);
        unpacker.layOut = [](const fs::path& destination) {
            test::writeApplication(destination / "Quillet+.app", "2.0", "new");
        };
    }

    SoftwareUpdateController& make(std::optional<fs::path> installed) {
        controller = std::make_unique<SoftwareUpdateController>(
            SoftwareUpdateEnvironment{transport, verifier, unpacker, userDriver, relauncher, mainQueue,
                                      "https://u.example/appcast.xml", "public-key", "1.0", std::move(installed)});
        return *controller;
    }
    SoftwareUpdateController& make() { return make(bundle); }

    void answer(int status, const std::string& body) {
        transport.answer(status, body);
        mainQueue.drain();
    }

    // Checks, accepts the offer of `feed` and answers the download with `archive`.
    void install(const std::string& feed, const std::string& archive = kArchive) {
        make().checkForUpdates();
        answer(200, feed);
        ASSERT_EQ(transport.transfers.size(), 2u) << "the archive is downloaded";
        answer(200, archive);
    }

    std::set<std::string> applicationsEntries() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(applications)) names.insert(entry.path().filename().string());
        return names;
    }

    // A failure: one alert that says `reason`, the application as it was, no staging folder
    // left, nothing relaunched, and a new check possible.
    void expectFailure(const std::string& title, const std::string& reason) {
        ASSERT_EQ(userDriver.alerts.size(), 1u);
        EXPECT_EQ(userDriver.alerts[0].messageText, title);
        EXPECT_NE(userDriver.alerts[0].informativeText.find(reason), std::string::npos)
            << userDriver.alerts[0].informativeText;
        expectUntouched();
    }
    void expectUntouched() {
        EXPECT_EQ(test::snapshotTree(bundle), before);
        EXPECT_EQ(applicationsEntries(), std::set<std::string>{"Quillet+.app"});
        EXPECT_TRUE(relauncher.executables.empty());
        EXPECT_FALSE(userDriver.progressShown);
        EXPECT_TRUE(controller->canCheckForUpdates.get());
    }

    test::TemporaryFolder root;
    const fs::path applications = root / "Applications";
    const fs::path bundle = applications / "Quillet+.app";
    std::map<std::string, std::string> before;
    test::ScriptedUpdateTransport transport;
    test::FakeSignatureVerifier verifier;
    test::ScriptedArchiveUnpacker unpacker;
    test::RecordingUpdateUserDriver userDriver;
    test::RecordingApplicationLifecycle relauncher;
    test::ManualMainQueue mainQueue;
    std::unique_ptr<SoftwareUpdateController> controller;
};

}  // namespace

// Installing --------------------------------------------------------------------------------

TEST_F(SoftwareUpdateControllerTest, InstallsAVerifiedUpdateInPlaceOfTheApplicationAndRelaunchesIt) {
    auto& engine = make();
    EXPECT_TRUE(engine.canCheckForUpdates.get());
    bool flagWhileOffered = true;
    userDriver.onOffer = [&] { flagWhileOffered = engine.canCheckForUpdates.get(); };

    engine.checkForUpdates();
    ASSERT_EQ(transport.transfers.size(), 1u);
    EXPECT_EQ(transport.transfers[0]->request.url, "https://u.example/appcast.xml");
    EXPECT_GT(transport.transfers[0]->request.maximumBytes, 0u) << "the feed's size is capped";
    EXPECT_FALSE(engine.canCheckForUpdates.get());
    engine.checkForUpdates();
    EXPECT_EQ(transport.transfers.size(), 1u) << "no second check while one runs";

    transport.answer(200, kFeed);
    EXPECT_TRUE(userDriver.offers.empty()) << "the step runs from the main queue, not inside the callback";
    mainQueue.drain();
    ASSERT_EQ(userDriver.offers.size(), 1u);
    EXPECT_EQ(userDriver.offers[0], (UpdateOffer{"2.0", "1.0", "What is new", "https://u.example/notes", kArchive.size()}));
    EXPECT_FALSE(flagWhileOffered);

    ASSERT_EQ(transport.transfers.size(), 2u);
    EXPECT_EQ(transport.transfers[1]->request.url, "https://u.example/Quillet-2.0.tar.xz");
    EXPECT_EQ(transport.transfers[1]->request.maximumBytes, kArchive.size());
    EXPECT_TRUE(userDriver.progressShown);
    EXPECT_EQ(userDriver.progressTitles, std::vector<std::string>{"Downloading Quillet+ 2.0"});
    transport.progress(10, kArchive.size());
    EXPECT_EQ(userDriver.progress.size(), 1u);

    answer(200, kArchive);
    EXPECT_EQ(verifier.checked, std::vector<std::string>{kArchive});
    EXPECT_EQ(unpacker.archives, std::vector<std::string>{kArchive}) << "the exact bytes are unpacked";
    ASSERT_EQ(unpacker.destinations.size(), 1u);
    EXPECT_EQ(unpacker.destinations[0].parent_path().parent_path(), applications)
        << "unpacked beside the application, on its file system";

    EXPECT_EQ(test::readFile(bundle / "lib/marker"), "new");
    test::TemporaryFolder fresh;
    test::writeApplication(fresh / "Quillet+.app", "2.0", "new");
    EXPECT_EQ(test::snapshotTree(bundle), test::snapshotTree(fresh / "Quillet+.app"));
    EXPECT_EQ(applicationsEntries(), std::set<std::string>{"Quillet+.app"}) << "staging and old version gone";
    EXPECT_EQ(relauncher.executables, std::vector<fs::path>{bundle / "bin/quillet"});
    EXPECT_FALSE(userDriver.progressShown);
    EXPECT_TRUE(userDriver.alerts.empty());
    EXPECT_FALSE(engine.canCheckForUpdates.get()) << "this instance is ending";
}

TEST_F(SoftwareUpdateControllerTest, AnUpperCaseHTTPSArchiveAddressIsDownloaded) {
    install(feedWith("HTTPS://u.example/Quillet-2.0.tar.xz"));
    EXPECT_EQ(relauncher.executables.size(), 1u);
}

TEST_F(SoftwareUpdateControllerTest, SaysSoWhenUpToDateOrNotFromAnApplicationFolder) {
    make().checkForUpdates();
    answer(200, feedWith("https://u.example/1.0.tar.xz", "1.0.0"));
    ASSERT_EQ(userDriver.alerts.size(), 1u);
    EXPECT_EQ(userDriver.alerts[0].messageText, "You're up to date.");
    EXPECT_NE(userDriver.alerts[0].informativeText.find("1.0"), std::string::npos);
    EXPECT_TRUE(userDriver.offers.empty());
    expectUntouched();

    userDriver.alerts.clear();
    make(std::nullopt).checkForUpdates();
    EXPECT_EQ(transport.transfers.size(), 1u) << "nothing fetched for a system install";
    ASSERT_EQ(userDriver.alerts.size(), 1u);
    EXPECT_EQ(userDriver.alerts[0].messageText, "Updates come from your package manager.");
    EXPECT_TRUE(controller->canCheckForUpdates.get());
}

TEST_F(SoftwareUpdateControllerTest, NotNowEndsQuietly) {
    userDriver.acceptsOffer = false;
    make().checkForUpdates();
    answer(200, kFeed);
    EXPECT_EQ(userDriver.offers.size(), 1u);
    EXPECT_EQ(transport.transfers.size(), 1u);
    EXPECT_TRUE(userDriver.alerts.empty());
    expectUntouched();
}

// Refused before downloading --------------------------------------------------------------

TEST_F(SoftwareUpdateControllerTest, RefusesAnArchiveOutsideHTTPSOrWithoutSignatureBeforeDownloading) {
    make().checkForUpdates();
    answer(200, feedWith("http://u.example/Quillet-2.0.tar.xz"));
    EXPECT_EQ(transport.transfers.size(), 1u);
    expectFailure("Could not install the update", "not offered over https");

    userDriver.alerts.clear();
    controller->checkForUpdates();
    answer(200, feedWith("https://u.example/Quillet-2.0.tar.xz", "2.0", ""));
    EXPECT_EQ(transport.transfers.size(), 2u) << "only the feed was fetched again";
    expectFailure("Could not install the update", "has no signature");
}

// Feed failures ------------------------------------------------------------------------------

TEST_F(SoftwareUpdateControllerTest, AFeedThatCannotBeFetchedOrReadEndsInOneAlert) {
    bool flagDuringAlert = true;
    userDriver.onAlert = [&] { flagDuringAlert = controller->canCheckForUpdates.get(); };
    make().checkForUpdates();
    answer(404, "<html>Not Found</html>");
    expectFailure("Update Error", "HTTP status 404");
    EXPECT_FALSE(flagDuringAlert);

    userDriver.alerts.clear();
    controller->checkForUpdates();
    transport.answer(TransferResponse{"Connection refused", 0, ""});
    mainQueue.drain();
    expectFailure("Update Error", "could not be downloaded: Connection refused");

    userDriver.alerts.clear();
    controller->checkForUpdates();
    answer(200, "<html><body>maintenance</body></html>");
    expectFailure("Update Error", "not a valid update feed");
}

// Download and verification failures ------------------------------------------------------

TEST_F(SoftwareUpdateControllerTest, RefusesAnArchiveThatIsIncompleteOrNotFound) {
    install(kFeed, kArchive.substr(1));
    expectFailure("Could not install the update", "incomplete");
    EXPECT_TRUE(verifier.checked.empty());
    EXPECT_TRUE(unpacker.archives.empty());

    userDriver.alerts.clear();
    transport.transfers.clear();
    install(kFeed, "");
    expectFailure("Could not install the update", "incomplete");

    userDriver.alerts.clear();
    transport.transfers.clear();
    make().checkForUpdates();
    answer(200, kFeed);
    answer(404, "");
    expectFailure("Could not install the update", "HTTP status 404");
    EXPECT_TRUE(unpacker.archives.empty());
}

TEST_F(SoftwareUpdateControllerTest, RefusesAnArchiveWhoseSignatureIsNotValid) {
    install(feedWith("https://u.example/Quillet-2.0.tar.xz", "2.0", "sparkle:edSignature=\"forged\""));
    expectFailure("Could not install the update", "signature of the downloaded update is not valid");
    EXPECT_EQ(verifier.checked, std::vector<std::string>{kArchive});
    EXPECT_TRUE(unpacker.archives.empty()) << "nothing unpacked before the signature holds";

    // Checked against the application's own key.
    userDriver.alerts.clear();
    transport.transfers.clear();
    verifier.validKey = "another key";
    install(kFeed);
    expectFailure("Could not install the update", "update key is malformed");
}

TEST_F(SoftwareUpdateControllerTest, CancellingTheDownloadEndsQuietly) {
    make().checkForUpdates();
    answer(200, kFeed);
    ASSERT_TRUE(userDriver.onCancel);
    userDriver.onCancel();
    EXPECT_TRUE(transport.transfers[1]->cancelled);
    EXPECT_TRUE(userDriver.alerts.empty());
    EXPECT_TRUE(unpacker.archives.empty());
    expectUntouched();
    EXPECT_THROW(transport.answer(200, kArchive), std::logic_error) << "a cancelled transfer never finishes";
}

TEST_F(SoftwareUpdateControllerTest, GoingAwayStopsTheTransferInFlight) {
    make().checkForUpdates();
    answer(200, kFeed);
    controller.reset();
    EXPECT_TRUE(transport.transfers[1]->cancelled);
    EXPECT_FALSE(userDriver.progressShown);
}

// Installation failures ----------------------------------------------------------------------

TEST_F(SoftwareUpdateControllerTest, AnArchiveThatCannotBeUnpackedLeavesTheApplicationAsItWas) {
    unpacker.layOut = [](const fs::path& destination) {
        test::writeApplication(destination / "Quillet+.app", "2.0", "partial");
        throw ArchiveUnpackError("The update archive was refused: \u201C../../etc/passwd\u201D leads out of the update.");
    };
    install(kFeed);
    expectFailure("Could not install the update", "");
    // The unpacker's sentence says what happened by itself: shown once, not wrapped in another.
    EXPECT_EQ(userDriver.alerts[0].informativeText,
              "The update archive was refused: \u201C../../etc/passwd\u201D leads out of the update. The installed "
              "Quillet+ was not changed.");
}

TEST_F(SoftwareUpdateControllerTest, AnArchiveOfAnotherVersionIsNotInstalled) {
    unpacker.layOut = [](const fs::path& destination) {
        test::writeApplication(destination / "Quillet+.app", "2.1", "new");
    };
    install(kFeed);
    expectFailure("Could not install the update", "holds version 2.1, not the offered version 2.0");
}

TEST_F(SoftwareUpdateControllerTest, AStagingFolderThatCannotBeMadeIsAFailureToo) {
    // The folder holding the application is read-only for an unprivileged user; root ignores
    // the mode, so the test reaches the same failure through an application folder whose parent
    // is gone instead.
    make(applications / "Gone" / "Quillet+.app").checkForUpdates();
    answer(200, kFeed);
    answer(200, kArchive);
    ASSERT_EQ(userDriver.alerts.size(), 1u);
    EXPECT_NE(userDriver.alerts[0].informativeText.find("No folder for the update could be made"), std::string::npos);
    EXPECT_TRUE(controller->canCheckForUpdates.get());
    EXPECT_EQ(test::snapshotTree(bundle), before);
}

// What an unpacked archive must hold --------------------------------------------------------

TEST(BundleInstallerLayout, AcceptsOnlyOneApplicationFolderWithItsExecutableAndVersion) {
    test::TemporaryFolder folder;
    const auto refusal = [&](const fs::path& unpacked) -> std::string {
        try {
            validatedApplication(unpacked, "2.0");
        } catch (const UpdateInstallError& error) {
            return error.description();
        }
        return "accepted";
    };
    const auto good = folder / "good";
    test::writeApplication(good / "Quillet+.app", "2.0", "new");
    test::writeFile(good / "README", "other entries are ignored");
    EXPECT_EQ(refusal(good), "accepted");
    EXPECT_EQ(validatedApplication(good, "2.0"), good / "Quillet+.app");

    fs::create_directories(folder / "empty");
    EXPECT_NE(refusal(folder / "empty").find("no application folder"), std::string::npos);

    const auto two = folder / "two";
    test::writeApplication(two / "Quillet+.app", "2.0", "a");
    test::writeApplication(two / "Other.app", "2.0", "b");
    EXPECT_NE(refusal(two).find("more than one"), std::string::npos);

    const auto linked = folder / "linked";
    test::writeApplication(folder / "elsewhere.app", "2.0", "x");
    fs::create_directories(linked);
    fs::create_directory_symlink(folder / "elsewhere.app", linked / "Quillet+.app");
    EXPECT_NE(refusal(linked).find("no application folder"), std::string::npos) << "a link is no folder";

    const auto notExecutable = folder / "plain";
    test::writeApplication(notExecutable / "Quillet+.app", "2.0", "x");
    ::chmod((notExecutable / "Quillet+.app/bin/quillet").c_str(), 0644);
    EXPECT_NE(refusal(notExecutable).find("no executable bin/quillet"), std::string::npos);

    const auto linkedInfo = folder / "linkedinfo";
    test::writeApplication(linkedInfo / "Quillet+.app", "2.0", "x");
    fs::remove(linkedInfo / "Quillet+.app/share/quillet/Info.json");
    fs::create_symlink(good / "Quillet+.app/share/quillet/Info.json", linkedInfo / "Quillet+.app/share/quillet/Info.json");
    EXPECT_NE(refusal(linkedInfo).find("no share/quillet/Info.json"), std::string::npos);

    const auto malformed = folder / "malformed";
    test::writeApplication(malformed / "Quillet+.app", "2.0", "x");
    test::writeFile(malformed / "Quillet+.app/share/quillet/Info.json", "{\"CFBundleShortVersionString\": 2}");
    EXPECT_NE(refusal(malformed).find("names no version"), std::string::npos);
}

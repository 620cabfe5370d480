// The update engine with the Linux adapters it runs with: the feed and the archive come over
// HTTPS from tests/support/https-server.py (trusted through the transport's test authority),
// the archive is a real tar.xz signed with a key made here and checked by OpenSSL, unpacked by
// libarchive and exchanged with an application folder in a temporary "Applications" folder.
// Only the dialogs and the relaunch are recorded instead of shown or done.

#include <gtest/gtest.h>

#include <QProcess>
#include <QTest>

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/update/BundleInstaller.h"
#include "app/update/SoftwareUpdateController.h"
#include "platform/linux/Ed25519.h"
#include "platform/linux/LibArchiveUnpacker.h"
#include "platform/linux/OpenSslSignatureVerifier.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/QtUpdateTransport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/LocalHttpsServer.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/UpdateDoubles.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

constexpr const char* kInstallFailed = "Could not install the update";
constexpr const char* kCheckFailed = "Update Error";

// The application as installed: version 1.0 with a few files of its own.
void writeInstalledApplication(const fs::path& app) {
    test::writeApplication(app, "1.0", "old");
    test::writeFile(app / "share/quillet/templates/Untitled.txt", "old template");
    test::writeFile(app / "lib/libquillet-old.so.1", "old library");
}

// A release's application folder: other content, a file the old one lacks, one it no longer
// has, and a file readable by its owner only, so a mode that is not carried over shows.
void writeReleasedApplication(const fs::path& app, const std::string& version) {
    test::writeApplication(app, version, "new " + version);
    test::writeFile(app / "share/quillet/templates/Untitled.txt", "new template");
    test::writeFile(app / "share/quillet/templates/Untitled.md", "# new");
    test::writeFile(app / "lib/libquillet-new.so.2", "new library");
    ::chmod((app / "lib/libquillet-new.so.2").c_str(), 0600);
}

// Packs `<parent>/Quillet+.app` as a release is packed: tar with xz, one top folder.
std::string packedWithTar(const fs::path& parent, const fs::path& archive) {
    QProcess tar;
    tar.start(QStringLiteral("tar"), {QStringLiteral("-cJf"), QString::fromStdString(archive.string()),
                                      QStringLiteral("-C"), QString::fromStdString(parent.string()),
                                      QStringLiteral("Quillet+.app")});
    if (!tar.waitForFinished(60000) || tar.exitStatus() != QProcess::NormalExit || tar.exitCode() != 0)
        throw std::runtime_error("tar failed: " + tar.readAllStandardError().toStdString());
    return test::readFile(archive);
}

struct ArchiveEntry {
    std::string name;
    std::string content;  // a folder when the name ends in '/'
    mode_t permissions = 0644;
};

// Writes exactly these entries, names unchecked, as a hostile release would.
std::string packedWithLibArchive(const fs::path& path, const std::vector<ArchiveEntry>& entries) {
    archive* writer = archive_write_new();
    archive_write_set_format_pax_restricted(writer);
    archive_write_add_filter_xz(writer);
    if (archive_write_open_filename(writer, path.c_str()) != ARCHIVE_OK)
        throw std::runtime_error(std::string("libarchive: ") + archive_error_string(writer));
    for (const ArchiveEntry& e : entries) {
        archive_entry* entry = archive_entry_new();
        const bool folder = e.name.ends_with('/');
        archive_entry_set_pathname(entry, e.name.c_str());
        archive_entry_set_filetype(entry, folder ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(entry, folder ? 0755 : e.permissions);
        archive_entry_set_size(entry, static_cast<la_int64_t>(e.content.size()));
        if (archive_write_header(writer, entry) != ARCHIVE_OK)
            throw std::runtime_error(e.name + ": " + archive_error_string(writer));
        // One call may take only part of a large entry.
        for (std::size_t done = 0; done < e.content.size();) {
            const auto written = archive_write_data(writer, e.content.data() + done, e.content.size() - done);
            if (written <= 0) throw std::runtime_error(e.name + ": " + archive_error_string(writer));
            done += static_cast<std::size_t>(written);
        }
        archive_entry_free(entry);
    }
    archive_write_close(writer);
    archive_write_free(writer);
    return test::readFile(path);
}

// A complete application 1.1 followed by one entry named `hostile`.
std::vector<ArchiveEntry> applicationWithHostileEntry(const std::string& hostile) {
    return {{"Quillet+.app/", ""},
            {"Quillet+.app/bin/", ""},
            {"Quillet+.app/bin/quillet", "#!/bin/sh\n", 0755},
            {"Quillet+.app/share/", ""},
            {"Quillet+.app/share/quillet/", ""},
            {"Quillet+.app/share/quillet/Info.json", R"({"CFBundleShortVersionString": "1.1"})"},
            {hostile, "escaped"}};
}

// An archive on the server.
struct Release {
    std::string url;
    std::string bytes;
    std::string signature;  // base64, by the application's update key
};

// What every test of a suite shares: the server, the update key and the releases it serves.
struct World {
    test::TemporaryFolder sources;
    test::LocalHttpsServer server;
    ed25519::PrivateKey key = ed25519::PrivateKey::generate();
    ed25519::PrivateKey otherKey = ed25519::PrivateKey::generate();
    std::string publicKey = ed25519::encodeBase64(key.publicKey());
    fs::path releasedApplication = sources / "1.1/Quillet+.app";
    Release latest, mislabelled, climbsOutOfApplication, climbsOutOfArchive, climbsBesideApplications;
    std::string buildError;  // empty when every release was made
    int feeds = 0;

    World() {
        try {
            writeReleasedApplication(releasedApplication, "1.1");
            latest = release("Quillet-1.1.tar.xz", packedWithTar(sources / "1.1", sources / "1.1.tar.xz"));
            writeReleasedApplication(sources / "1.2/Quillet+.app", "1.2");
            mislabelled = release("Quillet-1.2.tar.xz", packedWithTar(sources / "1.2", sources / "1.2.tar.xz"));
            climbsOutOfApplication = hostile("evil-1.tar.xz", "Quillet+.app/../evil");
            climbsOutOfArchive = hostile("evil-2.tar.xz", "../x");
            // From the unpacking folder inside the staging folder beside the application: the
            // folder that holds "Applications".
            climbsBesideApplications = hostile("evil-3.tar.xz", "../../../escaped");
        } catch (const std::exception& error) {
            buildError = error.what();
        }
    }

    Release release(const std::string& name, std::string bytes) {
        server.addFile(name, bytes);
        const std::string signature = ed25519::encodeBase64(key.sign(bytes));
        return {server.url("/" + name), std::move(bytes), signature};
    }
    Release hostile(const std::string& name, const std::string& entry) {
        return release(name, packedWithLibArchive(sources / name, applicationWithHostileEntry(entry)));
    }

    // An item as the signing tool writes it.
    static std::string item(const std::string& version, const std::string& url, std::uint64_t length,
                            const std::string& signature) {
        return "<item>\n<title>Version " + version + "</title>\n<sparkle:version>" + version +
               "</sparkle:version>\n<sparkle:shortVersionString>" + version +
               "</sparkle:shortVersionString>\n<enclosure url=\"" + url + "\" length=\"" + std::to_string(length) +
               "\" type=\"application/x-xz\" sparkle:edSignature=\"" + signature + "\"/>\n</item>\n";
    }
    static std::string item(const std::string& version, const Release& release) {
        return item(version, release.url, release.bytes.size(), release.signature);
    }
    static std::string feed(const std::string& items) {
        return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\" "
               "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">\n<channel>\n"
               "<title>Quillet+</title>\n" + items + "</channel>\n</rss>\n";
    }
    // The running 1.0 and a newer item.
    std::string offering(const std::string& newer) const { return feed(item("1.0", latest) + newer); }
};

class SelfUpdateEndToEndTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { world = new World(); }
    static void TearDownTestSuite() {
        delete world;
        world = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(world->server.startError().isEmpty()) << world->server.startError().toStdString();
        ASSERT_EQ(world->buildError, "");
        writeInstalledApplication(bundle);
        before = test::snapshotTree(root.path());
    }

    // Serves `feed` (none: its address answers 404) and runs one check until the engine can
    // check again or asked to relaunch.
    void check(const std::optional<std::string>& feed) {
        const std::string name = "appcast-" + std::to_string(++world->feeds) + ".xml";
        if (feed) world->server.addFile(name, *feed);
        feedURL = world->server.url("/" + name);
        controller = std::make_unique<SoftwareUpdateController>(
            SoftwareUpdateEnvironment{transport, verifier, unpacker, userDriver, relauncher, mainQueue, feedURL,
                                      world->publicKey, "1.0", bundle, archiveTimeout});
        controller->checkForUpdates();
        ASSERT_FALSE(controller->canCheckForUpdates.get());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return controller->canCheckForUpdates.get() || !relauncher.executables.empty(); }, 60000))
            << "the check never ended";
    }

    // The application, the folder holding it and what lies beside them are as they were.
    void expectUntouched() {
        EXPECT_EQ(test::snapshotTree(root.path()), before);
        EXPECT_TRUE(relauncher.executables.empty());
        EXPECT_FALSE(userDriver.progressShown);
    }

    static inline World* world = nullptr;
    test::TemporaryFolder root;
    const fs::path applications = root / "Applications";
    const fs::path bundle = applications / "Quillet+.app";
    std::map<std::string, std::string> before;
    std::string feedURL;
    std::chrono::milliseconds archiveTimeout{60000};

    QtUpdateTransport network{world->server.certificateAuthority()};
    test::RecordingUpdateTransport transport{network};
    OpenSslSignatureVerifier verifier;
    LibArchiveUnpacker unpacker;
    test::RecordingUpdateUserDriver userDriver;
    test::RecordingApplicationLifecycle relauncher;
    QtMainQueue mainQueue;
    std::unique_ptr<SoftwareUpdateController> controller;
};

}  // namespace

TEST_F(SelfUpdateEndToEndTest, InstallsTheSignedNewerReleaseInPlaceOfTheApplicationAndRelaunchesIt) {
    check(world->offering(World::item("1.1", world->latest)));

    ASSERT_EQ(userDriver.offers.size(), 1u);
    EXPECT_EQ(userDriver.offers[0].displayVersion, "1.1");
    EXPECT_EQ(userDriver.offers[0].currentDisplayVersion, "1.0");
    EXPECT_EQ(userDriver.offers[0].archiveLength, world->latest.bytes.size());
    EXPECT_EQ(transport.urls, (std::vector<std::string>{feedURL, world->latest.url}));
    EXPECT_EQ(userDriver.progressTitles, std::vector<std::string>{"Downloading Quillet+ 1.1"});
    ASSERT_FALSE(userDriver.progress.empty());
    EXPECT_EQ(userDriver.progress.back().first, world->latest.bytes.size());
    EXPECT_FALSE(userDriver.progressShown);
    for (const auto& alert : userDriver.alerts) ADD_FAILURE() << alert.messageText << ": " << alert.informativeText;

    EXPECT_EQ(test::snapshotTree(bundle), test::snapshotTree(world->releasedApplication))
        << "exactly the released tree, modes included";
    std::set<std::string> beside;
    for (const auto& entry : fs::directory_iterator(applications)) beside.insert(entry.path().filename().string());
    EXPECT_EQ(beside, std::set<std::string>{"Quillet+.app"}) << "neither staging folder nor old version left";
    EXPECT_EQ(relauncher.executables, std::vector<fs::path>{bundle / "bin/quillet"});
    EXPECT_FALSE(controller->canCheckForUpdates.get()) << "this instance is ending";
}

TEST_F(SelfUpdateEndToEndTest, SaysSoWhenTheFeedHasNothingNewer) {
    check(World::feed(World::item("1.0", world->latest) + World::item("0.9", world->mislabelled)));
    ASSERT_EQ(userDriver.alerts.size(), 1u);
    EXPECT_EQ(userDriver.alerts[0].messageText, "You're up to date.");
    EXPECT_EQ(userDriver.alerts[0].informativeText, "Quillet+ 1.0 is currently the newest version available.");
    EXPECT_TRUE(userDriver.offers.empty());
    EXPECT_EQ(transport.urls, std::vector<std::string>{feedURL}) << "nothing fetched but the feed";
    expectUntouched();
}

TEST_F(SelfUpdateEndToEndTest, NotNowDownloadsNothing) {
    userDriver.acceptsOffer = false;
    check(world->offering(World::item("1.1", world->latest)));
    EXPECT_EQ(userDriver.offers.size(), 1u);
    EXPECT_TRUE(userDriver.alerts.empty());
    EXPECT_TRUE(userDriver.progressTitles.empty());
    EXPECT_EQ(transport.urls, std::vector<std::string>{feedURL});
    expectUntouched();
}

// Faults ------------------------------------------------------------------------------------

// The server sends the archive's first bytes, then nothing: the engine's own timeout ends the
// download, the progress goes, one alert says why, and nothing is left behind.
TEST_F(SelfUpdateEndToEndTest, ADownloadThatStallsInTheMiddleTimesOutAndLeavesNothing) {
    archiveTimeout = std::chrono::milliseconds(1500);
    const std::string stalled = world->server.url("/stall/Quillet-1.1.tar.xz");
    check(world->offering(World::item("1.1", stalled, world->latest.bytes.size(), world->latest.signature)));

    ASSERT_EQ(userDriver.alerts.size(), 1u);
    EXPECT_EQ(userDriver.alerts[0].messageText, kInstallFailed);
    EXPECT_EQ(userDriver.alerts[0].informativeText,
              "The update could not be downloaded: The server stopped answering for 2 seconds. The installed "
              "Quillet+ was not changed.");
    EXPECT_EQ(userDriver.progressTitles, std::vector<std::string>{"Downloading Quillet+ 1.1"});
    ASSERT_FALSE(userDriver.progress.empty()) << "bytes arrived before the stall";
    EXPECT_LT(userDriver.progress.back().first, world->latest.bytes.size());
    EXPECT_EQ(transport.urls, (std::vector<std::string>{feedURL, stalled}));
    EXPECT_TRUE(controller->canCheckForUpdates.get());
    expectUntouched();
}

// The disk holding the application fills while the update unpacks (a private 1 MB tmpfs under
// the applications folder; the update holds 4 MB that pack into a few kilobytes): the
// installed application is as it was and no staging folder stays beside it.
TEST(SelfUpdateFaults, ADiskThatFillsWhileUnpackingLeavesTheApplicationAndNoStaging) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount a small disk";
    test::TemporaryFolder root;
    const fs::path applications = root / "Applications";
    fs::create_directories(applications);
    std::vector<ArchiveEntry> entries = applicationWithHostileEntry("Quillet+.app/share/quillet/large");
    // Not zeros, which would unpack as a hole that takes no room.
    for (std::string& large = entries.back().content; large.size() < (4u << 20);) large += "Quillet+ ";
    const std::string archive = packedWithLibArchive(root / "large.tar.xz", entries);
    ASSERT_LT(archive.size(), 64u * 1024);

    const auto outcome = test::runInChild([&] {
        if (!test::mountSmallDisk(applications, 1 << 20)) return std::string("skip");
        writeInstalledApplication(applications / "Quillet+.app");
        const auto before = test::snapshotTree(applications);
        LibArchiveUnpacker unpacker;
        BundleInstaller installer(unpacker, applications / "Quillet+.app");
        std::string said = "installed";
        try {
            installer.install(archive, "1.1");
        } catch (const UpdateInstallError& error) {
            said = error.description();
        }
        if (test::snapshotTree(applications) != before) return "left changed: " + said;
        return said;
    });
    if (outcome.output == "skip") GTEST_SKIP() << "no private mount namespace here";
    EXPECT_EQ(outcome.output, "The update could not be unpacked: Write failed: No space left on device.");
}

// Refusals ---------------------------------------------------------------------------------

namespace {

// What one refused check is served and must end with.
struct Scenario {
    std::optional<std::string> feed;  // none: the feed's address answers 404
    std::string title;
    std::string reason;                     // part of the alert's text
    std::optional<std::string> archiveURL;  // fetched after the feed, when anything is
};

struct Refusal {
    std::string name;
    std::function<Scenario(const World&)> scenario;
};

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }

// "https://127.0.0.1:PORT/" as "http://127.0.0.1:PORT/".
std::string plainHttp(const std::string& url) { return "http" + url.substr(5); }

const std::vector<Refusal> kRefusals = {
    {"SignedWithAnotherKey",
     [](const World& w) {
         const auto forged = ed25519::encodeBase64(w.otherKey.sign(w.latest.bytes));
         return Scenario{w.offering(World::item("1.1", w.latest.url, w.latest.bytes.size(), forged)), kInstallFailed,
                         "The signature of the downloaded update is not valid", w.latest.url};
     }},
    {"CutShort",
     [](const World& w) {
         const auto url = w.server.url("/short/Quillet-1.1.tar.xz");
         return Scenario{w.offering(World::item("1.1", url, w.latest.bytes.size(), w.latest.signature)),
                         kInstallFailed, "The update could not be downloaded: ", url};
     }},
    {"OfferedOverHttp",
     [](const World& w) {
         const auto url = plainHttp(w.latest.url);
         return Scenario{w.offering(World::item("1.1", url, w.latest.bytes.size(), w.latest.signature)),
                         kInstallFailed, "The update is not offered over https, so it was not downloaded.",
                         std::nullopt};
     }},
    {"ArchiveMissing",
     [](const World& w) {
         const auto url = w.server.url("/Quillet-1.1-gone.tar.xz");
         return Scenario{w.offering(World::item("1.1", url, w.latest.bytes.size(), w.latest.signature)),
                         kInstallFailed, "The server answered the request for the update with HTTP status 404.", url};
     }},
    {"LengthLongerThanTheArchive",
     [](const World& w) {
         const auto size = w.latest.bytes.size();
         return Scenario{w.offering(World::item("1.1", w.latest.url, size + 1, w.latest.signature)), kInstallFailed,
                         "The downloaded update is incomplete: the feed announced " + std::to_string(size + 1) +
                             " bytes, " + std::to_string(size) + " arrived.",
                         w.latest.url};
     }},
    {"LengthShorterThanTheArchive",
     [](const World& w) {
         const auto size = w.latest.bytes.size();
         return Scenario{w.offering(World::item("1.1", w.latest.url, size - 1, w.latest.signature)), kInstallFailed,
                         "The update could not be downloaded: The download is larger than the " +
                             std::to_string(size - 1) + " bytes expected.",
                         w.latest.url};
     }},
    {"ArchiveOfAnotherVersion",
     [](const World& w) {
         return Scenario{w.offering(World::item("1.1", w.mislabelled)), kInstallFailed,
                         "The update archive holds version 1.2, not the offered version 1.1.", w.mislabelled.url};
     }},
    {"EntryClimbsOutOfTheApplication",
     [](const World& w) {
         return Scenario{w.offering(World::item("1.1", w.climbsOutOfApplication)), kInstallFailed,
                         "The update archive was refused: \u201CQuillet+.app/../evil\u201D leads out of the update",
                         w.climbsOutOfApplication.url};
     }},
    {"EntryClimbsOutOfTheArchive",
     [](const World& w) {
         return Scenario{w.offering(World::item("1.1", w.climbsOutOfArchive)), kInstallFailed,
                         "The update archive was refused: \u201C../x\u201D leads out of the update",
                         w.climbsOutOfArchive.url};
     }},
    {"EntryClimbsBesideTheApplications",
     [](const World& w) {
         return Scenario{w.offering(World::item("1.1", w.climbsBesideApplications)), kInstallFailed,
                         "The update archive was refused: \u201C../../../escaped\u201D leads out of the update",
                         w.climbsBesideApplications.url};
     }},
    {"FeedNotXML",
     [](const World&) {
         return Scenario{"Quillet+ downloads are moving.\n<b>See you soon", kCheckFailed,
                         "The update feed is not a valid update feed: it is not XML", std::nullopt};
     }},
    {"FeedMissing",
     [](const World&) {
         return Scenario{std::nullopt, kCheckFailed,
                         "The server answered the request for the update feed with HTTP status 404.", std::nullopt};
     }},
};

class SelfUpdateRefusalTest : public SelfUpdateEndToEndTest, public ::testing::WithParamInterface<Refusal> {};

}  // namespace

TEST_P(SelfUpdateRefusalTest, EndsInOneAlertWithTheApplicationAsItWas) {
    const Scenario scenario = GetParam().scenario(*world);
    check(scenario.feed);

    ASSERT_EQ(userDriver.alerts.size(), 1u);
    const Alert& alert = userDriver.alerts[0];
    EXPECT_EQ(alert.messageText, scenario.title);
    EXPECT_NE(alert.informativeText.find(scenario.reason), std::string::npos) << alert.informativeText;
    // The reason, from whichever adapter, ends its sentence in exactly one full stop.
    std::string reason = alert.informativeText;
    if (scenario.title == kInstallFailed) {
        const std::string unchanged = " The installed Quillet+ was not changed.";
        ASSERT_TRUE(reason.ends_with(unchanged)) << reason;
        reason.resize(reason.size() - unchanged.size());
    }
    EXPECT_TRUE(reason.ends_with('.') && !reason.ends_with("..")) << reason;
    std::vector<std::string> fetched{feedURL};
    if (scenario.archiveURL) fetched.push_back(*scenario.archiveURL);
    EXPECT_EQ(transport.urls, fetched);
    EXPECT_TRUE(controller->canCheckForUpdates.get());
    expectUntouched();
}

INSTANTIATE_TEST_SUITE_P(Refused, SelfUpdateRefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const ::testing::TestParamInfo<Refusal>& info) { return info.param.name; });

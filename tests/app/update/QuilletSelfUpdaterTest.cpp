#include <gtest/gtest.h>

#include <vector>

#include "app/update/QuilletCheckForUpdatesCommand.h"
#include "app/update/QuilletSelfUpdater.h"
#include "tests/support/ManualMainQueue.h"
#include "tests/support/UpdateDoubles.h"

using namespace quillet;

namespace {

const QuilletSelfUpdateConfiguration kUsable{"https://updates.example/appcast.xml", "public-key"};

// The ports of an engine; the feed it fetches is answered by hand.
struct EnginePorts {
    test::ScriptedUpdateTransport transport;
    test::FakeSignatureVerifier verifier;
    test::ScriptedArchiveUnpacker unpacker;
    test::RecordingUpdateUserDriver userDriver;
    test::RecordingApplicationLifecycle relauncher;
    test::ManualMainQueue mainQueue;
    int controllersMade = 0;

    QuilletSelfUpdater::ControllerFactory factory() {
        return [this](const QuilletSelfUpdateConfiguration& configuration) {
            ++controllersMade;
            return std::make_unique<SoftwareUpdateController>(SoftwareUpdateEnvironment{
                transport, verifier, unpacker, userDriver, relauncher, mainQueue, *configuration.feedURL,
                *configuration.publicEDKey, "1.0", std::filesystem::path("/nonexistent/Quillet+.app")});
        };
    }
};

}  // namespace

TEST(QuilletSelfUpdater, WithoutAUsableConfigurationHasNoControllerNoCommandAndNeverEnables) {
    for (const auto& configuration : {QuilletSelfUpdateConfiguration{},
                                      QuilletSelfUpdateConfiguration{"http://updates.example/a.xml", "key"},
                                      QuilletSelfUpdateConfiguration{"https://updates.example/a.xml", "$(KEY)"}}) {
        EnginePorts ports;
        QuilletSelfUpdater updater(configuration, ports.factory());
        EXPECT_EQ(ports.controllersMade, 0);
        EXPECT_EQ(updater.updaterController, nullptr);
        EXPECT_FALSE(updater.canCheckForUpdates.get());
        EXPECT_EQ(updater.configuration, configuration);

        QuilletCheckForUpdatesCommand command(updater);
        EXPECT_TRUE(command.items().empty()) << "no disabled item either";
        command.perform();
        EXPECT_TRUE(ports.transport.transfers.empty());
        EXPECT_TRUE(ports.userDriver.alerts.empty());
        EXPECT_FALSE(updater.canCheckForUpdates.get());
    }
}

TEST(QuilletSelfUpdater, FollowsTheControllersFlagAndTheCommandFollowsIt) {
    EnginePorts ports;
    QuilletSelfUpdater updater(kUsable, ports.factory());
    ASSERT_NE(updater.updaterController, nullptr);
    EXPECT_EQ(ports.controllersMade, 1);
    // The engine's current value is taken at once.
    EXPECT_TRUE(updater.canCheckForUpdates.get());

    QuilletCheckForUpdatesCommand command(updater);
    EXPECT_EQ(command.items(), (std::vector<MenuCommandItem>{{"Check for Updates...", true}}));

    std::vector<bool> seen;
    auto subscription = updater.canCheckForUpdates.subscribe([&](const bool& value) { seen.push_back(value); });
    command.perform();
    ASSERT_EQ(ports.transport.transfers.size(), 1u);
    EXPECT_EQ(ports.transport.transfers[0]->request.url, "https://updates.example/appcast.xml");
    EXPECT_FALSE(updater.canCheckForUpdates.get());
    EXPECT_EQ(command.items(), (std::vector<MenuCommandItem>{{"Check for Updates...", false}}));

    ports.transport.answer(500, "");
    ports.mainQueue.drain();
    EXPECT_TRUE(updater.canCheckForUpdates.get());
    EXPECT_EQ(command.items(), (std::vector<MenuCommandItem>{{"Check for Updates...", true}}));
    EXPECT_EQ(seen, (std::vector<bool>{false, true}));
}

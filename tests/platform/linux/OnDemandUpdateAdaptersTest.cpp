#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <fstream>
#include <optional>

#include "platform/linux/OnDemandUpdateAdapters.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
using quillet::test::TemporaryFolder;

namespace {

// Starts a transfer and runs the event loop until it completes (or 10 s pass); says whether the
// completion came before get() returned.
struct Completed {
    std::optional<TransferResponse> response;
    bool beforeGetReturned = false;
};

Completed fetch(UpdateTransport& transport, const std::string& url) {
    Completed completed;
    bool returned = false;
    auto transfer = transport.get(TransferRequest{url}, {}, [&](TransferResponse response) {
        completed.beforeGetReturned = !returned;
        completed.response = std::move(response);
    });
    returned = true;
    QElapsedTimer clock;
    clock.start();
    while (!completed.response && clock.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return completed;
}

}  // namespace

TEST(OnDemandUpdateAdapters, TheModuleIsLookedForWhereTheBuildAndTheInstallPutIt) {
    EXPECT_EQ(OnDemandUpdateAdapters::installedBeside("/usr/libexec/quillet-app"),
              std::filesystem::path("/usr/lib/quillet/quillet-update.so"));
    const std::filesystem::path built(QUILLET_UPDATE_MODULE);
    EXPECT_EQ(OnDemandUpdateAdapters::installedBeside(built.parent_path().parent_path().parent_path() / "libexec" /
                                                      "quillet-app"),
              built);
}

TEST(OnDemandUpdateAdapters, LoadsTheModuleAtTheFirstCallAndHandsEveryCallToIt) {
    OnDemandUpdateAdapters adapters{QUILLET_UPDATE_MODULE};
    EXPECT_FALSE(adapters.isLoaded());

    // The module's verifier tells a malformed key apart, which a refusal without it never does.
    EXPECT_EQ(adapters.verify("not base64!", "AAAA", "data"), UpdateSignatureVerifier::Outcome::malformedKey);
    EXPECT_TRUE(adapters.isLoaded());

    // The module's transport, which refuses an address that is not https without connecting.
    const auto completed = fetch(adapters, "http://127.0.0.1:9/appcast.xml");
    ASSERT_TRUE(completed.response);
    EXPECT_FALSE(completed.beforeGetReturned);
    ASSERT_TRUE(completed.response->error);
    EXPECT_NE(completed.response->error->find("https"), std::string::npos) << *completed.response->error;

    // The module's unpacker, which refuses bytes that are no archive.
    TemporaryFolder folder;
    const auto archive = folder.path() / "update.tar.xz";
    std::ofstream(archive) << "not an archive";
    std::filesystem::create_directory(folder.path() / "out");
    try {
        adapters.unpack(archive, folder.path() / "out");
        ADD_FAILURE() << "bytes that are no archive were unpacked";
    } catch (const ArchiveUnpackError& error) {
        EXPECT_EQ(error.description().find("could not be loaded"), std::string::npos) << error.description();
    }
}

TEST(OnDemandUpdateAdapters, WithoutTheModuleEveryCallFailsAsItsAdapterWouldAndNothingIsAccepted) {
    TemporaryFolder folder;
    OnDemandUpdateAdapters adapters{folder.path() / "lib" / "quillet" / "quillet-update.so"};

    // The transfer reports the error from the event loop, after get() returned.
    const auto completed = fetch(adapters, "https://127.0.0.1:9/appcast.xml");
    ASSERT_TRUE(completed.response);
    EXPECT_FALSE(completed.beforeGetReturned);
    ASSERT_TRUE(completed.response->error);
    EXPECT_NE(completed.response->error->find("could not be loaded"), std::string::npos) << *completed.response->error;
    EXPECT_EQ(completed.response->httpStatus, 0);

    // A cancelled one reports nothing.
    bool called = false;
    auto transfer = adapters.get(TransferRequest{"https://127.0.0.1:9/appcast.xml"}, {},
                                 [&](TransferResponse) { called = true; });
    transfer->cancel();
    QCoreApplication::processEvents();
    EXPECT_FALSE(called);

    EXPECT_EQ(adapters.verify("AAAA", "AAAA", "data"), UpdateSignatureVerifier::Outcome::invalid);
    EXPECT_THROW(adapters.unpack(folder.path() / "update.tar.xz", folder.path()), ArchiveUnpackError);
    EXPECT_FALSE(adapters.isLoaded());
}

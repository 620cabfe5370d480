#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <optional>
#include <random>
#include <utility>
#include <vector>

#include "platform/linux/QtUpdateTransport.h"
#include "tests/support/LocalHttpsServer.h"

using namespace quillet;
using quillet::test::LocalHttpsServer;

namespace {

std::string randomBytes(std::size_t count) {
    std::mt19937 generator(7);
    std::string bytes(count, '\0');
    for (auto& byte : bytes) byte = static_cast<char>(generator() & 0xff);
    return bytes;
}

// What one transfer reported, and whether anything came before get() returned.
struct Reported {
    std::vector<std::pair<std::uint64_t, std::optional<std::uint64_t>>> progress;
    std::vector<TransferResponse> completions;
    bool calledBeforeGetReturned = false;
};

// Starts the transfer and runs the event loop until it completes (or `wait` runs out; a stuck
// transfer fails the test instead of hanging it), then a little longer, to catch a second call.
Reported fetch(UpdateTransport& transport, const TransferRequest& request, int wait = 20000) {
    Reported reported;
    bool returned = false;
    QEventLoop loop;
    auto transfer = transport.get(
        request,
        [&](std::uint64_t received, std::optional<std::uint64_t> expected) {
            if (!returned) reported.calledBeforeGetReturned = true;
            reported.progress.emplace_back(received, expected);
        },
        [&](TransferResponse response) {
            if (!returned) reported.calledBeforeGetReturned = true;
            reported.completions.push_back(std::move(response));
            QTimer::singleShot(200, &loop, &QEventLoop::quit);
        });
    returned = true;
    QTimer::singleShot(wait, &loop, &QEventLoop::quit);
    loop.exec();
    return reported;
}

void runEventLoopFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

class QtUpdateTransportTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.startError().isEmpty()) << server.startError().toStdString(); }

    TransferRequest request(const std::string& path, std::uint64_t maximumBytes = 0) const {
        return TransferRequest{server.url(path), std::chrono::milliseconds(20000), maximumBytes};
    }

    LocalHttpsServer server;
    QtUpdateTransport transport{server.certificateAuthority()};
};

}  // namespace

TEST_F(QtUpdateTransportTest, DeliversTheBodyWithProgressAfterGetReturns) {
    const std::string archive = randomBytes(300 * 1024);
    server.addFile("Quillet.tar.xz", archive);
    const Reported reported = fetch(transport, request("/Quillet.tar.xz", archive.size()));
    ASSERT_EQ(reported.completions.size(), 1u);
    const TransferResponse& response = reported.completions.front();
    EXPECT_FALSE(response.error) << *response.error;
    EXPECT_EQ(response.httpStatus, 200);
    EXPECT_TRUE(response.body == archive) << "body of " << response.body.size() << " bytes differs";
    EXPECT_FALSE(reported.calledBeforeGetReturned);
    ASSERT_FALSE(reported.progress.empty());
    EXPECT_EQ(reported.progress.back().first, archive.size());
    EXPECT_EQ(reported.progress.back().second, std::optional<std::uint64_t>(archive.size()));
    for (std::size_t i = 1; i < reported.progress.size(); ++i)
        EXPECT_LE(reported.progress[i - 1].first, reported.progress[i].first);
}

TEST_F(QtUpdateTransportTest, AMissingFileIsAnAnswerWithItsStatus) {
    const Reported reported = fetch(transport, request("/appcast.xml"));
    ASSERT_EQ(reported.completions.size(), 1u);
    EXPECT_EQ(reported.completions.front().httpStatus, 404);
    EXPECT_FALSE(reported.completions.front().error);
}

TEST_F(QtUpdateTransportTest, RefusesAServerNoTrustedAuthoritySigned) {
    server.addFile("appcast.xml", "<rss/>");
    // The system's authorities only, as the program runs: the test authority is unknown there.
    QtUpdateTransport systemTrust;
    const Reported reported = fetch(systemTrust, request("/appcast.xml"));
    ASSERT_EQ(reported.completions.size(), 1u);
    const TransferResponse& response = reported.completions.front();
    ASSERT_TRUE(response.error);
    EXPECT_NE(response.error->find("SSL"), std::string::npos) << *response.error;
    EXPECT_NE(response.error->find("certificate"), std::string::npos) << *response.error;
    EXPECT_TRUE(response.body.empty());
}

TEST_F(QtUpdateTransportTest, RefusesAddressesThatAreNotHttpsWithoutConnecting) {
    server.addFile("appcast.xml", "<rss/>");
    for (const std::string url : {"http://127.0.0.1:1/appcast.xml", "file:///etc/hostname", "ftp://127.0.0.1/x",
                                  "https://", "not an address"}) {
        const Reported reported = fetch(transport, {url, std::chrono::milliseconds(20000), 0});
        ASSERT_EQ(reported.completions.size(), 1u) << url;
        EXPECT_FALSE(reported.calledBeforeGetReturned) << url;
        ASSERT_TRUE(reported.completions.front().error) << url;
        EXPECT_EQ(*reported.completions.front().error,
                  "Updates are fetched only from secure (https) addresses; \u201C" + url + "\u201D is not one.");
        EXPECT_EQ(reported.completions.front().httpStatus, 0);
    }
}

TEST_F(QtUpdateTransportTest, FollowsRedirectsOnlyToHttps) {
    server.addFile("appcast.xml", "<rss/>");
    const Reported followed = fetch(transport, request("/redirect/appcast.xml"));
    ASSERT_EQ(followed.completions.size(), 1u);
    EXPECT_FALSE(followed.completions.front().error);
    EXPECT_EQ(followed.completions.front().body, "<rss/>");

    const Reported refused = fetch(transport, request("/redirect-http/appcast.xml"));
    ASSERT_EQ(refused.completions.size(), 1u);
    ASSERT_TRUE(refused.completions.front().error);
    EXPECT_EQ(*refused.completions.front().error,
              "The server redirected to an address that is not secure (https).");
    EXPECT_TRUE(refused.completions.front().body.empty());
}

TEST_F(QtUpdateTransportTest, ABodyBeyondTheLimitFailsAnnouncedOrNot) {
    const std::string archive = randomBytes(256 * 1024);
    server.addFile("big.tar.xz", archive);
    // Announced in Content-Length, and sent without a length, so only counting the bytes tells.
    for (const std::string path : {"/big.tar.xz", "/unsized/big.tar.xz"}) {
        const Reported reported = fetch(transport, request(path, archive.size() - 1));
        ASSERT_EQ(reported.completions.size(), 1u) << path;
        ASSERT_TRUE(reported.completions.front().error) << path;
        EXPECT_EQ(*reported.completions.front().error,
                  "The download is larger than the " + std::to_string(archive.size() - 1) + " bytes expected.");
        EXPECT_TRUE(reported.completions.front().body.empty());
    }
    const Reported exact = fetch(transport, request("/unsized/big.tar.xz", archive.size()));
    ASSERT_EQ(exact.completions.size(), 1u);
    EXPECT_FALSE(exact.completions.front().error);
    EXPECT_EQ(exact.completions.front().body.size(), archive.size());
}

TEST_F(QtUpdateTransportTest, ABodyCutShortFails) {
    server.addFile("Quillet.tar.xz", randomBytes(64 * 1024));
    const Reported reported = fetch(transport, request("/short/Quillet.tar.xz"));
    ASSERT_EQ(reported.completions.size(), 1u);
    ASSERT_TRUE(reported.completions.front().error);
    EXPECT_FALSE(reported.completions.front().error->empty());
    EXPECT_TRUE(reported.completions.front().body.empty());
}

TEST_F(QtUpdateTransportTest, AServerThatGoesSilentTimesOut) {
    server.addFile("Quillet.tar.xz", randomBytes(64 * 1024));
    TransferRequest stalled = request("/stall/Quillet.tar.xz");
    stalled.timeout = std::chrono::milliseconds(700);
    QElapsedTimer clock;
    clock.start();
    const Reported reported = fetch(transport, stalled);
    ASSERT_EQ(reported.completions.size(), 1u);
    ASSERT_TRUE(reported.completions.front().error);
    EXPECT_EQ(*reported.completions.front().error, "The server stopped answering for 1 second.");
    EXPECT_LT(clock.elapsed(), 15000);
}

TEST_F(QtUpdateTransportTest, CancelledOrDroppedTransfersReportNothing) {
    server.addFile("Quillet.tar.xz", randomBytes(64 * 1024));
    int calls = 0;
    auto count = [&](auto&&...) { ++calls; };

    // Cancelled once bytes flow, from its own progress callback.
    std::unique_ptr<Transfer> flowing;
    flowing = transport.get(request("/stall/Quillet.tar.xz"),
                            [&](std::uint64_t, std::optional<std::uint64_t>) {
                                ++calls;
                                flowing->cancel();
                            },
                            count);
    // Dropped before the event loop ran; and a refused address, cancelled before its report.
    transport.get(request("/Quillet.tar.xz"), count, count).reset();
    auto refused = transport.get({"http://127.0.0.1/x", std::chrono::milliseconds(1000), 0}, count, count);
    refused->cancel();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (calls > 0) loop.quit();
    });
    poll.start(20);
    QTimer::singleShot(15000, &loop, &QEventLoop::quit);
    loop.exec();
    runEventLoopFor(1000);
    EXPECT_EQ(calls, 1) << "only the progress report that cancelled";

    // Dropped from its own completion callback: nothing runs on after it.
    std::unique_ptr<Transfer> dropped;
    int completions = 0;
    dropped = transport.get(request("/Quillet.tar.xz"), nullptr, [&](TransferResponse) {
        ++completions;
        dropped.reset();
    });
    runEventLoopFor(3000);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(dropped, nullptr);
}

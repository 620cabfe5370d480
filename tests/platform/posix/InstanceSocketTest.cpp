#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <future>
#include <string>

#include "platform/posix/InstanceSocket.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
using namespace std::chrono_literals;
namespace socket_ = quillet::instance_socket;
using Status = socket_::SendResult::Status;

namespace {

// Waits for one connection and serves it as the instance does, with the given answer.
std::string serveOne(socket_::Listener& listener, char reply) {
    pollfd waiting{listener.fd(), POLLIN, 0};
    if (::poll(&waiting, 1, 5000) != 1) return "no connection";
    const auto accepted = listener.accept();
    if (accepted.connection < 0) return "not accepted";
    socket_::Received received;
    for (int i = 0; i < 500; ++i) {
        received = socket_::receive(accepted.connection);
        if (received.status != socket_::Received::Status::pending) break;
        ::usleep(10000);
    }
    if (reply) socket_::answer(accepted.connection, reply);
    else ::usleep(300000);  // no answer at all
    ::close(accepted.connection);
    return received.status == socket_::Received::Status::message ? received.message : "status " + std::to_string(static_cast<int>(received.status));
}

}  // namespace

TEST(InstanceSocket, NoInstanceWithoutASocketOrWithOneNobodyListensOn) {
    test::TemporaryFolder folder;
    EXPECT_EQ(socket_::send(folder / "none.socket", "hello", 1s).status, Status::noInstance);
    // A killed run leaves its socket file; connecting to it is refused.
    {
        socket_::Listener left(folder / "left.socket");
        ASSERT_TRUE(left.listen()) << left.error();
        ::close(left.fd());  // the process is gone, the file is not
        const auto kept = folder / "kept.socket";
        std::filesystem::rename(folder / "left.socket", kept);
        EXPECT_EQ(socket_::send(kept, "hello", 1s).status, Status::noInstance);
        // ...and the next instance takes its place.
        socket_::Listener next(kept);
        EXPECT_TRUE(next.listen()) << next.error();
    }
}

TEST(InstanceSocket, ARequestArrivesWholeAndTheAnswerIsReported) {
    test::TemporaryFolder folder;
    socket_::Listener listener(folder / "app.socket");
    ASSERT_TRUE(listener.listen()) << listener.error();
    const std::string message = "quillet-request 1\nopen-url\nquillaxe://create?type=md&directory=/tmp/\xC3\xA9\n";
    for (const auto& [reply, expected] : {std::pair{socket_::kAccepted, Status::accepted},
                                          std::pair{socket_::kRefused, Status::refused}}) {
        auto served = std::async(std::launch::async, [&, reply = reply] { return serveOne(listener, reply); });
        EXPECT_EQ(socket_::send(listener.path(), message, 5s).status, expected);
        EXPECT_EQ(served.get(), message);
    }
    // An instance that never answers does not hold the launch beyond its time limit.
    auto silent = std::async(std::launch::async, [&] { return serveOne(listener, 0); });
    const auto started = std::chrono::steady_clock::now();
    const auto result = socket_::send(listener.path(), message, 100ms);
    EXPECT_EQ(result.status, Status::failed);
    EXPECT_FALSE(result.error.empty());
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
    silent.get();
}

TEST(InstanceSocket, AnOverlongMessageIsNoticedNotCutShort) {
    test::TemporaryFolder folder;
    socket_::Listener listener(folder / "app.socket");
    ASSERT_TRUE(listener.listen()) << listener.error();
    const int client = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, listener.path().c_str());
    ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string tooLong(socket_::kMaximumMessageSize + 1, 'q');
    ASSERT_EQ(::send(client, tooLong.data(), tooLong.size(), 0), static_cast<ssize_t>(tooLong.size()));
    const auto accepted = listener.accept();
    ASSERT_GE(accepted.connection, 0);
    EXPECT_EQ(socket_::receive(accepted.connection).status, socket_::Received::Status::malformed);
    ::close(accepted.connection);
    ::close(client);
    // Refused by the sender already.
    EXPECT_EQ(socket_::send(listener.path(), tooLong, 1s).status, Status::failed);
}

TEST(InstanceSocket, OnlyItsOwnSocketIsReplacedOrRemoved) {
    test::TemporaryFolder folder;
    const auto path = folder / "app.socket";
    test::writeFile(path, "not a socket");
    {
        socket_::Listener listener(path);
        EXPECT_FALSE(listener.listen());
        EXPECT_NE(listener.error().find("not a socket"), std::string::npos);
    }
    EXPECT_EQ(test::readFile(path), "not a socket");
    std::filesystem::remove(path);
    {
        socket_::Listener listener(path);
        ASSERT_TRUE(listener.listen()) << listener.error();
        EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        // A later instance's socket took the name: it stays when this listener ends.
        std::filesystem::remove(path);
        test::writeFile(path, "a later instance");
    }
    EXPECT_EQ(test::readFile(path), "a later instance");
    std::filesystem::remove(path);
    {
        socket_::Listener listener(path);
        ASSERT_TRUE(listener.listen());
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    // A path longer than a socket address holds is an error, not a truncated address.
    socket_::Listener tooLong(folder / std::string(120, 'x'));
    EXPECT_FALSE(tooLong.listen());
    EXPECT_EQ(socket_::send(folder / std::string(120, 'x'), "hello", 1s).status, Status::failed);
}

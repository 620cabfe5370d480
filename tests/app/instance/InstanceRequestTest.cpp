#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <sstream>
#include <thread>
#include <tuple>

#include <string>
#include <vector>

#include "app/instance/DesktopLaunchRequester.h"
#include "app/instance/InstanceRequest.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;

namespace {
InstanceRequest creation(const std::string& typeID, CreationDestinationMode destination) {
    InstanceRequest request{InstanceRequest::Kind::createFile, {}};
    request.typeID = typeID;
    request.destination = destination;
    return request;
}
InstanceRequest fromFileManager(const std::string& url, std::int64_t requester) {
    InstanceRequest request{InstanceRequest::Kind::openURL, url};
    request.requester = requester;
    return request;
}
}  // namespace

TEST(InstanceRequest, EveryRequestComesBackAsItWasSent) {
    const std::string folder = "quillaxe://create?type=md&directory=/tmp/a%20b/%26%3D%23%2B%25/\xC3\xA9t\xC3\xA9";
    for (const InstanceRequest& request : {
             InstanceRequest{InstanceRequest::Kind::activate, {}},
             InstanceRequest{InstanceRequest::Kind::quickCreate, {}},
             InstanceRequest{InstanceRequest::Kind::checkForUpdates, {}},
             InstanceRequest{InstanceRequest::Kind::openURL, folder},
             // Whatever the desktop handed over travels unchanged, line breaks included.
             InstanceRequest{InstanceRequest::Kind::openURL, "file:///tmp/x\nquick-create"},
             creation("md", CreationDestinationMode::desktop),
             creation("pptx", CreationDestinationMode::frontFinderFolder),
             fromFileManager(folder, 4242),
             fromFileManager("quillaxe:\nopen-url\nx", 2147483647),
         }) {
        EXPECT_EQ(decodeInstanceRequest(encodeInstanceRequest(request)), request) << encodeInstanceRequest(request);
    }
}

TEST(InstanceRequest, AnythingButAnExactRequestIsRefused) {
    for (const std::string& message : {
             std::string(),
             std::string("activate"),
             std::string("quillet-request 2\nactivate"),
             std::string("quillet-request 1\n"),
             std::string("quillet-request 1\nactivate\n"),
             std::string("quillet-request 1\nActivate"),
             std::string("quillet-request 1\nopen-url"),
             std::string("quillet-request 1\nopen-url\n"),
             std::string("quillet-request 1\nopen-url\nquillaxe:\0x", 38),
             std::string("quillet-request 1\nopen-url\n") + std::string(70000, 'q'),
             // A creation names a type of the catalog and a destination's stored form, nothing more.
             std::string("quillet-request 1\ncreate"),
             std::string("quillet-request 1\ncreate\nmd"),
             std::string("quillet-request 1\ncreate\nmd\n"),
             std::string("quillet-request 1\ncreate\nexe\ndesktop"),
             std::string("quillet-request 1\ncreate\nMD\ndesktop"),
             std::string("quillet-request 1\ncreate\nmd\nDesktop"),
             std::string("quillet-request 1\ncreate\nmd\ndesktop\n"),
             std::string("quillet-request 1\ncreate\n\ndesktop"),
             std::string("quillet-request 1\ncreate\nmd\ndesktop\0", 36),
             // The requester is a process identifier in digits, on its own line before the URL.
             std::string("quillet-request 1\nopen-url-from\nquillaxe://create"),
             std::string("quillet-request 1\nopen-url-from\n\nquillaxe://create"),
             std::string("quillet-request 1\nopen-url-from\n-5\nquillaxe://create"),
             std::string("quillet-request 1\nopen-url-from\n0\nquillaxe://create"),
             std::string("quillet-request 1\nopen-url-from\n 42\nquillaxe://create"),
             std::string("quillet-request 1\nopen-url-from\n99999999999\nquillaxe://create"),
             std::string("quillet-request 1\nopen-url-from\n42\n"),
             // Found by the fuzzer: a number with a leading zero would not read back as it came.
             std::string("quillet-request 1\nopen-url-from\n090\nuik"),
         }) {
        EXPECT_FALSE(decodeInstanceRequest(message)) << message.substr(0, 60);
    }
}

TEST(InstanceRequest, OnlyTheLaunchesAnInstanceCarriesOutAreForwarded) {
    const auto forwarded = [](std::initializer_list<const char*> words) {
        std::vector<const char*> argv{"quillet"};
        argv.insert(argv.end(), words);
        return forwardableRequest(static_cast<int>(argv.size()), argv.data());
    };
    EXPECT_EQ(forwarded({}), (InstanceRequest{InstanceRequest::Kind::activate, {}}));
    EXPECT_EQ(forwarded({"quick-create"}), (InstanceRequest{InstanceRequest::Kind::quickCreate, {}}));
    EXPECT_EQ(forwarded({"check-for-updates"}), (InstanceRequest{InstanceRequest::Kind::checkForUpdates, {}}));
    EXPECT_EQ(forwarded({"quillaxe://create?type=md&directory=/tmp"}),
              (InstanceRequest{InstanceRequest::Kind::openURL, "quillaxe://create?type=md&directory=/tmp"}));
    // Commands that print or ask run in their own process; so does anything with more words.
    EXPECT_FALSE(forwarded({"open", "quillaxe://create?type=md&directory=/tmp"}));
    // What a key binding of the desktop runs; its mistakes stay with the command, which reports them.
    EXPECT_EQ(forwarded({"create", "md", "--destination", "frontFinderFolder"}),
              creation("md", CreationDestinationMode::frontFinderFolder));
    EXPECT_FALSE(forwarded({"create", "md", "--destination", "elsewhere"}));
    EXPECT_FALSE(forwarded({"create", "exe", "--destination", "desktop"}));
    EXPECT_FALSE(forwarded({"create", "md", "/tmp"}));
    EXPECT_FALSE(forwarded({"create", "--destination", "desktop", "md"}));
    EXPECT_FALSE(forwarded({"create", "md", "--destination", "desktop", "/tmp"}));
    EXPECT_FALSE(forwarded({"create", "md"}));
    EXPECT_FALSE(forwarded({"--version"}));
    EXPECT_FALSE(forwarded({"quick-create", "--now"}));
    EXPECT_FALSE(forwarded({"quillaxe://create?type=md&directory=/tmp", "extra"}));
}

TEST(InstanceRequest, OnlyOurOwnDesktopEntryNamesTheFileManagerALinkCameFrom) {
    const auto requester = [](std::optional<std::string> entry, std::optional<std::string> pid) {
        return desktopLaunchRequester([&](const char* name) -> std::optional<std::string> {
            if (std::string_view(name) == "GIO_LAUNCHED_DESKTOP_FILE") return entry;
            return std::string_view(name) == "QUILLET_REQUESTING_PID" ? pid : std::nullopt;
        });
    };
    const std::string ours = "/usr/share/applications/org.quillet.Quillet.desktop";
    EXPECT_EQ(requester(ours, "4242"), 4242);
    EXPECT_EQ(requester("/home/u/.local/share/applications/org.quillet.Quillet.desktop", "77"), 77);
    // Inherited from whatever launched a terminal the link was opened in: not ours, so unknown.
    EXPECT_EQ(requester("/usr/share/applications/org.gnome.Terminal.desktop", "4242"), 0);
    EXPECT_EQ(requester(std::nullopt, "4242"), 0);
    EXPECT_EQ(requester(ours, std::nullopt), 0);
    for (const char* bad : {"", "0", "1", "042", "-4", "4x", " 4", "4294967296", "12345678901"})
        EXPECT_EQ(requester(ours, bad), 0) << bad;
}

TEST(InstanceRequest, AnInstanceThatRefusesTheRequesterGetsTheLinkAlone) {
    test::TemporaryFolder folder;
    instance_socket::Listener listener(folder.path() / "app.socket");
    ASSERT_TRUE(listener.listen()) << listener.error();
    // An instance of an earlier version knows only "open-url": it refuses the first message and
    // takes the second.
    std::vector<std::string> received;
    std::thread instance([&] {
        for (char reply : {instance_socket::kRefused, instance_socket::kAccepted}) {
            pollfd waiting{listener.fd(), POLLIN, 0};
            if (::poll(&waiting, 1, 5000) != 1) return;
            const auto accepted = listener.accept();
            instance_socket::Received message;
            for (int i = 0; i < 500; ++i) {
                message = instance_socket::receive(accepted.connection);
                if (message.status != instance_socket::Received::Status::pending) break;
                ::usleep(10000);
            }
            received.push_back(message.message);
            instance_socket::answer(accepted.connection, reply);
            ::close(accepted.connection);
        }
    });
    const auto result = forwardToRunningInstance(folder.path() / "app.socket",
                                                 fromFileManager("quillaxe://create?type=md&directory=/tmp", 42));
    instance.join();
    EXPECT_EQ(result.status, instance_socket::SendResult::Status::accepted);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(decodeInstanceRequest(received[0]), fromFileManager("quillaxe://create?type=md&directory=/tmp", 42));
    EXPECT_EQ(decodeInstanceRequest(received[1]), fromFileManager("quillaxe://create?type=md&directory=/tmp", 0));
}

// A launch that waits for its result: the request says so in the format's second version, which
// only creations use; the instance's answer is the result, printed as the command prints it.
TEST(InstanceRequest, ALaunchThatWaitsGetsTheResultPrintedAsInItsOwnProcess) {
    InstanceRequest url = fromFileManager("quillaxe://create?type=md&directory=/tmp", 42);
    url.wantsResult = true;
    InstanceRequest create = creation("md", CreationDestinationMode::desktop);
    create.wantsResult = true;
    for (const InstanceRequest& request : {url, create}) {
        EXPECT_TRUE(encodeInstanceRequest(request).starts_with("quillet-request 2\n"));
        EXPECT_EQ(decodeInstanceRequest(encodeInstanceRequest(request)), request);
    }
    // Nothing else waits: the flag is not sent, and a second-version request of another verb is refused.
    InstanceRequest activate{InstanceRequest::Kind::activate, {}};
    activate.wantsResult = true;
    EXPECT_EQ(encodeInstanceRequest(activate), "quillet-request 1\nactivate");
    EXPECT_FALSE(decodeInstanceRequest("quillet-request 2\nactivate"));
    EXPECT_FALSE(decodeInstanceRequest("quillet-request 2\nquick-create"));

    const auto report = [](std::string answer) {
        instance_socket::SendResult sent{instance_socket::SendResult::Status::accepted, {}, std::move(answer)};
        std::ostringstream out, err;
        const int status = reportForwardedAnswer(sent, out, err);
        return std::tuple(status, out.str(), err.str());
    };
    const InstanceResult created{InstanceResult::Kind::created, "/home/me/Desktop/Untitled.md\nCreated Untitled.md\n"};
    EXPECT_EQ(decodeInstanceResult(encodeInstanceResult(created)), created);
    EXPECT_EQ(report(encodeInstanceResult(created)), std::tuple(0, created.output, std::string()));
    EXPECT_EQ(report(encodeInstanceResult({InstanceResult::Kind::failed, "The folder is gone."})),
              std::tuple(1, std::string(), std::string("quillet: The folder is gone.\n")));
    EXPECT_EQ(report(encodeInstanceResult({InstanceResult::Kind::done, {}})), std::tuple(0, std::string(), std::string()));
    EXPECT_EQ(std::get<0>(report(encodeInstanceResult({InstanceResult::Kind::pending, {}}))), kExitStillPending);
    // An instance of the first version answers with its one byte: nothing to print.
    EXPECT_EQ(report(""), std::tuple(0, std::string(), std::string()));
    for (const char* unknown : {"created", "pending\nx", "finished\n/x", "x"}) {
        EXPECT_FALSE(decodeInstanceResult(unknown)) << unknown;
        EXPECT_EQ(std::get<0>(report(unknown)), 1) << unknown;
    }
}

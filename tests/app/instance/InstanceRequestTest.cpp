#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/instance/InstanceRequest.h"

using namespace quillet;

namespace {
InstanceRequest creation(const std::string& typeID, CreationDestinationMode destination) {
    InstanceRequest request{InstanceRequest::Kind::createFile, {}};
    request.typeID = typeID;
    request.destination = destination;
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

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/requests/CreateFileRequest.h"
#include "shared/requests/CreateRequestURL.h"
#include "shared/requests/PercentEncoding.h"
#include "app/requests/URLComponents.h"

using namespace quillet;
using namespace std::string_literals;

namespace {

std::optional<CreateFileRequest> parse(std::string_view url) { return CreateFileRequest::parse(url); }

CreateFileRequest request(std::string type, std::string directory) {
    return CreateFileRequest{std::move(type), std::move(directory)};
}

}  // namespace

TEST(CreateFileRequest, ItemOrderIsFreeAndTheFirstOfEachNameWins) {
    EXPECT_EQ(parse("quillaxe://create?type=txt&directory=/tmp"), request("txt", "/tmp"));
    EXPECT_EQ(parse("quillaxe://create?directory=/tmp&type=txt"), request("txt", "/tmp"));
    EXPECT_EQ(parse("quillaxe://create?type=txt&type=md&directory=/tmp"), request("txt", "/tmp"));
    EXPECT_EQ(parse("quillaxe://create?type=txt&directory=/a&directory=/b"), request("txt", "/a"));
    // Other items, a path, a fragment and an empty item change nothing.
    EXPECT_EQ(parse("quillaxe://create/ignored/path?x=1&type=md&&directory=/tmp&y#frag"),
              request("md", "/tmp"));
    // Names are matched exactly, after decoding.
    EXPECT_EQ(parse("quillaxe://create?Type=md&type=txt&DIRECTORY=/x&directory=/tmp"),
              request("txt", "/tmp"));
    EXPECT_EQ(parse("quillaxe://create?t%79pe=txt&directory=/tmp"), request("txt", "/tmp"));
}

TEST(CreateFileRequest, MissingValuelessOrEmptyItemsYieldNothing) {
    EXPECT_EQ(parse("quillaxe://create?type&directory=/tmp"), std::nullopt);
    EXPECT_EQ(parse("quillaxe://create?type=&directory=/tmp"), std::nullopt);
    EXPECT_EQ(parse("quillaxe://create?type=txt&directory"), std::nullopt);
    EXPECT_EQ(parse("quillaxe://create?type=txt&directory="), std::nullopt);
    EXPECT_EQ(parse("quillaxe://create?type=txt"), std::nullopt);
    EXPECT_EQ(parse("quillaxe://create?directory=/tmp"), std::nullopt);
    EXPECT_EQ(parse("quillaxe://create?"), std::nullopt);
    EXPECT_EQ(parse("quillaxe://create"), std::nullopt);
    // The first item decides even when a later one would do.
    EXPECT_EQ(parse("quillaxe://create?type&type=txt&directory=/tmp"), std::nullopt);
    EXPECT_EQ(parse("quillaxe://create?type=&type=txt&directory=/tmp"), std::nullopt);
    // "=" inside a value belongs to the value.
    EXPECT_EQ(parse("quillaxe://create?type=txt&directory==/tmp=x"), request("txt", "=/tmp=x"));
}

TEST(CreateFileRequest, SchemeAndHostMustMatchExactly) {
    EXPECT_EQ(parse("quillaxe://open?type=txt&directory=/tmp"), std::nullopt);
    EXPECT_EQ(parse("file:///tmp/"), std::nullopt);
    EXPECT_EQ(parse("https://create?type=txt&directory=/tmp"), std::nullopt);
    EXPECT_EQ(parse("QUILLAXE://create?type=txt&directory=/tmp"), std::nullopt);
    EXPECT_EQ(parse("quillaxe://CREATE?type=txt&directory=/tmp"), std::nullopt);
    EXPECT_EQ(parse("quillaxe://cre%61te?type=txt&directory=/tmp"), std::nullopt);
    EXPECT_EQ(parse("quillaxe:create?type=txt&directory=/tmp"), std::nullopt);
    EXPECT_EQ(parse("quillaxe:///create?type=txt&directory=/tmp"), std::nullopt);
    EXPECT_EQ(parse("//create?type=txt&directory=/tmp"), std::nullopt);
    EXPECT_EQ(parse("quillaxe://create:x?type=txt&directory=/tmp"), std::nullopt);
    // User info and a numeric port leave the host as it is.
    EXPECT_EQ(parse("quillaxe://someone@create:80?type=txt&directory=/tmp"), request("txt", "/tmp"));
    EXPECT_EQ(parse(""), std::nullopt);
}

TEST(CreateFileRequest, MalformedTextYieldsNothing) {
    for (const std::string& url : {
             "quillaxe://create?type=txt&directory=/tmp/%"s,
             "quillaxe://create?type=txt&directory=/tmp/%4"s,
             "quillaxe://create?type=txt&directory=/tmp/%zz"s,
             "quillaxe://create?type=t%g1&directory=/tmp"s,
             "quillaxe://create?type=txt&directory=/My Notes"s,          // raw space
             "quillaxe://create?type=txt&directory=/caf\xC3\xA9"s,       // raw non-ASCII
             "quillaxe://create?type=txt&directory=/a\nb"s,              // control character
             "quillaxe://create?type=txt&directory=/a\0b"s,              // raw NUL
             "quillaxe://create?type=txt&directory=/a\"b"s,
             "quillaxe://[create?type=txt&directory=/tmp"s,
         }) {
        EXPECT_EQ(parse(url), std::nullopt) << url;
    }
    // Hostile sizes and shapes are read to the end without harm.
    const std::string huge(1 << 20, 'a');
    EXPECT_EQ(parse("quillaxe://create?type=txt&directory=/" + huge), request("txt", "/" + huge));
    std::string manyItems = "quillaxe://create?";
    for (int i = 0; i < 100000; ++i) manyItems += "&";
    EXPECT_EQ(parse(manyItems + "type=md&directory=/tmp"), request("md", "/tmp"));
    EXPECT_EQ(parse(std::string(100000, '%')), std::nullopt);
    EXPECT_EQ(parse("quillaxe://create?" + std::string(100000, '=')), std::nullopt);
}

TEST(CreateFileRequest, BuilderAndParserAreExactInverses) {
    EXPECT_EQ(createRequestURL("md", "/Volumes/Data/My Notes"),
              "quillaxe://create?type=md&directory=/Volumes/Data/My%20Notes");
    const std::vector<std::string> folders = {
        "/tmp",
        "/",
        "/a&b=c#d+e%f g",
        "/%20 is not a space and + is not one either",
        "/%2525/%/%%/%g",
        "/Users/me/Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xF0\x9F\x93\x81",
        "/not/utf8/\xFF\xFE\x80",
        "/?query/#hash/;semi/:colon/@at/!$'()*,[]~._-",
        "/line\nbreak\ttab",
    };
    for (const auto& folder : folders) {
        const auto url = createRequestURL("txt", folder);
        ASSERT_TRUE(url) << folder;
        const std::string encoded = url->substr(url->find("&directory=") + 11);
        EXPECT_EQ(encoded.find_first_of(" +&=#"), std::string::npos) << *url;
        EXPECT_EQ(parse(*url), request("txt", folder)) << *url;
    }
    for (const std::string type : {"docx", "a+b", "x&directory=/evil", "=", "\xC3\xA9"}) {
        const auto url = createRequestURL(type, "/tmp");
        ASSERT_TRUE(url);
        EXPECT_EQ(parse(*url), request(type, "/tmp")) << *url;
    }
}

TEST(CreateFileRequest, BuilderRefusesWhatTheApplicationWouldRefuse) {
    EXPECT_EQ(createRequestURL("", "/tmp"), std::nullopt);
    EXPECT_EQ(createRequestURL("txt", ""), std::nullopt);
    EXPECT_EQ(createRequestURL("txt", "/tmp\0/x"s), std::nullopt);
    EXPECT_EQ(createRequestURL("t\0xt"s, "/tmp"), std::nullopt);
}

TEST(CreateFileRequest, FolderMustBeAbsoluteAndFreeOfNUL) {
    const auto expectError = [](const std::string& directory, CreateFileRequestError::Kind kind,
                                const std::string& description) {
        const CreateFileRequest r = request("txt", directory);
        try {
            (void)r.folderURL();
            ADD_FAILURE() << "accepted " << directory;
        } catch (const CreateFileRequestError& e) {
            EXPECT_EQ(e.kind(), kind);
            EXPECT_EQ(e.description(), description);
            EXPECT_EQ(e.directoryPath(), directory);
            EXPECT_STREQ(e.what(), description.c_str());
        }
    };
    using Kind = CreateFileRequestError::Kind;
    const std::string relative = "The folder path must be an absolute path.";
    const std::string nul = "The folder path contains a NUL character.";
    expectError("tmp", Kind::relativeDirectory, relative);
    expectError("./tmp", Kind::relativeDirectory, relative);
    expectError("../../etc", Kind::relativeDirectory, relative);
    expectError("~/Desktop", Kind::relativeDirectory, relative);
    expectError("", Kind::relativeDirectory, relative);
    expectError("/tmp\0/etc"s, Kind::directoryContainsNUL, nul);

    // A %00 arrives through the parser intact and is stopped here, before any file system call.
    const auto parsed = parse("quillaxe://create?type=txt&directory=/tmp%00/etc");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->directoryPath, "/tmp\0/etc"s);
    EXPECT_THROW((void)parsed->folderURL(), CreateFileRequestError);
    const auto relativeURL = parse("quillaxe://create?type=txt&directory=Desktop");
    ASSERT_TRUE(relativeURL);
    EXPECT_THROW((void)relativeURL->folderURL(), CreateFileRequestError);
}

TEST(CreateFileRequest, FolderHasDotSegmentsResolved) {
    EXPECT_EQ(request("txt", "/tmp").folderURL().path(), "/tmp");
    EXPECT_EQ(request("txt", "/home/me/Granted/../../../etc/./x/").folderURL().path(), "/etc/x");
    EXPECT_EQ(request("txt", "/..").folderURL().path(), "/");
    EXPECT_EQ(request("txt", "//tmp//a/.").folderURL().path(), "/tmp/a");
    const auto parsed = parse("quillaxe://create?type=txt&directory=/srv/a/%2E%2E/b");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->folderURL().path(), "/srv/b");
}

TEST(URLComponents, SplitsAsWrittenWithoutResolving) {
    const auto parts = URLComponents::split("Quillaxe://user:pw@Create:8080/p/../q?a=1&b&=c&d=%2B+#f?#");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->scheme, "Quillaxe");
    EXPECT_EQ(parts->host, "Create");
    EXPECT_EQ(parts->path, "/p/../q");
    EXPECT_EQ(parts->query, "a=1&b&=c&d=%2B+");
    EXPECT_EQ(parts->fragment, "f?#");
    EXPECT_EQ(parts->queryItems(), (std::vector<URLQueryItem>{
                                       {"a", "1"}, {"b", std::nullopt}, {"", "c"}, {"d", "++"}}));

    const auto noAuthority = URLComponents::split("mailto:someone@example.org");
    ASSERT_TRUE(noAuthority);
    EXPECT_EQ(noAuthority->host, std::nullopt);
    EXPECT_TRUE(noAuthority->queryItems().empty());

    EXPECT_EQ(urlScheme("quillaxe://cre ate"), "quillaxe");
    EXPECT_EQ(urlScheme("/tmp/x:y"), std::nullopt);
    EXPECT_EQ(urlScheme("1abc:x"), std::nullopt);
    EXPECT_EQ(urlScheme(":x"), std::nullopt);
    EXPECT_EQ(urlScheme("no scheme"), std::nullopt);
}

TEST(PercentEncoding, EscapesEverythingButUnreservedCharactersAndSlash) {
    EXPECT_EQ(percentEncodeQueryComponent("/a-b._~Z9"), "/a-b._~Z9");
    EXPECT_EQ(percentEncodeQueryComponent(" +&=#%?"), "%20%2B%26%3D%23%25%3F");
    EXPECT_EQ(percentEncodeQueryComponent("\xC3\xA9\x00"s), "%C3%A9%00");
    EXPECT_EQ(percentDecode("%c3%A9+%2b"), "\xC3\xA9++");
    EXPECT_EQ(percentDecode("100%"), std::nullopt);
    EXPECT_EQ(percentDecode("%4"), std::nullopt);
    EXPECT_EQ(percentDecode("%-1"), std::nullopt);
    EXPECT_EQ(percentDecode(""), "");
}

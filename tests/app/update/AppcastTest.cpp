#include <gtest/gtest.h>

#include "app/update/Appcast.h"

using namespace quillet;

namespace {

std::string feed(const std::string& items, const std::string& prefix = "sparkle") {
    return R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:)" + prefix + R"(="http://www.andymatuschak.org/xml-namespaces/sparkle"
     xmlns:dc="http://purl.org/dc/elements/1.1/">
  <channel>
    <title>Quillet+</title>
    )" + items + R"(
  </channel>
</rss>)";
}

std::string item(const std::string& version, const std::string& extra = "", const std::string& enclosureExtra = "") {
    return "<item><title>Version " + version + "</title><sparkle:version>" + version + "</sparkle:version>" + extra +
           R"(<enclosure url="https://updates.example/Quillet-)" + version +
           R"(.tar.xz" length="1234" type="application/x-xz" sparkle:edSignature="c2ln" )" + enclosureExtra + "/></item>";
}

std::string describe(const std::function<void()>& parse) {
    try {
        parse();
    } catch (const AppcastError& error) {
        return error.description();
    }
    return "no error";
}

}  // namespace

TEST(Appcast, ReadsEveryFieldOfAnItem) {
    const auto appcast = Appcast::parse(feed(R"(
    <item>
      <title>Version 2.1</title>
      <sparkle:version>210</sparkle:version>
      <sparkle:shortVersionString>2.1</sparkle:shortVersionString>
      <sparkle:releaseNotesLink>https://updates.example/notes/2.1.html</sparkle:releaseNotesLink>
      <description><![CDATA[<p>Faster &amp; smaller.</p>]]></description>
      <dc:creator>someone</dc:creator>
      <enclosure url="https://updates.example/Quillet-2.1.tar.xz" length="5242880"
                 type="application/x-xz" sparkle:edSignature="c2lnbmF0dXJl" sparkle:os="linux"/>
    </item>)"));
    ASSERT_EQ(appcast.items.size(), 1u);
    const auto& item = appcast.items[0];
    EXPECT_EQ(item.title, "Version 2.1");
    EXPECT_EQ(item.version, "210");
    EXPECT_EQ(item.shortVersionString, "2.1");
    EXPECT_EQ(item.displayVersion(), "2.1");
    EXPECT_EQ(item.enclosureURL, "https://updates.example/Quillet-2.1.tar.xz");
    EXPECT_EQ(item.enclosureLength, 5242880u);
    EXPECT_EQ(item.enclosureType, "application/x-xz");
    EXPECT_EQ(item.edSignature, "c2lnbmF0dXJl");
    EXPECT_EQ(item.releaseNotesLink, "https://updates.example/notes/2.1.html");
    EXPECT_EQ(item.description, "<p>Faster &amp; smaller.</p>");
}

TEST(Appcast, TakesTheVersionsFromTheEnclosureWhenTheItemHasNoElements) {
    const auto appcast = Appcast::parse(feed(R"(
    <item><enclosure url="https://u.example/a.tar.xz" sparkle:version="300" sparkle:shortVersionString="3.0"
                     length="not a number"/></item>
    <item><sparkle:version>  </sparkle:version>
          <enclosure url="https://u.example/b.tar.xz" sparkle:version="301"/></item>)"));
    ASSERT_EQ(appcast.items.size(), 2u);
    EXPECT_EQ(appcast.items[0].version, "300");
    EXPECT_EQ(appcast.items[0].shortVersionString, "3.0");
    EXPECT_EQ(appcast.items[0].enclosureLength, 0u) << "an unreadable length is no length";
    EXPECT_EQ(appcast.items[0].edSignature, std::nullopt);
    EXPECT_EQ(appcast.items[1].version, "301") << "an empty element gives way to the attribute";
    EXPECT_EQ(appcast.items[1].displayVersion(), "301");
}

TEST(Appcast, MatchesTheUpdateNamespaceByItsAddressNotItsPrefix) {
    // Another prefix for the update namespace, declared on the item itself.
    const auto renamed = Appcast::parse(feed(R"(
    <item xmlns:su="http://www.andymatuschak.org/xml-namespaces/sparkle">
      <su:version>5</su:version>
      <enclosure url="https://u.example/5.tar.xz" su:edSignature="c2ln"/>
    </item>)",
                                             "upd"));
    ASSERT_EQ(renamed.items.size(), 1u);
    EXPECT_EQ(renamed.items[0].version, "5");
    EXPECT_EQ(renamed.items[0].edSignature, "c2ln");

    // The usual prefix bound to a foreign namespace is not the update namespace.
    const auto foreign = Appcast::parse(R"(<rss xmlns:sparkle="urn:something-else"><channel>
      <item><sparkle:version>6</sparkle:version><enclosure url="https://u.example/6.tar.xz"/></item>
    </channel></rss>)");
    EXPECT_TRUE(foreign.items.empty());

    // Unknown elements, and elements of foreign namespaces with known names, are ignored.
    const auto mixed = Appcast::parse(feed(R"(
    <item xmlns:x="urn:x">
      <x:enclosure url="https://evil.example/x.tar.xz"/>
      <x:version>99</x:version>
      <unknown><nested/></unknown>
      <sparkle:version>7</sparkle:version>
      <enclosure url="https://u.example/7.tar.xz" x:edSignature="no" sparkle:edSignature="yes"/>
    </item>)"));
    ASSERT_EQ(mixed.items.size(), 1u);
    EXPECT_EQ(mixed.items[0].version, "7");
    EXPECT_EQ(mixed.items[0].enclosureURL, "https://u.example/7.tar.xz");
    EXPECT_EQ(mixed.items[0].edSignature, "yes");
}

TEST(Appcast, SkipsItemsWithoutVersionOrAddressAndThoseForAnotherSystem) {
    const auto appcast = Appcast::parse(feed(
        "<item><title>no version</title><enclosure url=\"https://u.example/a\"/></item>"
        "<item><sparkle:version>2</sparkle:version></item>"
        "<item><sparkle:version>3</sparkle:version><enclosure url=\" \"/></item>" +
        item("4", "", "sparkle:os=\"macos\"") + item("5", "", "sparkle:os=\"windows\"") + item("6")));
    ASSERT_EQ(appcast.items.size(), 1u);
    EXPECT_EQ(appcast.items[0].version, "6");
}

TEST(Appcast, RefusesWhatIsNotAFeedWithAClearReason) {
    EXPECT_EQ(describe([] { Appcast::parse("<html><body>Not found</body></html>"); }),
              "The update feed is not a valid update feed: it has no rss element.");
    EXPECT_EQ(describe([] { Appcast::parse("<rss version=\"2.0\"><title/></rss>"); }),
              "The update feed is not a valid update feed: it has no channel.");
    const auto notXML = describe([] { Appcast::parse("{\"items\": []}"); });
    EXPECT_TRUE(notXML.starts_with("The update feed is not a valid update feed: it is not XML")) << notXML;
    EXPECT_NE(describe([] { Appcast::parse(""); }), "no error");
    EXPECT_NE(describe([] { Appcast::parse("<rss><channel><item></channel></rss>"); }), "no error");
    // An empty channel is a feed with nothing in it.
    EXPECT_TRUE(Appcast::parse(feed("")).items.empty());
}

TEST(Appcast, ChoosesTheNewestItemNewerThanTheRunningVersion) {
    const auto appcast = Appcast::parse(feed(item("1.9") + item("1.10") + item("1.2") +
                                             item("100", "<sparkle:shortVersionString>1.10.1</sparkle:shortVersionString>") +
                                             item("1.10b1")));
    const auto newest = newestItemNewerThan(appcast, "1.9");
    ASSERT_TRUE(newest);
    EXPECT_EQ(newest->displayVersion(), "1.10.1") << "the short version is what is compared";
    EXPECT_EQ(newest->version, "100");

    EXPECT_EQ(newestItemNewerThan(appcast, "1.10.1"), std::nullopt) << "the running version is not newer than itself";
    EXPECT_EQ(newestItemNewerThan(appcast, "1.10.1.0"), std::nullopt);
    EXPECT_EQ(newestItemNewerThan(appcast, "2.0"), std::nullopt);
    EXPECT_EQ(newestItemNewerThan(Appcast{}, "0"), std::nullopt);
    EXPECT_EQ(newestItemNewerThan(appcast, "1.10b1")->displayVersion(), "1.10.1");
}

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/update/QuilletSelfUpdateConfiguration.h"

using namespace quillet;
using nlohmann::json;

namespace {

QuilletSelfUpdateConfiguration read(const std::string& feed, const std::string& key) {
    return QuilletSelfUpdateConfiguration::fromInfoDictionary(json{{"SUFeedURL", feed}, {"SUPublicEDKey", key}});
}

}  // namespace

TEST(QuilletSelfUpdateConfiguration, TrimsBothValuesAndAcceptsAnHTTPSFeedInAnyCase) {
    const auto configuration = read("  https://updates.example/appcast.xml \n", "\t abc+/KEY= \r\n");
    EXPECT_EQ(configuration.feedURL, "https://updates.example/appcast.xml");
    EXPECT_EQ(configuration.publicEDKey, "abc+/KEY=");
    EXPECT_TRUE(configuration.isConfigured());

    // No-break space and the line separator count as white space too.
    EXPECT_EQ(read("\u00A0https://x.example/f\u2028", "k").feedURL, "https://x.example/f");
    EXPECT_TRUE(read("HTTPS://UPDATES.EXAMPLE/appcast.xml", "key").isConfigured());
    EXPECT_TRUE(read("HtTpS://updates.example/", "key").isConfigured());
}

TEST(QuilletSelfUpdateConfiguration, RefusesAFeedThatIsNotHTTPSOrNotAURL) {
    for (const char* feed : {"http://updates.example/appcast.xml", "ftp://updates.example/a", "file:///tmp/appcast.xml"}) {
        const auto configuration = read(feed, "key");
        EXPECT_EQ(configuration.feedURL, feed) << "a parsable address is kept";
        EXPECT_FALSE(configuration.isConfigured()) << feed;
    }
    // Not parsable: no scheme, an invalid one, nothing after it, a space inside.
    for (const char* feed : {"updates.example/appcast.xml", "://x", "1https://x", "ht tps://x", "https:",
                             "https://updates example/a", "", " \n "}) {
        const auto configuration = read(feed, "key");
        EXPECT_EQ(configuration.feedURL, std::nullopt) << feed;
        EXPECT_FALSE(configuration.isConfigured()) << feed;
    }
}

TEST(QuilletSelfUpdateConfiguration, RefusesAMissingEmptyOrUnexpandedKey) {
    const std::string feed = "https://updates.example/appcast.xml";
    EXPECT_FALSE(QuilletSelfUpdateConfiguration::fromInfoDictionary(json{{"SUFeedURL", feed}}).isConfigured());
    for (const char* key : {"", "  \n", "$(SPARKLE_PUBLIC_KEY)", "$(KEY", "key)", " $(QUILLET_KEY) \n"})
        EXPECT_FALSE(read(feed, key).isConfigured()) << key;
    EXPECT_EQ(read(feed, " \n").publicEDKey, std::nullopt);
    // A "$(" or ")" inside the key is fine.
    EXPECT_TRUE(read(feed, "a$(b)c").isConfigured());

    // A configuration built by hand is judged on its trimmed key as well.
    EXPECT_FALSE((QuilletSelfUpdateConfiguration{feed, " $(KEY) "}).isConfigured());
    EXPECT_FALSE((QuilletSelfUpdateConfiguration{feed, " \n"}).isConfigured());
}

TEST(QuilletSelfUpdateConfiguration, NonTextValuesAndAbsentDictionariesCountAsAbsent) {
    const auto numbers = QuilletSelfUpdateConfiguration::fromInfoDictionary(
        json{{"SUFeedURL", 42}, {"SUPublicEDKey", json::array({"key"})}});
    EXPECT_EQ(numbers, QuilletSelfUpdateConfiguration{});
    EXPECT_EQ(QuilletSelfUpdateConfiguration::fromInfoDictionary(
                  json{{"SUFeedURL", nullptr}, {"SUPublicEDKey", json::object({{"k", "v"}})}}),
              QuilletSelfUpdateConfiguration{});
    for (const json& dictionary : {json(), json::object(), json::array({"https://x/", "key"}), json("https://x/")}) {
        const auto configuration = QuilletSelfUpdateConfiguration::fromInfoDictionary(dictionary);
        EXPECT_EQ(configuration, QuilletSelfUpdateConfiguration{}) << dictionary.dump();
        EXPECT_FALSE(configuration.isConfigured());
    }
}

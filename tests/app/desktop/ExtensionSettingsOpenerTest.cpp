#include <gtest/gtest.h>

#include "app/desktop/ExtensionSettingsOpener.h"
#include "tests/support/RecordingURLOpener.h"

using namespace quillet;

namespace {

const std::string kPage = "settings://extensions";

struct Fixture {
    test::RecordingURLOpener urls;
    int fallbacks = 0;
    ExtensionSettingsOpener opener(std::optional<std::string> url) {
        return ExtensionSettingsOpener(urls, std::move(url), [this] { ++fallbacks; });
    }
};

TEST(ExtensionSettingsOpenerTest, OpensTheDesktopsPageOnceAndStopsThereWhenItOpens) {
    Fixture f;
    f.urls.openable = {kPage};
    f.opener(kPage).open();
    EXPECT_EQ(f.urls.opened, std::vector<std::string>{kPage});
    EXPECT_EQ(f.fallbacks, 0);
}

TEST(ExtensionSettingsOpenerTest, FallsBackWhenThePageDoesNotOpenOrTheDesktopHasNone) {
    Fixture refused;
    refused.opener(kPage).open();
    EXPECT_EQ(refused.urls.opened, std::vector<std::string>{kPage});
    EXPECT_EQ(refused.fallbacks, 1);

    Fixture none;
    none.opener(std::nullopt).open();
    EXPECT_TRUE(none.urls.opened.empty());
    EXPECT_EQ(none.fallbacks, 1);
}

TEST(ExtensionSettingsOpenerTest, NoDesktopOffersAPageForFileManagerExtensions) {
    // The fallback is what every desktop gets: asking one of them for a page would open nothing.
    for (const char* desktop : {"GNOME", "ubuntu:GNOME", "KDE", "XFCE", ""}) {
        EXPECT_FALSE(ExtensionSettingsOpener::settingsURLForDesktop(desktop)) << desktop;
    }
}

}  // namespace

#include <gtest/gtest.h>

#include "app/windows/DisplayVersion.h"
#include "app/windows/MainWindowGrowth.h"

using namespace quillet;

TEST(DisplayVersion, ABuildNumberIsDroppedOnlyFromFourAllDigitPieces) {
    EXPECT_EQ(versionLine(std::string("2.1.0.17")), "Version 2.1.0");
    EXPECT_EQ(versionLine(std::string("2.1")), "Version 2.1");
    EXPECT_EQ(versionLine(std::string("2.1.0.b7")), "Version 2.1.0.b7");
    EXPECT_EQ(versionLine(std::string("3.0.1.200")), "Version 3.0.1");
    EXPECT_EQ(versionLine(std::string("3.0.1.2 ")), "Version 3.0.1");
    EXPECT_EQ(versionLine(std::string(" 2.0.1.15\n")), "Version 2.0.1");
    // Empty pieces are dropped before counting.
    EXPECT_EQ(versionLine(std::string("1..2.3.4")), "Version 1.2.3");
    EXPECT_EQ(versionLine(std::string("1.4.2b.7.1")), "Version 1.4.2b.7.1");
    EXPECT_EQ(versionLine(std::string("1.2.3.4.5")), "Version 1.2.3.4.5");
    EXPECT_EQ(versionLine(std::nullopt), "Version 1.0.0");
    EXPECT_EQ(versionLine(std::string("  ")), "Version ");
}

TEST(MainWindowGrowth, GrowsOnceToTheScreenKeepingTheTopAndTheBottomOnScreen) {
    const ScreenRect frame{100, 50, 770, 548};  // 28 of title bar above 520 of content
    // 900 visible: 876 of content, the top kept.
    EXPECT_EQ(MainWindowGrowth::grownFrame({0, 0, 1440, 900}, frame, 520), (ScreenRect{100, 50, 770, 850}));
    // The bottom never goes below the visible area: the window is cut at it.
    EXPECT_EQ(MainWindowGrowth::grownFrame({0, 0, 1440, 900}, ScreenRect{100, 200, 770, 548}, 520),
              (ScreenRect{100, 200, 770, 700}));
    // 1400 visible: capped at 1155.
    EXPECT_EQ(MainWindowGrowth::grownFrame({0, 0, 2560, 1400}, frame, 520), (ScreenRect{100, 50, 770, 1183}));
    // 500 visible: the target is 520; a 518-high content grows, a 519-high one does not.
    EXPECT_EQ(MainWindowGrowth::targetContentHeight({0, 0, 800, 500}), 520);
    const auto small = MainWindowGrowth::grownFrame({0, 25, 800, 500}, ScreenRect{0, 25, 720, 546}, 518);
    ASSERT_TRUE(small);
    EXPECT_LE(small->bottom(), 525);
    EXPECT_FALSE(MainWindowGrowth::grownFrame({0, 25, 800, 500}, ScreenRect{0, 25, 720, 547}, 519));
    // A window above the visible area's top comes down to it.
    EXPECT_EQ(MainWindowGrowth::grownFrame({0, 30, 1440, 900}, ScreenRect{0, 0, 770, 548}, 520)->y, 30);
    // Within a point of the target: left alone.
    EXPECT_TRUE(MainWindowGrowth::grownFrame({0, 0, 2560, 1400}, frame, 1150));
    EXPECT_FALSE(MainWindowGrowth::grownFrame({0, 0, 2560, 1400}, frame, 1154.5));
    EXPECT_FALSE(MainWindowGrowth::grownFrame({0, 0, 2560, 1400}, frame, 1200));
}

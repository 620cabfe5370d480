#include <gtest/gtest.h>

#include "app/quickcreate/QuickCreatePanelPlacement.h"

using namespace quillet;

namespace {

// A 1440 by 900 screen whose top 25 and bottom 70 are reserved (a bar and a dock).
const DisplayScreen kLaptop{{0, 0, 1440, 900}, {0, 70, 1440, 805}};
// A second screen to the right, standing higher.
const DisplayScreen kRight{{1440, 100, 1920, 1080}, {1440, 100, 1920, 1080}};
const ScreenSize kPanel{560, 600};

TEST(QuickCreatePanelPlacement, CentresThePanelOnThePointerWithItsBottom96Below) {
    EXPECT_EQ(quickCreatePanelOrigin(kPanel, {700, 300}, {kLaptop}), (ScreenPoint{420, 204}));
}

TEST(QuickCreatePanelPlacement, KeepsTwelveInsideTheVisibleFrameAtEachEdge) {
    // Right edge: the panel's right edge stays 12 inside.
    EXPECT_EQ(quickCreatePanelOrigin(kPanel, {1430, 500}, {kLaptop}).x, 1440 - 560 - 12);
    // Left edge.
    EXPECT_EQ(quickCreatePanelOrigin(kPanel, {5, 500}, {kLaptop}).x, 12);
    // Bottom: above the dock's reserved strip, not the screen's edge.
    EXPECT_EQ(quickCreatePanelOrigin(kPanel, {700, 80}, {kLaptop}).y, 70 + 12);
    // Top: the panel's top edge stays 12 below the visible frame's top.
    EXPECT_EQ(quickCreatePanelOrigin(kPanel, {700, 895}, {kLaptop}).y, 875 - 600 - 12);
}

TEST(QuickCreatePanelPlacement, TheRightAndTopLimitsWinWhenThePanelDoesNotFit) {
    const DisplayScreen small{{0, 0, 500, 500}, {0, 0, 500, 500}};
    const ScreenPoint origin = quickCreatePanelOrigin(kPanel, {250, 250}, {small});
    EXPECT_EQ(origin.x, 500 - 560 - 12);  // not the left limit 12
    EXPECT_EQ(origin.y, 500 - 600 - 12);  // not the bottom limit 12
}

TEST(QuickCreatePanelPlacement, UsesTheScreenUnderThePointerElseTheMainScreenElseTheFallback) {
    // On the right screen: its own frame limits.
    EXPECT_EQ(quickCreatePanelOrigin(kPanel, {3350, 1170}, {kLaptop, kRight}),
              (ScreenPoint{3360 - 560 - 12, 1180 - 600 - 12}));
    // Between the screens' frames (below the right one): the main screen's visible frame.
    EXPECT_EQ(placementVisibleFrame({2000, 50}, {kLaptop, kRight}), kLaptop.visibleFrame);
    // No screen at all: 0,0 1280x800.
    EXPECT_EQ(placementVisibleFrame({2000, 50}, {}), (ScreenRect{0, 0, 1280, 800}));
    EXPECT_EQ(quickCreatePanelOrigin(kPanel, {2000, 50}, {}), (ScreenPoint{1280 - 560 - 12, 12}));
}

TEST(QuickCreatePanelPlacement, FlippingBetweenTopLeftAndBottomLeftCoordinates) {
    // A 1920x1080 main screen: Qt's top-left corner (0,0) is the placement point (0,1080).
    EXPECT_EQ(flipped(ScreenPoint{0, 0}, 1080), (ScreenPoint{0, 1080}));
    // A window at Qt y 100 with height 600 has its bottom edge at 1080 - 700 = 380.
    EXPECT_EQ(flipped(ScreenRect{50, 100, 560, 600}, 1080), (ScreenRect{50, 380, 560, 600}));
    // A screen above the main one has negative Qt y and lies above 1080.
    EXPECT_EQ(flipped(ScreenRect{0, -900, 1440, 900}, 1080), (ScreenRect{0, 1080, 1440, 900}));
    const ScreenRect r{10, 20, 30, 40};
    EXPECT_EQ(flipped(flipped(r, 777), 777), r);
}

}  // namespace

// A window manager's frame counts as part of the panel: with a 28 high title bar and 1 wide
// borders, opened with the pointer at the very top, the title bar stays below the reserved bar.
TEST(QuickCreatePanelPlacement, AFramedPanelKeepsItsTitleBarOnTheScreen) {
    const ScreenSize framed{560 + 2, 600 + 28 + 1};
    for (const ScreenPoint pointer : {ScreenPoint{700, 899}, ScreenPoint{2, 899}, ScreenPoint{1439, 1}}) {
        const ScreenPoint origin = quickCreatePanelOrigin(framed, pointer, {kLaptop});
        EXPECT_LE(origin.y + framed.height, 875 - 12) << pointer.x << "," << pointer.y;
        EXPECT_GE(origin.y, 70 + 12);
        EXPECT_GE(origin.x, 12);
        EXPECT_LE(origin.x + framed.width, 1440 - 12);
    }
}

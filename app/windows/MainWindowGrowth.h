#pragma once

#include <optional>

namespace quillet {

// A rectangle in screen coordinates, y growing downwards.
struct ScreenRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    double bottom() const { return y + height; }
    bool operator==(const ScreenRect&) const = default;
};

// The main window grows once to a comfortable height: its content to min(max(520, visible
// height − 24), 1155), keeping its top edge (never above the visible area) and never reaching
// below the visible area. Nothing when the content is already that tall (within a point).
struct MainWindowGrowth {
    static constexpr double kMinimumContentHeight = 520;
    static constexpr double kMaximumContentHeight = 1155;
    static constexpr double kScreenMargin = 24;

    static double targetContentHeight(const ScreenRect& visibleArea);
    // `frame` is the window with its decorations, `contentHeight` the height inside them.
    static std::optional<ScreenRect> grownFrame(const ScreenRect& visibleArea, const ScreenRect& frame,
                                                double contentHeight);
};

}  // namespace quillet

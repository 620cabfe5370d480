#pragma once

#include <vector>

#include "platform/ScreenLayout.h"

namespace quillet {

inline constexpr double kQuickCreatePanelScreenMargin = 12;
inline constexpr double kQuickCreatePanelPointerOffset = 96;
inline constexpr ScreenRect kFallbackVisibleFrame{0, 0, 1280, 800};

// The visible frame the panel is placed in: that of the first screen containing the pointer,
// else the main (first) screen's, else the fallback frame.
ScreenRect placementVisibleFrame(ScreenPoint pointer, const std::vector<DisplayScreen>& screens);

// Bottom-left origin of a panel of `size` opened at `pointer`: centred on the pointer, its bottom
// edge 96 below it, kept 12 inside the visible frame. When the panel does not fit, the right and
// top limits win, so its title and close button stay on the screen.
ScreenPoint quickCreatePanelOrigin(ScreenSize size, ScreenPoint pointer,
                                   const std::vector<DisplayScreen>& screens);

}  // namespace quillet

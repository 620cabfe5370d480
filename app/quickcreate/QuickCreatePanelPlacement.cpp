#include "app/quickcreate/QuickCreatePanelPlacement.h"

#include <algorithm>

namespace quillet {

ScreenRect placementVisibleFrame(ScreenPoint pointer, const std::vector<DisplayScreen>& screens) {
    for (const auto& screen : screens)
        if (screen.frame.contains(pointer)) return screen.visibleFrame;
    if (!screens.empty()) return screens.front().visibleFrame;
    return kFallbackVisibleFrame;
}

ScreenPoint quickCreatePanelOrigin(ScreenSize size, ScreenPoint pointer,
                                   const std::vector<DisplayScreen>& screens) {
    const ScreenRect visible = placementVisibleFrame(pointer, screens);
    const double margin = kQuickCreatePanelScreenMargin;
    // max first, then min: the right and top limits are applied last and so win.
    double x = std::max(pointer.x - size.width / 2, visible.minX() + margin);
    x = std::min(x, visible.maxX() - size.width - margin);
    double y = std::max(pointer.y - kQuickCreatePanelPointerOffset, visible.minY() + margin);
    y = std::min(y, visible.maxY() - size.height - margin);
    return {x, y};
}

}  // namespace quillet

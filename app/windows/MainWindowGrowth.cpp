#include "app/windows/MainWindowGrowth.h"

#include <algorithm>

namespace quillet {

double MainWindowGrowth::targetContentHeight(const ScreenRect& visibleArea) {
    return std::min(std::max(kMinimumContentHeight, visibleArea.height - kScreenMargin), kMaximumContentHeight);
}

std::optional<ScreenRect> MainWindowGrowth::grownFrame(const ScreenRect& visibleArea, const ScreenRect& frame,
                                                       double contentHeight) {
    const double target = targetContentHeight(visibleArea);
    if (contentHeight + 1 >= target) return std::nullopt;
    const double height = target + (frame.height - contentHeight);
    const double top = std::max(visibleArea.y, frame.y);
    const double bottom = std::min(visibleArea.bottom(), top + height);
    return ScreenRect{frame.x, top, frame.width, bottom - top};
}

}  // namespace quillet

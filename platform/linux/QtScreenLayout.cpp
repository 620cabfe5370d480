#include "platform/linux/QtScreenLayout.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace quillet {

namespace {

double primaryScreenBottom() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return 0;
    const QRect geometry = primary->geometry();
    return geometry.y() + geometry.height();
}

ScreenRect fromQRect(const QRect& rect) {
    return flipped(ScreenRect{double(rect.x()), double(rect.y()), double(rect.width()), double(rect.height())},
                   primaryScreenBottom());
}

}  // namespace

double QtScreenLayout::mainScreenBottom() const { return primaryScreenBottom(); }

std::vector<DisplayScreen> QtScreenLayout::screens() const {
    std::vector<DisplayScreen> result;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) result.push_back({fromQRect(primary->geometry()), fromQRect(primary->availableGeometry())});
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != primary) result.push_back({fromQRect(screen->geometry()), fromQRect(screen->availableGeometry())});
    return result;
}

ScreenPoint QtScreenLayout::pointerLocation() const {
    const QPoint pointer = QCursor::pos();
    // The pixel's top edge flips to its bottom edge; its middle keeps the pointer inside the
    // screen it is on, also on the screen's last row.
    return flipped(ScreenPoint{pointer.x() + 0.5, pointer.y() + 0.5}, primaryScreenBottom());
}

}  // namespace quillet

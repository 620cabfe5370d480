#pragma once

#include <optional>
#include <vector>

namespace quillet {

// Screen geometry in the placement coordinate space: origin at the bottom left of the main
// screen, y growing upwards. Toolkits that count from the top left convert with flipped().
struct ScreenPoint {
    double x = 0;
    double y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

struct ScreenSize {
    double width = 0;
    double height = 0;
    bool operator==(const ScreenSize&) const = default;
};

struct ScreenRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    bool operator==(const ScreenRect&) const = default;

    double minX() const { return x; }
    double maxX() const { return x + width; }
    double minY() const { return y; }
    double maxY() const { return y + height; }
    // Edges included, so a pointer on the last pixel row or column still counts.
    bool contains(ScreenPoint p) const { return p.x >= minX() && p.x <= maxX() && p.y >= minY() && p.y <= maxY(); }
};

struct DisplayScreen {
    ScreenRect frame;         // the whole screen
    ScreenRect visibleFrame;  // without panels, docks and bars the desktop reserves
    bool operator==(const DisplayScreen&) const = default;
};

// Between top-left (y down) and bottom-left (y up) coordinates. `mainScreenBottom` is the main
// screen's bottom edge in top-left coordinates (its height when it starts at 0), which becomes
// y = 0. Each function is its own inverse.
inline ScreenPoint flipped(ScreenPoint p, double mainScreenBottom) { return {p.x, mainScreenBottom - p.y}; }
inline ScreenRect flipped(const ScreenRect& r, double mainScreenBottom) {
    return {r.x, mainScreenBottom - r.y - r.height, r.width, r.height};
}

// The screens of the desktop and where the pointer is.
class ScreenLayout {
public:
    virtual ~ScreenLayout() = default;
    // Every screen, the main screen first; empty when the toolkit knows none.
    virtual std::vector<DisplayScreen> screens() const = 0;
    virtual ScreenPoint pointerLocation() const = 0;
    // The main screen's bottom edge in the toolkit's own top-left coordinates: the line that
    // becomes y = 0, so flipped() converts between the toolkit's coordinates and these.
    virtual double mainScreenBottom() const = 0;
};

}  // namespace quillet

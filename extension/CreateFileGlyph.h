#pragma once

#include <vector>

namespace quillet {

// sRGB components from 0 to 1.
struct GlyphColor {
    double red;
    double green;
    double blue;
    double alpha;

    bool operator==(const GlyphColor&) const = default;
};

struct GlyphPoint {
    double x;
    double y;

    bool operator==(const GlyphPoint&) const = default;
};

// Origin at the lower left corner, y growing upward; a renderer with y growing downward flips.
struct GlyphRect {
    double x;
    double y;
    double width;
    double height;

    double maxX() const { return x + width; }
    double maxY() const { return y + height; }
    double midX() const { return x + width / 2; }
    double midY() const { return y + height / 2; }
    bool operator==(const GlyphRect&) const = default;
};

// One filled or stroked shape of a glyph, painted in list order.
struct GlyphShape {
    enum class Kind {
        roundedRectangle,  // `bounds` with `cornerRadius`, filled
        polygon,           // closed path through `points`, filled
        ellipse,           // inscribed in `bounds`, filled
        line,              // from points[0] to points[1], stroked `lineWidth` wide with round caps
    };
    Kind kind;
    GlyphRect bounds;
    double cornerRadius;
    std::vector<GlyphPoint> points;
    double lineWidth;
    GlyphColor color;
};

inline constexpr GlyphColor kGlyphWhite{1, 1, 1, 1};

// The "Create File" glyph: a page with a folded corner and a round plus badge at its lower
// left, laid out on a 20-unit square centred in `rect`. `accent` is the desktop's accent colour.
std::vector<GlyphShape> drawCreateFileGlyph(const GlyphRect& rect, const GlyphColor& accent);

}  // namespace quillet

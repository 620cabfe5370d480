#include "extension/CreateFileGlyph.h"

#include <algorithm>

namespace quillet {

std::vector<GlyphShape> drawCreateFileGlyph(const GlyphRect& rect, const GlyphColor& accent) {
    const double u = std::min(rect.width, rect.height) / 20;
    if (!(u > 0)) return {};
    const double x0 = rect.midX() - 10 * u;
    const double y0 = rect.midY() - 10 * u;
    const GlyphColor fold{1, 1, 1, 0.35};
    const GlyphColor halo{1, 1, 1, 0.92};

    const GlyphRect page{x0 + 5 * u, y0 + 2 * u, 12 * u, 16 * u};
    const GlyphRect badge{x0 + 1.5 * u, y0 + 1.4 * u, 9.8 * u, 9.8 * u};
    const GlyphRect haloRect{badge.x - 1.1 * u, badge.y - 1.1 * u, badge.width + 2.2 * u, badge.height + 2.2 * u};
    const double arm = 4.9 * u / 2;
    const double cx = badge.midX();
    const double cy = badge.midY();

    std::vector<GlyphShape> shapes;
    shapes.push_back({GlyphShape::Kind::roundedRectangle, page, 2.4 * u, {}, 0, accent});
    shapes.push_back({GlyphShape::Kind::polygon, {}, 0,
                      {{page.maxX() - 4.6 * u, page.maxY()}, {page.maxX(), page.maxY() - 4.6 * u},
                       {page.maxX(), page.maxY()}},
                      0, fold});
    shapes.push_back({GlyphShape::Kind::ellipse, haloRect, 0, {}, 0, halo});
    shapes.push_back({GlyphShape::Kind::ellipse, badge, 0, {}, 0, accent});
    shapes.push_back({GlyphShape::Kind::line, {}, 0, {{cx - arm, cy}, {cx + arm, cy}}, 2.25 * u, kGlyphWhite});
    shapes.push_back({GlyphShape::Kind::line, {}, 0, {{cx, cy - arm}, {cx, cy + arm}}, 2.25 * u, kGlyphWhite});
    return shapes;
}

}  // namespace quillet

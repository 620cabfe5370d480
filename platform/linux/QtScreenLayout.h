#pragma once

#include <QRectF>

#include "platform/ScreenLayout.h"

namespace quillet {

// Qt's screens and cursor, turned into placement coordinates: Qt counts from the top left of the
// virtual desktop with y growing downwards; placement counts from the bottom left of the main
// (primary) screen with y growing upwards.
class QtScreenLayout final : public ScreenLayout {
public:
    std::vector<DisplayScreen> screens() const override;
    ScreenPoint pointerLocation() const override;

    // The main screen's bottom edge in Qt coordinates: the line that becomes y = 0.
    static double mainScreenBottom();
    static ScreenRect fromTopLeft(const QRectF& rect);
    static QRectF toTopLeft(const ScreenRect& rect);
};

}  // namespace quillet

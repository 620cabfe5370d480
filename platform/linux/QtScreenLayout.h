#pragma once

#include "platform/ScreenLayout.h"

namespace quillet {

// Qt's screens and cursor, turned into placement coordinates: Qt counts from the top left of the
// virtual desktop with y growing downwards; placement counts from the bottom left of the main
// (primary) screen with y growing upwards.
class QtScreenLayout final : public ScreenLayout {
public:
    std::vector<DisplayScreen> screens() const override;
    ScreenPoint pointerLocation() const override;
    double mainScreenBottom() const override;
};

}  // namespace quillet

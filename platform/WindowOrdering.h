#pragma once

#include <functional>

#include "platform/ApplicationWindows.h"

namespace quillet {

// Bringing one of the application's own windows back to the front.
class WindowOrdering {
public:
    virtual ~WindowOrdering() = default;
    // Shows and raises, with the keyboard focus, the first of the application's windows (hidden
    // ones included, in the order the toolkit keeps them) that `matches`. False when none does.
    virtual bool orderFrontFirstWindow(const std::function<bool(const WindowDescription&)>& matches) = 0;
};

}  // namespace quillet

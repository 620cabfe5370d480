#pragma once

#include "platform/WindowOrdering.h"

namespace quillet {

// Looks through the application's top-level widgets in Qt's order; anything but an ordinary
// window (dialogs, tool windows such as the Quick Create panel, popups) counts as a panel.
class QtWindowOrdering final : public WindowOrdering {
public:
    bool orderFrontFirstWindow(const std::function<bool(const WindowDescription&)>& matches) override;
};

}  // namespace quillet

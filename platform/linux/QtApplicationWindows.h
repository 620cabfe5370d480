#pragma once

#include "platform/ApplicationWindows.h"

namespace quillet {

// The application's visible top-level widgets. Anything but an ordinary window (dialogs, tool
// windows such as the Quick Create panel, popups) counts as a panel.
class QtApplicationWindows final : public ApplicationWindows {
public:
    void closeWindows(const std::function<bool(const WindowDescription&)>& shouldClose) override;
};

}  // namespace quillet

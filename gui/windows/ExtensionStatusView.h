#pragma once

#include <functional>
#include <string>

#include "gui/windows/WindowStyle.h"

namespace quillet {

// The card that points the user at the file managers' menu: which file managers have it, and
// `whereTheMenuIs` (see fileManagerMenuSummary), where it is on this machine and how the others
// get it, when there is anything to say. It never asks a file manager.
class ExtensionStatusView : public WindowCard {
public:
    explicit ExtensionStatusView(std::function<void()> openExtensionSettings, std::string whereTheMenuIs = {},
                                 QWidget* parent = nullptr);
};

}  // namespace quillet

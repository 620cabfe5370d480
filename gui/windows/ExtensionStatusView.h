#pragma once

#include <functional>

#include "gui/windows/WindowStyle.h"

namespace quillet {

// The card that points the user at the Finder extension. It shows the same text whatever the
// extension's state: it never asks the file manager.
class ExtensionStatusView : public WindowCard {
public:
    explicit ExtensionStatusView(std::function<void()> openExtensionSettings, QWidget* parent = nullptr);
};

}  // namespace quillet

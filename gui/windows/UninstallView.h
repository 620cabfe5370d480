#pragma once

#include <functional>

#include "gui/windows/WindowStyle.h"

namespace quillet {

// The card that offers the uninstaller (the same entry as the "Uninstall Quillet+..." command).
class UninstallView : public WindowCard {
public:
    explicit UninstallView(std::function<void()> requestUninstall, QWidget* parent = nullptr);
};

}  // namespace quillet

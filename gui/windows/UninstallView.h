#pragma once

#include <functional>

#include "gui/windows/WindowStyle.h"
#include "shared/text/DesktopWords.h"

namespace quillet {

// The card that offers the uninstaller (the same entry as the "Uninstall Quillet+..." command).
class UninstallView : public WindowCard {
public:
    // `words`: how the session names its file manager, for the card's detail.
    UninstallView(std::function<void()> requestUninstall, const DesktopWords& words, QWidget* parent = nullptr);
};

}  // namespace quillet

#pragma once

#include <memory>

#include "platform/ModalAlert.h"

namespace quillet {

// A QMessageBox run application-modally: the alert's style as its icon, the message as its
// text, the informative text beneath, and "OK" as the one, default, button, or a question's
// buttons in their order.
class QtModalAlert final : public ModalAlert {
public:
    // The box is as wide as its longest line plus the icon beside it, within these bounds.
    static constexpr int kMinimumWidth = 380;
    static constexpr int kMaximumWidth = 560;
    static constexpr int kIconAllowance = 90;

    void runModal(const Alert& alert) override;
    std::size_t runModal(const Alert& alert, const std::vector<std::string>& buttons) override;
};

// The alert for this process: message boxes when a QApplication runs, else standard error.
std::unique_ptr<ModalAlert> makeModalAlert();

}  // namespace quillet

#pragma once

#include "app/observation/Published.h"
#include "gui/windows/WindowStyle.h"

namespace quillet {

class AppSettings;

// The card that says where the Finder menu appears and what to use where it does not. Its keyboard
// line follows the stored Quick Create shortcut for as long as the card lives.
class CreationGuideView : public WindowCard {
public:
    explicit CreationGuideView(AppSettings& settings, QWidget* parent = nullptr);

private:
    QLabel* keyboardLine_;
    Subscription shortcutChanges_;
};

}  // namespace quillet

#pragma once

#include "app/observation/Subscription.h"
#include "gui/windows/WindowStyle.h"

namespace quillet {

class CreationGuideModel;

// The card that says where the Finder menu appears and what to use where it does not. Its keyboard
// line follows the model for as long as the card lives. The model outlives the card.
class CreationGuideView : public WindowCard {
public:
    explicit CreationGuideView(CreationGuideModel& model, QWidget* parent = nullptr);

private:
    CreationGuideModel& model_;
    QLabel* keyboardLine_;
    Subscription shortcutChanges_;
};

}  // namespace quillet

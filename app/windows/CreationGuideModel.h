#pragma once

#include <functional>
#include <string>

#include "app/observation/Subscription.h"

namespace quillet {

class AppSettings;

// What the "Where Create File Appears" card shows that can change: its keyboard line, which names
// the stored Quick Create shortcut. The card's other texts are fixed (cardtexts).
class CreationGuideModel {
public:
    explicit CreationGuideModel(AppSettings& settings);

    // "Press **⌃ + ⌥ + N** to open Quick Create, or use the menu-bar icon."
    std::string keyboardLine() const;

    // `changed` runs after every change of the stored shortcut, until the returned subscription
    // is cancelled or dropped.
    [[nodiscard]] Subscription observe(std::function<void()> changed);

private:
    AppSettings& settings_;
};

}  // namespace quillet

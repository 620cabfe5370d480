#pragma once

#include <functional>
#include <string>

#include "app/observation/Subscription.h"
#include "shared/text/DesktopWords.h"

namespace quillet {

class AppSettings;

// What the "Where Create File Appears" card shows that can change: its keyboard line, which names
// the stored Quick Create shortcut, and the tray line, which names the session's file manager.
// The card's other texts are fixed (cardtexts).
class CreationGuideModel {
public:
    explicit CreationGuideModel(AppSettings& settings, DesktopWords words = {});

    // "Click the Quillet+ **tray icon** … **Create in Files Folder** …", or where the desktop shows
    // no tray, the Quick Create action of the application's icon.
    std::string trayLine() const;

    // "Press **Ctrl+Alt+N** to open Quick Create, or use the tray icon."
    std::string keyboardLine() const;

    // `changed` runs after every change of the stored shortcut, until the returned subscription
    // is cancelled or dropped.
    [[nodiscard]] Subscription observe(std::function<void()> changed);

private:
    AppSettings& settings_;
    DesktopWords words_;
};

}  // namespace quillet

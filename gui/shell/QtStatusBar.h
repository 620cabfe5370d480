#pragma once

#include <memory>

#include "platform/StatusBar.h"
#include "shared/logging/Logger.h"

class QMenu;
class QSystemTrayIcon;

namespace quillet {

// The tray icon over QSystemTrayIcon: a StatusNotifierItem where the desktop hosts them, an
// XEmbed icon otherwise. Without any tray on the desktop the icon cannot show; that is logged
// once and the application keeps running.
class QtStatusItem final : public StatusItem {
public:
    QtStatusItem();
    ~QtStatusItem() override;
    void setMenu(StatusMenu menu) override;

    QSystemTrayIcon& trayIcon() { return *trayIcon_; }
    QMenu* menu() { return menu_.get(); }

private:
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> trayIcon_;
};

class QtStatusBar final : public StatusBar {
public:
    std::unique_ptr<StatusItem> makeStatusItem() override;

private:
    Logger log_{kAppSubsystem, "Presence"};
    bool reportedMissingTray_ = false;
};

}  // namespace quillet

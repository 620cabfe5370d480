#pragma once

#include <functional>
#include <memory>

#include "platform/StatusBar.h"
#include "shared/logging/Logger.h"

class QMenu;
class QObject;
class QSystemTrayIcon;

namespace quillet {

// The tray icon over QSystemTrayIcon: a StatusNotifierItem where the desktop hosts them, an
// XEmbed icon otherwise. Its image is drawn in the palette's text colour and drawn again when
// the desktop's palette changes (a switch to dark mode), so it shows on light and dark panels.
class QtStatusItem final : public StatusItem {
public:
    // The symbolic icon the panel recolours itself, by its theme name.
    static constexpr const char* kSymbolicIconName = "org.quillet.Quillet-symbolic";
    // The text colour of GNOME Shell's top bar, for the drawn image where the name is not found.
    static constexpr unsigned kGnomeTopBarText = 0xeeeeec;

    // `bySymbolicName`: the tray draws symbolic icons in its own text colour, so the icon is
    // handed over by name where the icon theme has it (GNOME's panel is dark whatever the
    // application's palette).
    explicit QtStatusItem(bool bySymbolicName = false);
    ~QtStatusItem() override;
    void setMenu(StatusMenu menu) override;

    QSystemTrayIcon& trayIcon() { return *trayIcon_; }
    QMenu* menu() { return menu_.get(); }

private:
    void drawIcon();

    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> trayIcon_;
    std::unique_ptr<QObject> paletteWatcher_;
    bool bySymbolicName_;
};

class QtStatusBar final : public StatusBar {
public:
    // `trayAvailable` asks the desktop whether a tray shows icons now; without it Qt's own
    // answer is taken.
    // `recoloursSymbolicIcons` tells whether the tray draws symbolic icons in its own colour.
    explicit QtStatusBar(std::function<bool()> trayAvailable = {}, std::function<bool()> recoloursSymbolicIcons = {});

    std::unique_ptr<StatusItem> makeStatusItem() override;
    bool isTrayAvailable() const override;

private:
    std::function<bool()> trayAvailable_;
    std::function<bool()> recoloursSymbolicIcons_;
    Logger log_{kAppSubsystem, "Presence"};
    bool reportedMissingTray_ = false;
};

}  // namespace quillet

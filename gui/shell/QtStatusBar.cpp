#include "gui/shell/QtStatusBar.h"

#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>

#include "app/presence/AppPresenceController.h"
#include "gui/shell/QtStatusMenu.h"

namespace quillet {

QtStatusItem::QtStatusItem() : trayIcon_(std::make_unique<QSystemTrayIcon>()) {
    trayIcon_->setIcon(trayImageIcon());
    trayIcon_->setToolTip(QString::fromUtf8(AppPresenceController::kToolTip));
    // A left click opens the same menu as a right click, as a tray icon's click does on Linux
    // desktops; the texts say "Click the Quillet+ icon".
    QObject::connect(trayIcon_.get(), &QSystemTrayIcon::activated, trayIcon_.get(),
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         if (reason == QSystemTrayIcon::Trigger && menu_) menu_->popup(QCursor::pos());
                     });
    trayIcon_->show();
}

QtStatusItem::~QtStatusItem() {
    trayIcon_->hide();
    trayIcon_->setContextMenu(nullptr);
}

void QtStatusItem::setMenu(StatusMenu items) {
    // A new menu each time; the old one goes once the icon no longer points at it.
    auto menu = std::make_unique<QMenu>();
    renderStatusMenu(*menu, items);
    trayIcon_->setContextMenu(menu.get());
    menu_ = std::move(menu);
}

std::unique_ptr<StatusItem> QtStatusBar::makeStatusItem() {
    if (!QSystemTrayIcon::isSystemTrayAvailable() && !reportedMissingTray_) {
        reportedMissingTray_ = true;
        log_.error("The desktop shows no tray; the Quillet+ icon is not visible");
    }
    return std::make_unique<QtStatusItem>();
}

}  // namespace quillet

#include "gui/shell/QtStatusBar.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QSystemTrayIcon>

#include "app/presence/AppPresenceController.h"
#include "gui/shell/QtStatusMenu.h"

namespace quillet {

namespace {

// Calls back when the application's palette changes.
class PaletteWatcher final : public QObject {
public:
    explicit PaletteWatcher(std::function<void()> changed) : changed_(std::move(changed)) {
        qApp->installEventFilter(this);
    }
    ~PaletteWatcher() override {
        if (qApp) qApp->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange) changed_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> changed_;
};

}  // namespace

QtStatusItem::QtStatusItem()
    : trayIcon_(std::make_unique<QSystemTrayIcon>()),
      paletteWatcher_(std::make_unique<PaletteWatcher>([this] { drawIcon(); })) {
    drawIcon();
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
    paletteWatcher_.reset();
    trayIcon_->hide();
    trayIcon_->setContextMenu(nullptr);
}

void QtStatusItem::drawIcon() { trayIcon_->setIcon(trayImageIcon(trayImageColor(QApplication::palette()))); }

void QtStatusItem::setMenu(StatusMenu items) {
    // A new menu each time; the old one goes once the icon no longer points at it.
    auto menu = std::make_unique<QMenu>();
    renderStatusMenu(*menu, items);
    trayIcon_->setContextMenu(menu.get());
    menu_ = std::move(menu);
}

QtStatusBar::QtStatusBar(std::function<bool()> trayAvailable) : trayAvailable_(std::move(trayAvailable)) {}

bool QtStatusBar::isTrayAvailable() const {
    return trayAvailable_ ? trayAvailable_() : QSystemTrayIcon::isSystemTrayAvailable();
}

std::unique_ptr<StatusItem> QtStatusBar::makeStatusItem() {
    if (!isTrayAvailable() && !reportedMissingTray_) {
        reportedMissingTray_ = true;
        log_.error("The desktop shows no tray; the Quillet+ icon is not visible");
    }
    return std::make_unique<QtStatusItem>();
}

}  // namespace quillet

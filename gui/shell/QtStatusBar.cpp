#include "gui/shell/QtStatusBar.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QIconEngine>
#include <QMenu>
#include <QPainter>
#include <QStandardPaths>
#include <QSystemTrayIcon>

#include "app/presence/AppPresenceController.h"
#include "gui/shell/QtStatusMenu.h"
#include "shared/text/Translation.h"

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

// An icon that draws one image and tells another name: the theme name a tray looks up itself.
class NamedIconEngine final : public QIconEngine {
public:
    NamedIconEngine(QString name, QIcon image) : name_(std::move(name)), image_(std::move(image)) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        image_.paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return image_.pixmap(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return image_.availableSizes(mode, state);
    }
    QString iconName() override { return name_; }
    QIconEngine* clone() const override { return new NamedIconEngine(name_, image_); }

private:
    QString name_;
    QIcon image_;
};

}  // namespace

QtStatusItem::QtStatusItem(bool bySymbolicName)
    : trayIcon_(std::make_unique<QSystemTrayIcon>()),
      paletteWatcher_(std::make_unique<PaletteWatcher>([this] { drawIcon(); })),
      bySymbolicName_(bySymbolicName) {
    drawIcon();
    trayIcon_->setToolTip(QString::fromUtf8(translate(AppPresenceController::kToolTip)));
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

void QtStatusItem::drawIcon() {
    // GNOME's top bar is dark whatever the application's palette, and its tray shows a drawn
    // image as it is: there the image is drawn in the bar's own light text colour.
    QIcon drawn = trayImageIcon(bySymbolicName_ ? QColor(kGnomeTopBarText) : trayImageColor(QApplication::palette()));
    // The tray looks the name up in the icon themes it reads, which need not be the ones Qt
    // reads (nor need Qt read SVG): the file installed among the desktop's icons is what counts.
    // The drawn image goes along, for a tray that cannot find the name.
    const QString name = QString::fromUtf8(kSymbolicIconName);
    if (bySymbolicName_ && !QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                   QStringLiteral("icons/hicolor/symbolic/apps/") + name +
                                                       QStringLiteral(".svg"))
                                 .isEmpty()) {
        trayIcon_->setIcon(QIcon(new NamedIconEngine(name, drawn)));
        return;
    }
    trayIcon_->setIcon(drawn);
}

void QtStatusItem::setMenu(StatusMenu items) {
    // A new menu each time; the old one goes once the icon no longer points at it.
    auto menu = std::make_unique<QMenu>();
    renderStatusMenu(*menu, items);
    trayIcon_->setContextMenu(menu.get());
    menu_ = std::move(menu);
}

QtStatusBar::QtStatusBar(std::function<bool()> trayAvailable, std::function<bool()> recoloursSymbolicIcons)
    : trayAvailable_(std::move(trayAvailable)), recoloursSymbolicIcons_(std::move(recoloursSymbolicIcons)) {}

bool QtStatusBar::isTrayAvailable() const {
    return trayAvailable_ ? trayAvailable_() : QSystemTrayIcon::isSystemTrayAvailable();
}

std::unique_ptr<StatusItem> QtStatusBar::makeStatusItem() {
    if (!isTrayAvailable() && !reportedMissingTray_) {
        reportedMissingTray_ = true;
        log_.error("The desktop shows no tray; the Quillet+ icon is not visible");
    }
    return std::make_unique<QtStatusItem>(recoloursSymbolicIcons_ && recoloursSymbolicIcons_());
}

}  // namespace quillet

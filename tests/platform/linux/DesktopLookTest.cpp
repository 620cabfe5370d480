#include <gtest/gtest.h>

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QCoreApplication>
#include <QObject>
#include <QScopeGuard>
#include <QThread>

#include <atomic>

#include "platform/linux/DesktopTray.h"
#include "platform/linux/PlatformTheme.h"
#include "tests/support/PrivateSessionBus.h"

using namespace quillet;

namespace {

// A StatusNotifier watcher as panels run it: one property says whether a host (a panel that
// shows the icons) registered.
class FakeWatcher final : public QObject {
public:
    explicit FakeWatcher(bool hostRegistered) : hostRegistered_(hostRegistered) {}
    std::atomic<bool> hostRegistered_;
};

class FakeWatcherAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
public:
    explicit FakeWatcherAdaptor(FakeWatcher* watcher) : QDBusAbstractAdaptor(watcher), watcher_(watcher) {}
    bool isHostRegistered() const { return watcher_->hostRegistered_; }

private:
    FakeWatcher* watcher_;
};

}  // namespace

// GTK desktops get Qt's GTK theme; Plasma and LXQt keep their own plugin; the list may name
// several desktops in any case.
TEST(PlatformTheme, GtkDesktopsGetTheGtkThemeAndOthersKeepQtsChoice) {
    for (const char* desktop : {"GNOME", "ubuntu:GNOME", "X-Cinnamon", "MATE", "XFCE", "Budgie:GNOME", "Pantheon"})
        EXPECT_EQ(platformThemeFor(desktop), std::optional<std::string>("gtk3")) << desktop;
    for (const char* desktop : {"KDE", "LXQt", "", "sway", "openbox"})
        EXPECT_EQ(platformThemeFor(desktop), std::nullopt) << desktop;
}

// A tray exists for the StatusNotifier protocol only when the watcher runs and a host registered
// with it (GNOME without an AppIndicator extension has neither).
TEST(DesktopTray, AStatusNotifierHostCountsOnlyWhenTheWatcherSaysOneRegistered) {
    test::PrivateSessionBus bus;
    if (!bus.isRunning()) GTEST_SKIP() << "no dbus-daemon";
    QDBusConnection client = bus.connect(QStringLiteral("client"));
    EXPECT_FALSE(statusNotifierHostRegistered(client)) << "no watcher on the bus";

    QDBusConnection panel = bus.connect(QStringLiteral("panel"));
    // The watcher answers from a thread of its own, as it would from the panel's process, while
    // this thread waits for its answer.
    QThread panelThread;
    panelThread.start();
    FakeWatcher watcher(false);
    new FakeWatcherAdaptor(&watcher);
    watcher.moveToThread(&panelThread);
    const auto stopThread = qScopeGuard([&] {
        QMetaObject::invokeMethod(&watcher, [&] { watcher.moveToThread(QCoreApplication::instance()->thread()); },
                                  Qt::BlockingQueuedConnection);
        panelThread.quit();
        panelThread.wait();
    });
    ASSERT_TRUE(panel.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher));
    ASSERT_TRUE(panel.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
    EXPECT_FALSE(statusNotifierHostRegistered(client)) << "a watcher without a host";
    watcher.hostRegistered_ = true;
    EXPECT_TRUE(statusNotifierHostRegistered(client));
    EXPECT_TRUE(desktopShowsTray(client));
    // Only GNOME Shell's host is known to draw symbolic icons in the panel's colour.
    EXPECT_TRUE(trayRecoloursSymbolicIcons("ubuntu:GNOME", client));
    EXPECT_FALSE(trayRecoloursSymbolicIcons("KDE", client));
}

#include "DesktopLookTest.moc"

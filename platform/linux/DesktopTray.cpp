#include "platform/linux/DesktopTray.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QGuiApplication>
#include <QSystemTrayIcon>

namespace quillet {

bool statusNotifierHostRegistered(const QDBusConnection& sessionBus) {
    static const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    if (!sessionBus.isConnected() || !sessionBus.interface()) return false;
    if (!sessionBus.interface()->isServiceRegistered(watcher).value()) return false;
    QDBusInterface properties(watcher, QStringLiteral("/StatusNotifierWatcher"), watcher, sessionBus);
    return properties.isValid() && properties.property("IsStatusNotifierHostRegistered").toBool();
}

bool desktopShowsTray(const QDBusConnection& sessionBus) {
    if (statusNotifierHostRegistered(sessionBus)) return true;
    // Qt's own answer covers the XEmbed tray of X11 desktops (it asks for the manager selection).
    return QGuiApplication::platformName() == QLatin1String("xcb") && QSystemTrayIcon::isSystemTrayAvailable();
}

bool trayRecoloursSymbolicIcons(std::string_view currentDesktop, const QDBusConnection& sessionBus) {
    const QStringList desktops = QString::fromUtf8(currentDesktop.data(), qsizetype(currentDesktop.size()))
                                     .split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return desktops.contains(QStringLiteral("GNOME"), Qt::CaseInsensitive) && statusNotifierHostRegistered(sessionBus);
}

}  // namespace quillet

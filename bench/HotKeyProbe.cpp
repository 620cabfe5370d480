// Stands in for the application in bench/hotkey-latency.sh: the real hot key path (X11 adapter,
// manager, main queue) whose Quick Create action maps a small window named "Quillet+ hot key
// probe", hidden again shortly after, so the latency tool can press again.

#include <QGuiApplication>
#include <QRasterWindow>
#include <QTimer>

#include <cstdio>

#include "app/shortcuts/GlobalHotKeyManager.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/X11HotKeyService.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    QRasterWindow window;
    window.setTitle(QStringLiteral("Quillet+ hot key probe"));
    window.resize(120, 80);

    quillet::X11HotKeyService service;
    quillet::QtMainQueue queue;
    quillet::GlobalHotKeyManager manager(service, queue, [&](const quillet::HotKeyAction& action) {
        if (action.kind != quillet::HotKeyAction::Kind::quickCreate || window.isVisible()) return;
        window.show();
        QTimer::singleShot(30, &window, [&] { window.hide(); });
    });
    manager.registerShortcuts(quillet::defaultQuickCreateShortcut, {});
    if (manager.actionsByID().empty()) return 1;
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}

// The least Qt Widgets program with a tray icon: an icon, a menu of one item, nothing else.
// bench/run-idle-memory-bench.sh measures Quillet+ against it in the same session, so the
// figures say what Quillet+ adds to what Qt itself costs. It prints "tray icon shown" once the
// icon is handed to the tray.

#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QMenu menu;
    menu.addAction(QStringLiteral("Quit"), &application, &QApplication::quit);
    QPixmap image(22, 22);
    image.fill(Qt::black);
    QSystemTrayIcon icon{QIcon(image)};
    icon.setContextMenu(&menu);
    icon.show();
    std::puts("tray icon shown");
    std::fflush(stdout);
    return application.exec();
}

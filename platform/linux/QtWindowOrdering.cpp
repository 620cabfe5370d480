#include "platform/linux/QtWindowOrdering.h"

#include <QApplication>
#include <QWidget>

#include "platform/linux/X11Connection.h"

namespace quillet {

bool QtWindowOrdering::orderFrontFirstWindow(const std::function<bool(const WindowDescription&)>& matches) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!widget->isWindow() || widget->windowType() == Qt::Desktop) continue;
        const WindowDescription description{widget->windowTitle().toStdString(), widget->windowType() != Qt::Window};
        if (!matches(description)) continue;
        if (widget->isMinimized()) widget->showNormal();
        widget->show();
        widget->raise();
        widget->activateWindow();
        return true;
    }
    return false;
}

void QtWindowOrdering::orderFrontOnEveryDesktop(NativeWindowID window, uint32_t userActionTime) {
    X11Connection x11 = X11Connection::ofApplication();
    if (!x11) return;
    const auto id = static_cast<xcb_window_t>(window);
    x11.requestOnEveryDesktop(id);
    // The key press that asked for the window is the user's action that entitles it to the focus.
    if (userActionTime != 0) x11.requestActivation(id, userActionTime);
    x11.flush();
}

}  // namespace quillet

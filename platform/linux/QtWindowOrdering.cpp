#include "platform/linux/QtWindowOrdering.h"

#include <QApplication>
#include <QWidget>

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

}  // namespace quillet

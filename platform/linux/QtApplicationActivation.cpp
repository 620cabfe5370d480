#include "platform/linux/QtApplicationActivation.h"

#include <QApplication>
#include <QWidget>

namespace quillet {

namespace {

bool isRaisable(const QWidget* widget) {
    if (!widget->isWindow() || !widget->isVisible()) return false;
    const Qt::WindowType type = widget->windowType();
    return type != Qt::Popup && type != Qt::ToolTip && type != Qt::SplashScreen &&
           type != Qt::Desktop;
}

}  // namespace

void QtApplicationActivation::activateIgnoringOtherApps() {
    QWidget* focusTarget = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!isRaisable(widget)) continue;
        widget->raise();
        // Prefer an ordinary window over a floating tool panel for the keyboard focus.
        if (!focusTarget || (focusTarget->windowType() == Qt::Tool && widget->windowType() != Qt::Tool))
            focusTarget = widget;
    }
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) focusTarget = modal;
    if (focusTarget) focusTarget->activateWindow();
}

bool QtApplicationActivation::isActive() const {
    // Platforms without an application state of their own leave it "active" once a window had
    // the focus; the active window is what tells whether one has it now.
    return QGuiApplication::applicationState() == Qt::ApplicationActive &&
           QApplication::activeWindow() != nullptr;
}

}  // namespace quillet

#include "platform/linux/QtApplicationWindows.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace quillet {

void QtApplicationWindows::closeWindows(const std::function<bool(const WindowDescription&)>& shouldClose) {
    // Closing may delete a window (and its children); each is looked at through a guard.
    QList<QPointer<QWidget>> windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isWindow() && widget->isVisible()) windows << widget;
    for (const QPointer<QWidget>& window : windows) {
        if (!window || !window->isVisible()) continue;
        const WindowDescription description{window->windowTitle().toStdString(),
                                            window->windowType() != Qt::Window};
        if (shouldClose(description)) window->close();
    }
}

}  // namespace quillet

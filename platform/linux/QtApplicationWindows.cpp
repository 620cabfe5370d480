#include "platform/linux/QtApplicationWindows.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

#include "platform/linux/X11Connection.h"

namespace quillet {

namespace {

// Marks the windows the accessory policy turned into tool windows, so regular turns back only those.
constexpr const char* kMadeToolProperty = "quilletAccessoryTool";

bool isRaisable(const QWidget* widget) {
    if (!widget->isWindow() || !widget->isVisible()) return false;
    const Qt::WindowType type = widget->windowType();
    return type != Qt::Popup && type != Qt::ToolTip && type != Qt::SplashScreen && type != Qt::Desktop;
}

WindowDescription describe(const QWidget& window) {
    return {window.windowTitle().toStdString(), window.windowType() != Qt::Window};
}

}  // namespace

QtApplicationWindows::QtApplicationWindows() = default;

QtApplicationWindows::~QtApplicationWindows() {
    if (watchingWindows_ && QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

void QtApplicationWindows::activateIgnoringOtherApps() {
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

bool QtApplicationWindows::isActive() const {
    // Platforms without an application state of their own leave it "active" once a window had
    // the focus; the active window is what tells whether one has it now.
    return QGuiApplication::applicationState() == Qt::ApplicationActive && QApplication::activeWindow() != nullptr;
}

void QtApplicationWindows::setActivationPolicy(ActivationPolicyKind policy) {
    policy_ = policy;
    if (!watchingWindows_) {
        QCoreApplication::instance()->installEventFilter(this);
        watchingWindows_ = true;
    }
    for (QWidget* window : QApplication::topLevelWidgets()) applyPolicy(*window);
}

bool QtApplicationWindows::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
        // Not while Qt is showing it: the type is changed once the show has finished.
        QPointer<QWidget> window = static_cast<QWidget*>(watched);
        QMetaObject::invokeMethod(
            this, [this, window] { if (window) applyPolicy(*window); }, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void QtApplicationWindows::applyPolicy(QWidget& window) {
    const bool madeTool = window.property(kMadeToolProperty).toBool();
    const bool wantTool = policy_ == ActivationPolicyKind::accessory;
    if (wantTool == madeTool) return;
    if (wantTool && window.windowType() != Qt::Window) return;  // dialogs, popups and panels stay
    const bool visible = window.isVisible();
    const Qt::WindowFlags flags = window.windowFlags() & ~Qt::WindowType_Mask;
    window.setWindowFlags(flags | (wantTool ? Qt::Tool : Qt::Window));
    window.setProperty(kMadeToolProperty, wantTool);
    // Changing the type hides a shown window; it comes back where it was.
    if (visible) window.show();
}

void QtApplicationWindows::closeWindows(const std::function<bool(const WindowDescription&)>& shouldClose) {
    // Closing may delete a window (and its children); each is looked at through a guard.
    QList<QPointer<QWidget>> windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isWindow() && widget->isVisible()) windows << widget;
    for (const QPointer<QWidget>& window : windows) {
        if (!window || !window->isVisible()) continue;
        if (!shouldClose(describe(*window))) continue;
        window->setProperty(kClosedByApplicationProperty, true);
        window->close();
    }
}

bool QtApplicationWindows::orderFrontFirstWindow(const std::function<bool(const WindowDescription&)>& matches) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!widget->isWindow() || widget->windowType() == Qt::Desktop) continue;
        if (!matches(describe(*widget))) continue;
        if (widget->isMinimized()) widget->showNormal();
        widget->show();
        widget->raise();
        widget->activateWindow();
        return true;
    }
    return false;
}

void QtApplicationWindows::orderFrontOnEveryDesktop(NativeWindowID window, uint32_t userActionTime) {
    if (!x11_) x11_ = X11Connection::ofApplication();
    X11Connection& x11 = *x11_;
    if (!x11) return;
    const auto id = static_cast<xcb_window_t>(window);
    x11.requestOnEveryDesktop(id);
    // The key press that asked for the window is the user's action that entitles it to the focus;
    // without its time (a global shortcut of the desktop's, another launch) the request says so.
    x11.requestActivation(id, userActionTime);
    x11.flush();
}

}  // namespace quillet

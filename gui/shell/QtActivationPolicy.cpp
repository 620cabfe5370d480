#include "gui/shell/QtActivationPolicy.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace quillet {

namespace {

// Marks the windows this policy turned into tool windows, so regular turns back only those.
constexpr const char* kMadeToolProperty = "quilletAccessoryTool";

}  // namespace

QtActivationPolicy::QtActivationPolicy() { QApplication::instance()->installEventFilter(this); }

QtActivationPolicy::~QtActivationPolicy() {
    if (QApplication::instance()) QApplication::instance()->removeEventFilter(this);
}

void QtActivationPolicy::setActivationPolicy(ActivationPolicyKind policy) {
    policy_ = policy;
    for (QWidget* window : QApplication::topLevelWidgets()) apply(*window);
}

bool QtActivationPolicy::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
        // Not while Qt is showing it: the type is changed once the show has finished.
        QPointer<QWidget> window = static_cast<QWidget*>(watched);
        QMetaObject::invokeMethod(
            this, [this, window] { if (window) apply(*window); }, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void QtActivationPolicy::apply(QWidget& window) {
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

}  // namespace quillet

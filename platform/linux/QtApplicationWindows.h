#pragma once

#include <QObject>

#include <optional>

#include "platform/ApplicationWindows.h"
#include "platform/linux/X11Connection.h"

class QWidget;

namespace quillet {

// The application's top-level widgets. Anything but an ordinary window (dialogs, tool windows
// such as the Quick Create panel, popups) counts as a panel.
//
// Activation raises the visible windows and asks the window manager to focus one of them; one
// with focus-stealing prevention may only mark the window as demanding attention, and there is
// no stronger request an X11 or Wayland client can make. Desktops and the user's action time are
// told to the window manager through Qt's X11 connection; without one (Wayland, offscreen) Qt's
// own raising is all there is. An accessory application's ordinary windows are made tool
// windows, which taskbars and application switchers leave out; regular turns them back, and
// windows that appear later are adjusted right after they are shown.
class QtApplicationWindows final : public QObject, public ApplicationWindows {
public:
    QtApplicationWindows();
    ~QtApplicationWindows() override;

    void activateIgnoringOtherApps() override;
    bool isActive() const override;
    void setActivationPolicy(ActivationPolicyKind policy) override;
    ActivationPolicyKind activationPolicy() const override { return policy_; }
    void closeWindows(const std::function<bool(const WindowDescription&)>& shouldClose) override;
    bool orderFrontFirstWindow(const std::function<bool(const WindowDescription&)>& matches) override;
    void orderFrontOnEveryDesktop(NativeWindowID window, uint32_t userActionTime) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyPolicy(QWidget& window);

    ActivationPolicyKind policy_ = ActivationPolicyKind::regular;
    // Windows are watched once a policy was set: before that every window is as Qt made it.
    bool watchingWindows_ = false;
    // Qt's X11 connection with the window manager's atoms, looked up at the first request and
    // kept, so that opening a window is not held up by a round of atom look-ups every time.
    std::optional<X11Connection> x11_;
};

}  // namespace quillet

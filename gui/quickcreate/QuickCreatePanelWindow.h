#pragma once

#include <optional>

#include <QWidget>

#include <memory>

#include "app/quickcreate/QuickCreatePanelHost.h"
#include "app/quickcreate/QuickCreatePanelModel.h"
#include "shared/text/Translation.h"

namespace quillet {

class QuickCreatePanelView;
class ScreenLayout;
class ApplicationWindows;

// The floating tool window around the Quick Create panel: above normal windows, on every
// desktop, moved by dragging its background, hidden (never destroyed) by Escape and by closing.
// Like a panel of a menu bar application it steps aside while Quillet+ is not the active
// application and comes back when it is again.
class QuickCreatePanelWindow final : public QWidget, public QuickCreatePanelHost {
    Q_OBJECT
public:
    static constexpr int kMinimumWidth = 520;
    static constexpr int kMinimumHeight = 520;
    static constexpr const char* kTitle = N_("Create File");

    // `windows` asks the window manager for every desktop and the focus; `screens` converts
    // placement coordinates into Qt's.
    QuickCreatePanelWindow(DesktopCreationController& controller, ApplicationWindows& windows, const ScreenLayout& screens);
    ~QuickCreatePanelWindow() override;

    ScreenSize frameSize() const override;
    void setFrameOrigin(ScreenPoint origin) override;
    void makeKeyAndOrderFront(uint32_t eventTimestamp) override;
    void orderOut() override;
    bool isVisible() const override { return QWidget::isVisible(); }

    QuickCreatePanelView* view() const { return view_; }
    const QuickCreatePanelModel& model() const { return model_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Without a window manager's frame, a hairline of its own sets the panel off from what is
    // behind it.
    void paintEvent(QPaintEvent* event) override;

private:
    void applicationStateChanged(Qt::ApplicationState state);
    void placeAgainOnceFramed(int attemptsLeft);

    ApplicationWindows& windows_;
    const ScreenLayout& screens_;
    QuickCreatePanelModel model_;
    QuickCreatePanelView* view_ = nullptr;
    // Hidden because the application went inactive, to be shown again when it is active.
    bool hiddenWhileInactive_ = false;
    // Whether the panel has had the focus since it was last shown. Until it has, the application
    // going inactive is old news (focus leaving the panel hidden a moment ago), not another
    // application coming forward.
    bool activeSinceShown_ = false;
    Qt::ApplicationState applicationState_ = Qt::ApplicationActive;
    // Before its first showing the window manager's frame is unknown, so the first placement
    // is made again once the frame is there.
    std::optional<ScreenPoint> unframedOrigin_;
};

// Builds the panel window over the ports it needs from the platform.
class QuickCreatePanelWindowFactory final : public QuickCreatePanelFactory {
public:
    QuickCreatePanelWindowFactory(ApplicationWindows& windows, const ScreenLayout& screens);
    std::unique_ptr<QuickCreatePanelHost> makeQuickCreatePanel(DesktopCreationController& controller) override;

private:
    ApplicationWindows& windows_;
    const ScreenLayout& screens_;
};

}  // namespace quillet

#pragma once

#include <optional>

#include <QWidget>

#include <memory>

#include "app/quickcreate/QuickCreatePanelHost.h"
#include "app/quickcreate/QuickCreatePanelModel.h"

namespace quillet {

class QuickCreatePanelView;

// The floating tool window around the Quick Create panel: above normal windows, on every
// desktop, moved by dragging its background, hidden (never destroyed) by Escape and by closing.
// Like a panel of a menu bar application it steps aside while Quillet+ is not the active
// application and comes back when it is again.
class QuickCreatePanelWindow final : public QWidget, public QuickCreatePanelHost {
    Q_OBJECT
public:
    static constexpr int kMinimumWidth = 520;
    static constexpr int kMinimumHeight = 520;
    static constexpr const char* kTitle = "Create File";

    explicit QuickCreatePanelWindow(DesktopCreationController& controller);
    ~QuickCreatePanelWindow() override;

    ScreenSize frameSize() const override;
    void setFrameOrigin(ScreenPoint origin) override;
    void makeKeyAndOrderFront(uint32_t eventTimestamp) override;
    void orderOut() override;
    bool isVisible() const override { return QWidget::isVisible(); }

    QuickCreatePanelView* view() const { return view_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void applicationStateChanged(Qt::ApplicationState state);
    void askWindowManager(uint32_t eventTimestamp);
    void placeAgainOnceFramed(int attemptsLeft);

    QuickCreatePanelModel model_;
    QuickCreatePanelView* view_ = nullptr;
    // Hidden because the application went inactive, to be shown again when it is active.
    bool hiddenWhileInactive_ = false;
    // Before its first showing the window manager's frame is unknown, so the first placement
    // is made again once the frame is there.
    std::optional<ScreenPoint> unframedOrigin_;
};

class QuickCreatePanelWindowFactory final : public QuickCreatePanelFactory {
public:
    std::unique_ptr<QuickCreatePanelHost> makeQuickCreatePanel(DesktopCreationController& controller) override;
};

}  // namespace quillet

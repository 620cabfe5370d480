#include "gui/quickcreate/QuickCreatePanelWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include "gui/quickcreate/QuickCreatePanelView.h"
#include "gui/style/AppStyle.h"
#include "platform/ScreenLayout.h"
#include "platform/ApplicationWindows.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace {
constexpr std::chrono::milliseconds kInactiveGrace{150};
}  // namespace

QuickCreatePanelWindow::QuickCreatePanelWindow(DesktopCreationController& controller, ApplicationWindows& windows,
                                               const ScreenLayout& screens)
    // An undecorated pop-up: no title bar, so no minimise or maximise; Escape closes it and its
    // background moves it. A tool window, unlike Qt::Popup, takes the keyboard focus the hot key
    // asks for and grabs neither the mouse nor the keyboard.
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      windows_(windows),
      screens_(screens),
      model_(controller) {
    setWindowTitle(QString::fromUtf8(translate(kTitle)));
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    view_ = new QuickCreatePanelView(model_, this);
    layout->addWidget(view_);
    resize(QuickCreatePanelView::kWidth, QuickCreatePanelView::kHeight);

    // Escape hides, wherever the focus is in the panel.
    auto* cancel = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    cancel->setContext(Qt::WindowShortcut);
    connect(cancel, &QShortcut::activated, this, [this] { orderOut(); });

    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) { applicationStateChanged(state); });
}

QuickCreatePanelWindow::~QuickCreatePanelWindow() {
    // The view talks to the model until it is gone, and child widgets would otherwise outlive
    // the members.
    delete view_;
}

ScreenSize QuickCreatePanelWindow::frameSize() const {
    const QRect frame = frameGeometry();
    return {static_cast<double>(frame.width()), static_cast<double>(frame.height())};
}

void QuickCreatePanelWindow::setFrameOrigin(ScreenPoint origin) {
    const ScreenSize size = frameSize();
    const ScreenRect frame = flipped(ScreenRect{origin.x, origin.y, size.width, size.height}, screens_.mainScreenBottom());
    move(QPointF(frame.x, frame.y).toPoint());  // a window's position includes its frame
    if (frameGeometry() == geometry())
        unframedOrigin_ = origin;
    else
        unframedOrigin_.reset();
}

void QuickCreatePanelWindow::placeAgainOnceFramed(int attemptsLeft) {
    if (!unframedOrigin_ || !QWidget::isVisible()) return;
    if (frameGeometry() != geometry()) {
        // The origin is the frame's bottom left: with the real frame height the same bottom edge
        // puts the window where it was meant to be.
        setFrameOrigin(*unframedOrigin_);
        unframedOrigin_.reset();
        return;
    }
    if (attemptsLeft > 0)
        QTimer::singleShot(20, this, [this, attemptsLeft] { placeAgainOnceFramed(attemptsLeft - 1); });
}

void QuickCreatePanelWindow::makeKeyAndOrderFront(uint32_t eventTimestamp) {
    hiddenWhileInactive_ = false;
    activeSinceShown_ = isActiveWindow();
    show();
    raise();
    activateWindow();
    windows_.orderFrontOnEveryDesktop(winId(), eventTimestamp);
    model_.resetSelection();  // every opening starts at the first match
    view_->focusSearchField();
    placeAgainOnceFramed(25);
}

void QuickCreatePanelWindow::orderOut() {
    hiddenWhileInactive_ = false;
    hide();
    model_.prepareNextOpening();
}

void QuickCreatePanelWindow::closeEvent(QCloseEvent* event) {
    event->ignore();  // the same panel is shown again next time
    orderOut();
}

void QuickCreatePanelWindow::mousePressEvent(QMouseEvent* event) {
    // Presses that no control took land here: the background moves the window.
    if (event->button() == Qt::LeftButton && windowHandle() && windowHandle()->startSystemMove()) {
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void QuickCreatePanelWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(appstyle::separator(palette()));
    painter.setBrush(palette().color(QPalette::Window));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void QuickCreatePanelWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) activeSinceShown_ = true;
    QWidget::changeEvent(event);
}

void QuickCreatePanelWindow::applicationStateChanged(Qt::ApplicationState state) {
    applicationState_ = state;
    if (state == Qt::ApplicationActive) {
        if (hiddenWhileInactive_) {
            hiddenWhileInactive_ = false;
            show();
            raise();
        }
        return;
    }
    // A dialog of our own (the access prompt, an alert) keeps the application active; another
    // application coming forward does not.
    // Shown again within moments of being hidden, the panel can hear of the focus its last
    // showing lost only after it is back; hiding it then would leave it hidden for good. So
    // the application has to stay inactive a moment, with the panel having had the focus.
    QTimer::singleShot(kInactiveGrace, this, [this] {
        if (applicationState_ != Qt::ApplicationActive && QWidget::isVisible() && activeSinceShown_) {
            hide();
            hiddenWhileInactive_ = true;
        }
    });
}

QuickCreatePanelWindowFactory::QuickCreatePanelWindowFactory(ApplicationWindows& windows, const ScreenLayout& screens)
    : windows_(windows), screens_(screens) {}

std::unique_ptr<QuickCreatePanelHost> QuickCreatePanelWindowFactory::makeQuickCreatePanel(
    DesktopCreationController& controller) {
    return std::make_unique<QuickCreatePanelWindow>(controller, windows_, screens_);
}

}  // namespace quillet

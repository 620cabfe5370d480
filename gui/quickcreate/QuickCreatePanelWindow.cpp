#include "gui/quickcreate/QuickCreatePanelWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstring>

#include "gui/quickcreate/QuickCreatePanelView.h"
#include "platform/linux/QtScreenLayout.h"

namespace quillet {

namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    auto cookie = xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply) return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootOf(xcb_connection_t* connection) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
    return it.rem ? it.data->root : xcb_window_t{XCB_WINDOW_NONE};
}

void sendClientMessage(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t type,
                       std::initializer_list<uint32_t> data) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    size_t i = 0;
    for (uint32_t value : data) event.data.data32[i++] = value;
    xcb_send_event(connection, 0, rootOf(connection),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&event));
}

constexpr uint32_t kAllDesktops = 0xFFFFFFFF;
constexpr uint32_t kSourceApplication = 1;

}  // namespace

QuickCreatePanelWindow::QuickCreatePanelWindow(DesktopCreationController& controller)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      model_(controller) {
    setWindowTitle(QString::fromUtf8(kTitle));
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
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
    const QPointF topLeft = QtScreenLayout::toTopLeft(ScreenRect{origin.x, origin.y, size.width, size.height}).topLeft();
    move(topLeft.toPoint());  // a window's position includes its frame
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
    show();
    raise();
    activateWindow();
    askWindowManager(eventTimestamp);
    view_->focusSearchField();
    placeAgainOnceFramed(25);
}

void QuickCreatePanelWindow::askWindowManager(uint32_t eventTimestamp) {
    xcb_connection_t* connection = x11Connection();
    if (!connection) return;
    const xcb_window_t window = static_cast<xcb_window_t>(winId());
    // On every desktop, like a panel that joins all spaces.
    sendClientMessage(connection, window, internAtom(connection, "_NET_WM_DESKTOP"), {kAllDesktops, kSourceApplication});
    if (eventTimestamp != 0) {
        // The key press that asked for the panel is the user's action that entitles it to the
        // focus; window managers that prevent focus stealing compare this time.
        const xcb_atom_t userTime = internAtom(connection, "_NET_WM_USER_TIME");
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, userTime, XCB_ATOM_CARDINAL, 32, 1, &eventTimestamp);
        sendClientMessage(connection, window, internAtom(connection, "_NET_ACTIVE_WINDOW"),
                          {kSourceApplication, eventTimestamp, XCB_WINDOW_NONE});
    }
    xcb_flush(connection);
}

void QuickCreatePanelWindow::orderOut() {
    hiddenWhileInactive_ = false;
    hide();
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

void QuickCreatePanelWindow::applicationStateChanged(Qt::ApplicationState state) {
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
    if (QWidget::isVisible()) {
        hide();
        hiddenWhileInactive_ = true;
    }
}

std::unique_ptr<QuickCreatePanelHost> QuickCreatePanelWindowFactory::makeQuickCreatePanel(
    DesktopCreationController& controller) {
    return std::make_unique<QuickCreatePanelWindow>(controller);
}

}  // namespace quillet

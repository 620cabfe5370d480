// The X11 helper against a real X server with a window manager: run under
// tests/support/x11-session.sh --wm (see tests/platform/linux/CMakeLists.txt). Windows and their
// properties are made by a second client, as other programs would make them.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <QtGui/qguiapplication_platform.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/linux/DisplayPlatform.h"
#include "platform/linux/X11Connection.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/X11TestClient.h"

namespace quillet {
namespace {

std::string display() { return qEnvironmentVariable("DISPLAY").toStdString(); }

TEST(X11Connection, OpensTheDisplayItIsGivenOrBorrowsQtsAndIsOtherwiseNotConnected) {
    EXPECT_FALSE(X11Connection::open(""));
    EXPECT_FALSE(X11Connection::open(":4711"));  // no server there

    X11Connection own = X11Connection::open(display());
    ASSERT_TRUE(own);
    ASSERT_FALSE(own.roots().empty());
    EXPECT_EQ(own.root(), own.roots().front());

    X11Connection application = X11Connection::ofApplication();
    ASSERT_TRUE(application);
    EXPECT_EQ(application.get(), qApp->nativeInterface<QNativeInterface::QX11Application>()->connection());
    EXPECT_EQ(application.roots(), own.roots());

    // Moving hands the connection over; a borrowed one stays open for Qt when dropped.
    X11Connection moved = std::move(application);
    EXPECT_TRUE(moved);
    EXPECT_FALSE(application);  // NOLINT(bugprone-use-after-move): moved-from is not connected
    moved = X11Connection();
    EXPECT_FALSE(xcb_connection_has_error(X11Connection::ofApplication().get()));
}

// The platform is chosen from the addresses the root hands in, not from this process's
// environment: the session's display gives xcb; no display, or one nobody serves, gives none.
TEST(DisplayPlatform, ChoosesFromTheAddressesItIsGiven) {
    test::TemporaryFolder runtime;
    DesktopSessionAddresses session;
    session.runtimeDirectory = runtime.path();
    EXPECT_EQ(availableDisplayPlatform(session), std::nullopt);
    session.display = ":4711";
    EXPECT_EQ(availableDisplayPlatform(session), std::nullopt);
    // A Wayland name that no compositor serves falls through to X11.
    session.waylandDisplay = "wayland-quillet-test";
    session.display = display();
    EXPECT_EQ(availableDisplayPlatform(session), std::optional<std::string>("xcb"));
    // The user's choice is taken where it can start and passed over where it cannot.
    session.requestedPlatform = "wayland;xcb";
    EXPECT_EQ(availableDisplayPlatform(session), std::optional<std::string>("xcb"));
    session.requestedPlatform = "offscreen";
    EXPECT_EQ(availableDisplayPlatform(session), std::optional<std::string>("xcb"));
    session.display = ":4711";
    session.requestedPlatform = "xcb";
    EXPECT_EQ(availableDisplayPlatform(session), std::nullopt);
}

// A real Wayland compositor beside the X server: X11 first, unless the user asks for Wayland.
TEST(DisplayPlatform, PrefersXWaylandUnlessWaylandIsAsked) {
    test::TemporaryFolder runtime;
    const std::filesystem::path socketPath = runtime.path() / "wayland-quillet-test";
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(::listen(fd, 4), 0);
    DesktopSessionAddresses session;
    session.runtimeDirectory = runtime.path();
    session.waylandDisplay = "wayland-quillet-test";
    session.display = display();
    EXPECT_EQ(availableDisplayPlatform(session), std::optional<std::string>("xcb"));
    session.requestedPlatform = "wayland";
    EXPECT_EQ(availableDisplayPlatform(session), std::optional<std::string>("wayland"));
    session.display.clear();
    session.requestedPlatform = "xcb";
    EXPECT_EQ(availableDisplayPlatform(session), std::optional<std::string>("wayland"));
    ::close(fd);
}

TEST(X11Connection, ReadsClassTitleStateAndTextOfManyWindowsAtOnce) {
    test::X11TestClient client;
    ASSERT_TRUE(client.ok());
    X11Connection x11 = X11Connection::open(display());
    ASSERT_TRUE(x11);
    const xcb_atom_t state = client.atom("_NET_WM_STATE");
    const xcb_atom_t objectPath = client.atom("_GTK_WINDOW_OBJECT_PATH");

    const xcb_window_t browser = client.makeWindow(), dialog = client.makeWindow(), odd = client.makeWindow(),
                       bare = client.makeWindow(), gone = client.makeWindow();
    using namespace std::string_view_literals;
    client.setBytes(browser, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, "org.gnome.Nautilus\0org.gnome.Nautilus\0"sv);
    client.setBytes(browser, client.atom("_NET_WM_NAME"), client.atom("UTF8_STRING"), "Reports Q");
    client.setBytes(browser, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "an older name");
    client.setList(browser, state, XCB_ATOM_ATOM, {client.atom("_NET_WM_STATE_ABOVE"), client.atom("_NET_WM_STATE_HIDDEN")});
    client.setBytes(browser, objectPath, XCB_ATOM_STRING, "/org/gnome/Nautilus/window/1");
    // Without the last NUL, and a title only in WM_NAME.
    client.setBytes(dialog, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, "dialog\0Properties"sv);
    client.setBytes(dialog, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "Plain title");
    client.setList(dialog, state, XCB_ATOM_ATOM, {client.atom("_NET_WM_STATE_ABOVE")});
    // Any client may set a class with no NUL at all.
    client.setBytes(odd, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, "abcd");
    xcb_destroy_window(client.connection(), gone);
    client.sync();

    const std::vector<xcb_window_t> windows{browser, dialog, odd, bare, gone};
    EXPECT_EQ(x11.windowClasses(windows),
              (std::vector<std::string>{"org.gnome.Nautilus", "Properties", "", "", ""}));
    EXPECT_EQ(x11.windowTitles(windows), (std::vector<std::string>{"Reports Q", "Plain title", "", "", ""}));
    EXPECT_EQ(x11.windowsHidden(windows), (std::vector<bool>{true, false, false, false, false}));
    EXPECT_EQ(x11.textProperties(windows, x11.atom("_GTK_WINDOW_OBJECT_PATH", true)),
              (std::vector<std::string>{"/org/gnome/Nautilus/window/1", "", "", "", ""}));
    EXPECT_EQ(x11.atom("_QUILLET_NO_CLIENT_MADE_THIS", true), xcb_atom_t{XCB_ATOM_NONE});
    EXPECT_TRUE(x11.windowClasses({}).empty());
}

TEST(X11Connection, ListsTheManagedWindowsTopmostFirst) {
    test::X11TestClient client;
    ASSERT_TRUE(client.ok());
    X11Connection x11 = X11Connection::open(display());
    ASSERT_TRUE(x11);
    const xcb_window_t lower = client.makeWindow(), upper = client.makeWindow();
    auto position = [&](xcb_window_t window) {
        const auto stack = x11.clientWindowsTopmostFirst().value_or(std::vector<xcb_window_t>{});
        return std::find(stack.begin(), stack.end(), window) - stack.begin();
    };
    auto listed = [&](xcb_window_t window) {
        const auto stack = x11.clientWindowsTopmostFirst().value_or(std::vector<xcb_window_t>{});
        return std::find(stack.begin(), stack.end(), window) != stack.end();
    };
    client.map(lower);
    ASSERT_TRUE(QTest::qWaitFor([&] { return listed(lower); }, 5000));
    client.map(upper);
    ASSERT_TRUE(QTest::qWaitFor([&] { return listed(upper); }, 5000));
    // The window manager may list a new window before it has raised it: wait for the stacking
    // to settle. A list read bottom-first never gets there.
    EXPECT_TRUE(QTest::qWaitFor([&] { return position(upper) < position(lower); }, 5000))
        << "upper at " << position(upper) << ", lower at " << position(lower);
}

}  // namespace
}  // namespace quillet

int main(int argc, char** argv) {
    // These tests are about the X11 connection: never let Qt pick another platform.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The application windows adapter on a real X server with a window manager (openbox), which keeps
// the desktops and the active window; see X11ConnectionTest.cpp for how it runs.

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include "platform/linux/QtApplicationWindows.h"
#include "tests/support/X11TestClient.h"

namespace quillet {
namespace {

constexpr uint32_t kAllDesktops = 0xFFFFFFFF;

TEST(QtWindowOrderingOnX11, PutsAWindowOnEveryDesktopAndFocusesItForTheUsersAction) {
    test::X11TestClient client;
    ASSERT_TRUE(client.ok());
    const xcb_atom_t active = client.atom("_NET_ACTIVE_WINDOW");
    const xcb_atom_t desktop = client.atom("_NET_WM_DESKTOP");
    const xcb_atom_t userTime = client.atom("_NET_WM_USER_TIME");

    QWidget panel(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
    panel.setWindowTitle(QStringLiteral("Panel"));
    panel.resize(200, 150);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    QWidget other;
    other.setWindowTitle(QStringLiteral("Other"));
    other.resize(200, 150);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    other.activateWindow();
    const auto panelID = static_cast<xcb_window_t>(panel.winId());
    const auto otherID = static_cast<xcb_window_t>(other.winId());
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.cardinal(client.root(), active) == otherID; }, 5000));
    ASSERT_NE(client.cardinal(panelID, desktop), kAllDesktops);

    // Without the time of the user's action (a desktop's shortcut, another launch) the panel is
    // asked for as a taskbar asks for a window.
    QtApplicationWindows ordering;
    ordering.orderFrontOnEveryDesktop(panel.winId(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return client.cardinal(panelID, desktop) == kAllDesktops; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return client.cardinal(client.root(), active) == panelID; }, 5000));

    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.cardinal(client.root(), active) == otherID; }, 5000));
    const uint32_t time = client.serverTime();
    ordering.orderFrontOnEveryDesktop(panel.winId(), time);
    // Set through Qt's connection: this one sees it once the server has taken the request.
    EXPECT_TRUE(QTest::qWaitFor([&] { return client.cardinal(panelID, userTime) == time; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return client.cardinal(client.root(), active) == panelID; }, 5000));
    EXPECT_EQ(client.cardinal(panelID, desktop), kAllDesktops);
}

}  // namespace
}  // namespace quillet

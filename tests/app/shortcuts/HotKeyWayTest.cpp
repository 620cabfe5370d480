#include <gtest/gtest.h>

#include "app/shortcuts/HotKeyWay.h"

using namespace quillet;

TEST(HotKeyWay, TheSessionDecidesNotTheToolkit) {
    const auto way = [](std::string type, std::string wayland, std::string desktop, bool portal, bool gnome) {
        return chooseHotKeyWay(HotKeySession{std::move(type), std::move(wayland), std::move(desktop), portal, gnome});
    };
    // An X11 session grabs keys, whatever else is offered.
    EXPECT_EQ(way("x11", "", "GNOME", true, true), HotKeyWay::x11);
    EXPECT_EQ(way("", "", "", false, false), HotKeyWay::x11);
    EXPECT_EQ(way("tty", "", "", false, false), HotKeyWay::x11);
    // Wayland by its session type, or by its display where the type is not given.
    EXPECT_EQ(way("wayland", "", "KDE", true, false), HotKeyWay::portal);
    EXPECT_EQ(way("", "wayland-0", "KDE", true, false), HotKeyWay::portal);
    EXPECT_EQ(way("x11", "wayland-0", "KDE", true, false), HotKeyWay::x11);
    // The portal first, even on GNOME; GNOME's key bindings only where the schemas are installed.
    EXPECT_EQ(way("wayland", "wayland-0", "GNOME", true, true), HotKeyWay::portal);
    EXPECT_EQ(way("wayland", "wayland-0", "ubuntu:GNOME", false, true), HotKeyWay::gnomeKeybindings);
    EXPECT_EQ(way("wayland", "wayland-0", "GNOME-Classic:GNOME", false, true), HotKeyWay::gnomeKeybindings);
    EXPECT_EQ(way("wayland", "wayland-0", "GNOMEISH", false, true), HotKeyWay::unavailable);
    EXPECT_EQ(way("wayland", "wayland-0", "GNOME", false, false), HotKeyWay::unavailable);
    EXPECT_EQ(way("wayland", "wayland-0", "sway", false, true), HotKeyWay::unavailable);

    // GNOME's key bindings stand behind a portal only on GNOME, where they are installed.
    EXPECT_TRUE(hasKeybindingFallback({"wayland", "w", "ubuntu:GNOME", true, true}));
    EXPECT_FALSE(hasKeybindingFallback({"wayland", "w", "GNOME", true, false}));
    EXPECT_FALSE(hasKeybindingFallback({"wayland", "w", "KDE", true, true}));
    EXPECT_FALSE(hasKeybindingFallback({"wayland", "w", "GNOME", false, true})) << "the key bindings are the way";
}

TEST(HotKeyWay, TheLogSaysWhyNoWayIsOffered) {
    EXPECT_EQ(unavailableReason({"wayland", "w", "sway", false, false}),
              "the Wayland session has no global shortcuts portal and its desktop (sway) takes no key bindings from "
              "applications");
    EXPECT_EQ(unavailableReason({"wayland", "w", "GNOME", false, false}),
              "the Wayland session has no global shortcuts portal and GNOME's key binding settings are not installed");
    EXPECT_EQ(unavailableReason({"wayland", "w", "GNOME", true, false}), "");
    EXPECT_EQ(hotKeyWayName(HotKeyWay::gnomeKeybindings), "gnome-keybindings");
}

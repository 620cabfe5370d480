// Hot keys against a real X server: run under tests/support/x11-session.sh (see
// tests/platform/linux/CMakeLists.txt). Presses are typed through XTest by a second client.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTest>

#include <memory>
#include <vector>

#include "app/shortcuts/GlobalHotKeyManager.h"
#include "shared/logging/Logger.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/X11HotKeyService.h"
#include "tests/support/XTestKeyboard.h"

namespace quillet {
namespace {

using test::XTestKeyboard;

constexpr xcb_keysym_t kN = 'n', kM = 'm', kT = 't';
constexpr QuickCreateShortcut kControlShiftM{46, kCarbonControlKey | kCarbonShiftKey};
constexpr QuickCreateShortcut kCommandOptionT{17, kCarbonCommandKey | kCarbonOptionKey};

class X11HotKeyServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(keyboard.ok());
        manager = std::make_unique<GlobalHotKeyManager>(
            service, queue, [this](const HotKeyAction& action) { performed.push_back(action); });
    }
    void TearDown() override {
        manager.reset();
        // Lock keys left on would leak into the next test.
        for (int i = 0; i < 2 && (keyboard.modifierState() & XCB_MOD_MASK_LOCK); ++i)
            keyboard.tap({}, test::kCapsLockKeysym);
        auto numLock = service.lockMasks().numLock;
        if (numLock && (keyboard.modifierState() & numLock)) keyboard.tap({}, test::kNumLockKeysym);
    }

    // Waits for the next performed action; nothing when none comes within the time.
    std::optional<HotKeyAction> nextAction(int milliseconds = 2000) {
        const size_t before = performed.size();
        (void)QTest::qWaitFor([&] { return performed.size() > before; }, milliseconds);
        if (performed.size() == before) return std::nullopt;
        return performed.back();
    }
    // Lets every event that a press may have caused arrive, then reports whether one was performed.
    bool performedWithin(int milliseconds) {
        const size_t before = performed.size();
        QTest::qWait(milliseconds);
        return performed.size() > before;
    }

    std::shared_ptr<MemoryLogSink> sink = std::make_shared<MemoryLogSink>();
    ScopedLogSink scopedSink{sink};
    XTestKeyboard keyboard;
    X11HotKeyService service;
    QtMainQueue queue;
    std::vector<HotKeyAction> performed;
    std::unique_ptr<GlobalHotKeyManager> manager;
};

TEST_F(X11HotKeyServiceTest, QuickCreateAndPerTypeShortcutsArriveAsTheirActions) {
    manager->registerShortcuts(defaultQuickCreateShortcut, {{"md", kControlShiftM}, {"txt", kCommandOptionT}});
    ASSERT_EQ(manager->actionsByID().size(), 3u) << ::testing::PrintToString(sink->lines());
    EXPECT_TRUE(sink->contains("Registered Ctrl+Alt+N hot key"));

    keyboard.tap({test::kControlLKeysym, test::kAltLKeysym}, kN);
    auto action = nextAction();
    ASSERT_TRUE(action);
    EXPECT_EQ(*action, HotKeyAction::quickCreate());
    EXPECT_NE(manager->lastEventTimestamp(), 0u);  // the server time of the press

    keyboard.tap({test::kControlLKeysym, test::kShiftLKeysym}, kM);
    action = nextAction();
    ASSERT_TRUE(action);
    EXPECT_EQ(*action, HotKeyAction::createFile("md"));

    keyboard.tap({test::kSuperLKeysym, test::kAltLKeysym}, kT);
    action = nextAction();
    ASSERT_TRUE(action);
    EXPECT_EQ(*action, HotKeyAction::createFile("txt"));

    // Grabbed presses belong to this application alone: nothing else on the display saw them.
    EXPECT_FALSE(keyboard.sawPressOf(keyboard.keycode(kN)));
    EXPECT_FALSE(keyboard.sawPressOf(keyboard.keycode(kM)));

    // Another combination of the same key is not a shortcut.
    keyboard.tap({test::kControlLKeysym}, kN);
    EXPECT_FALSE(performedWithin(300));
    EXPECT_TRUE(keyboard.sawPressOf(keyboard.keycode(kN)));
    EXPECT_EQ(performed.size(), 3u);
}

TEST_F(X11HotKeyServiceTest, LockKeysDoNotTurnShortcutsOff) {
    const auto locks = service.lockMasks();
    EXPECT_EQ(locks.capsLock, XCB_MOD_MASK_LOCK);
    ASSERT_NE(locks.numLock, 0) << "the server's keymap puts Num Lock on no modifier";
    manager->registerShortcuts(defaultQuickCreateShortcut, {{"md", kControlShiftM}});

    keyboard.tap({}, test::kCapsLockKeysym);
    ASSERT_TRUE(keyboard.modifierState() & XCB_MOD_MASK_LOCK);
    keyboard.tap({test::kControlLKeysym, test::kAltLKeysym}, kN);
    EXPECT_EQ(nextAction(), HotKeyAction::quickCreate());

    keyboard.tap({}, test::kNumLockKeysym);
    ASSERT_TRUE(keyboard.modifierState() & locks.numLock);
    keyboard.tap({test::kControlLKeysym, test::kShiftLKeysym}, kM);
    EXPECT_EQ(nextAction(), HotKeyAction::createFile("md"));

    keyboard.tap({}, test::kCapsLockKeysym);
    ASSERT_FALSE(keyboard.modifierState() & XCB_MOD_MASK_LOCK);
    keyboard.tap({test::kControlLKeysym, test::kAltLKeysym}, kN);
    EXPECT_EQ(nextAction(), HotKeyAction::quickCreate());
}

TEST_F(X11HotKeyServiceTest, AfterUnregisterAllAPressGoesElsewhereAndDoesNothing) {
    manager->registerShortcuts(defaultQuickCreateShortcut, {{"md", kControlShiftM}});
    manager->unregisterAll();

    keyboard.tap({test::kControlLKeysym, test::kAltLKeysym}, kN);
    keyboard.tap({}, test::kCapsLockKeysym);
    keyboard.tap({test::kControlLKeysym, test::kShiftLKeysym}, kM);
    EXPECT_FALSE(performedWithin(300));
    EXPECT_TRUE(keyboard.sawPressOf(keyboard.keycode(kN)));
    EXPECT_TRUE(keyboard.sawPressOf(keyboard.keycode(kM)));

    // Registering again (the handler stays installed) brings the shortcut back.
    manager->registerShortcuts(defaultQuickCreateShortcut, {});
    keyboard.tap({test::kControlLKeysym, test::kAltLKeysym}, kN);
    EXPECT_EQ(nextAction(), HotKeyAction::quickCreate());
}

TEST_F(X11HotKeyServiceTest, CombinationHeldByAnotherClientFailsWholeAndIsLogged) {
    // The other client holds only the Caps Lock variant, so some grabs of the registration
    // succeed before one is refused.
    const xcb_keycode_t n = keyboard.keycode(kN);
    const uint16_t controlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
    ASSERT_EQ(keyboard.grabKey(n, controlAlt | XCB_MOD_MASK_LOCK), 0);

    manager->registerShortcuts(defaultQuickCreateShortcut, {{"md", kControlShiftM}});
    EXPECT_TRUE(sink->contains("Failed to register Ctrl+Alt+N hot key: -9878"))
        << ::testing::PrintToString(sink->lines());
    EXPECT_EQ(manager->actionsByID().count(GlobalHotKeyManager::kQuickCreateID), 0u);
    EXPECT_EQ(manager->actionsByID().size(), 1u);  // the other shortcut is still registered

    // Nothing of the failed registration is left behind: the plain combination is free.
    EXPECT_EQ(keyboard.grabKey(n, controlAlt), 0);
    keyboard.ungrabKey(n, controlAlt);
    keyboard.ungrabKey(n, controlAlt | XCB_MOD_MASK_LOCK);

    keyboard.tap({test::kControlLKeysym, test::kShiftLKeysym}, kM);
    EXPECT_EQ(nextAction(), HotKeyAction::createFile("md"));
}

TEST_F(X11HotKeyServiceTest, UnregisteringReleasesExactlyThatRegistration) {
    HotKeyService::HandlerRef handler = 0;
    std::vector<uint32_t> pressedIDs;
    ASSERT_EQ(service.installEventHandler(
                  [&](const HotKeyEvent& e) {
                      pressedIDs.push_back(e.identity ? e.identity->id : 0);
                      return kHotKeyNoErr;
                  },
                  handler),
              kHotKeyNoErr);
    HotKeyService::HotKeyRef first = 0, second = 0, again = 0;
    ASSERT_EQ(service.registerEventHotKey(45, kCarbonControlKey | kCarbonOptionKey, {1, 1}, {}, first), 0);
    ASSERT_EQ(service.registerEventHotKey(46, kCarbonControlKey | kCarbonShiftKey, {1, 2}, {}, second), 0);
    // Every lock combination on every keycode of the key, and nothing twice.
    const auto locks = service.lockMasks();
    const size_t combinations = locks.scrollLock ? 8 : 4;
    EXPECT_EQ(service.grabCount(first), combinations);
    // The same combination once more would silently take over the first one's grabs.
    EXPECT_EQ(service.registerEventHotKey(45, kCarbonControlKey | kCarbonOptionKey, {1, 3}, {}, again),
              X11HotKeyService::kX11HotKeyExistsErr);
    // Keys without a modifier or outside the table are refused.
    EXPECT_EQ(service.registerEventHotKey(45, 0, {1, 4}, {}, again), X11HotKeyService::kX11HotKeyInvalidErr);
    EXPECT_EQ(service.registerEventHotKey(50000, kCarbonControlKey, {1, 4}, {}, again),
              X11HotKeyService::kX11HotKeyInvalidErr);

    ASSERT_EQ(service.unregisterEventHotKey(first), 0);
    EXPECT_EQ(service.unregisterEventHotKey(first), X11HotKeyService::kX11HotKeyBadRefErr);
    keyboard.tap({test::kControlLKeysym, test::kAltLKeysym}, kN);
    keyboard.tap({test::kControlLKeysym, test::kShiftLKeysym}, kM);
    (void)QTest::qWaitFor([&] { return !pressedIDs.empty(); }, 2000);
    QTest::qWait(100);
    EXPECT_EQ(pressedIDs, std::vector<uint32_t>{2});
    EXPECT_TRUE(keyboard.sawPressOf(keyboard.keycode(kN)));

    // Once the handler is gone, presses are still consumed but reach no one.
    ASSERT_EQ(service.removeEventHandler(handler), 0);
    EXPECT_EQ(service.removeEventHandler(handler), X11HotKeyService::kX11HotKeyBadRefErr);
    keyboard.tap({test::kControlLKeysym, test::kShiftLKeysym}, kM);
    QTest::qWait(200);
    EXPECT_EQ(pressedIDs.size(), 1u);
    service.unregisterEventHotKey(second);
}

// The key moves to another keycode (a layout switch does the same): the grabs follow it.
TEST_F(X11HotKeyServiceTest, GrabsFollowAKeyboardMappingChange) {
    manager->registerShortcuts(defaultQuickCreateShortcut, {});
    const xcb_keycode_t original = keyboard.keycode(kN);
    const auto spare = keyboard.unusedKeycode();
    ASSERT_NE(original, 0);
    ASSERT_TRUE(spare);
    const auto originalSyms = keyboard.mapping(original);
    const auto spareSyms = keyboard.mapping(*spare);
    struct Restore {
        XTestKeyboard& k;
        xcb_keycode_t a, b;
        std::vector<xcb_keysym_t> aSyms, bSyms;
        ~Restore() {
            k.setMapping(a, aSyms);
            k.setMapping(b, bSyms);
        }
    } restore{keyboard, original, *spare, originalSyms, spareSyms};

    std::vector<xcb_keysym_t> moved(originalSyms.size(), 0);
    keyboard.setMapping(original, moved);
    moved[0] = kN;
    moved[1] = 'N';
    keyboard.setMapping(*spare, moved);
    ASSERT_EQ(keyboard.keycode(kN), *spare);

    // The grabs are renewed from the event loop once the change is announced.
    std::optional<HotKeyAction> action;
    QElapsedTimer waited;
    waited.start();
    while (!action && waited.elapsed() < 5000) {
        keyboard.tapKeycode({test::kControlLKeysym, test::kAltLKeysym}, *spare);
        action = nextAction(200);
    }
    EXPECT_EQ(action, HotKeyAction::quickCreate());
    EXPECT_FALSE(sink->contains("Failed to renew")) << ::testing::PrintToString(sink->lines());

    // The old keycode no longer produces N and is no longer held.
    keyboard.sawPressOf(original);
    keyboard.tapKeycode({test::kControlLKeysym, test::kAltLKeysym}, original);
    EXPECT_FALSE(performedWithin(200));
    EXPECT_TRUE(keyboard.sawPressOf(original));
}

}  // namespace
}  // namespace quillet

int main(int argc, char** argv) {
    // These tests are about the X11 connection: never let Qt pick another platform.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include <gtest/gtest.h>

#include "app/shortcuts/FallbackHotKeyService.h"
#include "app/shortcuts/GlobalHotKeyManager.h"
#include "tests/support/FakeHotKeyService.h"
#include "tests/support/ManualMainQueue.h"

using namespace quillet;
using quillet::test::FakeHotKeyService;
using quillet::test::ManualMainQueue;

namespace {

constexpr int kWayFailed = -9868;

// A first way that answers later (a portal) over a fallback that answers at once (key bindings),
// both owned by the service under test; the fakes stay reachable through raw pointers.
struct Fixture {
    std::shared_ptr<MemoryLogSink> sink = std::make_shared<MemoryLogSink>();
    ScopedLogSink scope{sink};
    FakeHotKeyService* first = nullptr;
    FakeHotKeyService* fallback = nullptr;
    int fallbacksMade = 0;
    FallbackHotKeyService service{[this] {
                                      auto made = std::make_unique<FakeHotKeyService>();
                                      made->answersLater = true;
                                      first = made.get();
                                      return made;
                                  }(),
                                  "portal",
                                  [](int status) { return status == kWayFailed; },
                                  [this] {
                                      ++fallbacksMade;
                                      auto made = std::make_unique<FakeHotKeyService>();
                                      fallback = made.get();
                                      return made;
                                  },
                                  "gnome-keybindings"};
    ManualMainQueue queue;
    std::vector<HotKeyAction> performed;
    GlobalHotKeyManager manager{service, queue, [this](const HotKeyAction& a) { performed.push_back(a); }};
};

const QuickCreateShortcut kControlAltM{46, kCarbonControlKey | kCarbonOptionKey};

}  // namespace

TEST(FallbackHotKeyService, AFailedFirstWayHandsEveryShortcutToTheFallback) {
    Fixture f;
    f.manager.registerShortcuts(defaultQuickCreateShortcut, {{"md", kControlAltM}});
    EXPECT_EQ(f.first->registered.size(), 2u);
    EXPECT_EQ(f.fallbacksMade, 0);

    f.first->settle({45, 46}, kWayFailed);  // the portal's session did not open
    EXPECT_EQ(f.fallbacksMade, 1);
    EXPECT_TRUE(f.first->registered.empty());
    EXPECT_EQ(f.fallback->idsByKeyCode(), (std::map<uint32_t, uint32_t>{{45, 1}, {46, 100}}));
    EXPECT_TRUE(f.sink->contains("Registered Ctrl+Alt+N hot key"));
    EXPECT_TRUE(f.sink->contains("Registered Ctrl+Alt+M hot key"));
    EXPECT_FALSE(f.sink->contains("Failed to register"));
    EXPECT_TRUE(f.sink->contains("Global shortcuts through gnome-keybindings: portal failed"));

    // Presses and later changes go to the fallback; the first way is not tried again.
    EXPECT_EQ(f.fallback->press({0x514C5450u, 100}), 0);
    f.queue.drain();
    EXPECT_EQ(f.performed, std::vector<HotKeyAction>{HotKeyAction::createFile("md")});
    f.manager.registerShortcuts(defaultQuickCreateShortcut, {});
    EXPECT_EQ(f.fallback->idsByKeyCode(), (std::map<uint32_t, uint32_t>{{45, 1}}));
    EXPECT_TRUE(f.first->registered.empty());
    EXPECT_EQ(f.fallbacksMade, 1);
}

TEST(FallbackHotKeyService, AShortcutTakenOnTheFirstWayStaysTheFirstWaysAnswer) {
    Fixture f;
    f.manager.registerShortcuts(defaultQuickCreateShortcut, {{"md", kControlAltM}});
    f.first->settle({46}, -9878);  // taken, not a failure of the way
    EXPECT_EQ(f.fallbacksMade, 0);
    EXPECT_TRUE(f.sink->contains("Failed to register Ctrl+Alt+M hot key: -9878"));
    EXPECT_TRUE(f.sink->contains("Registered Ctrl+Alt+N hot key"));
    EXPECT_EQ(f.first->press({0x514C5450u, 1}), 0);
    f.queue.drain();
    EXPECT_EQ(f.performed, std::vector<HotKeyAction>{HotKeyAction::quickCreate()});
}

// When the fallback cannot hold the shortcuts either, the manager publishes both reasons once,
// and the log says which ways were tried and why they failed.
TEST(FallbackHotKeyService, BothWaysFailingIsToldWithBothReasons) {
    Fixture f;
    f.manager.registerShortcuts(defaultQuickCreateShortcut, {});
    EXPECT_EQ(f.manager.wayFailure.get(), std::nullopt);
    f.first->failure = "the global shortcuts portal did not open a session (response 2)";
    int told = 0;
    auto subscription = f.manager.wayFailure.subscribe([&](const auto&) { ++told; });
    f.first->settle({45}, kWayFailed);
    // The fallback took over and works: nothing to tell.
    EXPECT_EQ(f.manager.wayFailure.get(), std::nullopt);
    EXPECT_EQ(told, 0);

    f.fallback->failure = "GNOME's key binding settings are not installed";
    f.fallback->installStatus = -9860;
    f.manager.registerShortcuts(defaultQuickCreateShortcut, {{"md", kControlAltM}});
    const std::string both =
        "the global shortcuts portal did not open a session (response 2), and GNOME's key binding settings are not "
        "installed";
    EXPECT_EQ(f.manager.wayFailure.get(), std::optional<std::string>(both));
    EXPECT_TRUE(f.sink->contains("Global shortcuts are not available: " + both));
    f.manager.registerShortcuts(defaultQuickCreateShortcut, {});
    EXPECT_EQ(told, 1);
}

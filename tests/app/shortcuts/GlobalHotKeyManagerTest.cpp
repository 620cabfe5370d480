#include <gtest/gtest.h>

#include "app/shortcuts/GlobalHotKeyManager.h"
#include "tests/support/FakeHotKeyService.h"
#include "tests/support/ManualMainQueue.h"

using namespace quillet;
using quillet::test::FakeHotKeyService;
using quillet::test::ManualMainQueue;

namespace {

struct Fixture {
    std::shared_ptr<MemoryLogSink> sink = std::make_shared<MemoryLogSink>();
    ScopedLogSink scope{sink};
    FakeHotKeyService service;
    ManualMainQueue queue;
    std::vector<HotKeyAction> performed;
    GlobalHotKeyManager manager{service, queue, [this](const HotKeyAction& a) { performed.push_back(a); }};
};

QuickCreateShortcut ctrlOpt(uint32_t keyCode) { return {keyCode, kCarbonControlKey | kCarbonOptionKey}; }

}  // namespace

TEST(GlobalHotKeyManager, QuickCreateTakesIdOneAndTypesTakeIdsInIdentifierOrder) {
    Fixture f;
    f.manager.registerShortcuts(defaultQuickCreateShortcut, {{"txt", ctrlOpt(17)}, {"csv", ctrlOpt(8)}, {"md", ctrlOpt(46)}});
    EXPECT_EQ(f.service.idsByKeyCode(), (std::map<uint32_t, uint32_t>{{45, 1}, {8, 100}, {46, 101}, {17, 102}}));
    EXPECT_EQ(f.manager.actionsByID().at(101), HotKeyAction::createFile("md"));
    for (const auto& [ref, r] : f.service.registered)
        EXPECT_EQ(r.identity.signature, 0x514C5450u);  // "QLTP"
    EXPECT_TRUE(f.sink->contains("Registered Ctrl+Alt+N hot key"));
}

TEST(GlobalHotKeyManager, DuplicateIsSkippedButConsumesItsId) {
    Fixture f;
    f.manager.registerShortcuts(defaultQuickCreateShortcut,
                                {{"csv", defaultQuickCreateShortcut}, {"md", ctrlOpt(46)}, {"txt", ctrlOpt(46)}});
    EXPECT_EQ(f.service.idsByKeyCode(), (std::map<uint32_t, uint32_t>{{45, 1}, {46, 101}}));
    EXPECT_EQ(f.manager.actionsByID().count(100), 0u);
    EXPECT_EQ(f.manager.actionsByID().count(102), 0u);
    auto lines = f.sink->lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "GlobalHotKey error: Skipping duplicate Ctrl+Alt+N hot key"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "GlobalHotKey error: Skipping duplicate Ctrl+Alt+M hot key"), 1);
}

TEST(GlobalHotKeyManager, RefusedCombinationIsLoggedAndStillCountsAsTaken) {
    Fixture f;
    f.service.takenElsewhere.insert({46, kCarbonControlKey | kCarbonOptionKey});
    f.manager.registerShortcuts(defaultQuickCreateShortcut, {{"md", ctrlOpt(46)}, {"txt", ctrlOpt(46)}, {"py", {35, 0}}});
    EXPECT_TRUE(f.sink->contains("Failed to register Ctrl+Alt+M hot key: -9878"));
    EXPECT_TRUE(f.sink->contains("Skipping duplicate Ctrl+Alt+M hot key"));
    EXPECT_EQ(f.service.registered.size(), 1u);  // py has no modifiers: skipped silently
}

TEST(GlobalHotKeyManager, ReRegistrationReplacesTheWholeSet) {
    Fixture f;
    f.manager.registerShortcuts(defaultQuickCreateShortcut, {{"md", ctrlOpt(46)}});
    f.manager.registerShortcuts(ctrlOpt(31), {});
    EXPECT_EQ(f.service.idsByKeyCode(), (std::map<uint32_t, uint32_t>{{31, 1}}));
    EXPECT_EQ(f.service.installCalls, 1);  // the handler is installed once
    f.manager.unregisterAll();
    EXPECT_TRUE(f.service.registered.empty());
    EXPECT_EQ(f.service.press({GlobalHotKeyManager::kSignature, 1}), kHotKeyNoErr);
    f.queue.drain();
    EXPECT_TRUE(f.performed.empty());
}

TEST(GlobalHotKeyManager, PressesArePerformedLaterAndForeignOnesIgnored) {
    Fixture f;
    f.manager.registerShortcuts(defaultQuickCreateShortcut, {{"md", ctrlOpt(46)}});
    EXPECT_EQ(f.service.press({GlobalHotKeyManager::kSignature, 100}), kHotKeyNoErr);
    EXPECT_TRUE(f.performed.empty());  // not from inside the handler
    f.queue.drain();
    ASSERT_EQ(f.performed.size(), 1u);
    EXPECT_EQ(f.performed[0], HotKeyAction::createFile("md"));
    EXPECT_EQ(f.manager.lastEventTimestamp(), 1234u);
    EXPECT_EQ(f.service.press({0x41424344, 1}), kHotKeyNoErr);
    EXPECT_EQ(f.service.press({GlobalHotKeyManager::kSignature, 55}), kHotKeyNoErr);
    EXPECT_EQ(f.service.pressUnreadable(), kHotKeyNoErr);
    f.queue.drain();
    EXPECT_EQ(f.performed.size(), 1u);
}

TEST(GlobalHotKeyManager, FailedHandlerInstallRegistersNothingAndIsRetried) {
    Fixture f;
    f.service.installStatus = -50;
    f.manager.registerShortcuts(defaultQuickCreateShortcut, {});
    EXPECT_TRUE(f.service.registered.empty());
    EXPECT_TRUE(f.sink->contains("Failed to install hot key handler: -50"));
    f.service.installStatus = kHotKeyNoErr;
    f.manager.registerShortcuts(defaultQuickCreateShortcut, {});
    EXPECT_EQ(f.service.registered.size(), 1u);
}

TEST(GlobalHotKeyManager, ReleaseUnregistersAndRemovesTheHandlerAndDropsQueuedPresses) {
    FakeHotKeyService service;
    ManualMainQueue queue;
    int performed = 0;
    {
        GlobalHotKeyManager manager(service, queue, [&](const HotKeyAction&) { ++performed; });
        manager.registerShortcuts(defaultQuickCreateShortcut, {});
        service.press({GlobalHotKeyManager::kSignature, 1});
    }
    queue.drain();
    EXPECT_EQ(performed, 0);
    EXPECT_TRUE(service.registered.empty());
    EXPECT_EQ(service.removeCalls, 1);
}

// A recorder holds a suspension while it has the keyboard: the grabs go, changes made meanwhile
// wait, and the last set asked for comes back once every holder has let go.
TEST(GlobalHotKeyManager, SuspensionReleasesEveryHotKeyAndRegistersTheLatestSetAfterwards) {
    Fixture f;
    f.manager.registerShortcuts(defaultQuickCreateShortcut, {{"md", ctrlOpt(46)}});
    {
        HotKeySuspension outer = f.manager.suspend();
        EXPECT_TRUE(f.service.registered.empty());
        EXPECT_TRUE(f.manager.actionsByID().empty());
        EXPECT_EQ(f.service.press({GlobalHotKeyManager::kSignature, 1}), kHotKeyNoErr);

        // The recorded combination arrives through the settings while the recorder still holds it.
        f.manager.registerShortcuts(ctrlOpt(31), {{"md", ctrlOpt(46)}});
        EXPECT_TRUE(f.service.registered.empty());
        {
            HotKeySuspension inner = f.manager.suspend();
            HotKeySuspension moved = std::move(inner);
        }
        EXPECT_TRUE(f.service.registered.empty()) << "one holder still records";
        EXPECT_TRUE(f.manager.isSuspended());
    }
    EXPECT_FALSE(f.manager.isSuspended());
    EXPECT_EQ(f.service.idsByKeyCode(), (std::map<uint32_t, uint32_t>{{31, 1}, {46, 100}}));
    f.queue.drain();
    EXPECT_TRUE(f.performed.empty());

    // After unregisterAll (quitting, uninstalling) the end of a suspension brings nothing back.
    HotKeySuspension late = f.manager.suspend();
    f.manager.unregisterAll();
    late.end();
    EXPECT_TRUE(f.service.registered.empty());
}

TEST(GlobalHotKeyManager, SuspensionOutlivingTheManagerEndsQuietly) {
    FakeHotKeyService service;
    ManualMainQueue queue;
    HotKeySuspension suspension;
    {
        GlobalHotKeyManager manager(service, queue, [](const HotKeyAction&) {});
        manager.registerShortcuts(defaultQuickCreateShortcut, {});
        suspension = manager.suspend();
    }
    suspension.end();
    EXPECT_TRUE(service.registered.empty());
}

// Desktops that ask the user answer later: the log line waits for the answer, and a refused
// combination does nothing when pressed, as one refused at once.
TEST(GlobalHotKeyManager, LateAnswersReachTheSameLogLinesAndRefusedKeysDoNothing) {
    Fixture f;
    f.service.answersLater = true;
    f.manager.registerShortcuts(defaultQuickCreateShortcut, {{"md", ctrlOpt(46)}, {"txt", ctrlOpt(17)}});
    EXPECT_FALSE(f.sink->contains("Registered"));
    EXPECT_FALSE(f.sink->contains("Failed"));

    f.service.settle({17});
    EXPECT_TRUE(f.sink->contains("Registered Ctrl+Alt+N hot key"));
    EXPECT_TRUE(f.sink->contains("Registered Ctrl+Alt+M hot key"));
    EXPECT_TRUE(f.sink->contains("Failed to register Ctrl+Alt+T hot key: -9878"));
    EXPECT_EQ(f.manager.actionsByID().count(100), 1u);  // md
    EXPECT_EQ(f.manager.actionsByID().count(101), 0u);  // txt
    f.service.press({GlobalHotKeyManager::kSignature, 101});
    f.queue.drain();
    EXPECT_TRUE(f.performed.empty());

    // An answer for a set already replaced is not logged against the new one.
    f.sink->clear();
    f.manager.registerShortcuts(defaultQuickCreateShortcut, {});
    f.manager.registerShortcuts(ctrlOpt(46), {});
    f.service.settle();
    EXPECT_EQ(f.sink->lines().size(), 1u) << ::testing::PrintToString(f.sink->lines());
    EXPECT_TRUE(f.sink->contains("Registered Ctrl+Alt+M hot key"));
}

// What desktops that list shortcuts or run commands are told about each registration.
TEST(GlobalHotKeyManager, RegistrationsCarryTheirNameDescriptionAndCommand) {
    Fixture f;
    GlobalHotKeyManager manager{f.service, f.queue, [](const HotKeyAction&) {}, [](const HotKeyAction& action) {
                                    return std::vector<std::string>{action.kind == HotKeyAction::Kind::quickCreate
                                                                        ? "quick-create"
                                                                        : "create " + action.typeID};
                                }};
    manager.registerShortcuts(defaultQuickCreateShortcut,
                              {{"md", ctrlOpt(46)}, {"pptx", ctrlOpt(35)}, {"sh", ctrlOpt(1)}});
    std::map<std::string, HotKeyPurpose> purposes;
    for (const auto& [ref, r] : f.service.registered) purposes[r.purpose.name] = r.purpose;
    EXPECT_EQ(purposes["quick-create"], (HotKeyPurpose{"quick-create", "Show Quick Create", {"quick-create"}}));
    EXPECT_EQ(purposes["create-md"], (HotKeyPurpose{"create-md", "New Markdown File", {"create md"}}));
    EXPECT_EQ(purposes["create-pptx"].description, "New PowerPoint Presentation");
    EXPECT_EQ(purposes["create-sh"].description, "New Shell Script File");
}

#include <gtest/gtest.h>

#include <memory>

#include "app/shortcuts/GlobalHotKeyManager.h"
#include "shared/logging/Logger.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/X11HotKeyService.h"

namespace quillet {
namespace {

// The widget tests run on the offscreen platform: no X11 connection, as under Wayland.
TEST(X11HotKeyServiceWithoutDisplay, InstallingTheHandlerFailsAndIsLoggedWhileTheRestGoesOn) {
    auto sink = std::make_shared<MemoryLogSink>();
    ScopedLogSink scoped(sink);
    X11HotKeyService service;
    QtMainQueue queue;
    GlobalHotKeyManager manager(service, queue, [](const HotKeyAction&) {});

    manager.registerShortcuts(defaultQuickCreateShortcut, {{"txt", {17, kCarbonControlKey}}});
    EXPECT_TRUE(sink->contains("Failed to install hot key handler: -9860")) << ::testing::PrintToString(sink->lines());
    EXPECT_FALSE(manager.handlerInstalled());
    EXPECT_TRUE(manager.actionsByID().empty());

    HotKeyService::HotKeyRef ref = 0;
    EXPECT_EQ(service.registerEventHotKey(45, kCarbonControlKey, {1, 1}, {}, ref),
              X11HotKeyService::kX11HotKeyNoConnectionErr);
    EXPECT_EQ(service.unregisterEventHotKey(ref), X11HotKeyService::kX11HotKeyBadRefErr);
    manager.unregisterAll();  // and releasing everything is harmless
}

}  // namespace
}  // namespace quillet

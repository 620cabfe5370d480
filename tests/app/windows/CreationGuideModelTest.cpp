#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings/AppSettings.h"
#include "app/windows/CreationGuideModel.h"
#include "shared/settings/DefaultsSuite.h"

using namespace quillet;

TEST(CreationGuideModelTest, TheKeyboardLineNamesTheStoredShortcutAndFollowsIt) {
    auto suite = DefaultsSuite::openInMemory("creation-guide-test");
    AppSettings settings(*suite);
    CreationGuideModel model(settings);
    EXPECT_EQ(model.keyboardLine(), "Press **Ctrl+Alt+N** to open Quick Create, or use the tray icon.");

    std::vector<std::string> seen;
    Subscription subscription = model.observe([&] { seen.push_back(model.keyboardLine()); });
    settings.quickCreateShortcut.set(QuickCreateShortcut{96, kCarbonCommandKey | kCarbonOptionKey});
    settings.fileTypeOrder.set({"md"});  // not the shortcut
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "Press **Alt+Super+F5** to open Quick Create, or use the tray icon."}));

    subscription.cancel();
    settings.quickCreateShortcut.set(defaultQuickCreateShortcut);
    EXPECT_EQ(seen.size(), 1u);
}

// The tray line names the session's file manager; without a tray both lines point elsewhere.
TEST(CreationGuideModelTest, TheLinesFollowTheDesktopsFileManagerAndTray) {
    auto suite = DefaultsSuite::openInMemory("creation-guide-test");
    AppSettings settings(*suite);
    DesktopWords words = DesktopWords::forDesktop("KDE");
    const CreationGuideModel withTray(settings, words);
    EXPECT_EQ(withTray.trayLine(),
              "Click the Quillet+ **tray icon** — it works in every folder. Choose **Create on Desktop** or "
              "**Create in Dolphin Folder**, then a file type.");

    words.hasTray = false;
    const CreationGuideModel trayless(settings, words);
    EXPECT_EQ(trayless.trayLine(),
              "Right-click the Quillet+ **icon** among your applications and choose **Quick Create** — it works in "
              "every folder. Choose **Desktop** or **Dolphin Folder**, then a file type.");
    EXPECT_EQ(trayless.keyboardLine(), "Press **Ctrl+Alt+N** to open Quick Create.");
}

// A recorder against Quillet+'s own grabbed hot key on a real X server: run under
// tests/support/x11-session.sh --wm (see CMakeLists.txt). Keys are typed through XTest by a
// second client, so they travel the way a person's would: to the grab, or to the focused window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTest>

#include <vector>

#include "app/shortcuts/GlobalHotKeyManager.h"
#include "gui/shortcuts/ShortcutRecorderControl.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/X11HotKeyService.h"
#include "tests/support/XTestKeyboard.h"

namespace quillet {
namespace {

using test::XTestKeyboard;

constexpr xcb_keysym_t kN = 'n';
constexpr QuickCreateShortcut kCommandM{46, kCarbonCommandKey};

TEST(RecorderHotKeyX11, RecordingTakesTheQuickCreateCombinationInsteadOfFiringIt) {
    XTestKeyboard keyboard;
    ASSERT_TRUE(keyboard.ok());
    X11HotKeyService service;
    QtMainQueue queue;
    int fired = 0;
    GlobalHotKeyManager manager(service, queue, [&](const HotKeyAction&) { ++fired; });
    manager.registerShortcuts(defaultQuickCreateShortcut, {});
    ASSERT_EQ(manager.actionsByID().size(), 1u);

    QWidget window;
    // The button comes first, so it, not the recorder, has the keyboard when the window opens.
    auto* elsewhere = new QPushButton(QStringLiteral("Elsewhere"), &window);
    auto* recorder = new ShortcutRecorderControl(&window);
    auto* layout = new QHBoxLayout(&window);
    layout->addWidget(elsewhere);
    layout->addWidget(recorder);
    std::vector<QuickCreateShortcut> recorded;
    recorder->setShortcut(kCommandM);
    recorder->setOnChange([&](const QuickCreateShortcut& s) { recorded.push_back(s); });
    recorder->setHotKeySuspender([&] { return manager.suspend(); });
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, 5000));
    ASSERT_FALSE(recorder->hasFocus());

    // With the window in front but the recorder idle and unfocused, the combination is the hot key's.
    keyboard.tap({test::kControlLKeysym, test::kAltLKeysym}, kN);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fired == 1; }, 3000)) << "the grab itself does not work";

    QTest::mouseClick(recorder, Qt::LeftButton);
    ASSERT_TRUE(recorder->isRecording());
    ASSERT_TRUE(manager.isSuspended());
    keyboard.tap({test::kControlLKeysym, test::kAltLKeysym}, kN);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !recorded.empty(); }, 3000)) << "the press never reached the recorder";
    QTest::qWait(300);  // anything the press could still fire has arrived by now
    EXPECT_EQ(recorded, std::vector<QuickCreateShortcut>{defaultQuickCreateShortcut});
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(recorder->isRecording());

    // Recorded, the combination is the hot key's again at once, though the field keeps the focus.
    EXPECT_TRUE(recorder->hasFocus());
    ASSERT_FALSE(manager.isSuspended());
    EXPECT_EQ(manager.actionsByID().size(), 1u);
    keyboard.tap({test::kControlLKeysym, test::kAltLKeysym}, kN);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fired == 2; }, 3000));
    EXPECT_EQ(recorded.size(), 1u);
}

}  // namespace
}  // namespace quillet

int main(int argc, char** argv) {
    // The grab and the key delivery are X11's: never let Qt pick another platform.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

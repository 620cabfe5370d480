#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <memory>

#include "platform/linux/QtApplicationWindows.h"

using namespace quillet;

namespace {

// Leaves no window of a test focused or open for the next one.
void closeAll() {
    for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
    EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activeWindow() == nullptr; }, 2000));
}

}  // namespace

TEST(QtApplicationWindowsActivation, WithoutVisibleWindowsThereIsNothingToActivate) {
    closeAll();
    QWidget hidden;
    QtApplicationWindows activation;
    activation.activateIgnoringOtherApps();
    QCoreApplication::processEvents();
    EXPECT_FALSE(hidden.isVisible());
    EXPECT_EQ(QApplication::activeWindow(), nullptr);
    EXPECT_FALSE(activation.isActive());
}

TEST(QtApplicationWindowsActivation, FocusesAnOrdinaryWindowInPreferenceToAToolPanel) {
    closeAll();
    QtApplicationWindows activation;
    auto panel = std::make_unique<QWidget>(nullptr, Qt::Tool);
    auto window = std::make_unique<QWidget>();
    panel->show();
    window->show();
    panel->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == panel.get(); }, 2000));
    window->lower();

    activation.activateIgnoringOtherApps();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == window.get(); }, 2000));
    EXPECT_TRUE(activation.isActive());
    EXPECT_TRUE(panel->isVisible());

    closeAll();
    EXPECT_FALSE(activation.isActive());
}

TEST(QtApplicationWindowsActivation, AccessoryMakesOrdinaryWindowsToolWindowsAndRegularTurnsThemBack) {
    QtApplicationWindows policy;
    QWidget window;
    window.show();
    QWidget dialog(nullptr, Qt::Dialog);
    policy.setActivationPolicy(ActivationPolicyKind::accessory);
    EXPECT_EQ(window.windowType(), Qt::Tool);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(dialog.windowType(), Qt::Dialog);
    policy.setActivationPolicy(ActivationPolicyKind::regular);
    EXPECT_EQ(window.windowType(), Qt::Window);
    EXPECT_EQ(dialog.windowType(), Qt::Dialog);
}

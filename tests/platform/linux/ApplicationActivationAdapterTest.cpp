#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <memory>

#include "platform/linux/QtApplicationActivation.h"

using namespace quillet;

namespace {

// Leaves no window of a test focused or open for the next one.
void closeAll() {
    for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
    EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activeWindow() == nullptr; }, 2000));
}

}  // namespace

TEST(QtApplicationActivation, WithoutVisibleWindowsThereIsNothingToActivate) {
    closeAll();
    QWidget hidden;
    QtApplicationActivation activation;
    activation.activateIgnoringOtherApps();
    QCoreApplication::processEvents();
    EXPECT_FALSE(hidden.isVisible());
    EXPECT_EQ(QApplication::activeWindow(), nullptr);
    EXPECT_FALSE(activation.isActive());
}

TEST(QtApplicationActivation, FocusesAnOrdinaryWindowInPreferenceToAToolPanel) {
    closeAll();
    QtApplicationActivation activation;
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

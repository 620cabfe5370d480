#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextDocumentFragment>

#include "app/settings/AppSettings.h"
#include "app/windows/CreationGuideModel.h"
#include "gui/windows/CreationGuideView.h"
#include "gui/windows/ExtensionStatusView.h"
#include "gui/windows/UninstallView.h"
#include "shared/settings/DefaultsSuite.h"
#include "tests/support/TemporaryConfigHome.h"

using namespace quillet;

namespace {

QString plainText(const QLabel* label) { return QTextDocumentFragment::fromHtml(label->text()).toPlainText(); }

struct Settings {
    test::TemporaryConfigHome home;
    std::unique_ptr<DefaultsSuite> suite = DefaultsSuite::open(home.path(), DefaultsSuite::kSharedSuiteName);
    AppSettings settings{*suite};
};

TEST(CreationGuideViewTest, TheKeyboardLineFollowsTheStoredShortcutWhileShown) {
    Settings s;
    CreationGuideModel model(s.settings);
    auto guide = std::make_unique<CreationGuideView>(model);
    guide->show();
    auto* line = guide->findChild<QLabel*>(QStringLiteral("keyboardLine"));
    ASSERT_TRUE(line);
    EXPECT_EQ(plainText(line), "Press Ctrl+Alt+N to open Quick Create, or use the tray icon.");
    EXPECT_TRUE(line->text().contains(QStringLiteral("<b>Ctrl+Alt+N</b>")));

    s.settings.quickCreateShortcut.set(QuickCreateShortcut{96, kCarbonCommandKey | kCarbonOptionKey});
    EXPECT_EQ(plainText(line), "Press Alt+Super+F5 to open Quick Create, or use the tray icon.");

    // A change after the card is gone reaches nothing of it.
    guide.reset();
    s.settings.quickCreateShortcut.set(defaultQuickCreateShortcut);
}

TEST(CardViewsTest, EachButtonRunsItsActionOnce) {
    int opens = 0;
    int uninstalls = 0;
    ExtensionStatusView status([&] { ++opens; });
    UninstallView uninstall([&] { ++uninstalls; }, DesktopWords::forDesktop("KDE"));
    auto* open = status.findChild<QPushButton*>(QStringLiteral("openExtensionSettings"));
    auto* remove = uninstall.findChild<QPushButton*>(QStringLiteral("uninstallButton"));
    ASSERT_TRUE(open && remove);
    EXPECT_EQ(open->text(), "Open Extension Settings");
    EXPECT_EQ(remove->text(), "Uninstall...");
    status.show();
    uninstall.show();
    QTest::mouseClick(open, Qt::LeftButton);
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(uninstalls, 0);
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(uninstalls, 1);
    EXPECT_EQ(opens, 1);
}

}  // namespace

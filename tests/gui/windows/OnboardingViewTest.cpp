#include <gtest/gtest.h>

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocumentFragment>

#include "app/settings/AppSettings.h"
#include "app/windows/OnboardingModel.h"
#include "gui/windows/OnboardingView.h"
#include "gui/windows/ViewWithModel.h"
#include "shared/settings/DefaultsSuite.h"
#include "tests/support/TemporaryConfigHome.h"

using namespace quillet;

namespace {

class OnboardingViewTest : public ::testing::Test {
protected:
    test::TemporaryConfigHome home;
    std::unique_ptr<DefaultsSuite> suite = DefaultsSuite::open(home.path(), DefaultsSuite::kSharedSuiteName);
    AppSettings settings{*suite};
    int finishes = 0;
    std::optional<bool> storedWhenFinished;
    OnboardingModel model{settings, [this] {
                              ++finishes;
                              auto reopened = DefaultsSuite::open(home.path(), DefaultsSuite::kSharedSuiteName);
                              storedWhenFinished = AppSettings(*reopened).hasCompletedOnboarding.get();
                          }};
    OnboardingView view{model};

    void SetUp() override {
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    QPushButton* button(const char* name) { return view.findChild<QPushButton*>(QString::fromUtf8(name)); }
    int currentDot() { return view.findChild<QWidget*>(QStringLiteral("pageDots"))->property("current").toInt(); }
    // The titles of the bar's buttons a user sees.
    QStringList visibleButtons() {
        QStringList titles;
        for (const char* name : {"back", "skip", "primary"}) {
            if (button(name)->isVisible()) titles << button(name)->text();
        }
        return titles;
    }
    // The page on screen once the slide between pages is over.
    QWidget* settledPage(int index) {
        const QString name = QStringLiteral("onboardingPage%1").arg(index);
        QWidget* page = nullptr;
        const bool settled = QTest::qWaitFor([&] {
            const auto pages = view.findChildren<QWidget*>(QRegularExpression(QStringLiteral("^onboardingPage\\d$")));
            page = pages.size() == 1 && pages[0]->objectName() == name ? pages[0] : nullptr;
            return page && !page->graphicsEffect();
        }, 2000);
        return settled ? page : nullptr;
    }
    QString shortcutLine(int index) {
        QWidget* page = settledPage(index);
        auto* line = page ? page->findChild<QLabel*>(QStringLiteral("shortcutLine")) : nullptr;
        return line ? QTextDocumentFragment::fromHtml(line->text()).toPlainText() : QStringLiteral("(no line)");
    }
};

TEST_F(OnboardingViewTest, ReturnOnTheWelcomePageGoesToThePageAfterIt) {
    EXPECT_EQ(view.size(), QSize(660, 580));
    EXPECT_EQ(visibleButtons(), (QStringList{"Skip", "Next"}));
    ASSERT_TRUE(settledPage(0));

    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(currentDot(), 1);
    // Mid-change both pages show, fading: the welcome page leaving to the leading edge, the next
    // one coming in from the trailing edge.
    auto* leaving = view.findChild<QWidget*>(QStringLiteral("onboardingPage0"));
    auto* coming = view.findChild<QWidget*>(QStringLiteral("onboardingPage1"));
    ASSERT_TRUE(leaving && coming);
    EXPECT_TRUE(qobject_cast<QGraphicsOpacityEffect*>(leaving->graphicsEffect()));
    EXPECT_TRUE(qobject_cast<QGraphicsOpacityEffect*>(coming->graphicsEffect()));
    EXPECT_LE(leaving->x(), 40);
    EXPECT_GT(coming->x(), 40);
    EXPECT_TRUE(settledPage(1));
    EXPECT_EQ(settledPage(1)->x(), 40);
    EXPECT_EQ(visibleButtons(), (QStringList{"Back", "Skip", "Next"}));
    EXPECT_EQ(finishes, 0);

    // Return goes to the default button even while another button has the focus.
    button("back")->setFocus();
    QTest::keyClick(button("back"), Qt::Key_Return);
    EXPECT_EQ(currentDot(), 2);
    QTest::mouseClick(button("back"), Qt::LeftButton);
    EXPECT_EQ(currentDot(), 1);
    EXPECT_TRUE(settledPage(1));
}

TEST_F(OnboardingViewTest, TheLastPageOffersOnlyGetStartedAndReturnFinishes) {
    for (int i = 0; i < 3; ++i) QTest::mouseClick(button("primary"), Qt::LeftButton);
    ASSERT_TRUE(settledPage(3));
    EXPECT_EQ(visibleButtons(), (QStringList{"Back", "Get Started"}));
    EXPECT_EQ(finishes, 0);

    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(finishes, 1);
    EXPECT_EQ(storedWhenFinished, true);
}

TEST_F(OnboardingViewTest, SkipOnTheWelcomePageFinishesAtOnce) {
    QTest::mouseClick(button("skip"), Qt::LeftButton);
    EXPECT_EQ(finishes, 1);
    EXPECT_EQ(storedWhenFinished, true);
    EXPECT_TRUE(settings.hasCompletedOnboarding.get());
}

TEST_F(OnboardingViewTest, PagesShowTheStoredShortcutAndFollowANewOne) {
    QTest::mouseClick(button("primary"), Qt::LeftButton);
    QTest::mouseClick(button("primary"), Qt::LeftButton);
    EXPECT_EQ(shortcutLine(2), "Press Ctrl+Alt+N anytime to open Quick Create — it works in every folder too.");
    EXPECT_TRUE(settledPage(2)->findChild<QLabel*>(QStringLiteral("shortcutLine"))->text().contains(
        QStringLiteral("<b>Ctrl+Alt+N</b>")));

    settings.quickCreateShortcut.set(QuickCreateShortcut{49, kCarbonCommandKey | kCarbonShiftKey});
    EXPECT_EQ(shortcutLine(2), "Press Shift+Super+Space anytime to open Quick Create — it works in every folder too.");
    QTest::mouseClick(button("primary"), Qt::LeftButton);
    EXPECT_EQ(shortcutLine(3), "Shift+Super+Space");
}

TEST(OnboardingViewHostTest, APresenterMayDeleteTheViewWhenItFinishes) {
    test::TemporaryConfigHome home;
    auto suite = DefaultsSuite::open(home.path(), DefaultsSuite::kSharedSuiteName);
    AppSettings settings(*suite);
    QPointer<OnboardingView> view;
    // The model goes with the view, as it does in the main window's sheet.
    view = makeViewWithModel<OnboardingView>(
        std::make_unique<OnboardingModel>(settings, [&] { delete view.data(); }));
    view->show();
    QTest::mouseClick(view->findChild<QPushButton*>(QStringLiteral("skip")), Qt::LeftButton);
    EXPECT_TRUE(view.isNull());

    view = makeViewWithModel<OnboardingView>(
        std::make_unique<OnboardingModel>(settings, [&] { delete view.data(); }));
    view->show();
    for (int i = 0; i < 4 && view; ++i) QTest::keyClick(view.data(), Qt::Key_Return);
    EXPECT_TRUE(view.isNull());
    EXPECT_TRUE(settings.hasCompletedOnboarding.get());
}

}  // namespace

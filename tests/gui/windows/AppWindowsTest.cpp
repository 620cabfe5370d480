#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "app/settings/AppSettings.h"
#include "gui/windows/AppWindows.h"
#include "shared/settings/DefaultsSuite.h"

using namespace quillet;

namespace {

// The main window over a private settings suite, with labelled stand-ins for the cards so their
// order shows, and a walkthrough with a button that finishes it as the real one does.
struct Harness {
    std::unique_ptr<DefaultsSuite> suite = DefaultsSuite::openInMemory("windows-test");
    AppSettings settings{*suite};
    int uninstallRequests = 0;
    int quits = 0;
    AppWindows windows{settings, "Version 1.2.3",
                       [this] {
                           ContentViewParts parts;
                           for (const char* name : {"extension", "guide", "access", "shortcuts", "uninstall"})
                               parts.cards.push_back([name](QWidget* parent) {
                                   auto* card = new QLabel(QString::fromUtf8(name), parent);
                                   card->setObjectName(QStringLiteral("card"));
                                   return card;
                               });
                           parts.fileTypes = [](QWidget* parent) { return new QLabel(QStringLiteral("types"), parent); };
                           parts.onboarding = [this](std::function<void()> onFinish, QWidget* parent) {
                               auto* done = new QPushButton(QStringLiteral("Get Started"), parent);
                               QObject::connect(done, &QPushButton::clicked, [this, onFinish] {
                                   settings.hasCompletedOnboarding.set(true);
                                   onFinish();
                               });
                               return done;
                           };
                           return parts;
                       },
                       {[](QWidget* parent) { return new QLabel(QStringLiteral("help"), parent); }, {}},
                       {nullptr, [this] { ++uninstallRequests; }, [this] { ++quits; }, {}}};

    QStringList menuTitles(const QString& menuTitle) {
        QStringList titles;
        for (QAction* menu : windows.mainWindow()->menuBar()->actions()) {
            if (menu->text().remove('&') != menuTitle) continue;
            for (QAction* item : menu->menu()->actions())
                if (item->isVisible()) titles << (item->isSeparator() ? QStringLiteral("---") : item->text());
        }
        return titles;
    }
    QAction* menuItem(const QString& menuTitle, const QString& title) {
        for (QAction* menu : windows.mainWindow()->menuBar()->actions())
            if (menu->text().remove('&') == menuTitle)
                for (QAction* item : menu->menu()->actions())
                    if (item->text() == title) return item;
        return nullptr;
    }
    QDialog* sheet() { return windows.mainWindow()->findChild<QDialog*>(); }
};

}  // namespace

TEST(AppWindows, TheMainWindowHoldsTheCardsInOrderAndItsMenusAsTheDesktopShowsThem) {
    Harness h;
    h.settings.hasCompletedOnboarding.set(true);
    h.windows.openMainWindow();
    QMainWindow* window = h.windows.mainWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), "Quillet+");
    QStringList cards;
    for (QLabel* card : window->findChildren<QLabel*>(QStringLiteral("card"))) cards << card->text();
    EXPECT_EQ(cards, QStringList({"extension", "guide", "access", "shortcuts", "uninstall"}));
    EXPECT_TRUE(window->findChild<QLabel*>()) << "the header";
    EXPECT_EQ(h.sheet(), nullptr) << "onboarding was completed";

    // Linux menus: File and Help only, Quit on Ctrl+Q, About at the bottom of Help.
    QStringList menus;
    for (QAction* menu : window->menuBar()->actions()) menus << menu->text();
    EXPECT_EQ(menus, QStringList({"&File", "&Help"}));
    EXPECT_EQ(h.menuTitles("File"), QStringList({"Close Window", "---", "Uninstall Quillet+...", "Quit Quillet+"}));
    EXPECT_EQ(h.menuItem("File", "Quit Quillet+")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Without an updater: no "Check for Updates..." at all.
    EXPECT_EQ(h.menuTitles("Help"), QStringList({"Help", "Show Welcome Walkthrough", "---", "About Quillet+"}));
    h.menuItem("File", "Uninstall Quillet+...")->trigger();
    h.menuItem("File", "Quit Quillet+")->trigger();
    EXPECT_EQ(h.uninstallRequests, 1);
    EXPECT_EQ(h.quits, 1);

    // One main window however often it is asked for; the help window likewise.
    h.windows.openMainWindow();
    EXPECT_EQ(h.windows.mainWindow(), window);
    h.menuItem("Help", "Help")->trigger();
    QWidget* help = h.windows.helpWindow();
    ASSERT_TRUE(help);
    h.menuItem("Help", "Help")->trigger();
    EXPECT_EQ(h.windows.helpWindow(), help);
    EXPECT_EQ(help->windowTitle(), "Quillet+ Help");
    int helpWindows = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && top->windowTitle() == "Quillet+ Help") ++helpWindows;
    EXPECT_EQ(helpWindows, 1);
}

// Messages Qt logged while a test ran.
QStringList* loggedMessages = nullptr;
void recordMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (loggedMessages) *loggedMessages << message;
}

TEST(AppWindows, F1OpensHelpAndTheHelpWindowClosesWithCtrlWOrEscape) {
    Harness h;
    h.settings.hasCompletedOnboarding.set(true);
    QStringList messages;
    loggedMessages = &messages;
    const QtMessageHandler previous = qInstallMessageHandler(recordMessage);
    h.windows.openMainWindow();
    QMainWindow* window = h.windows.mainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    EXPECT_EQ(h.menuItem("Help", "Help")->shortcut(), QKeySequence(Qt::Key_F1));

    for (const QKeySequence& closing : {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)}) {
        QTest::keySequence(window, QKeySequence(Qt::Key_F1));
        QWidget* help = h.windows.helpWindow();
        ASSERT_TRUE(help) << "F1 opens the help window";
        ASSERT_TRUE(QTest::qWaitForWindowActive(help));
        QTest::keySequence(help, closing);
        EXPECT_FALSE(help->isVisible()) << closing.toString().toStdString();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    qInstallMessageHandler(previous);
    loggedMessages = nullptr;
    for (const QString& message : messages)
        EXPECT_FALSE(message.contains(QStringLiteral("Ambiguous shortcut"))) << message.toStdString();
}

TEST(AppWindows, TheWalkthroughShowsUntilFinishedAndAgainWhenAskedFor) {
    Harness h;
    ASSERT_FALSE(h.settings.hasCompletedOnboarding.get());
    h.windows.openMainWindow();
    ASSERT_TRUE(h.sheet()) << "a fresh suite shows the walkthrough";
    EXPECT_TRUE(h.sheet()->isModal() || h.sheet()->windowModality() == Qt::WindowModal);
    QTest::mouseClick(h.sheet()->findChild<QPushButton*>(), Qt::LeftButton);
    EXPECT_TRUE(h.settings.hasCompletedOnboarding.get());
    QApplication::processEvents();
    QTest::qWait(10);
    EXPECT_EQ(h.sheet(), nullptr);

    // "Show Welcome Walkthrough" with the window closed opens it, with the walkthrough.
    h.windows.mainWindow()->close();
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(h.windows.mainWindow(), nullptr) << "closing discards the window";
    h.windows.showWelcomeWalkthrough();
    ASSERT_TRUE(h.windows.mainWindow());
    EXPECT_TRUE(h.sheet());
    EXPECT_FALSE(h.settings.hasCompletedOnboarding.get());
    // Asked for again while it shows: still one.
    h.windows.showWelcomeWalkthrough();
    EXPECT_EQ(h.windows.mainWindow()->findChildren<QDialog*>().size(), 1);
}

TEST(AppWindows, AWalkthroughDismissedWithEscapeDoesNotComeBackAtTheNextLaunch) {
    Harness h;
    h.windows.showWelcomeWalkthrough();
    QPointer<QDialog> sheet = h.sheet();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet));
    QTest::keyClick(sheet, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(!sheet || !sheet->isVisible());
    EXPECT_TRUE(h.settings.hasCompletedOnboarding.get());
    // Asked for again, it shows again.
    h.windows.showWelcomeWalkthrough();
    EXPECT_TRUE(h.sheet());
}

TEST(AppWindows, ThePresenceSegmentsWriteTheSettingAndFollowIt) {
    Harness h;
    h.settings.hasCompletedOnboarding.set(true);
    h.windows.openMainWindow();
    QPushButton* dock = nullptr;
    QPushButton* menuBar = nullptr;
    for (QPushButton* button : h.windows.mainWindow()->findChildren<QPushButton*>()) {
        if (button->text() == "Taskbar") dock = button;
        if (button->text() == "Tray") menuBar = button;
    }
    ASSERT_TRUE(dock && menuBar);
    QTest::mouseClick(dock, Qt::LeftButton);
    EXPECT_EQ(h.settings.appPresence.get(), AppPresence::dockOnly);
    EXPECT_TRUE(dock->isChecked());
    h.settings.appPresence.set(AppPresence::menuBarOnly);
    EXPECT_TRUE(menuBar->isChecked());
    EXPECT_FALSE(dock->isChecked());
}

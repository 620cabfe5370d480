#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include "app/settings/AppSettings.h"
#include "app/settings/SettingNotSavedError.h"
#include "gui/windows/AboutDialog.h"
#include "gui/windows/AppWindows.h"
#include "platform/ApplicationWindows.h"
#include "shared/settings/DefaultsSuite.h"
#include "tests/support/ManualMainQueueTimer.h"
#include "tests/support/SettingsLockHolder.h"
#include "tests/support/TemporaryConfigHome.h"

using namespace quillet;

namespace {

// The main window over a private settings suite, with labelled stand-ins for the cards so their
// order shows, and a walkthrough with a button that finishes it as the real one does.
struct Harness {
    explicit Harness(std::unique_ptr<DefaultsSuite> settingsSuite = DefaultsSuite::openInMemory("windows-test"))
        : suite(std::move(settingsSuite)) {}

    std::unique_ptr<DefaultsSuite> suite;
    AppSettings settings{*suite};
    int uninstallRequests = 0;
    int quits = 0;
    int lastWindowClosings = 0;
    std::string presenceNote;
    AppWindows windows{settings, "Version 1.2.3",
                       [this] {
                           ContentViewParts parts;
                           for (const char* name : {"extension", "guide", "access", "shortcuts", "uninstall"})
                               parts.cards.push_back([name](QWidget* parent) {
                                   auto* card = new QLabel(QString::fromUtf8(name), parent);
                                   card->setObjectName(QStringLiteral("card"));
                                   return card;
                               });
                           // A list that scrolls on its own, as the real one does.
                           parts.fileTypes = [](QWidget* parent) {
                               auto* list = new QScrollArea(parent);
                               list->setWidgetResizable(true);
                               auto* rows = new QLabel(QStringLiteral("types"));
                               rows->setObjectName(QStringLiteral("types"));
                               rows->setMinimumHeight(900);
                               list->setWidget(rows);
                               return list;
                           };
                           parts.presenceNote = [this](AppPresence) { return presenceNote; };
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
                       {nullptr, [this] { ++uninstallRequests; }, [this] { ++quits; }, {},
                        [this] { ++lastWindowClosings; }}};

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

// A presence that another program's lock keeps from being saved: the segment goes back to the
// stored presence, and the tray and taskbar (the setting's subscribers) hear of nothing.
TEST(AppWindows, APresenceThatIsNotSavedGoesBack) {
    test::TemporaryConfigHome home;
    Harness h(DefaultsSuite::open(home.path(), DefaultsSuite::kSharedSuiteName));
    test::ManualMainQueueTimer timer;
    h.settings.saver().waitForLocksOn(timer, std::chrono::milliseconds(0));
    int reports = 0;
    h.settings.saver().reportFailuresTo([&](const SettingNotSavedError&) { ++reports; });
    h.settings.hasCompletedOnboarding.set(true);
    h.windows.openMainWindow();
    QPushButton* tray = nullptr;
    for (QPushButton* button : h.windows.mainWindow()->findChildren<QPushButton*>())
        if (button->text() == "Tray") tray = button;
    ASSERT_TRUE(tray);
    int told = 0;
    auto sub = h.settings.appPresence.subscribe([&](const AppPresence&) { ++told; });

    test::SettingsLockHolder holder(h.suite->databasePath(), 30);
    ASSERT_TRUE(holder.isLocked());
    QTest::mouseClick(tray, Qt::LeftButton);
    EXPECT_FALSE(tray->isChecked());
    timer.runAll();
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(told, 0);
    EXPECT_EQ(h.settings.appPresence.get(), AppPresence::dockOnly);
}

// One scroll area holds the header, the cards and the file types list, and at the window's
// smallest the list is still reached by scrolling, with most of the window to show it in.
TEST(AppWindows, TheMainWindowScrollsAsOneAndStaysUsableAtItsSmallest) {
    Harness h;
    h.settings.hasCompletedOnboarding.set(true);
    h.windows.openMainWindow();
    QMainWindow* window = h.windows.mainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QList<QScrollArea*> shown;
    for (QScrollArea* area : window->findChildren<QScrollArea*>())
        if (area->isVisibleTo(window)) shown << area;
    ASSERT_EQ(shown.size(), 1);
    QScrollArea* scroll = shown.front();
    auto* types = window->findChild<QLabel*>(QStringLiteral("types"));
    ASSERT_TRUE(types);
    EXPECT_TRUE(scroll->widget()->isAncestorOf(types));

    window->resize(window->minimumSizeHint());
    QTest::qWait(50);
    EXPECT_GE(window->minimumSizeHint().width(), AppWindows::kMainContentMinimumWidth);
    EXPECT_GE(scroll->viewport()->height(), AppWindows::kMainContentMinimumHeight - 40);
    scroll->ensureWidgetVisible(types, 0, 0);
    const QRect inViewport(types->mapTo(scroll->viewport(), QPoint(0, 0)), types->size());
    EXPECT_GE(inViewport.intersected(scroll->viewport()->rect()).height(), scroll->viewport()->height() - 1)
        << "the list fills the window once scrolled to";
}

// What the desktop offers shows under the presence choice, and only when there is something
// to say.
TEST(AppWindows, ThePresenceColumnSaysWhatThisDesktopOffers) {
    Harness h;
    h.settings.hasCompletedOnboarding.set(true);
    h.presenceNote = "No tray here.";
    h.windows.openMainWindow();
    auto* note = h.windows.mainWindow()->findChild<QLabel*>(QStringLiteral("presenceNote"));
    ASSERT_TRUE(note);
    EXPECT_EQ(note->text(), "No tray here.");
    EXPECT_TRUE(note->isVisibleTo(h.windows.mainWindow()));
    h.presenceNote.clear();
    h.settings.appPresence.set(AppPresence::dockOnly);
    h.settings.appPresence.set(AppPresence::menuBarOnly);
    EXPECT_FALSE(note->isVisibleTo(h.windows.mainWindow()));
}

// Closing the main window tells the application once no window of it shows; an open help window
// keeps it from being the last.
TEST(AppWindows, TheLastWindowClosingIsReportedOnce) {
    Harness h;
    h.settings.hasCompletedOnboarding.set(true);
    h.windows.openMainWindow();
    h.windows.openHelp();
    h.windows.mainWindow()->close();
    QTest::qWait(20);
    EXPECT_EQ(h.lastWindowClosings, 0);
    h.windows.helpWindow()->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.lastWindowClosings == 1; }, 2000));
    QTest::qWait(20);
    EXPECT_EQ(h.lastWindowClosings, 1);

    // A window the application closes itself (after a file manager's request) is no user's
    // closing.
    h.windows.openMainWindow();
    h.windows.mainWindow()->setProperty(kClosedByApplicationProperty, true);
    h.windows.mainWindow()->close();
    QTest::qWait(50);
    EXPECT_EQ(h.lastWindowClosings, 1);
}

namespace {

// The text of the one element `tag` of the AppStream metadata.
QString metainfo(const QString& pattern) {
    QFile file(QStringLiteral(QUILLET_SOURCE_DIR "/resources/org.quillet.Quillet.metainfo.xml"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const auto match = QRegularExpression(pattern).match(QString::fromUtf8(file.readAll()));
    return match.hasMatch() ? match.captured(1) : QString();
}

}  // namespace

// About shows the icon, name, version, the one-line summary and homepage software centres show,
// and the licence, in a dialog wide enough for its title.
TEST(AppWindows, AboutShowsIconNameVersionSummaryLicenceAndHomepage) {
    Harness h;
    h.settings.hasCompletedOnboarding.set(true);
    QPixmap icon(64, 64);
    icon.fill(Qt::darkCyan);
    QApplication::setWindowIcon(QIcon(icon));
    h.windows.openMainWindow();
    QAction* aboutItem = nullptr;
    for (QAction* menu : h.windows.mainWindow()->menuBar()->actions())
        for (QAction* item : menu->menu()->actions())
            if (item->text() == "About Quillet+") aboutItem = item;
    ASSERT_TRUE(aboutItem);
    aboutItem->trigger();
    auto* about = h.windows.mainWindow()->findChild<AboutDialog*>();
    ASSERT_TRUE(about);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(about));
    const auto text = [&](const char* name) {
        auto* label = about->findChild<QLabel*>(QString::fromUtf8(name));
        return label ? label->text() : QStringLiteral("(none)");
    };
    EXPECT_EQ(about->windowTitle(), "About Quillet+");
    EXPECT_EQ(text("aboutName"), "Quillet+");
    EXPECT_EQ(text("aboutVersion"), "Version 1.2.3");
    EXPECT_EQ(text("aboutSummary"), metainfo(QStringLiteral("<summary>([^<]*)</summary>")));
    const QString homepage = metainfo(QStringLiteral("<url type=\"homepage\">([^<]*)</url>"));
    ASSERT_FALSE(homepage.isEmpty());
    EXPECT_TRUE(text("aboutHomepage").contains(QStringLiteral("href=\"%1\"").arg(homepage)));
    EXPECT_FALSE(text("aboutLicence").isEmpty());
    EXPECT_FALSE(about->findChild<QLabel*>(QStringLiteral("aboutIcon"))->pixmap().isNull());
    EXPECT_GE(about->width(), QFontMetrics(about->font()).horizontalAdvance(about->windowTitle()) + 120);
    EXPECT_GE(about->width(), 400);
    about->close();
}

#pragma once

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <string>

#include "gui/windows/ContentView.h"
#include "shared/text/Translation.h"

class QMenuBar;
class QWidget;

namespace quillet {

class AppSettings;
class QuilletSelfUpdater;

// What the main window's menus do beyond opening windows.
struct AppMenuActions {
    // Present only when updating is configured: "Check for Updates..." in the Help menu.
    QuilletSelfUpdater* updater = nullptr;
    std::function<void()> requestUninstall;
    std::function<void()> quit;
    std::function<void()> activate;  // brings the application to the front
    // The user closed the main window or the help window, and neither shows now.
    std::function<void()> lastWindowClosed;
};

// The application's two windows, one of each at most: the main window "Quillet+" (a fresh
// content every time it is opened, so a reopened window grows once again and checks onboarding)
// and the help window "Quillet+ Help". The main window's menu bar is built here too.
class AppWindows {
public:
    static constexpr const char* kMainWindowTitle = "Quillet+";
    static constexpr const char* kHelpWindowTitle = N_("Quillet+ Help");
    static constexpr int kMainWindowWidth = 770;
    static constexpr int kMainWindowHeight = 1155;
    static constexpr int kMainContentMinimumWidth = 720;
    static constexpr int kMainContentMinimumHeight = 520;
    static constexpr int kHelpMinimumWidth = 640;
    static constexpr int kHelpMinimumHeight = 560;

    // `help` builds the help page; `showExtensionHelp` is called on it for the extension section.
    struct Help {
        std::function<QWidget*(QWidget* parent)> page;
        std::function<void(QWidget* page)> showExtensionSection;
    };

    AppWindows(AppSettings& settings, std::string versionLine, std::function<ContentViewParts()> contentParts,
               Help help, AppMenuActions actions);
    ~AppWindows();
    AppWindows(const AppWindows&) = delete;
    AppWindows& operator=(const AppWindows&) = delete;

    void openMainWindow();
    void openHelp();
    // The help window, scrolled to the file-manager extension's section.
    void openExtensionHelp();
    // Opens the main window and turns onboarding back on, so the walkthrough shows in it.
    void showWelcomeWalkthrough();

    QMainWindow* mainWindow() const { return mainWindow_; }
    QWidget* helpWindow() const { return helpWindow_; }

private:
    void buildMenus(QMenuBar* menuBar);
    // Tells `lastWindowClosed` once `window` is gone and no other window of ours shows.
    void watchClosing(QWidget* window);

    AppSettings& settings_;
    std::string versionLine_;
    std::function<ContentViewParts()> contentParts_;
    Help help_;
    AppMenuActions actions_;
    QPointer<QMainWindow> mainWindow_;
    QPointer<QWidget> helpWindow_;
    QWidget* helpPage_ = nullptr;
    bool tearingDown_ = false;
};

}  // namespace quillet

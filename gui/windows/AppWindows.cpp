#include "gui/windows/AppWindows.h"

#include <QAction>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QApplication>
#include <QVBoxLayout>

#include "app/settings/AppSettings.h"
#include "gui/windows/AboutDialog.h"
#include "platform/ApplicationWindows.h"
#include "app/update/QuilletCheckForUpdatesCommand.h"
#include "shared/text/LinuxTexts.h"
#include "shared/text/Translation.h"

namespace quillet {

AppWindows::AppWindows(AppSettings& settings, std::string versionLine, std::function<ContentViewParts()> contentParts,
                       Help help, AppMenuActions actions)
    : settings_(settings),
      versionLine_(std::move(versionLine)),
      contentParts_(std::move(contentParts)),
      help_(std::move(help)),
      actions_(std::move(actions)) {}

AppWindows::~AppWindows() {
    tearingDown_ = true;
    delete mainWindow_;
    delete helpWindow_;
}

void AppWindows::openMainWindow() {
    if (!mainWindow_) {
        auto* window = new QMainWindow;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(QString::fromUtf8(translate(kMainWindowTitle)));
        auto* content = new ContentView(settings_, versionLine_, contentParts_(), window);
        content->setMinimumSize(kMainContentMinimumWidth, kMainContentMinimumHeight);
        window->setCentralWidget(content);
        buildMenus(window->menuBar());
        // The default size, but never taller than the screen: the content grows into the
        // screen's height once shown.
        int height = kMainWindowHeight;
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            height = std::max(kMainContentMinimumHeight, std::min(height, screen->availableGeometry().height() - 80));
        }
        window->resize(kMainWindowWidth, height);
        mainWindow_ = window;
        watchClosing(window);
    }
    mainWindow_->show();
    mainWindow_->raise();
    mainWindow_->activateWindow();
    if (actions_.activate) actions_.activate();
}

void AppWindows::openHelp() {
    if (!helpWindow_) {
        auto* window = new QWidget;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(QString::fromUtf8(translate(kHelpWindowTitle)));
        window->setMinimumSize(kHelpMinimumWidth, kHelpMinimumHeight);
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        helpPage_ = help_.page ? help_.page(window) : nullptr;
        if (helpPage_) layout->addWidget(helpPage_);
        // A window without menus of its own still closes the way every window does.
        QList<QKeySequence> closing = QKeySequence::keyBindings(QKeySequence::Close);
        closing << QKeySequence(Qt::Key_Escape);
        for (const QKeySequence& keys : closing) {
            auto* close = new QShortcut(keys, window);
            QObject::connect(close, &QShortcut::activated, window, &QWidget::close);
        }
        window->resize(760, 820);
        helpWindow_ = window;
        watchClosing(window);
    }
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
    if (actions_.activate) actions_.activate();
}

void AppWindows::openExtensionHelp() {
    openHelp();
    if (helpPage_ && help_.showExtensionSection) help_.showExtensionSection(helpPage_);
}

void AppWindows::showWelcomeWalkthrough() {
    openMainWindow();
    // The open window's content presents the walkthrough when the setting turns false.
    settings_.hasCompletedOnboarding.set(false);
}

void AppWindows::watchClosing(QWidget* window) {
    QObject::connect(window, &QObject::destroyed, qApp, [this](QObject* gone) {
        // Closed by the application itself (after a file manager's request), not by the user.
        if (tearingDown_ || gone->property(kClosedByApplicationProperty).toBool()) return;
        // A turn later, when the closed window's guard has let go of it.
        QTimer::singleShot(0, qApp, [this] {
            const bool mainShows = mainWindow_ && mainWindow_->isVisible();
            const bool helpShows = helpWindow_ && helpWindow_->isVisible();
            if (!mainShows && !helpShows && actions_.lastWindowClosed) actions_.lastWindowClosed();
        });
    });
}

void AppWindows::buildMenus(QMenuBar* menuBar) {
    QWidget* window = menuBar->window();
    // The menus of a Linux application: no menu named after it; File holds closing, uninstalling
    // and quitting, Help the help, the walkthrough, updates and About (at the bottom).
    // File: closing the window, and no item that would open a second main window.
    QMenu* file = menuBar->addMenu(QString::fromUtf8(translateIn("main window menu", "&File")));
    QAction* close = file->addAction(QString::fromUtf8(translate("Close Window")), window, &QWidget::close);
    close->setShortcuts(QKeySequence::Close);
    file->addSeparator();
    file->addAction(QString::fromUtf8(translate("Uninstall Quillet+...")), window, [this] {
        if (actions_.requestUninstall) actions_.requestUninstall();
    });
    QAction* quit = file->addAction(QString::fromUtf8(translate("Quit Quillet+")), window, [this] {
        if (actions_.quit) actions_.quit();
    });
    // Ctrl+Q on every Linux desktop; the platform's standard key is empty where its theme names none.
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* help = menuBar->addMenu(QString::fromUtf8(translateIn("main window menu", "&Help")));
    QAction* helpItem =
        help->addAction(QString::fromUtf8(translate(linuxtexts::kHelpMenuHelpItem)), window, [this] { openHelp(); });
    // F1, the help key of Linux desktops. (Ctrl+Shift+/ arrives as Ctrl+? on most layouts, and
    // holding both made Qt refuse either as ambiguous.)
    helpItem->setShortcut(QKeySequence::HelpContents);
    help->addAction(QString::fromUtf8(translate("Show Welcome Walkthrough")), window,
                    [this] { showWelcomeWalkthrough(); });
    if (actions_.updater) {
        help->addSeparator();
        // Asked again each time the menu opens, so the item follows whether a check can start.
        QAction* check = help->addAction(QString::fromUtf8(translate("Check for Updates...")));
        QuilletSelfUpdater* updater = actions_.updater;
        const auto refresh = [updater, check] {
            const auto items = QuilletCheckForUpdatesCommand(*updater).items();
            check->setVisible(!items.empty());
            if (!items.empty()) {
                check->setText(QString::fromStdString(items.front().title));
                check->setEnabled(items.front().isEnabled);
            }
        };
        refresh();
        QObject::connect(help, &QMenu::aboutToShow, check, refresh);
        QObject::connect(check, &QAction::triggered, check, [updater] { QuilletCheckForUpdatesCommand(*updater).perform(); });
    }
    help->addSeparator();
    help->addAction(QString::fromUtf8(translate("About Quillet+")), window, [this, window] {
        auto* about = new AboutDialog(versionLine_, window);
        about->setAttribute(Qt::WA_DeleteOnClose);
        about->open();
    });
}

}  // namespace quillet

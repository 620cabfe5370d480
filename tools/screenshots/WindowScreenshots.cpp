// Renders the walkthrough's pages, the help page (top and at its extension section), the main
// window's cards and its whole content (also at its smallest), the About dialog and the tray icon
// to PNG files in OUT_DIR, with the light palette or, given --dark, a dark one.
// Run on a real display (see window-screenshots.sh) so fonts and scaling are the desktop's own.

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QEventLoop>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

#include "app/access/FolderAccessSetupModel.h"
#include "app/access/SecurityScopedFolderAccess.h"
#include "app/settings/AppSettings.h"
#include "app/settings/FileTypesListModel.h"
#include "app/shortcuts/ShortcutSettingsModel.h"
#include "app/windows/CreationGuideModel.h"
#include "app/windows/DisplayVersion.h"
#include "app/windows/OnboardingModel.h"
#include "gui/access/FolderAccessSetupView.h"
#include "gui/settings/FileTypesListView.h"
#include "gui/shortcuts/ShortcutSettingsView.h"
#include "gui/windows/AboutDialog.h"
#include "gui/windows/ContentView.h"
#include "gui/shell/QtStatusMenu.h"
#include "app/presence/AppPresenceController.h"
#include "platform/linux/QtApplicationIcon.h"
#include "platform/posix/LastComponentDisplayNames.h"
#include "platform/posix/NoDisplayApplication.h"
#include "platform/posix/NoDisplayFolderPanel.h"
#include "platform/posix/PosixFolderBookmarks.h"
#include "shared/paths/UserEnvironment.h"
#include "gui/windows/CreationGuideView.h"
#include "gui/windows/ExtensionStatusView.h"
#include "gui/windows/HelpView.h"
#include "gui/windows/OnboardingView.h"
#include "gui/windows/UninstallView.h"
#include "shared/text/DesktopWords.h"
#include "shared/settings/DefaultsSuite.h"
#include "shared/text/Translation.h"

using namespace quillet;

namespace {

QPalette darkPalette() {
    QPalette p;
    const QColor window(40, 40, 42), base(30, 30, 32), text(236, 236, 236);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(58, 58, 60));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, QColor(10, 132, 255));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Mid, QColor(80, 80, 84));
    p.setColor(QPalette::Dark, QColor(20, 20, 20));
    p.setColor(QPalette::Light, QColor(90, 90, 94));
    p.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(130, 130, 130));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(130, 130, 130));
    return p;
}

bool save(QWidget& widget, const QString& path) {
    QEventLoop wait;  // past the page animation and the first paint
    QTimer::singleShot(350, &wait, &QEventLoop::quit);
    wait.exec();
    const bool ok = widget.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

}  // namespace

// What the extension card says on a machine with Files and Dolphin, in the session's language.
std::string whereTheMenuIs() {
    return formatText(translate("On this computer it is in %1."),
                      {std::string(translateIn("GNOME file manager", "Files")) + translate(" and ") + "Dolphin"});
}

int main(int argc, char** argv) {
    // In the session's language (LANGUAGE=de shows the German windows).
    bindTranslations(localeDirectoryBeside(QUILLET_BUILD_RESOURCES), true);
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const bool dark = args.contains(QStringLiteral("--dark"));
    if (args.size() < 2 || args.last().startsWith(QStringLiteral("--"))) {
        std::fprintf(stderr, "usage: quillet-window-screenshots [--dark] OUT_DIR\n");
        return 2;
    }
    const QString out = args.last();
    // The icon the application's windows and About show, from the build tree's resources.
    QApplication::setWindowIcon(applicationIcon(QUILLET_BUILD_RESOURCES));
    // With a platform theme (the script asks for the GTK one, dark through GTK_THEME) the windows
    // look as the desktop makes them; without one, Qt's own style and a dark palette of ours.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORMTHEME")) {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());
    }
    std::printf("style %s, window %s, icon theme %s\n", qPrintable(QApplication::style()->name()),
                qPrintable(QApplication::palette().color(QPalette::Window).name()), qPrintable(QIcon::themeName()));
    const QString suffix = QStringLiteral("%1-%2x.png").arg(dark ? "dark" : "light").arg(qApp->devicePixelRatio());

    auto suite = DefaultsSuite::openInMemory("screenshots");
    AppSettings settings(*suite);
    bool ok = true;
    // The file manager as this session names it (XDG_CURRENT_DESKTOP=GNOME shows "Files").
    const UserEnvironment environment = UserEnvironment::fromProcess();
    const DesktopWords words = DesktopWords::forDesktop(environment.currentDesktop);

    OnboardingModel onboardingModel(settings, [] {}, words);
    OnboardingView onboarding(onboardingModel);
    onboarding.show();
    for (int page = 0; page < 4; ++page) {
        ok &= save(onboarding, QStringLiteral("%1/onboarding-%2-%3").arg(out).arg(page).arg(suffix));
        if (page < 3) onboarding.findChild<QPushButton*>(QStringLiteral("primary"))->click();
    }
    onboarding.hide();

    // The walkthrough on a desktop without a tray (GNOME without an extension).
    DesktopWords trayless = words;
    trayless.hasTray = false;
    OnboardingModel traylessModel(settings, [] {}, trayless);
    OnboardingView traylessOnboarding(traylessModel);
    traylessOnboarding.show();
    for (int page = 0; page < 3; ++page) {
        if (page != 1)
            ok &= save(traylessOnboarding, QStringLiteral("%1/onboarding-%2-no-tray-%3").arg(out).arg(page).arg(suffix));
        traylessOnboarding.findChild<QPushButton*>(QStringLiteral("primary"))->click();
    }
    traylessOnboarding.hide();

    HelpView help("Version 1.4.2", words);
    help.resize(720, 640);
    help.show();
    ok &= save(help, QStringLiteral("%1/help-top-%2").arg(out, suffix));
    if (QWidget* page = help.findChild<QWidget*>(QStringLiteral("helpPage"))) {
        ok &= page->grab().save(QStringLiteral("%1/help-whole-page-%2").arg(out, suffix));
    }
    help.scrollToExtensionSection();
    ok &= save(help, QStringLiteral("%1/help-extension-%2").arg(out, suffix));
    help.hide();

    CreationGuideModel guideModel(settings, words);
    QWidget cards;
    auto* column = new QVBoxLayout(&cards);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(14);
    column->addWidget(new ExtensionStatusView([] {}, whereTheMenuIs(), &cards));
    column->addWidget(new CreationGuideView(guideModel, &cards));
    column->addWidget(new UninstallView([] {}, words, &cards));
    cards.resize(640, cards.heightForWidth(640));
    cards.show();
    ok &= save(cards, QStringLiteral("%1/cards-%2").arg(out, suffix));
    cards.hide();

    // The main window's whole content, as tall as the window grows on a large screen.
    settings.hasCompletedOnboarding.set(true);
    PosixFolderBookmarks bookmarks;
    LastComponentDisplayNames displayNames;
    NoDisplayFolderPanel panel;
    NoDisplayApplication activation;
    SecurityScopedFolderAccess access(*suite, bookmarks, displayNames, &panel, &activation);
    FolderAccessSetupModel accessModel(access, displayNames, FolderAccessLocations::fromEnvironment(environment),
                                       environment.sandboxed);
    ShortcutSettingsModel shortcutsModel(settings, true, words);
    FileTypesListModel fileTypesModel(settings);
    ContentViewParts parts;
    parts.cards = {
        [](QWidget* parent) -> QWidget* { return new ExtensionStatusView([] {}, whereTheMenuIs(), parent); },
        [&](QWidget* parent) -> QWidget* { return new CreationGuideView(guideModel, parent); },
        [&](QWidget* parent) -> QWidget* { return new FolderAccessSetupView(accessModel, parent); },
        [&](QWidget* parent) -> QWidget* { return new ShortcutSettingsView(shortcutsModel, {}, parent); },
        [&](QWidget* parent) -> QWidget* { return new UninstallView([] {}, words, parent); },
    };
    parts.fileTypes = [&](QWidget* parent) -> QWidget* { return new FileTypesListView(fileTypesModel, parent); };
    parts.presenceNote = [](AppPresence presence) {
        return AppPresenceController::desktopOfferNote(presence, QSystemTrayIcon::isSystemTrayAvailable());
    };
    ContentView content(settings, versionLine(std::string("1.4.2.7")), parts);
    content.resize(770, 1155);
    content.show();
    ok &= save(content, QStringLiteral("%1/main-window-%2").arg(out, suffix));
    // At the window's smallest: the one scroll area, the list reached by scrolling.
    content.resize(720, 520);
    ok &= save(content, QStringLiteral("%1/main-window-smallest-%2").arg(out, suffix));
    content.hide();

    AboutDialog about(versionLine(std::string("1.4.2.7")));
    about.show();
    ok &= save(about, QStringLiteral("%1/about-%2").arg(out, suffix));
    about.hide();

    // The tray icon as it is drawn for this palette, on a strip of the palette's window colour
    // (a panel of the same theme).
    QImage tray(QSize(120, 36) * qApp->devicePixelRatio(), QImage::Format_ARGB32);
    tray.setDevicePixelRatio(qApp->devicePixelRatio());
    tray.fill(QApplication::palette().color(QPalette::Window));
    QPainter painter(&tray);
    trayImageIcon(trayImageColor(QApplication::palette())).paint(&painter, QRect(10, 9, 22, 18));
    painter.end();
    const QString trayPath = QStringLiteral("%1/tray-icon-%2").arg(out, suffix);
    ok &= tray.save(trayPath);
    std::printf("wrote %s\n", qPrintable(trayPath));
    return ok ? 0 : 1;
}

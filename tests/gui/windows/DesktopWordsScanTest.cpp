#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMetaProperty>
#include <QPushButton>
#include <QSet>
#include <QSystemTrayIcon>
#include <QTest>

#include <filesystem>
#include <memory>

#include "app/desktop/FileManagerMenuPresence.h"
#include "app/access/FolderAccessLocations.h"
#include "app/access/FolderAccessSetupModel.h"
#include "app/access/SecurityScopedFolderAccess.h"
#include "app/presence/AppPresenceController.h"
#include "app/quickcreate/QuickCreatePanelModel.h"
#include "app/settings/AppPresence.h"
#include "app/settings/AppSettings.h"
#include "app/settings/FileTypesListModel.h"
#include "app/shortcuts/ShortcutSettingsModel.h"
#include "app/uninstall/AppUninstallError.h"
#include "app/uninstall/AppUninstaller.h"
#include "app/update/QuilletSelfUpdater.h"
#include "app/windows/CreationGuideModel.h"
#include "app/windows/OnboardingModel.h"
#include "gui/access/FolderAccessSetupView.h"
#include "gui/quickcreate/QuickCreatePanelView.h"
#include "gui/settings/FileTypesListView.h"
#include "gui/shell/QtStatusBar.h"
#include "gui/shortcuts/ShortcutSettingsView.h"
#include "gui/style/DestinationPickerControl.h"
#include "gui/style/MiddleElidedLabel.h"
#include "gui/windows/AppWindows.h"
#include "gui/windows/CreationGuideView.h"
#include "gui/windows/ExtensionStatusView.h"
#include "gui/windows/HelpView.h"
#include "gui/windows/OnboardingView.h"
#include "gui/windows/UninstallView.h"
#include "gui/windows/ViewWithModel.h"
#include "platform/posix/LastComponentDisplayNames.h"
#include "platform/posix/NoDisplayApplication.h"
#include "platform/posix/NoDisplayFolderPanel.h"
#include "platform/posix/PosixFolderBookmarks.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "shared/settings/DefaultsSuite.h"
#include "shared/text/DesktopWords.h"
#include "shared/text/LinuxTexts.h"
#include "tests/support/PresenceDoubles.h"
#include "tests/support/QuickCreateHarness.h"
#include "tests/support/UninstallDoubles.h"

using namespace quillet;

// Every text the built program shows, gathered from its real windows, menus, panel and tray menu
// on each kind of desktop, must name things as a Linux desktop does. Stored values (the
// "frontFinderFolder" of the command line) and log lines are not shown texts; the command line
// has a test of its own.

namespace {

// What the card and help say about the menu on a machine with file managers of every kind.
std::string someMenusSummary() {
    return fileManagerMenuSummary({{"Files", true, true}, {"Thunar", false, true}, {"Dolphin", false, false}});
}

// Words of another system, and the placeholders of DesktopWords (a text shown unfilled).
const char* const kForeignWords[] = {"Finder", "Dock", "Menu Bar", "menu bar", "\u2318", "\u2303", "\u2325",
                                     "\u21E7", "iCloud", "Get Info", "menu-bar", "{the file manager",
                                     "{The file manager", "{file manager", "{File Manager"};

// A text with the place it was found, for the failure message.
struct ShownText {
    QString where;
    QString text;
};

class TextCollector {
public:
    void add(const QString& where, const QString& text) {
        if (!text.isEmpty()) texts_.push_back({where, text});
    }
    void add(const QString& where, std::string_view text) {
        add(where, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }

    // Every string property of the object (text, title, toolTip, placeholderText, windowTitle,
    // accessibleName …), and what the widgets that draw their own text show.
    void addObject(const QString& where, const QObject* object) {
        const QMetaObject* meta = object->metaObject();
        for (int i = 0; i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            if (property.metaType().id() != QMetaType::QString) continue;
            const QString name = QString::fromLatin1(property.name());
            if (name == QLatin1String("objectName") || name == QLatin1String("styleSheet")) continue;
            add(where + QLatin1Char('.') + name, property.read(object).toString());
        }
        if (const auto* picker = qobject_cast<const DestinationPickerControl*>(object)) {
            for (const auto mode : kAllCreationDestinationModes) add(where + ".segment", picker->segmentTitle(mode));
        }
        if (const auto* elided = dynamic_cast<const MiddleElidedLabel*>(object))
            add(where + ".fullText", elided->fullText());
    }

    // A widget and all its children, and every action (menus and their submenus) they hold.
    void addTree(const QString& where, const QWidget* root) {
        addWidget(where, root);
        for (const QWidget* child : root->findChildren<QWidget*>()) addWidget(where, child);
    }

    void addMenu(const QString& where, const QMenu* menu) {
        addObject(where, menu);
        for (const QAction* action : menu->actions()) {
            addObject(where + QLatin1String(" > ") + action->text(), action);
            if (action->menu()) addMenu(where + QLatin1String(" > ") + action->text(), action->menu());
        }
    }

    // The texts that hold a word of another system, each once, with where it was first shown.
    QStringList foreign() const {
        QStringList found;
        QSet<QString> reported;
        for (const auto& [where, text] : texts_) {
            QString checked = text;
            checked.remove(QStringLiteral("frontFinderFolder"));
            for (const char* word : kForeignWords) {
                if (!checked.contains(QString::fromUtf8(word)) || reported.contains(text)) continue;
                reported.insert(text);
                found << QStringLiteral("\"%1\" in %2: %3").arg(QString::fromUtf8(word), where, text);
            }
        }
        return found;
    }

    bool containsText(const QString& needle) const {
        for (const auto& shown : texts_)
            if (shown.text.contains(needle)) return true;
        return false;
    }
    size_t size() const { return texts_.size(); }

private:
    void addWidget(const QString& where, const QWidget* widget) {
        const QString place = where + QLatin1Char('/') +
                              (widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                                              : widget->objectName());
        addObject(place, widget);
        for (const QAction* action : widget->actions()) {
            addObject(place + QLatin1String(" > ") + action->text(), action);
            if (action->menu()) addMenu(place + QLatin1String(" > ") + action->text(), action->menu());
        }
    }

    std::vector<ShownText> texts_;
};

// The application's windows put together as the application does, over private settings and
// folders, with the session's words.
struct Program {
    explicit Program(const DesktopWords& desktopWords)
        : words(desktopWords), quick(nullptr, nullptr, desktopWords) {}

    DesktopWords words;
    test::QuickCreateHarness quick;
    AppSettings& settings = quick.settings;
    PosixFolderBookmarks bookmarks;
    LastComponentDisplayNames displayNames;
    NoDisplayFolderPanel folderPanel;
    NoDisplayApplication activation;
    SecurityScopedFolderAccess access{*quick.suite, bookmarks, displayNames, &folderPanel, &activation};
    UserEnvironment environment = [this] {
        UserEnvironment e;
        e.accountHome = quick.root.path();
        e.currentDesktop = "";
        return e;
    }();

    AppWindows windows{
        settings, "Version 1.2.3",
        [this] {
            ContentViewParts parts;
            parts.cards.push_back([](QWidget* parent) -> QWidget* { return new ExtensionStatusView([] {}, someMenusSummary(), parent); });
            parts.cards.push_back([this](QWidget* parent) -> QWidget* {
                return makeViewWithModel<CreationGuideView>(std::make_unique<CreationGuideModel>(settings, words),
                                                            parent);
            });
            parts.cards.push_back([this](QWidget* parent) -> QWidget* {
                return makeViewWithModel<FolderAccessSetupView>(
                    std::make_unique<FolderAccessSetupModel>(
                        access, displayNames, FolderAccessLocations::fromEnvironment(environment), true),
                    parent);
            });
            parts.cards.push_back([this](QWidget* parent) -> QWidget* {
                return makeViewWithModel<ShortcutSettingsView>(
                    std::make_unique<ShortcutSettingsModel>(settings, true, words), HotKeySuspender{}, parent);
            });
            parts.cards.push_back(
                [this](QWidget* parent) -> QWidget* { return new UninstallView([] {}, words, parent); });
            parts.fileTypes = [this](QWidget* parent) -> QWidget* {
                return makeViewWithModel<FileTypesListView>(std::make_unique<FileTypesListModel>(settings), parent);
            };
            parts.onboarding = [this](std::function<void()> onFinish, QWidget* parent) -> QWidget* {
                return makeViewWithModel<OnboardingView>(
                    std::make_unique<OnboardingModel>(settings, std::move(onFinish), words), parent);
            };
            return parts;
        },
        AppWindows::Help{[this](QWidget* parent) -> QWidget* { return new HelpView("Version 1.2.3", words, someMenusSummary(), parent); },
                         {}},
        AppMenuActions{nullptr, [] {}, [] {}, {}, {}}};
};

QAction* menuItem(QMainWindow* window, const QString& menuTitle, const QString& title) {
    for (QAction* menu : window->menuBar()->actions())
        if (menu->text().remove(QLatin1Char('&')) == menuTitle)
            for (QAction* item : menu->menu()->actions())
                if (item->text() == title) return item;
    return nullptr;
}

// Everything the program shows on a desktop whose session names `desktop`.
TextCollector collectEverything(const std::string& desktop, bool hasTray = true) {
    TextCollector shown;
    DesktopWords words = DesktopWords::forDesktop(desktop);
    words.hasTray = hasTray;
    Program program(words);
    program.settings.fileTypeOrder.set(defaultOrder());
    program.settings.enabledFileTypeIDs.set(allIDs());

    // The main window with the welcome walkthrough over it, page by page.
    program.settings.hasCompletedOnboarding.set(false);
    program.windows.openMainWindow();
    QMainWindow* window = program.windows.mainWindow();
    EXPECT_TRUE(window);
    if (!window) return shown;
    QTest::qWait(50);
    shown.addTree(QStringLiteral("main window"), window);
    QDialog* sheet = window->findChild<QDialog*>();
    EXPECT_TRUE(sheet) << "the walkthrough shows";
    for (int page = 0; sheet && page < OnboardingModel::kPageCount; ++page) {
        shown.addTree(QStringLiteral("walkthrough page %1").arg(page), sheet);
        auto* primary = sheet->findChild<QPushButton*>(QStringLiteral("primary"));
        if (page + 1 < OnboardingModel::kPageCount && primary) primary->click();
        QTest::qWait(10);
    }
    // The per-type shortcuts, with their destination picker, shown too.
    for (auto* shortcuts : window->findChildren<ShortcutSettingsView*>()) shortcuts->setShowsDirectShortcuts(true);
    EXPECT_FALSE(window->findChildren<DestinationPickerControl*>().isEmpty());
    // The window again, with every presence chosen in turn (the descriptions change).
    for (const AppPresence presence : {AppPresence::dockOnly, AppPresence::menuBarOnly, AppPresence::dockAndMenuBar}) {
        program.settings.appPresence.set(presence);
        shown.addTree(QStringLiteral("main window (%1)").arg(QString::fromUtf8(rawValue(presence).data())), window);
        shown.add(QStringLiteral("presence title"), title(presence));
        shown.add(QStringLiteral("presence description"), presenceDescription(presence));
    }

    // The help window, from its menu item.
    if (QAction* help = menuItem(window, QStringLiteral("Help"), QStringLiteral("Help"))) help->trigger();
    EXPECT_TRUE(program.windows.helpWindow()) << "Help ▸ Help opens the help window";
    if (program.windows.helpWindow()) shown.addTree(QStringLiteral("help window"), program.windows.helpWindow());

    // The Quick Create panel, with either destination.
    QuickCreatePanelModel panelModel(program.quick.controller);
    {
        QuickCreatePanelView panel(panelModel);
        for (const auto mode : kAllCreationDestinationModes) {
            panelModel.setDestinationMode(mode);
            shown.addTree(QStringLiteral("Quick Create panel"), &panel);
        }
    }

    // The tray menu, as the tray icon carries it.
    test::RecordingStatusBar statusBar;
    test::RecordingApplicationWindows policy;
    test::Journal journal;
    test::RecordingApplicationLifecycle termination(journal);
    QuilletSelfUpdater updater(QuilletSelfUpdateConfiguration{}, [](const auto&) { return nullptr; });
    AppPresenceController presence(AppPresenceEnvironment{statusBar, policy, program.quick.mainQueue,
                                                          program.quick.controller, [] {}, termination, false});
    presence.start(program.settings, updater);
    QtStatusBar bar;
    auto item = bar.makeStatusItem();
    item->setMenu(presence.buildStatusMenu());
    auto& trayItem = static_cast<QtStatusItem&>(*item);
    shown.add(QStringLiteral("tray tool tip"), trayItem.trayIcon().toolTip());
    EXPECT_TRUE(trayItem.trayIcon().contextMenu());
    if (QMenu* menu = trayItem.trayIcon().contextMenu()) shown.addMenu(QStringLiteral("tray menu"), menu);
    presence.stop();

    // The alerts' texts, as the uninstaller and the creation controller put them.
    for (const char* text : {AppUninstaller::kConfirmationMessage, AppUninstaller::kConfirmationInformativeText,
                             AppUninstaller::kUninstallButton, AppUninstaller::kFailureMessage,
                             AppUninstaller::kFinderScriptFailedMessage, AppUninstallError::kRecoverySuggestion,
                             linuxtexts::kSystemInstallUninstallInformativeText,
                             linuxtexts::kSystemInstallUninstallButton,
                             DesktopCreationController::kCreateFailedAlertTitle}) {
        shown.add(QStringLiteral("alert"), std::string_view(text));
    }
    for (const AppUninstallError& error :
         {AppUninstallError::notRunningFromAppBundle("/usr/bin"), AppUninstallError::appleScriptCreationFailed(),
          AppUninstallError::trashMoveFailed(std::nullopt), AppUninstallError::trashMoveReportedNoResult("/x")}) {
        shown.add(QStringLiteral("uninstall error"), error.description());
    }
    window->close();
    if (program.windows.helpWindow()) program.windows.helpWindow()->close();
    QTest::qWait(10);
    return shown;
}

}  // namespace

TEST(DesktopWordsScan, NoShownTextNamesAnotherSystemOnAnyDesktop) {
    for (const char* desktop : {"GNOME", "ubuntu:GNOME", "KDE", "X-Cinnamon", "XFCE", "MATE", "LXQt", "", "sway"}) {
        for (const bool hasTray : {true, false}) {
            const TextCollector shown = collectEverything(desktop, hasTray);
            EXPECT_GT(shown.size(), 300u) << desktop << ": the windows were built";
            EXPECT_EQ(shown.foreign(), QStringList()) << "desktop \"" << desktop << "\", tray " << hasTray;
        }
    }
}

// The file manager is named as the session names it, and a generic name where it is unknown.
TEST(DesktopWordsScan, TheFileManagerIsNamedAsTheSessionNamesIt) {
    const TextCollector kde = collectEverything("KDE");
    EXPECT_TRUE(kde.containsText(QStringLiteral("Create in Dolphin Folder")));
    EXPECT_TRUE(kde.containsText(QStringLiteral("Right-click in Dolphin")));
    EXPECT_TRUE(kde.containsText(QStringLiteral("Dolphin Folder")));
    EXPECT_FALSE(kde.containsText(QStringLiteral("Files Folder")));

    const TextCollector gnome = collectEverything("ubuntu:GNOME");
    EXPECT_TRUE(gnome.containsText(QStringLiteral("Create in Files Folder")));
    EXPECT_TRUE(gnome.containsText(QStringLiteral("Right-click in Files")));

    // Without a tray, the walkthrough and the cards send the user to the application's icon.
    const TextCollector trayless = collectEverything("GNOME", false);
    EXPECT_FALSE(trayless.containsText(QStringLiteral("tray icon")));
    EXPECT_TRUE(trayless.containsText(QStringLiteral("Use the Quillet+ icon (no setup)")));
    EXPECT_TRUE(trayless.containsText(QStringLiteral("Use Quick Create from the Quillet+ icon")));
    EXPECT_TRUE(collectEverything("GNOME", true).containsText(QStringLiteral("Use the Quillet+ tray icon")));

    const TextCollector unknown = collectEverything("");
    EXPECT_TRUE(unknown.containsText(QStringLiteral("Create in Open Folder")));
    EXPECT_TRUE(unknown.containsText(QStringLiteral("Right-click in the file manager")));
    EXPECT_TRUE(unknown.containsText(QStringLiteral("Folder of the front file manager window")));
}

// The scan itself finds what it looks for: a window with a foreign word is reported.
TEST(DesktopWordsScan, TheScanReportsAForeignWordWhereverItIsShown) {
    QWidget window;
    auto* button = new QPushButton(QStringLiteral("Reveal"), &window);
    button->setToolTip(QStringLiteral("Show in Finder"));
    auto* menu = new QMenu(&window);
    menu->addAction(QStringLiteral("Keep in Dock"));
    button->setMenu(menu);
    TextCollector shown;
    shown.addTree(QStringLiteral("test"), &window);
    const QStringList found = shown.foreign();
    ASSERT_EQ(found.size(), 2) << found.join('\n').toStdString();
    EXPECT_TRUE(found[0].contains(QStringLiteral("Show in Finder")));
    EXPECT_TRUE(found[1].contains(QStringLiteral("Keep in Dock")));

    TextCollector stored;
    stored.add(QStringLiteral("help"), QStringLiteral("--destination frontFinderFolder"));
    EXPECT_TRUE(stored.foreign().isEmpty()) << "a stored value is not a shown word";
}

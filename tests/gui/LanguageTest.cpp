// Quillet+ in a German, French and Spanish session: the main window, the Quick Create panel, the
// tray menu and the Dolphin menu show the session's language, and an English session sees the
// English texts. The catalogues are the built ones (share/locale of the build tree); the locales
// are compiled by tests/support/make-test-locales.sh and found through LOCPATH, as a fresh
// machine has only the C locales.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <clocale>
#include <cstdlib>
#include <string>

#include "app/desktop/DolphinServiceMenu.h"
#include "app/presence/AppPresenceController.h"
#include "app/settings/AppSettings.h"
#include "app/update/QuilletSelfUpdater.h"
#include "gui/quickcreate/FileTypeTileButton.h"
#include "gui/quickcreate/QuickCreatePanelView.h"
#include "gui/quickcreate/QuickCreatePanelWindow.h"
#include "gui/shell/QtStatusMenu.h"
#include "gui/windows/AppWindows.h"
#include "gui/windows/ContentView.h"
#include "gui/windows/ExtensionStatusView.h"
#include "gui/windows/UninstallView.h"
#include "platform/linux/QtScreenLayout.h"
#include "platform/linux/QtStandardTexts.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "platform/linux/OnDemandUpdateAdapters.h"
#include "shared/settings/DefaultsSuite.h"
#include "shared/text/DesktopWords.h"
#include "shared/text/Translation.h"
#include "tests/support/PresenceDoubles.h"
#include "tests/support/QuickCreateHarness.h"
#include "tests/support/UninstallDoubles.h"

using namespace quillet;

namespace {

// The language of a session, for the time of a test: LANGUAGE and the LC_MESSAGES locale, as a
// desktop session sets them. Back to the C locale (English) afterwards.
class SessionLanguage {
public:
    SessionLanguage(const char* language, const char* locale) {
        bindTranslations(QUILLET_BINARY_DIR "/share/locale", false);
        // Where the test_locales fixture compiled them.
        ::setenv("LOCPATH", QUILLET_BINARY_DIR "/test-locales", 1);
        ::setenv("LANGUAGE", language, 1);
        available_ = std::setlocale(LC_MESSAGES, locale) != nullptr;
    }
    ~SessionLanguage() {
        ::unsetenv("LANGUAGE");
        std::setlocale(LC_MESSAGES, "C");
    }
    bool available() const { return available_; }

private:
    bool available_ = false;
};

// What each language calls the things the tests look at.
struct Words {
    const char* language;
    const char* locale;
    const char* createFile;       // the menu, the panel's title
    const char* plainText;        // a group of types
    const char* wordDocument;     // a type
    const char* quickCreateItem;  // the tray's first item
    const char* createOnDesktop;
    const char* createInFolder;  // with the file manager unknown
    const char* quit;
    const char* fileMenu;
    const char* closeWindow;
    const char* presenceTitle;
    const char* trayChoice;
    const char* uninstallTitle;
    const char* searchPlaceholder;
    const char* oneFolder;     // 1 saved folder root
    const char* threeFolders;  // 3 saved folder roots
    const char* noFolders;     // 0 saved folder roots, by the plural rule
};

const Words kGerman{"de",
                    "de_DE.UTF-8",
                    "Datei erstellen",
                    "Reiner Text",
                    "Word-Dokument",
                    "Schnellerstellung …",
                    "Auf dem Schreibtisch erstellen",
                    "Erstellen in: Geöffneter Ordner",
                    "Quillet+ beenden",
                    "&Datei",
                    "Fenster schließen",
                    "Sichtbarkeit",
                    "Systemabschnitt",
                    "Quillet+ deinstallieren",
                    "Dateitypen durchsuchen",
                    "1 gespeicherter Ordner.",
                    "3 gespeicherte Ordner.",
                    "0 gespeicherte Ordner."};
const Words kFrench{"fr",
                    "fr_FR.UTF-8",
                    "Créer un fichier",
                    "Texte brut",
                    "Document Word",
                    "Création rapide…",
                    "Créer sur le Bureau",
                    "Créer dans\u00a0: Dossier ouvert",
                    "Quitter Quillet+",
                    "&Fichier",
                    "Fermer la fenêtre",
                    "Présence de l’application",
                    "Zone de notification",
                    "Désinstaller Quillet+",
                    "Rechercher un type de fichier",
                    "1 dossier enregistré.",
                    "3 dossiers enregistrés.",
                    "0 dossier enregistré."};
const Words kSpanish{"es",
                     "es_ES.UTF-8",
                     "Crear archivo",
                     "Texto sin formato",
                     "Documento de Word",
                     "Creación rápida…",
                     "Crear en el Escritorio",
                     "Crear en: Carpeta abierta",
                     "Salir de Quillet+",
                     "&Archivo",
                     "Cerrar ventana",
                     "Presencia de la aplicación",
                     "Área de notificación",
                     "Desinstalar Quillet+",
                     "Buscar tipos de archivo",
                     "1 carpeta guardada.",
                     "3 carpetas guardadas.",
                     "0 carpetas guardadas."};
const Words kEnglish{"",
                     "C",
                     "Create File",
                     "Plain Text",
                     "Word Document",
                     "Quick Create...",
                     "Create on Desktop",
                     "Create in Open Folder",
                     "Quit Quillet+",
                     "&File",
                     "Close Window",
                     "App Presence",
                     "Tray",
                     "Uninstall Quillet+",
                     "Search file types",
                     "1 saved folder root.",
                     "3 saved folder roots.",
                     "0 saved folder roots."};

void PrintTo(const Words& words, std::ostream* out) { *out << (*words.language ? words.language : "en"); }

QString q(const char* text) { return QString::fromUtf8(text); }

QStringList texts(const QWidget& root) {
    QStringList found;
    for (const QLabel* label : root.findChildren<QLabel*>()) found << label->text();
    for (const QPushButton* button : root.findChildren<QPushButton*>()) found << button->text();
    return found;
}

QStringList entries(const QMenu& menu) {
    QStringList result;
    for (QAction* action : menu.actions()) result << (action->isSeparator() ? QStringLiteral("---") : action->text());
    return result;
}

class Language : public ::testing::TestWithParam<Words> {
protected:
    void SetUp() override {
        ASSERT_TRUE(session_.available())
            << GetParam().locale << " is not compiled in " QUILLET_BINARY_DIR "/test-locales";
    }
    const Words& w() const { return GetParam(); }

private:
    SessionLanguage session_{GetParam().language, GetParam().locale};
};

}  // namespace

TEST_P(Language, TextsPluralsAndWordsWithAContextComeFromTheSessionsCatalogue) {
    EXPECT_STREQ(translate("Create File"), w().createFile);
    EXPECT_STREQ(translate("Plain Text"), w().plainText);
    const auto saved = [](unsigned long n) {
        return formatText(translatePlural("%1 saved folder root.", "%1 saved folder roots.", n), {std::to_string(n)});
    };
    EXPECT_EQ(saved(1), w().oneFolder);
    EXPECT_EQ(saved(3), w().threeFolders);
    EXPECT_EQ(saved(0), w().noFolders) << "French counts 0 as singular, German and Spanish as plural";
    // A text no catalogue holds (a template's name, say) stays as it is.
    EXPECT_STREQ(translate("Quarterly Report"), "Quarterly Report");
    // GNOME's file manager by its name in the language, and every placeholder filled in.
    const DesktopWords gnome = DesktopWords::forDesktop("GNOME");
    const std::string files = translateIn("GNOME file manager", "Files");
    EXPECT_NE(gnome.fill("{File Manager Folder}").find(files), std::string::npos)
        << gnome.fill("{File Manager Folder}");
    EXPECT_EQ(gnome.fill("Right-click in {the file manager}").find('{'), std::string::npos);
}

TEST_P(Language, TheMainWindowShowsItsMenusHeaderAndCardsInTheSessionsLanguage) {
    auto suite = DefaultsSuite::openInMemory("language-test");
    AppSettings settings(*suite);
    settings.hasCompletedOnboarding.set(true);
    const DesktopWords words;
    AppWindows windows(
        settings, "Version 1.2.3",
        [&] {
            ContentViewParts parts;
            parts.cards.push_back([](QWidget* parent) { return new ExtensionStatusView([] {}, {}, parent); });
            parts.cards.push_back([&](QWidget* parent) { return new UninstallView([] {}, words, parent); });
            parts.fileTypes = [](QWidget* parent) { return new QWidget(parent); };
            return parts;
        },
        {[](QWidget* parent) { return new QLabel(QStringLiteral("help"), parent); }, {}},
        {nullptr, [] {}, [] {}, {}, [] {}});
    windows.openMainWindow();
    QMainWindow* window = windows.mainWindow();
    ASSERT_TRUE(window);
    QStringList menus, fileItems;
    for (QAction* menu : window->menuBar()->actions()) {
        menus << menu->text();
        if (menu == window->menuBar()->actions().front())
            for (QAction* item : menu->menu()->actions())
                if (!item->isSeparator()) fileItems << item->text();
    }
    EXPECT_EQ(menus.front(), q(w().fileMenu));
    EXPECT_TRUE(fileItems.contains(q(w().closeWindow))) << fileItems.join(", ").toStdString();
    EXPECT_TRUE(fileItems.contains(q(w().quit))) << fileItems.join(", ").toStdString();
    const QStringList shown = texts(*window);
    for (const char* expected : {w().presenceTitle, w().trayChoice, w().uninstallTitle})
        EXPECT_TRUE(shown.contains(q(expected))) << expected << " not in: " << shown.join(" | ").toStdString();
    EXPECT_TRUE(shown.contains(q(translate("File Manager Menu"))));
    window->close();
}

TEST_P(Language, TheQuickCreatePanelShowsItsTitleGroupsAndTypesInTheSessionsLanguage) {
    QtScreenLayout screens;
    test::RecordingApplicationWindows ordering;
    QuickCreatePanelWindowFactory factory{ordering, screens};
    test::QuickCreateHarness h{&factory, &screens};
    h.controller.showQuickCreatePanel(CreationDestinationMode::desktop);
    auto* window = dynamic_cast<QuickCreatePanelWindow*>(h.controller.quickCreatePanel());
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->windowTitle(), q(w().createFile));
    EXPECT_EQ(window->view()->searchField()->placeholderText(), q(w().searchPlaceholder));
    QStringList headings, tiles;
    for (auto* heading : window->view()->findChildren<QLabel*>(QStringLiteral("sectionHeading")))
        headings << heading->text();
    for (auto* tile : window->view()->tiles()) tiles << tile->accessibleName();
    EXPECT_EQ(headings.front(), q(w().plainText));
    EXPECT_TRUE(tiles.contains(q(w().wordDocument))) << tiles.join(", ").toStdString();
    // The session's own word for a type finds it, and so does the English one.
    QTest::keyClicks(window->view()->searchField(), QString::fromUtf8(w().wordDocument).left(6));
    EXPECT_EQ(window->view()->tiles().size(), 1u);
    window->close();
}

TEST_P(Language, TheTrayMenuIsInTheSessionsLanguage) {
    test::QuickCreateHarness quick;
    quick.settings.enabledFileTypeIDs.set({"txt", "docx"});
    test::RecordingStatusBar statusBar;
    test::RecordingApplicationWindows policy;
    test::Journal journal;
    test::RecordingApplicationLifecycle termination(journal);
    AppPresenceController presence(
        AppPresenceEnvironment{statusBar, policy, quick.mainQueue, quick.controller, [] {}, termination, false});
    QuilletSelfUpdater updater(QuilletSelfUpdateConfiguration{}, [](const auto&) { return nullptr; });
    presence.start(quick.settings, updater);
    QMenu menu;
    renderStatusMenu(menu, presence.buildStatusMenu());
    const QStringList items = entries(menu);
    ASSERT_GE(items.size(), 3);
    EXPECT_EQ(items[0], q(w().quickCreateItem));
    EXPECT_EQ(items[1], q(w().createOnDesktop));
    EXPECT_EQ(items[2], q(w().createInFolder));
    EXPECT_EQ(items.back(), q(w().quit));
    const QStringList desktop = entries(*menu.actions()[1]->menu());
    EXPECT_EQ(desktop, (QStringList{q(w().plainText), q(translate("Text")), QStringLiteral("---"),
                                    q(translate("Office")), q(w().wordDocument)}));
}

TEST_P(Language, TheDolphinServiceMenuNamesItsSubmenuAndTypesInTheSessionsLanguage) {
    const auto text = dolphinServiceMenuText({*fileType("txt"), *fileType("docx")}, "/usr/bin/quillet");
    ASSERT_TRUE(text);
    EXPECT_NE(text->find(std::string("X-KDE-Submenu=") + w().createFile + "\n"), std::string::npos) << *text;
    EXPECT_NE(text->find(std::string("Name=") + w().wordDocument + "\n"), std::string::npos) << *text;
    EXPECT_NE(text->find("Name=Quillet+\n"), std::string::npos);
}

// A fault deep in the update stack reaches the alert as a sentence of the session's language.
TEST(UpdateFaultTexts, AnUpdateThatCannotBeUnpackedSaysWhyInTheSessionsLanguage) {
    SessionLanguage german{"de", "de_DE.UTF-8"};
    ASSERT_TRUE(german.available());
    OnDemandUpdateAdapters adapters{QUILLET_BINARY_DIR "/no-such-update-module.so"};
    try {
        adapters.unpack("/nonexistent/update.tar.gz", "/nonexistent/staging");
        ADD_FAILURE() << "unpacked without the update module";
    } catch (const ArchiveUnpackError& error) {
        EXPECT_EQ(error.description().rfind("Das Aktualisierungsarchiv wurde nicht entpackt: Der Teil von Quillet+, der "
                                            "Aktualisierungen herunterlädt, konnte nicht geladen werden (",
                                            0),
                  0u)
            << error.description();
    }
}

// What Qt draws itself (a dialog's standard buttons, a field's context menu) comes from Qt's own
// catalogues, for the same language.
TEST(QtStandardTexts, QtsOwnTextsFollowTheLanguage) {
    if (QLibraryInfo::path(QLibraryInfo::TranslationsPath).isEmpty() ||
        !QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_de.qm")))
        GTEST_SKIP() << "Qt's catalogues (qt6-translations-l10n) are not installed";
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    installQtStandardTexts(*QCoreApplication::instance());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    QLocale::setDefault(QLocale::c());
}

INSTANTIATE_TEST_SUITE_P(Sessions, Language, ::testing::Values(kGerman, kFrench, kSpanish, kEnglish),
                         [](const auto& info) {
                             return std::string(*info.param.language ? info.param.language : "en");
                         });

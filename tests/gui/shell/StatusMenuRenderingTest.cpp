#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <QWidget>

#include "app/presence/AppPresenceController.h"
#include "app/update/QuilletSelfUpdater.h"
#include "gui/shell/QtStatusBar.h"
#include "gui/shell/QtStatusMenu.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "tests/support/PresenceDoubles.h"
#include "tests/support/QuickCreateHarness.h"
#include "tests/support/UninstallDoubles.h"

using namespace quillet;

namespace {

// Each entry as text: "---" for a separator, "[title]" for a disabled entry, "title>" for a
// submenu.
QStringList entries(const QMenu& menu) {
    QStringList result;
    for (QAction* action : menu.actions()) {
        if (action->isSeparator()) {
            result << QStringLiteral("---");
            continue;
        }
        QString text = action->text();
        if (action->menu()) text += QLatin1Char('>');
        if (!action->isEnabled()) text = QLatin1Char('[') + text + QLatin1Char(']');
        result << text;
    }
    return result;
}

StatusMenuItem menuItem(StatusMenuItem::Kind kind, std::string title, std::string symbolName = {}) {
    StatusMenuItem item;
    item.kind = kind;
    item.title = std::move(title);
    item.symbolName = std::move(symbolName);
    item.accessibilityDescription = item.title;
    return item;
}

QAction* actionTitled(const QMenu& menu, const QString& title) {
    for (QAction* action : menu.actions())
        if (action->text() == title) return action;
    return nullptr;
}

}  // namespace

// The menu value drawn as a QMenu: every kind of entry, enabled states, icons and actions.
TEST(StatusMenuRendering, RendersSeparatorsHeadersSubmenusAndEnabledStates) {
    int chosen = 0;
    auto create = menuItem(StatusMenuItem::Kind::action, "Markdown", "doc.richtext");
    create.action = [&] { ++chosen; };
    auto header = menuItem(StatusMenuItem::Kind::header, "Plain Text");
    header.isEnabled = false;
    auto submenu = menuItem(StatusMenuItem::Kind::submenu, "Create on Desktop", "desktopcomputer");
    submenu.submenu = {header, create};
    auto disabled = menuItem(StatusMenuItem::Kind::action, "Check for Updates...", "arrow.triangle.2.circlepath");
    disabled.isEnabled = false;
    disabled.action = [&] { chosen += 100; };
    const StatusMenu value{submenu, StatusMenuItem::separator(), disabled,
                           menuItem(StatusMenuItem::Kind::action, "Quit Quillet+", "power")};

    QMenu menu;
    renderStatusMenu(menu, value);
    EXPECT_EQ(entries(menu), (QStringList{"Create on Desktop>", "---", "[Check for Updates...]", "Quit Quillet+"}));
    QAction* desktop = actionTitled(menu, QStringLiteral("Create on Desktop"));
    ASSERT_NE(desktop, nullptr);
    ASSERT_NE(desktop->menu(), nullptr);
    EXPECT_EQ(desktop->menu()->title(), QStringLiteral("Create on Desktop"));
    EXPECT_EQ(entries(*desktop->menu()), (QStringList{"[Plain Text]", "Markdown"}));
    EXPECT_FALSE(desktop->icon().isNull());
    EXPECT_FALSE(actionTitled(menu, QStringLiteral("Quit Quillet+"))->icon().isNull());

    actionTitled(*desktop->menu(), QStringLiteral("Markdown"))->trigger();
    EXPECT_EQ(chosen, 1);
    // A disabled entry does nothing when triggered.
    actionTitled(menu, QStringLiteral("Check for Updates..."))->trigger();
    EXPECT_EQ(chosen, 1);
}

// The tray icon carries the tool tip, the image at both densities, and the controller's menu; a
// new menu replaces the old one whole.
TEST(StatusMenuRendering, TheTrayIconShowsTheControllersMenuToolTipAndImage) {
    test::QuickCreateHarness quick;
    quick.settings.fileTypeOrder.set(defaultOrder());
    quick.settings.enabledFileTypeIDs.set({"txt", "json", "docx"});
    quick.settings.appPresence.set(AppPresence::dockOnly);
    test::RecordingStatusBar statusBar;
    test::RecordingApplicationWindows policy;
    test::Journal journal;
    test::RecordingApplicationLifecycle termination(journal);
    QuilletSelfUpdater updater(QuilletSelfUpdateConfiguration{}, [](const auto&) { return nullptr; });
    AppPresenceController presence(
        AppPresenceEnvironment{statusBar, policy, quick.mainQueue, quick.controller, [] {}, termination, false});
    presence.start(quick.settings, updater);

    QtStatusBar bar;
    auto item = bar.makeStatusItem();
    auto& trayItem = static_cast<QtStatusItem&>(*item);
    EXPECT_EQ(trayItem.trayIcon().toolTip(), QStringLiteral("Quillet+"));
    const QIcon icon = trayItem.trayIcon().icon();
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{QSize(22, 18), QSize(44, 36)}));

    item->setMenu(presence.buildStatusMenu());
    QMenu* first = trayItem.trayIcon().contextMenu();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(entries(*first), (QStringList{"Quick Create...", "Create on Desktop>", "Create in Open Folder>", "---",
                                            "Open Quillet+", "---", "Uninstall Quillet+...", "Quit Quillet+"}));
    for (const auto* title : {"Create on Desktop", "Create in Open Folder"})
        EXPECT_EQ(entries(*actionTitled(*first, QString::fromUtf8(title))->menu()),
                  (QStringList{"[Plain Text]", "Text", "---", "[Code]", "JSON", "---", "[Office]", "Word Document"}));

    quick.settings.setEnabled(false, "docx");
    item->setMenu(presence.buildStatusMenu());
    QMenu* second = trayItem.trayIcon().contextMenu();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(entries(*actionTitled(*second, QStringLiteral("Create on Desktop"))->menu()),
              (QStringList{"[Plain Text]", "Text", "---", "[Code]", "JSON"}));

    // A left click opens the menu too; a double or middle click does not.
    EXPECT_FALSE(second->isVisible());
    trayItem.trayIcon().activated(QSystemTrayIcon::DoubleClick);
    trayItem.trayIcon().activated(QSystemTrayIcon::MiddleClick);
    EXPECT_FALSE(second->isVisible());
    trayItem.trayIcon().activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(QTest::qWaitFor([&] { return second->isVisible(); }, 2000));
    second->hide();
    presence.stop();
}

// The image follows the drawing: solid front page, half-transparent back page, and the cut-outs
// (plus sign, folded corner) clear, at 1x and 2x alike.
TEST(StatusMenuRendering, TheTrayImageHasItsPagesBadgeAndCutOuts) {
    const QIcon icon = trayImageIcon(Qt::black);
    for (int scale : {1, 2}) {
        const QImage image = icon.pixmap(QSize(22 * scale, 18 * scale)).toImage();
        ASSERT_EQ(image.size(), QSize(22 * scale, 18 * scale));
        // Design points (y up) to image pixels.
        const auto alphaAt = [&](double x, double y) { return qAlpha(image.pixel(int(x * scale), int((18 - y) * scale))); };
        EXPECT_EQ(alphaAt(17.5, 5.5), 255) << "front page, below the text lines";
        EXPECT_EQ(alphaAt(6.6, 15.5), 128) << "back page, left of the front one";
        EXPECT_EQ(alphaAt(19.5, 16.6), 0) << "folded corner";
        EXPECT_EQ(alphaAt(6.65, 6.05), 0) << "centre of the plus";
        EXPECT_EQ(alphaAt(3.0, 8.5), 255) << "disc beside the plus";
        EXPECT_EQ(alphaAt(0.5, 17.5), 0) << "outside every shape";
    }
}

namespace {

double luminance(const QColor& color) {
    return 0.2126 * color.redF() + 0.7152 * color.greenF() + 0.0722 * color.blueF();
}

// The mean luminance of the icon's opaque pixels.
double inkLuminance(const QIcon& icon) {
    const QImage image = icon.pixmap(QSize(22, 18)).toImage().convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) < 250) continue;
            sum += luminance(QColor(qRed(pixel), qGreen(pixel), qBlue(pixel)));
            ++count;
        }
    return count ? sum / count : -1;
}

QPalette panelPalette(const QColor& window, const QColor& text) {
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    return palette;
}

}  // namespace

// On a light panel the icon is dark, on a dark one light: its ink stands at least half the
// luminance scale away from the panel's background. A palette change (the desktop switching to
// dark mode) draws it again.
TEST(StatusMenuRendering, TheTrayIconStandsOutOnLightAndDarkPanels) {
    const QPalette original = QApplication::palette();
    const QPalette light = panelPalette(QColor(0xf6, 0xf5, 0xf4), QColor(0x2e, 0x34, 0x36));
    const QPalette dark = panelPalette(QColor(0x24, 0x24, 0x24), QColor(0xee, 0xee, 0xec));

    QApplication::setPalette(light);
    QtStatusBar bar([] { return true; });
    auto item = bar.makeStatusItem();
    auto& tray = static_cast<QtStatusItem&>(*item);
    const double onLight = inkLuminance(tray.trayIcon().icon());
    EXPECT_GT(luminance(light.color(QPalette::Window)) - onLight, 0.5) << onLight;

    QApplication::setPalette(dark);
    const double onDark = inkLuminance(tray.trayIcon().icon());
    EXPECT_GT(onDark - luminance(dark.color(QPalette::Window)), 0.5) << onDark;
    QApplication::setPalette(original);
}

// Where the tray recolours symbolic icons itself (GNOME's panel, dark whatever the palette) and
// the symbolic icon is installed among the desktop's icons, the icon goes over by that name
// (with the drawn image beside it); elsewhere it is only drawn.
TEST(StatusMenuRendering, ATrayThatRecoloursSymbolicIconsGetsTheIconByName) {
    QTemporaryDir data;
    const QString folder = data.filePath(QStringLiteral("icons/hicolor/symbolic/apps"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLET_SOURCE_DIR
                                           "/resources/org.quillet.Quillet-symbolic.svg"),
                            folder + QStringLiteral("/org.quillet.Quillet-symbolic.svg")));
    const QByteArray dataDirs = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_DIRS", data.path().toUtf8());

    QtStatusBar gnome([] { return true; }, [] { return true; });
    auto byName = gnome.makeStatusItem();
    const QIcon named = static_cast<QtStatusItem&>(*byName).trayIcon().icon();
    EXPECT_EQ(named.name(), QtStatusItem::kSymbolicIconName);
    EXPECT_FALSE(named.pixmap(QSize(22, 18)).isNull()) << "the drawn image goes along";
    QtStatusBar other([] { return true; }, [] { return false; });
    auto drawn = other.makeStatusItem();
    EXPECT_TRUE(static_cast<QtStatusItem&>(*drawn).trayIcon().icon().name().isEmpty());

    qputenv("XDG_DATA_DIRS", data.path().toUtf8() + "/nothing-here");
    auto missing = gnome.makeStatusItem();
    EXPECT_TRUE(static_cast<QtStatusItem&>(*missing).trayIcon().icon().name().isEmpty());
    if (dataDirs.isEmpty())
        qunsetenv("XDG_DATA_DIRS");
    else
        qputenv("XDG_DATA_DIRS", dataDirs);
}

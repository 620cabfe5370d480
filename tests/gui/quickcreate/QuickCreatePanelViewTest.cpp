#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QImage>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include <set>

#include "gui/quickcreate/QuickCreatePanelView.h"
#include "gui/quickcreate/QuickCreatePanelWindow.h"
#include "app/quickcreate/SymbolIcons.h"
#include "platform/linux/QtScreenLayout.h"
#include "gui/quickcreate/QtSymbolIcons.h"
#include "tests/support/QuickCreateHarness.h"

using namespace quillet;

namespace {

QStringList tileNames(const QuickCreatePanelView& view) {
    QStringList names;
    for (auto* tile : view.tiles()) names << QString::fromStdString(tile->type().displayName);
    return names;
}

class QuickCreatePanelViewTest : public ::testing::Test {
protected:
    QuickCreatePanelWindowFactory factory;
    QtScreenLayout screens;
    test::QuickCreateHarness h{&factory, &screens};

    QuickCreatePanelWindow& open() {
        h.controller.showQuickCreatePanel(CreationDestinationMode::desktop);
        auto* window = dynamic_cast<QuickCreatePanelWindow*>(h.controller.quickCreatePanel());
        EXPECT_NE(window, nullptr);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        return *window;
    }
    QuickCreatePanelView& view() { return *open().view(); }
};

TEST_F(QuickCreatePanelViewTest, OpensAsAFloatingToolWindowWithTheSearchFieldFocused) {
    QuickCreatePanelWindow& window = open();
    EXPECT_EQ(window.windowTitle(), "Create File");
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window.size(), QSize(560, 600));
    EXPECT_EQ(window.minimumSize(), QSize(520, 520));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.view()->searchField()->hasFocus(); }, 2000));
    EXPECT_EQ(window.view()->searchField()->placeholderText(), "Search file types");
    EXPECT_EQ(window.view()->sectionHeadings(), (QStringList{"Plain Text", "Code", "Office"}));
    EXPECT_EQ(window.view()->tiles().size(), 16u);
    EXPECT_EQ(window.view()->destinationPicker()->width(), 238);
}

TEST_F(QuickCreatePanelViewTest, TypingNarrowsTheSectionsAndPlainFindsNothing) {
    QuickCreatePanelView& v = view();
    QTest::keyClicks(v.searchField(), "mark");
    EXPECT_EQ(h.controller.searchText.get(), "mark");
    EXPECT_EQ(v.sectionHeadings(), QStringList{"Plain Text"});
    EXPECT_EQ(tileNames(v), QStringList{"Markdown"});
    EXPECT_FALSE(v.showsEmptyState());

    v.searchField()->clear();
    QTest::keyClicks(v.searchField(), "SCRIPT");
    EXPECT_EQ(tileNames(v), (QStringList{"JavaScript", "Shell Script"}));

    v.searchField()->selectAll();
    QTest::keyClicks(v.searchField(), "plain");
    EXPECT_TRUE(v.sectionHeadings().isEmpty());
    EXPECT_TRUE(v.tiles().empty());
    EXPECT_TRUE(v.showsEmptyState());
}

TEST_F(QuickCreatePanelViewTest, WithEveryTypeDisabledOnlyTheEmptyStateShows) {
    QuickCreatePanelView& v = view();
    h.settings.enabledFileTypeIDs.set({});
    EXPECT_TRUE(v.showsEmptyState());
    EXPECT_TRUE(v.tiles().empty());
    QTest::keyClicks(v.searchField(), "t");
    EXPECT_TRUE(v.showsEmptyState());
    h.settings.setEnabled(true, "txt");  // turning a type on brings its tile back at once
    EXPECT_EQ(tileNames(v), QStringList{"Text"});
}

TEST_F(QuickCreatePanelViewTest, ThePickerSwitchesTheFooterAndTilesCreateInTheChosenDestination) {
    QuickCreatePanelView& v = view();
    EXPECT_EQ(v.footerTitle(), "Desktop");
    EXPECT_EQ(v.footerDetail(), QString::fromStdString(h.desktop.string()));
    EXPECT_EQ(v.footerSymbol(), "desktopcomputer");

    auto* picker = v.destinationPicker();
    QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentCenter(CreationDestinationMode::frontFinderFolder));
    EXPECT_EQ(h.controller.destinationMode.get(), CreationDestinationMode::frontFinderFolder);
    EXPECT_EQ(v.footerTitle(), "Finder Folder");
    EXPECT_EQ(v.footerDetail(), "Front Finder folder");
    EXPECT_EQ(v.footerSymbol(), "folder");
    EXPECT_FALSE(v.footerTitleIsStatus());

    const auto reports = h.root.path() / "Reports";
    std::filesystem::create_directories(reports);
    h.destinations.frontFolder = reports;
    QTest::keyClicks(v.searchField(), "mark");
    ASSERT_EQ(v.tiles().size(), 1u);
    QTest::mouseClick(v.tiles()[0], Qt::LeftButton);
    EXPECT_TRUE(std::filesystem::exists(reports / "Untitled.md"));
    EXPECT_EQ(v.footerTitle(), "Created Untitled.md in Reports");
    EXPECT_TRUE(v.footerTitleIsStatus());
    EXPECT_TRUE(h.controller.quickCreatePanel()->isVisible());  // a creation does not dismiss it
}

TEST_F(QuickCreatePanelViewTest, EscapeHidesAndReopeningStartsAfreshOnTheDesktop) {
    QuickCreatePanelWindow& window = open();
    QuickCreatePanelView& v = *window.view();
    QTest::mouseClick(v.destinationPicker(), Qt::LeftButton, {},
                      v.destinationPicker()->segmentCenter(CreationDestinationMode::frontFinderFolder));
    QTest::keyClicks(v.searchField(), "txt");
    QTest::mouseClick(v.tiles()[0], Qt::LeftButton);
    ASSERT_TRUE(h.controller.statusMessage.get().has_value());

    QTest::keyClick(v.searchField(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());

    QuickCreatePanelWindow& again = open();
    EXPECT_EQ(&again, &window);
    EXPECT_TRUE(again.isVisible());
    EXPECT_EQ(v.searchField()->text(), "");
    EXPECT_EQ(v.tiles().size(), 16u);
    EXPECT_EQ(v.footerTitle(), "Desktop");
    EXPECT_FALSE(v.footerTitleIsStatus());
    EXPECT_EQ(v.destinationPicker()->mode(), CreationDestinationMode::desktop);
}

TEST_F(QuickCreatePanelViewTest, ClosingOnlyHidesThePanel) {
    QuickCreatePanelWindow& window = open();
    EXPECT_FALSE(window.close());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(h.controller.quickCreatePanel(), &window);
}

TEST_F(QuickCreatePanelViewTest, ThePanelStepsAsideWhileTheApplicationIsInactive) {
    QuickCreatePanelWindow& window = open();
    emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(window.isVisible());
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_TRUE(window.isVisible());

    // Hidden on purpose, it stays hidden when the application becomes active.
    window.orderOut();
    emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(QuickCreatePanelViewTest, HoveringATileHighlightsIt) {
    QuickCreatePanelView& v = view();
    FileTypeTileButton* tile = v.tiles()[0];
    EXPECT_FALSE(tile->isHovered());
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), tile->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(tile, &enter);
    EXPECT_TRUE(tile->isHovered());
    const QImage hovered = tile->grab().toImage();
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(tile, &leave);
    EXPECT_FALSE(tile->isHovered());
    EXPECT_NE(tile->grab().toImage(), hovered);
}

TEST_F(QuickCreatePanelViewTest, PlacementIsConvertedToTheToolkitsTopLeftCoordinates) {
    QuickCreatePanelWindow& window = open();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    window.setFrameOrigin({12, 12});  // bottom left corner, 12 in
    const QRect frame = window.frameGeometry();
    EXPECT_EQ(frame.x(), 12);
    EXPECT_EQ(frame.y() + frame.height(), screen.height() - 12);

    // The controller's rule lands the panel 12 inside the screen's top right corner when the
    // pointer is there.
    QCursor::setPos(screen.width() - 1, 0);
    h.controller.showQuickCreatePanel(CreationDestinationMode::desktop);
    const QRect placed = window.frameGeometry();
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(placed.x() + placed.width(), available.x() + available.width() - 12);
    EXPECT_EQ(placed.y(), available.y() + 12);
}

TEST(QtScreenLayout, ReportsThePrimaryScreenFirstInBottomLeftCoordinates) {
    QtScreenLayout layout;
    const auto screens = layout.screens();
    ASSERT_FALSE(screens.empty());
    const QRect primary = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(screens[0].frame, (ScreenRect{double(primary.x()), 0, double(primary.width()), double(primary.height())}));
    QCursor::setPos(primary.x() + 10, primary.y());  // the top row
    const ScreenPoint pointer = layout.pointerLocation();
    EXPECT_DOUBLE_EQ(pointer.x, primary.x() + 10.5);
    EXPECT_DOUBLE_EQ(pointer.y, primary.height() - 0.5);
    EXPECT_TRUE(screens[0].frame.contains(pointer));
}

TEST(QtSymbolIcons, EverySymbolIsDrawnAndTheDrawingsDiffer) {
    std::set<QByteArray> seen;
    for (const auto& symbol : symbolIcons()) {
        ASSERT_TRUE(hasDrawnSymbol(symbol.symbolName)) << symbol.symbolName;
        const QImage image = drawnSymbolIcon(symbol.symbolName, Qt::black).pixmap(QSize(24, 24)).toImage();
        ASSERT_EQ(image.size(), QSize(24, 24));
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) inked += qAlpha(image.pixel(x, y)) > 128;
        EXPECT_GT(inked, 20) << symbol.symbolName;
        EXPECT_LT(inked, 24 * 24 / 2 + 100) << symbol.symbolName;
        const QByteArray bytes(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
        EXPECT_TRUE(seen.insert(bytes).second) << symbol.symbolName << " looks like another symbol";
    }
    EXPECT_FALSE(symbolIcon("doc.text", Qt::black).isNull());
}

}  // namespace

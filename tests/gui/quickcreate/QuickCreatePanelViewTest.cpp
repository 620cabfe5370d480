#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QTest>

#include "gui/quickcreate/FileTypeTileButton.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "gui/quickcreate/QuickCreatePanelView.h"
#include "gui/quickcreate/QuickCreatePanelWindow.h"
#include "gui/style/DestinationPickerControl.h"
#include "gui/style/MiddleElidedLabel.h"
#include "platform/linux/QtScreenLayout.h"
#include "shared/catalog/UserTemplates.h"
#include "tests/support/QuickCreateHarness.h"

using namespace quillet;

namespace {

QStringList tileNames(const QuickCreatePanelView& view) {
    QStringList names;
    for (auto* tile : view.tiles()) names << QString::fromStdString(tile->type().displayName);
    return names;
}

// What the view shows, read from its widgets.
QStringList sectionHeadings(const QuickCreatePanelView& view) {
    QStringList headings;
    for (auto* heading : view.findChildren<QLabel*>(QStringLiteral("sectionHeading"))) headings << heading->text();
    return headings;
}
bool showsEmptyState(const QuickCreatePanelView& view) {
    auto* emptyState = view.findChild<QWidget*>(QStringLiteral("emptyState"));
    return emptyState && !emptyState->isHidden();
}
QString footerLine(const QuickCreatePanelView& view, const char* name) {
    auto* label = view.findChild<MiddleElidedLabel*>(QString::fromUtf8(name));
    return label ? label->fullText() : QStringLiteral("(no %1)").arg(QString::fromUtf8(name));
}
QString footerTitle(const QuickCreatePanelView& view) { return footerLine(view, "footerTitle"); }
QString footerDetail(const QuickCreatePanelView& view) { return footerLine(view, "footerDetail"); }
// A status is drawn in the primary text colour, a destination's title in the secondary one.
bool footerTitleDrawnAsStatus(const QuickCreatePanelView& view) {
    auto* label = view.findChild<MiddleElidedLabel*>(QStringLiteral("footerTitle"));
    return label && label->palette().color(QPalette::WindowText) == view.palette().color(QPalette::WindowText);
}

class QuickCreatePanelViewTest : public ::testing::Test {
protected:
    QtScreenLayout screens;
    test::RecordingApplicationWindows ordering;
    QuickCreatePanelWindowFactory factory{ordering, screens};
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
    // An undecorated pop-up: no title bar, so neither minimise nor maximise.
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(window.size(), QSize(560, 600));
    EXPECT_EQ(window.minimumSize(), QSize(520, 520));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.view()->searchField()->hasFocus(); }, 2000));
    EXPECT_EQ(window.view()->searchField()->placeholderText(), "Search file types");
    EXPECT_EQ(sectionHeadings(*window.view()), (QStringList{"Plain Text", "Code", "Office"}));
    EXPECT_EQ(window.view()->tiles().size(), 16u);
    EXPECT_EQ(window.view()->destinationPicker()->width(), 238);
}

TEST_F(QuickCreatePanelViewTest, TypingNarrowsTheSectionsAndPlainFindsNothing) {
    QuickCreatePanelView& v = view();
    QTest::keyClicks(v.searchField(), "mark");
    EXPECT_EQ(h.controller.searchText.get(), "mark");
    EXPECT_EQ(sectionHeadings(v), QStringList{"Plain Text"});
    EXPECT_EQ(tileNames(v), QStringList{"Markdown"});
    EXPECT_FALSE(showsEmptyState(v));

    v.searchField()->clear();
    QTest::keyClicks(v.searchField(), "SCRIPT");
    EXPECT_EQ(tileNames(v), (QStringList{"JavaScript", "Shell Script"}));

    v.searchField()->selectAll();
    QTest::keyClicks(v.searchField(), "plain");
    EXPECT_TRUE(sectionHeadings(v).isEmpty());
    EXPECT_TRUE(v.tiles().empty());
    EXPECT_TRUE(showsEmptyState(v));
}

TEST_F(QuickCreatePanelViewTest, TheSearchFindsTheUsersTemplatesByNameAndATileCreatesTheCopy) {
    const std::filesystem::path templates = h.root.path() / "Templates";
    std::filesystem::create_directories(templates / "Work");
    test::writeFile(templates / "Letter.odt", "letter bytes");
    test::writeFile(templates / "Work" / "Letterhead.odt", "letterhead");
    test::writeFile(templates / "Work" / "Invoice.ods", "invoice");
    h.files.fileWriter.setTemplates(UserTemplates(templates));
    h.settings.adoptTemplates(typeIDs(UserTemplates(templates).discover()));

    QuickCreatePanelView& v = view();
    EXPECT_EQ(sectionHeadings(v), (QStringList{"Plain Text", "Code", "Office", "Templates", "Work"}));
    QTest::keyClicks(v.searchField(), "lett");
    EXPECT_EQ(sectionHeadings(v), (QStringList{"Templates", "Work"}));
    EXPECT_EQ(tileNames(v), (QStringList{"Letter", "Letterhead"}));
    v.searchField()->selectAll();
    QTest::keyClicks(v.searchField(), "invoice");
    EXPECT_EQ(sectionHeadings(v), QStringList{"Work"});
    ASSERT_EQ(v.tiles().size(), 1u);
    QTest::mouseClick(v.tiles()[0], Qt::LeftButton);
    EXPECT_EQ(test::readFile(h.desktop / "Invoice.ods"), "invoice");
    EXPECT_EQ(footerTitle(v), "Created Invoice.ods in Desktop");
}

TEST_F(QuickCreatePanelViewTest, WithEveryTypeDisabledOnlyTheEmptyStateShows) {
    QuickCreatePanelView& v = view();
    h.settings.enabledFileTypeIDs.set({});
    EXPECT_TRUE(showsEmptyState(v));
    EXPECT_TRUE(v.tiles().empty());
    QTest::keyClicks(v.searchField(), "t");
    EXPECT_TRUE(showsEmptyState(v));
    h.settings.setEnabled(true, "txt");  // turning a type on brings its tile back at once
    EXPECT_EQ(tileNames(v), QStringList{"Text"});
}

TEST_F(QuickCreatePanelViewTest, ThePickerSwitchesTheFooterAndTilesCreateInTheChosenDestination) {
    QuickCreatePanelWindow& window = open();
    QuickCreatePanelView& v = *window.view();
    const QuickCreatePanelModel& model = window.model();
    EXPECT_EQ(footerTitle(v), "Desktop");
    EXPECT_EQ(footerDetail(v), QString::fromStdString(h.desktop.string()));
    EXPECT_EQ(model.footer().symbolName, "desktopcomputer");

    auto* picker = v.destinationPicker();
    QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentCenter(CreationDestinationMode::frontFinderFolder));
    EXPECT_EQ(h.controller.destinationMode.get(), CreationDestinationMode::frontFinderFolder);
    EXPECT_EQ(footerTitle(v), "Open Folder");
    EXPECT_EQ(footerDetail(v), "Folder of the front file manager window");
    EXPECT_EQ(model.footer().symbolName, "folder");
    EXPECT_FALSE(model.footer().titleIsStatus);
    EXPECT_FALSE(footerTitleDrawnAsStatus(v));

    const auto reports = h.root.path() / "Reports";
    std::filesystem::create_directories(reports);
    h.destinations.frontFolder = reports;
    QTest::keyClicks(v.searchField(), "mark");
    ASSERT_EQ(v.tiles().size(), 1u);
    QTest::mouseClick(v.tiles()[0], Qt::LeftButton);
    EXPECT_TRUE(std::filesystem::exists(reports / "Untitled.md"));
    EXPECT_EQ(footerTitle(v), "Created Untitled.md in Reports");
    EXPECT_TRUE(model.footer().titleIsStatus);
    EXPECT_TRUE(footerTitleDrawnAsStatus(v));
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
    EXPECT_EQ(footerTitle(v), "Desktop");
    EXPECT_FALSE(window.model().footer().titleIsStatus);
    EXPECT_EQ(v.destinationPicker()->mode(), CreationDestinationMode::desktop);
}

// Opened by a hot key, the panel is used from the keyboard alone: the first match is selected
// (and drawn so), the arrows move from the search field, Return creates as a click does, Escape
// closes; the next opening starts again at the first match.
TEST_F(QuickCreatePanelViewTest, TypeAndReturnCreatesTheFirstMatchAndTheArrowsChooseAnother) {
    QuickCreatePanelWindow& window = open();
    QuickCreatePanelView& v = *window.view();
    auto selectedNames = [&] {
        QStringList names;
        for (auto* tile : v.tiles())
            if (tile->isSelected()) names << QString::fromStdString(tile->type().id);
        return names;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return v.searchField()->hasFocus(); }, 2000));
    EXPECT_EQ(selectedNames(), QStringList{"txt"});

    QTest::keyClicks(v.searchField(), "script");
    EXPECT_EQ(selectedNames(), QStringList{"js"});
    QTest::keyClick(v.searchField(), Qt::Key_Return);
    EXPECT_TRUE(std::filesystem::exists(h.desktop / "Untitled.js"));
    EXPECT_EQ(footerTitle(v), "Created Untitled.js in Desktop");

    QTest::keyClick(v.searchField(), Qt::Key_Right);
    EXPECT_EQ(selectedNames(), QStringList{"sh"});
    EXPECT_TRUE(v.searchField()->hasFocus());
    EXPECT_EQ(v.searchField()->text(), "script");
    QTest::keyClick(v.searchField(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(std::filesystem::exists(h.desktop / "Untitled.sh"));

    QTest::keyClick(v.searchField(), Qt::Key_Backspace);  // a changed search selects its first match
    EXPECT_EQ(selectedNames(), QStringList{"js"});
    QTest::keyClick(v.searchField(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(v.searchField(), Qt::Key_Backspace);  // every type again: the first is selected
    EXPECT_EQ(selectedNames(), QStringList{"txt"});
    FileTypeTileButton* csv = v.tiles()[3];
    ASSERT_EQ(csv->type().id, "csv");
    const QImage plain = csv->grab().toImage();
    QTest::keyClick(v.searchField(), Qt::Key_Down);  // the row below holds only CSV
    EXPECT_EQ(selectedNames(), QStringList{"csv"});
    EXPECT_NE(csv->grab().toImage(), plain) << "the selected tile is drawn so";
    // With QUILLET_SCREENSHOT_DIR set, the panel with its selection is saved to look at.
    if (const QString folder = qEnvironmentVariable("QUILLET_SCREENSHOT_DIR"); !folder.isEmpty()) {
        QTest::qWait(50);
        window.grab().save(folder + QStringLiteral("/quick-create-selection.png"));
    }
    QTest::keyClick(v.searchField(), Qt::Key_Return);
    EXPECT_TRUE(std::filesystem::exists(h.desktop / "Untitled.csv"));

    // Down to the last row, out of sight in the smallest panel: it is scrolled into view.
    window.resize(window.minimumSize());
    QTest::qWait(20);
    for (int i = 0; i < 6; ++i) QTest::keyClick(v.searchField(), Qt::Key_Down);
    EXPECT_EQ(selectedNames(), QStringList{"docx"});
    FileTypeTileButton* docx = v.tiles()[13];
    auto* viewport = docx->window()->findChild<QScrollArea*>()->viewport();
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return viewport->rect().contains(QRect(docx->mapTo(viewport, QPoint()), docx->size()));
    }, 1000));

    QTest::keyClick(v.searchField(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    open();
    EXPECT_EQ(selectedNames(), QStringList{"txt"});

    // The mouse is as it was: a click creates the clicked tile, whichever is selected.
    QTest::mouseClick(v.tiles()[1], Qt::LeftButton);
    EXPECT_TRUE(std::filesystem::exists(h.desktop / "Untitled.md"));
    EXPECT_FALSE(std::filesystem::exists(h.desktop / "Untitled.txt"));
}

TEST_F(QuickCreatePanelViewTest, ClosingOnlyHidesThePanel) {
    QuickCreatePanelWindow& window = open();
    EXPECT_FALSE(window.close());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(h.controller.quickCreatePanel(), &window);
}

// A dismissed panel is redrawn for the next opening while it is hidden; the opening then keeps
// every tile in place.
TEST_F(QuickCreatePanelViewTest, DismissingRedrawsForTheNextOpeningWhileHidden) {
    QuickCreatePanelWindow& window = open();
    QuickCreatePanelView& v = *window.view();
    const std::vector<FileTypeTileButton*> everyTile = v.tiles();
    QTest::keyClicks(v.searchField(), QStringLiteral("json"));
    EXPECT_EQ(tileNames(v), QStringList{"JSON"});
    QTest::keyClick(v.searchField(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(v.searchField()->text(), QString());
    EXPECT_EQ(v.tiles().size(), everyTile.size());

    const std::vector<FileTypeTileButton*> hiddenTiles = v.tiles();
    open();
    EXPECT_EQ(v.tiles(), hiddenTiles) << "the opening rebuilt the grid";
}

TEST_F(QuickCreatePanelViewTest, ThePanelStepsAsideWhileTheApplicationIsInactive) {
    QuickCreatePanelWindow& window = open();
    emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }));
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_TRUE(window.isVisible());

    // Inactive only for a moment (the focus the panel's last showing lost, heard of after it
    // was shown again): it is not hidden even briefly, as the window manager may not bring a
    // window hidden and shown again in the same moment back.
    struct HideCounter : QObject {
        int hides = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            hides += event->type() == QEvent::Hide;
            return false;
        }
    } counter;
    window.installEventFilter(&counter);
    emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    QTest::qWait(300);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(counter.hides, 0);
    window.removeEventFilter(&counter);

    // Hidden on purpose, it stays hidden when the application becomes active.
    window.orderOut();
    emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(QuickCreatePanelViewTest, OpeningAsksForEveryDesktopAndTheFocusWithTheKeyPresssTime) {
    QuickCreatePanelWindow& window = open();
    ASSERT_EQ(ordering.onEveryDesktop.size(), 1u);
    EXPECT_EQ(ordering.onEveryDesktop[0].window, window.winId());
    EXPECT_EQ(ordering.onEveryDesktop[0].userActionTime, 0u);  // opened without a key press

    window.makeKeyAndOrderFront(4242);
    ASSERT_EQ(ordering.onEveryDesktop.size(), 2u);
    EXPECT_EQ(ordering.onEveryDesktop[1].window, window.winId());
    EXPECT_EQ(ordering.onEveryDesktop[1].userActionTime, 4242u);
}

TEST_F(QuickCreatePanelViewTest, TheViewFollowsTheModelOnlyWhileItLives) {
    QuickCreatePanelModel model(h.controller);
    const size_t before = h.controller.searchText.subscriberCount();
    auto view = std::make_unique<QuickCreatePanelView>(model);
    EXPECT_EQ(h.controller.searchText.subscriberCount(), before + 1);
    h.controller.searchText.set("json");
    EXPECT_EQ(tileNames(*view), QStringList{"JSON"});
    view.reset();
    EXPECT_EQ(h.controller.searchText.subscriberCount(), before);
    h.controller.searchText.set("txt");  // reaches no destroyed view
    h.settings.enabledFileTypeIDs.set({});
}

// Every type's name shows whole at the one name size, on one line or two, in the panel and in
// a tile at its narrowest: "Excel Spreadsheet" is not drawn smaller, "PowerPoint Presentation"
// is not cut.
TEST_F(QuickCreatePanelViewTest, EveryTileShowsItsWholeNameAtTheSameSize) {
    const auto fits = [](const FileTypeTileButton& tile) {
        const QStringList lines = tile.nameLines();
        EXPECT_LE(lines.size(), 2) << tile.type().displayName;
        EXPECT_EQ(lines.join(QLatin1Char(' ')), QString::fromStdString(tile.type().displayName));
        const QFontMetrics metrics(FileTypeTileButton::nameFont());
        for (const QString& line : lines)
            EXPECT_LE(metrics.horizontalAdvance(line), tile.textRect().width()) << line.toStdString();
        const int textHeight = metrics.height() * int(lines.size()) + 1 + QFontMetrics(tile.font()).height();
        EXPECT_LE(textHeight, tile.height()) << tile.type().displayName;
    };
    QuickCreatePanelView& panel = view();
    ASSERT_EQ(panel.tiles().size(), allTypes().size());
    for (const FileTypeTileButton* tile : panel.tiles()) fits(*tile);
    for (const auto& type : allTypes()) {
        FileTypeTileButton tile(type, [] {});
        tile.resize(FileTypeTileButton::kMinimumWidth, FileTypeTileButton::kMinimumHeight);
        fits(tile);
    }
    EXPECT_EQ(FileTypeTileButton::nameFont().pixelSize(), 13);
}

TEST_F(QuickCreatePanelViewTest, HoveringATileHighlightsIt) {
    QuickCreatePanelView& v = view();
    FileTypeTileButton* tile = v.tiles()[1];  // not the selected one, which is lit already
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

TEST(QuickCreatePanelWindow, ConvertsPlacementThroughTheScreenLayoutsMainScreenBottom) {
    test::FixedScreenLayout screens;
    screens.displayScreens = {{{0, 0, 900, 700}, {0, 0, 900, 680}}};
    test::RecordingApplicationWindows ordering;
    test::QuickCreateHarness h;
    QuickCreatePanelWindow window(h.controller, ordering, screens);
    window.setFrameOrigin({30, 40});
    EXPECT_EQ(window.frameGeometry().x(), 30);
    EXPECT_EQ(window.frameGeometry().bottom() + 1, 700 - 40);
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
    EXPECT_DOUBLE_EQ(layout.mainScreenBottom(), primary.y() + primary.height());
}

}  // namespace

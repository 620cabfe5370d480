#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QShortcut>
#include <QTest>

#include <memory>

#include "app/access/FolderAccessSetupModel.h"
#include "shared/text/DesktopWords.h"
#include "app/settings/AppSettings.h"
#include "app/settings/FileTypesListModel.h"
#include "app/shortcuts/ShortcutSettingsModel.h"
#include "app/windows/CreationGuideModel.h"
#include "gui/access/FolderAccessSetupView.h"
#include "gui/settings/FileTypesListView.h"
#include "gui/settings/SwitchButton.h"
#include "gui/shortcuts/ShortcutRecorderControl.h"
#include "gui/shortcuts/ShortcutSettingsView.h"
#include "gui/style/DestinationPickerControl.h"
#include "gui/windows/AppWindows.h"
#include "gui/windows/CreationGuideView.h"
#include "gui/windows/ExtensionStatusView.h"
#include "gui/windows/UninstallView.h"
#include "gui/windows/ViewWithModel.h"
#include "tests/support/GrantStoreFixture.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;

namespace {

// The main window with the cards the application puts in it, each on its real model, over a
// private settings suite; the hot keys are a counter of suspensions.
struct MainWindow : test::GrantStoreFixture {
    AppSettings settings{suite()};
    test::TemporaryFolder home;
    int activeSuspensions = 0;
    int quits = 0;
    AppWindows windows{settings, "Version 1.2.3",
                       [this] {
                           ContentViewParts parts;
                           parts.cards.push_back(
                               [](QWidget* parent) -> QWidget* { return new ExtensionStatusView([] {}, {}, parent); });
                           parts.cards.push_back([this](QWidget* parent) -> QWidget* {
                               return makeViewWithModel<CreationGuideView>(std::make_unique<CreationGuideModel>(settings),
                                                                           parent);
                           });
                           parts.cards.push_back([this](QWidget* parent) -> QWidget* {
                               FolderAccessLocations locations;
                               locations.realHome = home.path();
                               return makeViewWithModel<FolderAccessSetupView>(
                                   std::make_unique<FolderAccessSetupModel>(access, names, locations, true), parent);
                           });
                           parts.cards.push_back([this](QWidget* parent) -> QWidget* {
                               return makeViewWithModel<ShortcutSettingsView>(
                                   std::make_unique<ShortcutSettingsModel>(settings, true),
                                   [this] {
                                       ++activeSuspensions;
                                       return HotKeySuspension([this] { --activeSuspensions; });
                                   },
                                   parent);
                           });
                           parts.cards.push_back(
                               [](QWidget* parent) -> QWidget* { return new UninstallView([] {}, DesktopWords{}, parent); });
                           parts.fileTypes = [this](QWidget* parent) -> QWidget* {
                               return makeViewWithModel<FileTypesListView>(std::make_unique<FileTypesListModel>(settings),
                                                                           parent);
                           };
                           return parts;
                       },
                       {[](QWidget* parent) { return new QWidget(parent); }, {}},
                       {nullptr, [] {}, [this] { ++quits; }, {}, {}}};

    QMainWindow* open() {
        settings.hasCompletedOnboarding.set(true);
        windows.openMainWindow();
        QMainWindow* window = windows.mainWindow();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        return window;
    }
};

// A control a mouse user can work: every one must be reached by Tab.
bool isInteractive(QWidget* widget) {
    if (!widget->isVisible() || !widget->isEnabled()) return false;
    if (qobject_cast<QAbstractScrollArea*>(widget)) return false;  // a container, not a control
    if (widget->inherits("QScrollBar") || widget->inherits("QSplitterHandle")) return false;
    return qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
           qobject_cast<ShortcutRecorderControl*>(widget) || qobject_cast<DestinationPickerControl*>(widget);
}

// Buttons of an exclusive group are one stop, as radio buttons are: Tab reaches the checked one
// and the arrow keys choose among them.
QAbstractButton* groupStop(QWidget* widget) {
    auto* button = qobject_cast<QAbstractButton*>(widget);
    if (!button || !button->group() || !button->group()->exclusive()) return nullptr;
    return button->group()->checkedButton();
}

// Where a widget sits in the window's layout, whatever is scrolled: its offsets summed up to the
// window, except the scrolled content's own.
int layoutTop(QWidget* widget) {
    int y = 0;
    for (QWidget* w = widget; w && !w->isWindow(); w = w->parentWidget()) {
        QWidget* parent = w->parentWidget();
        const bool scrolledContent = parent && qobject_cast<QAbstractScrollArea*>(parent->parentWidget()) &&
                                     qobject_cast<QAbstractScrollArea*>(parent->parentWidget())->viewport() == parent;
        if (!scrolledContent) y += w->y();
    }
    return y + widget->height() / 2;
}

QString describe(QWidget* widget) {
    QString name = widget->accessibleName();
    if (name.isEmpty())
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) name = button->text();
    return QStringLiteral("%1 \"%2\"").arg(QString::fromUtf8(widget->metaObject()->className()), name);
}

// Tab (or Shift+Tab) from the focused widget until the focus comes back to it; every widget on
// the way, in order.
std::vector<QWidget*> walk(QWidget* window, bool backwards) {
    std::vector<QWidget*> visited;
    QWidget* start = QApplication::focusWidget();
    for (int i = 0; i < 300; ++i) {
        QWidget* focused = QApplication::focusWidget();
        if (!focused || focused->window() != window) break;
        if (backwards)
            QTest::keyClick(focused, Qt::Key_Backtab, Qt::ShiftModifier);
        else
            QTest::keyClick(focused, Qt::Key_Tab);
        QWidget* next = QApplication::focusWidget();
        if (!next || next == start) break;
        visited.push_back(next);
    }
    return visited;
}

}  // namespace

// Tab reaches every control of the main window, top to bottom, each with a focus ring of its own,
// and passes through the shortcut fields without recording; Shift+Tab walks back the same way.
TEST(MainWindowKeyboard, TabReachesEveryControlInOrderAndPassesTheRecordersBy) {
    MainWindow m;
    QMainWindow* window = m.open();
    auto* shortcuts = window->findChild<ShortcutSettingsView*>();
    ASSERT_TRUE(shortcuts);
    shortcuts->setShowsDirectShortcuts(true);  // its rows, destination and clear buttons too
    QApplication::processEvents();
    const QuickCreateShortcut quickCreate = m.settings.quickCreateShortcut.get();

    for (bool backwards : {false, true}) {
        SCOPED_TRACE(backwards ? "Shift+Tab" : "Tab");
        std::vector<QWidget*> controls;
        for (QWidget* widget : window->findChildren<QWidget*>())
            if (isInteractive(widget)) controls.push_back(widget);
        ASSERT_GT(controls.size(), 30u) << "the cards, the shortcut rows and the type switches";
        controls.front()->setFocus(Qt::TabFocusReason);

        const std::vector<QWidget*> visited = walk(window, backwards);
        for (QWidget* control : controls) {
            QWidget* stop = groupStop(control) ? groupStop(control) : control;
            EXPECT_TRUE(stop == controls.front() || std::count(visited.begin(), visited.end(), stop) == 1)
                << describe(control).toStdString() << " is never reached";
        }
        for (QWidget* widget : visited)
            EXPECT_TRUE(isInteractive(widget)) << describe(widget).toStdString() << " takes the focus but is no control";

        // Top to bottom (or back up): a control never lies above the one before it by more than
        // the height of a row whose controls are centred on different lines, except once, where
        // the walk comes round from the last control to the first.
        std::string jumpsBack;
        int jumps = 0;
        for (size_t i = 1; i < visited.size(); ++i) {
            const int step = layoutTop(visited[i]) - layoutTop(visited[i - 1]);
            if ((backwards ? -step : step) >= -24) continue;
            ++jumps;
            jumpsBack += describe(visited[i - 1]).toStdString() + " then " + describe(visited[i]).toStdString() + "; ";
        }
        EXPECT_LE(jumps, 1) << jumpsBack;
        for (auto* recorder : window->findChildren<ShortcutRecorderControl*>()) EXPECT_FALSE(recorder->isRecording());
        EXPECT_EQ(m.activeSuspensions, 0) << "passing by keeps the hot keys";
        EXPECT_EQ(m.settings.quickCreateShortcut.get(), quickCreate);
        EXPECT_TRUE(m.settings.fileTypeShortcuts->empty());
    }
}

// Each control shows where the keyboard is: drawn with the focus differs from drawn without.
TEST(MainWindowKeyboard, EveryControlDrawsAFocusRing) {
    MainWindow m;
    QMainWindow* window = m.open();
    window->findChild<ShortcutSettingsView*>()->setShowsDirectShortcuts(true);
    QApplication::processEvents();
    // A keyboard user is moving the focus: the style draws its focus frames from now on.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(window->testAttribute(Qt::WA_KeyboardFocusChange));
    std::vector<QWidget*> checked;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!isInteractive(widget)) continue;
        // One of each kind is enough; the switches are all drawn alike, and so are the recorders.
        if (std::any_of(checked.begin(), checked.end(),
                        [&](QWidget* w) { return w->metaObject() == widget->metaObject(); }))
            continue;
        checked.push_back(widget);
        window->setFocus();
        const QImage unfocused = widget->grab().toImage();
        widget->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(widget->hasFocus()) << describe(widget).toStdString();
        EXPECT_NE(widget->grab().toImage(), unfocused) << describe(widget).toStdString() << " shows no focus";
    }
    EXPECT_GE(checked.size(), 5u);
}

// The presence choice is one stop: the arrow keys move between its two buttons and choose.
TEST(MainWindowKeyboard, TheArrowsChooseThePresence) {
    MainWindow m;
    QMainWindow* window = m.open();
    QAbstractButton* checked = nullptr;
    for (auto* button : window->findChildren<QAbstractButton*>())
        if (groupStop(button) == button) checked = button;
    ASSERT_TRUE(checked);
    const AppPresence before = m.settings.appPresence.get();
    checked->setFocus(Qt::TabFocusReason);
    QTest::keyClick(checked, before == AppPresence::dockOnly ? Qt::Key_Right : Qt::Key_Left);
    EXPECT_NE(m.settings.appPresence.get(), before);
    EXPECT_TRUE(groupStop(checked)->hasFocus());
}

// On a switch, Space turns its type off and on again; the settings follow.
TEST(MainWindowKeyboard, SpaceFlipsAFileTypeSwitch) {
    MainWindow m;
    QMainWindow* window = m.open();
    // The list's rows join the window's one scrolling column.
    SwitchButton* markdown = nullptr;
    for (auto* button : window->findChildren<SwitchButton*>())
        if (button->accessibleName() == "Markdown") markdown = button;
    ASSERT_TRUE(markdown);
    markdown->setFocus(Qt::TabFocusReason);
    QTest::keyClick(markdown, Qt::Key_Space);
    EXPECT_FALSE(m.settings.enabledFileTypeIDs->count("md"));
    QTest::keyClick(markdown, Qt::Key_Space);
    EXPECT_TRUE(m.settings.enabledFileTypeIDs->count("md"));
}

namespace {
QStringList* loggedMessages = nullptr;
void recordMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (loggedMessages) *loggedMessages << message;
}
}  // namespace

// Every shortcut of the menus, and the help window's own, pressed in its window: each does its
// work and Qt never finds two that claim the same keys.
TEST(MainWindowKeyboard, NoMenuOrWindowShortcutIsAmbiguous) {
    MainWindow m;
    QStringList messages;
    loggedMessages = &messages;
    const QtMessageHandler previous = qInstallMessageHandler(recordMessage);

    auto menuItems = [&] {
        std::vector<QAction*> items;
        for (QAction* menu : m.open()->menuBar()->actions())
            if (menu->menu())
                for (QAction* item : menu->menu()->actions())
                    if (!item->shortcuts().isEmpty()) items.push_back(item);
        return items;
    };
    std::vector<std::pair<QString, QKeySequence>> pressed;
    for (QAction* item : menuItems())
        for (const QKeySequence& keys : item->shortcuts()) pressed.emplace_back(item->text(), keys);
    ASSERT_GE(pressed.size(), 2u) << "close and help at least";

    for (const auto& [title, keys] : pressed) {
        SCOPED_TRACE((title + QStringLiteral(": ") + keys.toString()).toStdString());
        int triggered = 0;
        for (QAction* item : menuItems())  // the window, and so its menus, may be new
            if (item->text() == title) QObject::connect(item, &QAction::triggered, [&] { ++triggered; });
        QTest::keySequence(m.windows.mainWindow(), keys);
        QApplication::processEvents();
        EXPECT_EQ(triggered, 1);

        QWidget* help = m.windows.helpWindow();
        if (!help || !help->isVisible()) continue;
        // The help window's own shortcuts, each pressed in it (it may be a new window each time).
        QList<QKeySequence> closing;
        for (QShortcut* shortcut : help->findChildren<QShortcut*>()) closing << shortcut->key();
        EXPECT_FALSE(closing.isEmpty());
        for (const QKeySequence& key : closing) {
            m.windows.openHelp();
            help = m.windows.helpWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(help));
            int activated = 0;
            for (QShortcut* shortcut : help->findChildren<QShortcut*>())
                if (shortcut->key() == key) QObject::connect(shortcut, &QShortcut::activated, [&] { ++activated; });
            QTest::keySequence(help, key);
            QApplication::processEvents();
            EXPECT_EQ(activated, 1) << key.toString().toStdString();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            help = m.windows.helpWindow();
        }
        if (help) help->close();
    }

    qInstallMessageHandler(previous);
    loggedMessages = nullptr;
    for (const QString& message : messages)
        EXPECT_FALSE(message.contains(QStringLiteral("Ambiguous shortcut"))) << message.toStdString();
}

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <memory>

#include "app/settings/AppSettings.h"
#include "gui/style/DestinationPickerControl.h"
#include "gui/shortcuts/DirectFileShortcutRow.h"
#include "gui/shortcuts/ShortcutRecorderView.h"
#include "gui/shortcuts/ShortcutSettingsView.h"
#include "gui/style/AppStyle.h"
#include "gui/shortcuts/ShortcutStyle.h"
#include "app/settings/SettingNotSavedError.h"
#include "shared/settings/DefaultsSuite.h"
#include "tests/support/ManualMainQueueTimer.h"
#include "tests/support/SettingsLockHolder.h"
#include "tests/support/TemporaryConfigHome.h"

using namespace quillet;

namespace {

constexpr QuickCreateShortcut kCommandM{46, kCarbonCommandKey};

class ShortcutSettingsViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        view.resize(620, view.sizeHint().height());
        view.show();
        view.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    }

    void expand() {
        QTest::mouseClick(view.directShortcutsToggle(), Qt::LeftButton);
        ASSERT_TRUE(view.showsDirectShortcuts());
    }
    DirectFileShortcutRow* row(const std::string& typeID) const {
        for (auto* r : view.rows())
            if (r->type().id == typeID) return r;
        return nullptr;
    }
    // Clicks the recorder and presses the combination, as the user records one.
    static void record(ShortcutRecorderControl* recorder, Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTest::mouseClick(recorder, Qt::LeftButton);
        QTest::keyClick(recorder, key, modifiers);
    }
    QString conflictText() const {
        return view.quickCreateConflictLabel()->isVisible() ? view.quickCreateConflictLabel()->text() : QString();
    }

    std::unique_ptr<DefaultsSuite> suite = DefaultsSuite::openInMemory("shortcut-view-test");
    AppSettings settings{*suite};
    ShortcutSettingsModel model{settings};
    ShortcutSettingsView view{model};
};

}  // namespace

TEST_F(ShortcutSettingsViewTest, DirectSectionIsBuiltOnlyWhileExpandedWithTheDestinationFirst) {
    EXPECT_FALSE(view.showsDirectShortcuts());
    EXPECT_TRUE(view.rows().empty());
    EXPECT_TRUE(view.findChildren<DirectFileShortcutRow*>().isEmpty());
    EXPECT_TRUE(view.findChildren<DestinationPickerControl*>().isEmpty());
    EXPECT_EQ(view.directShortcutsToggle()->accessibleName(), "Direct File Shortcuts");

    expand();
    ASSERT_EQ(view.rows().size(), 16u);
    EXPECT_EQ(view.rows().front()->type().id, "txt");
    EXPECT_EQ(view.rows().back()->type().id, "pptx");
    ASSERT_NE(view.destinationPicker(), nullptr);
    QApplication::processEvents();  // the new section is shown and laid out
    const int pickerY = view.destinationPicker()->mapTo(&view, QPoint()).y();
    EXPECT_LT(pickerY, view.rows().front()->mapTo(&view, QPoint()).y());
    EXPECT_EQ(row("md")->statusLabel()->text(), ".md");

    QTest::mouseClick(view.directShortcutsToggle(), Qt::LeftButton);
    EXPECT_TRUE(view.rows().empty());
    EXPECT_TRUE(view.findChildren<DirectFileShortcutRow*>().isEmpty());
}

TEST_F(ShortcutSettingsViewTest, RecordingTheQuickCreateCombinationForATypeShowsTheConflictOnBothSides) {
    expand();
    EXPECT_EQ(conflictText(), "");
    record(row("md")->recorder(), Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(settings.fileTypeShortcuts.get(), (FileTypeShortcuts{{"md", defaultQuickCreateShortcut}}));
    EXPECT_EQ(row("md")->statusLabel()->text(), "Conflicts with Quick Create");
    EXPECT_TRUE(row("md")->statusIsConflict());
    EXPECT_EQ(row("md")->statusLabel()->palette().color(QPalette::WindowText),
              shortcutstyle::conflictRed(view.palette()));
    EXPECT_EQ(conflictText(), "Conflicts with Markdown");

    // Disabled elsewhere (the file types list), the row says so in the secondary colour; the
    // Quick Create row still sees the collision.
    settings.setEnabled(false, "md");
    EXPECT_EQ(row("md")->statusLabel()->text(), ".md disabled");
    EXPECT_FALSE(row("md")->statusIsConflict());
    EXPECT_NE(row("md")->statusLabel()->palette().color(QPalette::WindowText),
              shortcutstyle::conflictRed(view.palette()));
    EXPECT_EQ(conflictText(), "Conflicts with Markdown");
}

TEST_F(ShortcutSettingsViewTest, TwoTypesWithOneCombinationNameEachOther) {
    expand();
    record(row("txt")->recorder(), Qt::Key_M, Qt::MetaModifier);
    record(row("json")->recorder(), Qt::Key_M, Qt::MetaModifier);
    EXPECT_EQ(row("txt")->statusLabel()->text(), "Conflicts with JSON");
    EXPECT_EQ(row("json")->statusLabel()->text(), "Conflicts with Text");
    EXPECT_EQ(conflictText(), "");
}

TEST_F(ShortcutSettingsViewTest, ClearButtonIsEnabledOnlyWithAShortcutAndClears) {
    expand();
    QToolButton* clear = row("md")->clearButton();
    EXPECT_EQ(clear->accessibleName(), "Clear Markdown shortcut");
    EXPECT_EQ(clear->toolTip(), "Clear Markdown shortcut");
    EXPECT_FALSE(clear->isEnabled());
    EXPECT_EQ(row("md")->recorder()->appearance().text, "Set Shortcut");

    record(row("md")->recorder(), Qt::Key_M, Qt::MetaModifier);
    EXPECT_TRUE(clear->isEnabled());
    EXPECT_EQ(row("md")->recorder()->appearance().text, "Super+M");
    QTest::mouseClick(clear, Qt::LeftButton);
    EXPECT_TRUE(settings.fileTypeShortcuts->empty());
    EXPECT_FALSE(clear->isEnabled());
    EXPECT_EQ(row("md")->recorder()->appearance().text, "Set Shortcut");
}

TEST_F(ShortcutSettingsViewTest, RecordingAndResettingTheQuickCreateShortcut) {
    EXPECT_EQ(view.resetButton()->toolTip(), "Reset Quick Create shortcut");
    record(view.quickCreateRecorder(), Qt::Key_M, Qt::MetaModifier);
    EXPECT_EQ(settings.quickCreateShortcut.get(), kCommandM);
    EXPECT_EQ(AppSettings(*suite).quickCreateShortcut.get(), kCommandM);  // stored at once

    QTest::mouseClick(view.resetButton(), Qt::LeftButton);
    EXPECT_EQ(settings.quickCreateShortcut.get(), defaultQuickCreateShortcut);
    EXPECT_EQ(view.quickCreateRecorder()->appearance().text, "Ctrl+Alt+N");
    EXPECT_TRUE(view.resetButton()->isEnabled());
}

TEST_F(ShortcutSettingsViewTest, DestinationPickerWritesTheSettingAndFollowsIt) {
    expand();
    DestinationPickerControl* picker = view.destinationPicker();
    EXPECT_EQ(picker->width(), 240);
    QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentCenter(CreationDestinationMode::frontFinderFolder));
    EXPECT_EQ(settings.directShortcutDestination.get(), CreationDestinationMode::frontFinderFolder);
    settings.directShortcutDestination.set(CreationDestinationMode::desktop);
    EXPECT_EQ(picker->mode(), CreationDestinationMode::desktop);
}

TEST_F(ShortcutSettingsViewTest, RowsAreRebuiltWhenTheOrderChanges) {
    expand();
    settings.fileTypeOrder.set({"py", "md"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.rows().size() == 2; }, 2000));
    EXPECT_EQ(view.rows()[0]->type().id, "py");
}

TEST_F(ShortcutSettingsViewTest, RecordersHoldTheHotKeysWhileTheyRecord) {
    int active = 0;
    ShortcutSettingsView card(model, [&] {
        ++active;
        return HotKeySuspension([&] { --active; });
    });
    card.show();
    card.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&card));
    card.setShowsDirectShortcuts(true);
    QTest::mouseClick(card.quickCreateRecorder(), Qt::LeftButton);
    EXPECT_EQ(active, 1);
    QTest::mouseClick(card.rows()[1]->recorder(), Qt::LeftButton);
    EXPECT_EQ(active, 1);
    EXPECT_FALSE(card.quickCreateRecorder()->isRecording());
    QTest::keyClick(card.rows()[1]->recorder(), Qt::Key_Escape);
    EXPECT_EQ(active, 0) << "focused but no longer recording";
    QTest::keyClick(card.rows()[1]->recorder(), Qt::Key_Return);
    EXPECT_EQ(active, 1);
    QTest::mouseClick(card.directShortcutsToggle(), Qt::LeftButton);  // the row goes away
    EXPECT_EQ(active, 0);
}

namespace {

// Nothing the card shows is cut off or pushed outside it, in a light and a dark palette, in each
// state it can be in. With QUILLET_SCREENSHOT_DIR set, each state is also saved as an image to
// look at.
TEST(ShortcutSettingsViewLook, EveryTextAndControlFitsTheCardInLightAndDarkPalettes) {
    auto suite = DefaultsSuite::openInMemory("shortcut-look-test");
    AppSettings settings(*suite);
    ShortcutSettingsModel model(settings);
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Button, QColor(0x33, 0x33, 0x33));
    dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Mid, QColor(0x55, 0x55, 0x55));
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0x8b, 0xf2));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    const QString folder = qEnvironmentVariable("QUILLET_SCREENSHOT_DIR");

    for (const auto& [name, palette] : {std::pair{QStringLiteral("light"), QApplication::palette()},
                                        std::pair{QStringLiteral("dark"), dark}}) {
        const QString scheme = name;  // a structured binding cannot be captured everywhere yet
        settings.fileTypeShortcuts.set({});
        settings.quickCreateShortcut.set(defaultQuickCreateShortcut);
        QWidget window;
        window.setPalette(palette);
        window.setAutoFillBackground(true);
        auto* card = new ShortcutSettingsView(model, {}, &window);
        card->move(20, 20);
        window.resize(card->sizeHint().width() + 40, 900);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

        auto check = [&](const QString& state) {
            QApplication::processEvents();  // the layout settles after the change
            card->resize(card->sizeHint());
            window.resize(card->width() + 40, card->height() + 40);
            card->layout()->activate();
            for (QWidget* child : card->findChildren<QWidget*>()) {
                if (!child->isVisibleTo(card)) continue;
                const QRect inCard(child->mapTo(card, QPoint()), child->size());
                EXPECT_TRUE(card->rect().contains(inCard)) << state.toStdString() << ": "
                                                          << child->metaObject()->className() << " outside "
                                                          << inCard.x() << "," << inCard.y() << " "
                                                          << inCard.width() << "x" << inCard.height() << " of "
                                                          << card->width() << "x" << card->height();
                if (auto* label = qobject_cast<QLabel*>(child); label && !label->text().isEmpty()) {
                    EXPECT_GE(label->width(), label->sizeHint().width())
                        << state.toStdString() << ": " << label->text().toStdString() << " is cut";
                }
            }
            if (!folder.isEmpty())
                window.grab().save(QDir(folder).filePath(QStringLiteral("shortcuts-%1-%2.png").arg(scheme, state)));
        };

        check(QStringLiteral("idle"));
        QTest::mouseClick(card->quickCreateRecorder(), Qt::LeftButton);
        check(QStringLiteral("recording"));
        QTest::keyClick(card->quickCreateRecorder(), Qt::Key_Space,
                        Qt::MetaModifier | Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
        settings.setShortcut(settings.quickCreateShortcut.get(), "md");
        check(QStringLiteral("conflict"));
        card->setShowsDirectShortcuts(true);
        settings.setShortcut(kCommandM, "txt");
        settings.setEnabled(false, "csv");
        settings.setShortcut(kCommandM, "csv");
        QTest::mouseClick(card->rows()[2]->recorder(), Qt::LeftButton);
        QTest::keyClick(card->rows()[2]->recorder(), Qt::Key_N);
        check(QStringLiteral("expanded"));
    }
}

}  // namespace

// Where the session offers no way to hold keys, one line under the title says so and the card
// still edits the settings; where it does, there is no such line.
TEST(ShortcutSettingsViewAvailability, ALineUnderTheTitleSaysWhenShortcutsCannotWork) {
    auto suite = DefaultsSuite::openInMemory("shortcut-availability-test");
    AppSettings settings(*suite);
    ShortcutSettingsModel available(settings);
    EXPECT_TRUE(ShortcutSettingsView(available).availabilityNoteLabel()->isHidden());

    ShortcutSettingsModel unavailable(settings, false);
    ShortcutSettingsView view(unavailable);
    view.resize(620, view.sizeHint().height());
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QLabel* note = view.availabilityNoteLabel();
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), QStringLiteral("Global shortcuts are not available in this session."));
    EXPECT_TRUE(note->isVisible());
    EXPECT_GE(note->width(), note->sizeHint().width()) << "the line is cut";
    EXPECT_EQ(note->palette().color(QPalette::WindowText), appstyle::secondaryText(view.palette()));
    const QList<QLabel*> labels = view.findChildren<QLabel*>();
    const auto title = std::find_if(labels.begin(), labels.end(), [](QLabel* l) {
        return l->text() == QString::fromUtf8(ShortcutSettingsModel::kQuickCreateTitle);
    });
    ASSERT_NE(title, labels.end());
    EXPECT_GT(note->y(), (*title)->y());

    QTest::mouseClick(view.resetButton(), Qt::LeftButton);  // the settings can still be edited
    EXPECT_EQ(settings.quickCreateShortcut.get(), defaultQuickCreateShortcut);
}

// A way that fails only once it is tried (a portal whose session cannot open, and no key bindings
// behind it) is told in the card as soon as it is known, with why; a way that recovers takes the
// line away.
TEST(ShortcutSettingsViewAvailability, AWayThatFailsLaterIsToldWithWhy) {
    auto suite = DefaultsSuite::openInMemory("shortcut-way-failure-test");
    AppSettings settings(*suite);
    Published<std::optional<std::string>> failure;
    ShortcutSettingsModel model(settings, true, {}, &failure);
    ShortcutSettingsView view(model);
    view.resize(620, view.sizeHint().height());
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QLabel* note = view.availabilityNoteLabel();
    EXPECT_FALSE(note->isVisible());

    failure.set("the global shortcuts portal did not open a session (response 2), and GNOME's key binding settings "
                "are not installed");
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text(), QStringLiteral("Global shortcuts are not available in this session.\nThe global shortcuts "
                                           "portal did not open a session (response 2), and GNOME's key binding "
                                           "settings are not installed."));
    failure.set(std::nullopt);
    EXPECT_FALSE(note->isVisible());
}

// Another program holds the settings' write lock longer than the change may wait: the recorder
// and the destination picker go back to what is stored at once, and each change is reported.
TEST(ShortcutSettingsViewUnsaved, ControlsShowTheStoredValueWhenAChangeIsNotSaved) {
    test::TemporaryConfigHome home;
    auto suite = DefaultsSuite::open(home.path(), DefaultsSuite::kSharedSuiteName);
    ASSERT_TRUE(suite);
    AppSettings settings{*suite};
    test::ManualMainQueueTimer timer;
    settings.saver().waitForLocksOn(timer, std::chrono::milliseconds(0));
    std::vector<std::string> reported;
    settings.saver().reportFailuresTo([&](const SettingNotSavedError& e) { reported.push_back(e.key()); });
    ShortcutSettingsModel model{settings};
    ShortcutSettingsView view{model};
    view.show();
    QTest::mouseClick(view.directShortcutsToggle(), Qt::LeftButton);

    test::SettingsLockHolder holder(suite->databasePath(), 30);
    ASSERT_TRUE(holder.isLocked());
    QTest::mouseClick(view.quickCreateRecorder(), Qt::LeftButton);
    QTest::keyClick(view.quickCreateRecorder(), Qt::Key_M, Qt::MetaModifier);
    EXPECT_EQ(view.quickCreateRecorder()->appearance().text, "Ctrl+Alt+N");
    DestinationPickerControl* picker = view.destinationPicker();
    QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentCenter(CreationDestinationMode::frontFinderFolder));
    EXPECT_EQ(picker->mode(), CreationDestinationMode::desktop);
    timer.runAll();
    EXPECT_EQ(reported, (std::vector<std::string>{"quickCreateShortcut", "directShortcutDestination"}));
    EXPECT_EQ(settings.quickCreateShortcut.get(), defaultQuickCreateShortcut);

    holder.release();
    QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentCenter(CreationDestinationMode::frontFinderFolder));
    EXPECT_EQ(picker->mode(), CreationDestinationMode::frontFinderFolder);
    EXPECT_EQ(*suite->get("directShortcutDestination")->string(), "frontFinderFolder");
}

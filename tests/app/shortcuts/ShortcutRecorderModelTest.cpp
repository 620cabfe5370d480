#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/shortcuts/ShortcutRecorderModel.h"

using namespace quillet;
using Press = ShortcutRecorderModel::PressResult;
using Appearance = ShortcutRecorderModel::Appearance;

namespace {

constexpr uint32_t kN = 45, kM = 46, kSpace = 49, kReturn = 36, kTab = 48, kDelete = 51, kLeft = 123;
constexpr uint32_t kControlOption = kCarbonControlKey | kCarbonOptionKey;

struct Recorder {
    ShortcutRecorderModel model;
    std::vector<QuickCreateShortcut> changes;
    Recorder() {
        model.onChange = [this](const QuickCreateShortcut& s) { changes.push_back(s); };
    }
    Press press(std::optional<uint32_t> keyCode, uint32_t modifiers) {
        return model.keyDown(RecorderKeyPress{keyCode, modifiers, false});
    }
};

}  // namespace

TEST(ShortcutRecorderModel, StartsIdleShowingTheDefaultInTheLabelColour) {
    ShortcutRecorderModel model;
    EXPECT_EQ(model.appearance(), (Appearance{"Ctrl+Alt+N", true, false}));
    model.shortcut.reset();
    EXPECT_EQ(model.appearance(), (Appearance{"Set Shortcut", false, false}));
    model.click();
    EXPECT_EQ(model.appearance(), (Appearance{"Press shortcut", false, true}));
}

TEST(ShortcutRecorderModel, ModifiedKeyIsRecordedOnceAndEndsRecording) {
    Recorder r;
    r.model.shortcut = QuickCreateShortcut{kM, kCarbonCommandKey};
    r.model.click();
    EXPECT_EQ(r.model.appearance(), (Appearance{"Press shortcut", true, true}));  // a shortcut is held
    EXPECT_EQ(r.press(kN, kControlOption), Press::recorded);
    EXPECT_EQ(r.changes, (std::vector<QuickCreateShortcut>{{kN, kControlOption}}));
    EXPECT_EQ(r.model.appearance(), (Appearance{"Ctrl+Alt+N", true, false}));
    EXPECT_FALSE(r.model.message);
}

TEST(ShortcutRecorderModel, UnmodifiedKeyBeepsWithTheHintAndRecordingGoesOn) {
    Recorder r;
    r.model.click();
    EXPECT_EQ(r.press(kN, 0), Press::needsModifier);
    EXPECT_TRUE(r.changes.empty());
    EXPECT_TRUE(r.model.isRecording);
    EXPECT_EQ(r.model.appearance(), (Appearance{"Add Ctrl, Alt, or Super", false, true}));
    // Bits beyond the four modifiers (a lock key's) do not count as one; nor does Shift alone,
    // with which every capital N typed anywhere would open the panel.
    EXPECT_EQ(r.press(kN, 0x400 | 0x10000), Press::needsModifier);
    EXPECT_EQ(r.press(kN, kCarbonShiftKey), Press::needsModifier);
    EXPECT_TRUE(r.changes.empty());

    // The next accepted key records and clears the hint; a click alone clears it too.
    EXPECT_EQ(r.press(kN, kCarbonShiftKey | kCarbonCommandKey), Press::recorded);
    EXPECT_EQ(r.model.shortcut, (QuickCreateShortcut{kN, kCarbonShiftKey | kCarbonCommandKey}));
    r.model.click();
    r.press(kN, 0);
    r.model.click();
    EXPECT_EQ(r.model.appearance().text, "Press shortcut");
    r.press(kN, 0);
    r.model.resignFocus();
    EXPECT_EQ(r.model.appearance(), (Appearance{"Shift+Super+N", true, false}));
}

TEST(ShortcutRecorderModel, EscapeCancelsWhateverIsHeldAndIsNeverRecorded) {
    for (uint32_t modifiers : {0u, kCarbonCommandKey, kControlOption | kCarbonShiftKey}) {
        Recorder r;
        r.model.click();
        r.press(kN, 0);  // the hint shows
        EXPECT_EQ(r.press(53, modifiers), Press::cancelled);
        EXPECT_TRUE(r.changes.empty());
        EXPECT_EQ(r.model.shortcut, defaultQuickCreateShortcut);
        EXPECT_EQ(r.model.appearance(), (Appearance{"Ctrl+Alt+N", true, false}));
    }
}

TEST(ShortcutRecorderModel, EditingAndNavigationKeysAreRecordedLikeAnyOther) {
    for (uint32_t key : {kSpace, kReturn, kTab, kDelete, kLeft, 117u, 50u}) {
        Recorder r;
        r.model.click();
        EXPECT_EQ(r.press(key, kCarbonCommandKey), Press::recorded) << key;
        EXPECT_EQ(r.changes, (std::vector<QuickCreateShortcut>{{key, kCarbonCommandKey}}));
    }
}

// Reached by Tab, the field records nothing until Return or Space asks it to, as a click does;
// every other key is the window's.
TEST(ShortcutRecorderModel, FocusAloneRecordsNothingAndReturnOrSpaceStartsRecording) {
    for (uint32_t start : {kReturn, kSpace}) {
        Recorder r;
        ASSERT_FALSE(r.model.isRecording);
        for (auto [key, modifiers] : {std::pair{kSpace, kCarbonCommandKey | kCarbonShiftKey}, {kN, kControlOption},
                                      {kTab, 0u}, {kTab, kCarbonShiftKey}, {53u, 0u}, {kReturn, kCarbonControlKey}}) {
            EXPECT_FALSE(r.model.takesKey(RecorderKeyPress{key, modifiers, false})) << key;
            EXPECT_EQ(r.press(key, modifiers), Press::passed) << key;
        }
        EXPECT_TRUE(r.changes.empty());
        EXPECT_EQ(r.model.appearance(), (Appearance{"Ctrl+Alt+N", true, false}));

        EXPECT_TRUE(r.model.takesKey(RecorderKeyPress{start, 0, false}));
        EXPECT_EQ(r.press(start, 0), Press::started);
        EXPECT_EQ(r.model.appearance(), (Appearance{"Press shortcut", true, true}));
        EXPECT_TRUE(r.model.takesKey(RecorderKeyPress{kN, kControlOption, false}));
        EXPECT_EQ(r.press(kM, kControlOption), Press::recorded);
        EXPECT_EQ(r.changes, (std::vector<QuickCreateShortcut>{{kM, kControlOption}}));
        EXPECT_EQ(r.press(kN, kControlOption), Press::passed) << "recording ended with the shortcut";
    }
}

// Tab and Shift+Tab are never stored: they end recording unchanged and the focus moves on, so a
// keyboard user cannot be held in the field. With Ctrl, Alt or Super they are a combination.
TEST(ShortcutRecorderModel, TabOrShiftTabWhileRecordingMovesOnUnchanged) {
    for (uint32_t modifiers : {0u, kCarbonShiftKey}) {
        Recorder r;
        r.model.click();
        r.press(kN, 0);  // the hint shows
        EXPECT_EQ(r.press(kTab, modifiers), Press::movesOn);
        EXPECT_FALSE(r.model.isRecording);
        EXPECT_TRUE(r.changes.empty());
        EXPECT_EQ(r.model.appearance(), (Appearance{"Ctrl+Alt+N", true, false}));
    }
    Recorder r;
    r.model.click();
    EXPECT_EQ(r.press(kTab, kCarbonControlKey | kCarbonShiftKey), Press::recorded);
}

TEST(ShortcutRecorderModel, ModifierAloneShowsNothingAndAnUnknownKeyIsNotStored) {
    Recorder r;
    r.model.click();
    EXPECT_EQ(r.model.keyDown(RecorderKeyPress{std::nullopt, kCarbonCommandKey, true}), Press::ignored);
    EXPECT_EQ(r.model.appearance(), (Appearance{"Press shortcut", true, true}));
    EXPECT_EQ(r.press(std::nullopt, kCarbonControlKey), Press::unsupportedKey);
    EXPECT_TRUE(r.model.isRecording);
    EXPECT_FALSE(r.model.message);
    EXPECT_EQ(r.press(std::nullopt, 0), Press::needsModifier);
    EXPECT_TRUE(r.changes.empty());
    EXPECT_EQ(r.model.shortcut, defaultQuickCreateShortcut);
}

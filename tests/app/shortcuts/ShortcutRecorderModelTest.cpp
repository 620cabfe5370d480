#include <gtest/gtest.h>

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
        EXPECT_EQ(r.press(key, kCarbonCommandKey), Press::recorded) << key;
        EXPECT_EQ(r.changes, (std::vector<QuickCreateShortcut>{{key, kCarbonCommandKey}}));
    }
}

TEST(ShortcutRecorderModel, FocusedFieldRecordsWithoutAClick) {
    Recorder r;
    ASSERT_FALSE(r.model.isRecording);
    EXPECT_EQ(r.press(kSpace, kCarbonCommandKey | kCarbonShiftKey), Press::recorded);
    EXPECT_EQ(r.model.appearance().text, "Shift+Super+Space");
    EXPECT_EQ(r.press(kSpace, 0), Press::needsModifier);
    EXPECT_EQ(r.model.appearance(), (Appearance{"Add Ctrl, Alt, or Super", false, false}));
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

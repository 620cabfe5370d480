#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <unordered_set>

#include "app/keys/QuickCreateShortcut.h"
#include "app/keys/ShortcutConflicts.h"
#include "platform/KeyCodeMapping.h"
#include "shared/catalog/FileTypeCatalog.h"

using namespace quillet;

namespace {
constexpr uint32_t kCmd = 0x100, kShift = 0x200, kOpt = 0x800, kCtrl = 0x1000;
}

TEST(QuickCreateShortcut, DefaultIsControlOptionN) {
    EXPECT_EQ(defaultQuickCreateShortcut.keyCode, 45u);
    EXPECT_EQ(defaultQuickCreateShortcut.carbonModifiers, 6144u);
    EXPECT_EQ(defaultQuickCreateShortcut.displayString(), "Ctrl+Alt+N");
    EXPECT_EQ(encodeQuickCreateShortcut(defaultQuickCreateShortcut), R"({"keyCode":45,"carbonModifiers":6144})");
    EXPECT_TRUE(defaultQuickCreateShortcut.isUsable());
}

TEST(QuickCreateShortcut, DisplayStringIsWrittenAsLinuxDesktopsWriteItCtrlAltShiftSuperThenTheKey) {
    EXPECT_EQ((QuickCreateShortcut{49, kCmd | kShift}).displayString(), "Shift+Super+Space");
    EXPECT_EQ((QuickCreateShortcut{96, kCmd | kOpt}).displayString(), "Alt+Super+F5");
    EXPECT_EQ((QuickCreateShortcut{49, kCmd | kCtrl | kOpt | kShift}).displayString(), "Ctrl+Alt+Shift+Super+Space");
    EXPECT_EQ((QuickCreateShortcut{50, 0}).displayString(), "Key 50");
    EXPECT_EQ((QuickCreateShortcut{50, kCmd}).displayString(), "Super+Key 50");
    EXPECT_EQ((QuickCreateShortcut{36, kShift | kCtrl}).displayString(), "Ctrl+Shift+Return");
    // Bits other than the four modifiers show nothing.
    EXPECT_EQ((QuickCreateShortcut{0, 0x10000 | kOpt}).displayString(), "Alt+A");
}

TEST(QuickCreateShortcut, KeyNameTableHasTheFiftyEightNamedKeys) {
    const auto& table = keyNameTable();
    ASSERT_EQ(table.size(), 58u);
    std::set<uint32_t> codes;
    std::set<std::string> names;
    for (const auto& [code, name] : table) {
        codes.insert(code);
        names.insert(name);
        EXPECT_EQ(keyName(code), name);
    }
    EXPECT_EQ(codes.size(), 58u);
    EXPECT_EQ(names.size(), 58u);
    EXPECT_EQ(keyName(0), "A");
    EXPECT_EQ(keyName(45), "N");
    EXPECT_EQ(keyName(6), "Z");
    EXPECT_EQ(keyName(29), "0");
    EXPECT_EQ(keyName(25), "9");
    EXPECT_EQ(keyName(49), "Space");
    EXPECT_EQ(keyName(36), "Return");
    EXPECT_EQ(keyName(48), "Tab");
    EXPECT_EQ(keyName(53), "Esc");
    EXPECT_EQ(keyName(51), "Backspace");
    EXPECT_EQ(keyName(117), "Delete");
    EXPECT_EQ(keyName(123), "Left");
    EXPECT_EQ(keyName(124), "Right");
    EXPECT_EQ(keyName(126), "Up");
    EXPECT_EQ(keyName(125), "Down");
    EXPECT_EQ(keyName(122), "F1");
    EXPECT_EQ(keyName(99), "F3");
    EXPECT_EQ(keyName(111), "F12");
    // Punctuation, keypad and F13 and above have no names of their own.
    EXPECT_EQ(keyName(27), "Key 27");
    EXPECT_EQ(keyName(82), "Key 82");
    EXPECT_EQ(keyName(105), "Key 105");
    EXPECT_EQ(keyName(4294967295u), "Key 4294967295");
}

TEST(QuickCreateShortcut, UsableNeedsCtrlAltOrSuperAndARealKeyCode) {
    EXPECT_FALSE((QuickCreateShortcut{45, 0}).isUsable());
    EXPECT_FALSE((QuickCreateShortcut{4294967295u, kCmd}).isUsable());
    EXPECT_TRUE((QuickCreateShortcut{4294967294u, kCmd}).isUsable());
    // Shift alone would catch every capital letter typed anywhere.
    EXPECT_FALSE((QuickCreateShortcut{0, kShift}).isUsable());
    EXPECT_TRUE((QuickCreateShortcut{0, kShift | kCtrl}).isUsable());
    EXPECT_TRUE((QuickCreateShortcut{0, kOpt}).isUsable());
}

// What displayString writes reads back as the same combination, for every key a shortcut can be
// registered for and every usable set of modifiers.
TEST(KeyCombinationParsing, EveryUsableCombinationRoundTripsThroughItsDisplayString) {
    int checked = 0;
    for (const auto& mapping : keyCodeMappings())
        for (uint32_t modifiers = 0; modifiers <= kCarbonModifierBits; modifiers += kCarbonCommandKey) {
            const QuickCreateShortcut shortcut{mapping.keyCode, modifiers & kCarbonModifierBits};
            if (shortcut.carbonModifiers != modifiers || !shortcut.isUsable()) continue;
            EXPECT_EQ(parseKeyCombination(shortcut.displayString()), shortcut) << shortcut.displayString();
            ++checked;
        }
    EXPECT_GT(checked, 60 * 14);
}

TEST(KeyCombinationParsing, NamesAreReadInAnyCaseWithTheUsualOtherSpellings) {
    EXPECT_EQ(parseKeyCombination("ctrl+alt+m"), (QuickCreateShortcut{46, kCarbonControlKey | kCarbonOptionKey}));
    EXPECT_EQ(parseKeyCombination(" Control + Shift + space "),
              (QuickCreateShortcut{49, kCarbonControlKey | kCarbonShiftKey}));
    EXPECT_EQ(parseKeyCombination("META+f12"), (QuickCreateShortcut{111, kCarbonCommandKey}));
    EXPECT_EQ(parseKeyCombination("Super+Esc"), (QuickCreateShortcut{53, kCarbonCommandKey}));
    EXPECT_EQ(parseKeyCombination("alt+key 50"), (QuickCreateShortcut{50, kCarbonOptionKey}));
}

// A combination nobody could use is refused with the reason, never stored half right.
TEST(KeyCombinationParsing, NoKeyTwoKeysUnknownNamesAndShiftAloneAreRefusedWithTheReason) {
    auto reason = [](std::string_view text) {
        try {
            parseKeyCombination(text);
        } catch (const KeyCombinationError& error) {
            return error.description();
        }
        return std::string("(accepted)");
    };
    EXPECT_EQ(reason("Ctrl+Alt"), "\"Ctrl+Alt\" names no key, only modifiers");
    EXPECT_EQ(reason("Shift+A"), "Add Ctrl, Alt, or Super: \"Shift+A\" would take the key from every program");
    EXPECT_EQ(reason("A"), "Add Ctrl, Alt, or Super: \"A\" would take the key from every program");
    EXPECT_EQ(reason("Ctrl+A+B"), "\"Ctrl+A+B\" names more than one key");
    EXPECT_EQ(reason("Ctrl+Hyper+A"), "\"Hyper\" is not the name of a key");
    EXPECT_EQ(reason("Cmd+N"), "\"Cmd\" is not the name of a key");
    EXPECT_EQ(reason("Ctrl+Key 200"), "\"Key 200\" is not the name of a key");
    EXPECT_EQ(reason("Ctrl++"), "\"Ctrl++\" is not a key combination (write it as Ctrl+Alt+N)");
    EXPECT_EQ(reason(""), "\"\" is not a key combination (write it as Ctrl+Alt+N)");
}

TEST(QuickCreateShortcut, CocoaFlagsConvertToCarbonBitsIgnoringTheRest) {
    EXPECT_EQ(carbonModifiers(1ULL << 20), 0x100u);
    EXPECT_EQ(carbonModifiers(1ULL << 18), 0x1000u);
    EXPECT_EQ(carbonModifiers(1ULL << 19), 0x800u);
    EXPECT_EQ(carbonModifiers(1ULL << 17), 0x200u);
    EXPECT_EQ(carbonModifiers((1ULL << 17) | (1ULL << 18) | (1ULL << 19) | (1ULL << 20)), 6912u);
    // Caps lock (16), numeric pad (21), help (22), function (23) and device bits count for nothing.
    EXPECT_EQ(carbonModifiers((1ULL << 16) | (1ULL << 21) | (1ULL << 22) | (1ULL << 23) | 0xffff), 0u);
    EXPECT_EQ(carbonModifiers((1ULL << 16) | (1ULL << 18)), 0x1000u);
}

TEST(QuickCreateShortcut, EqualValuesHashAlike) {
    QuickCreateShortcut a{45, 6144};
    QuickCreateShortcut b = decodeQuickCreateShortcut(R"({"carbonModifiers":6144,"keyCode":45})");
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::hash<QuickCreateShortcut>{}(a), std::hash<QuickCreateShortcut>{}(b));
    EXPECT_NE(a, (QuickCreateShortcut{45, 6145}));
    EXPECT_NE(a, (QuickCreateShortcut{46, 6144}));
    // Swapped fields are different shortcuts and should not collide.
    EXPECT_NE(std::hash<QuickCreateShortcut>{}({1, 2}), std::hash<QuickCreateShortcut>{}({2, 1}));
    std::unordered_set<QuickCreateShortcut> set{a, b, {46, 6144}};
    EXPECT_EQ(set.size(), 2u);
}

TEST(QuickCreateShortcut, JsonRoundTripsTheWholeRange) {
    for (QuickCreateShortcut s : {QuickCreateShortcut{0, 0}, QuickCreateShortcut{45, 6144},
                                  QuickCreateShortcut{4294967295u, 4294967295u}}) {
        EXPECT_EQ(decodeQuickCreateShortcut(encodeQuickCreateShortcut(s)), s);
        EXPECT_EQ(quickCreateShortcutFromJSON(quickCreateShortcutJSON(s)), s);
    }
    nlohmann::json j = quickCreateShortcutJSON({46, 256});
    EXPECT_EQ(j.size(), 2u);
    EXPECT_EQ(j.at("keyCode"), 46);
    EXPECT_EQ(j.at("carbonModifiers"), 256);
    // Unknown keys are ignored, as for any keyed value.
    EXPECT_EQ(decodeQuickCreateShortcut(R"({"keyCode":1,"carbonModifiers":2,"note":"x"})"),
              (QuickCreateShortcut{1, 2}));
}

TEST(QuickCreateShortcut, DecodingRejectsMissingKeysAndNumbersOutsideUInt32) {
    const char* bad[] = {
        R"({"carbonModifiers":6144})",
        R"({"keyCode":45})",
        R"({})",
        R"({"keyCode":-1,"carbonModifiers":6144})",
        R"({"keyCode":45,"carbonModifiers":-6144})",
        R"({"keyCode":4294967296,"carbonModifiers":6144})",
        R"({"keyCode":45,"carbonModifiers":18446744073709551616})",
        R"({"keyCode":45.5,"carbonModifiers":6144})",
        R"({"keyCode":45.0,"carbonModifiers":6144})",
        R"({"keyCode":4.5e1,"carbonModifiers":6144})",
        R"({"keyCode":"45","carbonModifiers":6144})",
        R"({"keyCode":true,"carbonModifiers":6144})",
        R"({"keyCode":null,"carbonModifiers":6144})",
        R"([45,6144])",
        R"(45)",
        R"({"keyCode":45,"carbonModifiers":)",
        "",
    };
    for (const char* json : bad) EXPECT_THROW(decodeQuickCreateShortcut(json), ShortcutDecodingError) << json;
    EXPECT_EQ(decodeQuickCreateShortcut(R"({"keyCode":4294967295,"carbonModifiers":0})"),
              (QuickCreateShortcut{4294967295u, 0}));
}

class ShortcutConflictTest : public ::testing::Test {
protected:
    QuickCreateShortcut quickCreate = defaultQuickCreateShortcut;
    QuickCreateShortcut cmdM{46, kCmd};
    std::vector<FileTypeDefinition> ordered = orderedFileTypes(defaultOrder());
};

TEST_F(ShortcutConflictTest, QuickCreateWinsOverAnyType) {
    FileTypeShortcuts shortcuts{{"md", quickCreate}};
    EXPECT_EQ(conflictDescription(quickCreate, quickCreate, shortcuts, ordered, std::nullopt),
              "Conflicts with Quick Create");
    EXPECT_EQ(conflictDescription(quickCreate, quickCreate, {}, ordered, std::string("md")),
              "Conflicts with Quick Create");
}

TEST_F(ShortcutConflictTest, FirstTypeInTheUsersOrderIsNamedAndTheEditedOneSkipped) {
    FileTypeShortcuts shortcuts{{"md", cmdM}, {"py", cmdM}};
    EXPECT_EQ(conflictDescription(cmdM, quickCreate, shortcuts, ordered, std::nullopt), "Conflicts with Markdown");
    auto pyFirst = orderedFileTypes({"py", "md", "txt"});
    EXPECT_EQ(conflictDescription(cmdM, quickCreate, shortcuts, pyFirst, std::nullopt), "Conflicts with Python");
    EXPECT_EQ(conflictDescription(cmdM, quickCreate, shortcuts, ordered, std::string("md")),
              "Conflicts with Python");
    EXPECT_EQ(conflictDescription(cmdM, quickCreate, {{"md", cmdM}}, ordered, std::string("md")), std::nullopt);
    EXPECT_EQ(conflictDescription({46, kCmd | kShift}, quickCreate, shortcuts, ordered, std::nullopt), std::nullopt);
    // A shortcut stored for a type missing from the order is never named.
    EXPECT_EQ(conflictDescription(cmdM, quickCreate, {{"ghost", cmdM}}, ordered, std::nullopt), std::nullopt);
}

TEST_F(ShortcutConflictTest, QuickCreateSideNamesTheFirstTypeHoldingIt) {
    EXPECT_EQ(quickCreateConflictDescription(quickCreate, {{"md", cmdM}}, ordered), std::nullopt);
    FileTypeShortcuts shortcuts{{"pptx", quickCreate}, {"csv", quickCreate}};
    EXPECT_EQ(quickCreateConflictDescription(quickCreate, shortcuts, ordered), "Conflicts with CSV");
}

#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <nlohmann/json_fwd.hpp>
#include <stdexcept>
#include <string>
#include <utility>
#include <string_view>
#include <vector>

#include "shared/errors/UserFacingError.h"

namespace quillet {

// Carbon modifier bits: the stored form of a combination's modifiers. No other bit is produced.
inline constexpr uint32_t kCarbonCommandKey = 0x100;
inline constexpr uint32_t kCarbonShiftKey = 0x200;
inline constexpr uint32_t kCarbonOptionKey = 0x800;
inline constexpr uint32_t kCarbonControlKey = 0x1000;
inline constexpr uint32_t kCarbonModifierBits =
    kCarbonCommandKey | kCarbonShiftKey | kCarbonOptionKey | kCarbonControlKey;

// Cocoa key-event modifier flags, the recorder's input on the original platform.
inline constexpr uint64_t kCocoaShiftFlag = 1ULL << 17;
inline constexpr uint64_t kCocoaControlFlag = 1ULL << 18;
inline constexpr uint64_t kCocoaOptionFlag = 1ULL << 19;
inline constexpr uint64_t kCocoaCommandFlag = 1ULL << 20;

// One key combination, kept as a macOS virtual key code and a Carbon modifier mask so that
// stored settings stay portable and the hot key manager registers them without conversion.
// An absent shortcut is an empty std::optional, never a special value.
struct QuickCreateShortcut {
    uint32_t keyCode = 0;
    uint32_t carbonModifiers = 0;

    bool operator==(const QuickCreateShortcut&) const = default;

    // Holds Ctrl, Alt or Super and a real key code.
    bool isUsable() const;
    // As Linux desktops write it: the modifiers in the order Ctrl, Alt, Shift, Super, then the
    // key's name, joined by "+" ("Ctrl+Alt+N"). The one place a combination is spelled.
    std::string displayString() const;
};

// Why a written combination could not be read; the description says what is wrong with it.
class KeyCombinationError : public UserFacingError {
public:
    explicit KeyCombinationError(std::string description) : UserFacingError(std::move(description)) {}
};

// The inverse of displayString, for combinations typed by hand ("ctrl+alt+m"): modifier names in
// any order and case ("Ctrl" or "Control", "Alt", "Shift", "Super" or "Meta"), then one key by the
// name displayString gives it ("Key 50" for one without a name of its own). Throws
// KeyCombinationError when a name is unknown, no key or more than one is named, or nothing but
// Shift is held (with the recorder's hint), so the result is always usable.
QuickCreateShortcut parseKeyCombination(std::string_view text);

// Whether the modifiers make a combination safe to hold system-wide: Ctrl, Alt or Super. Shift
// alone is not enough, or typing a capital letter anywhere would trigger the shortcut.
bool hasSystemWideModifier(uint32_t carbonModifiers);

inline constexpr QuickCreateShortcut defaultQuickCreateShortcut{45, kCarbonControlKey | kCarbonOptionKey};

// Direct shortcuts by file type identifier; a type without an entry has none.
using FileTypeShortcuts = std::map<std::string, QuickCreateShortcut>;

// The 58 keys that have a name of their own, in the order they are listed to users.
const std::vector<std::pair<uint32_t, std::string>>& keyNameTable();
// The table's name for the key, else "Key <decimal code>".
std::string keyName(uint32_t keyCode);

// Carbon mask for Cocoa modifier flags; only command, control, option and shift count.
uint32_t carbonModifiers(uint64_t cocoaModifierFlags);

// Why a stored shortcut could not be read.
class ShortcutDecodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// {"keyCode":n,"carbonModifiers":m}, exactly these two keys.
std::string encodeQuickCreateShortcut(const QuickCreateShortcut& shortcut);
nlohmann::json quickCreateShortcutJSON(const QuickCreateShortcut& shortcut);
// Throws ShortcutDecodingError for malformed JSON, a value that is not an object, a missing key,
// or a value that is not an integer from 0 to 4294967295. Other keys are ignored.
QuickCreateShortcut decodeQuickCreateShortcut(const std::string& json);
QuickCreateShortcut quickCreateShortcutFromJSON(const nlohmann::json& value);

size_t hashValue(const QuickCreateShortcut& shortcut);

}  // namespace quillet

template <>
struct std::hash<quillet::QuickCreateShortcut> {
    size_t operator()(const quillet::QuickCreateShortcut& shortcut) const noexcept {
        return quillet::hashValue(shortcut);
    }
};

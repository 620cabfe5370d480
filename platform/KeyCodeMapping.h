#pragma once

#include <cstdint>
#include <optional>
#include <span>

// Shortcuts are stored as macOS virtual key codes and Carbon modifier masks; X11 and Qt speak in
// keysyms, Qt::Key values and their own modifier masks. This is the one table between them.
// Keysyms and Qt key numbers are stable published values, so they are written here as plain
// numbers and the core needs no X or Qt header (a widget test checks them against the headers).

namespace quillet {

struct KeyCodeMapping {
    uint32_t keyCode;  // macOS virtual key code, the stored form
    uint32_t keysym;   // X keysym of the key's unshifted symbol on a US layout
    int qtKey;         // Qt::Key the key produces without modifiers
};

// Every key a shortcut can be recorded with and registered for: letters, digits, Space, Return,
// Tab, Escape, Delete (backspace), Forward Delete, the arrows, F1 to F12 and the US punctuation
// keys. Exactly one entry per key code, keysym and Qt key.
inline constexpr KeyCodeMapping kKeyCodeMappings[] = {
    // Letters: keysyms are the lower-case letters, Qt keys the upper-case ones.
    {0, 0x61, 0x41}, {11, 0x62, 0x42}, {8, 0x63, 0x43}, {2, 0x64, 0x44}, {14, 0x65, 0x45},
    {3, 0x66, 0x46}, {5, 0x67, 0x47}, {4, 0x68, 0x48}, {34, 0x69, 0x49}, {38, 0x6a, 0x4a},
    {40, 0x6b, 0x4b}, {37, 0x6c, 0x4c}, {46, 0x6d, 0x4d}, {45, 0x6e, 0x4e}, {31, 0x6f, 0x4f},
    {35, 0x70, 0x50}, {12, 0x71, 0x51}, {15, 0x72, 0x52}, {1, 0x73, 0x53}, {17, 0x74, 0x54},
    {32, 0x75, 0x55}, {9, 0x76, 0x56}, {13, 0x77, 0x57}, {7, 0x78, 0x58}, {16, 0x79, 0x59},
    {6, 0x7a, 0x5a},
    // Digits 0 to 9.
    {29, 0x30, 0x30}, {18, 0x31, 0x31}, {19, 0x32, 0x32}, {20, 0x33, 0x33}, {21, 0x34, 0x34},
    {23, 0x35, 0x35}, {22, 0x36, 0x36}, {26, 0x37, 0x37}, {28, 0x38, 0x38}, {25, 0x39, 0x39},
    // Space, Return, Tab, Escape, Delete (backspace), Forward Delete.
    {49, 0x20, 0x20},
    {36, 0xff0d, 0x01000004},
    {48, 0xff09, 0x01000001},
    {53, 0xff1b, 0x01000000},
    {51, 0xff08, 0x01000003},
    {117, 0xffff, 0x01000007},
    // Arrows: left, right, up, down.
    {123, 0xff51, 0x01000012}, {124, 0xff53, 0x01000014}, {126, 0xff52, 0x01000013},
    {125, 0xff54, 0x01000015},
    // F1 to F12.
    {122, 0xffbe, 0x01000030}, {120, 0xffbf, 0x01000031}, {99, 0xffc0, 0x01000032},
    {118, 0xffc1, 0x01000033}, {96, 0xffc2, 0x01000034}, {97, 0xffc3, 0x01000035},
    {98, 0xffc4, 0x01000036}, {100, 0xffc5, 0x01000037}, {101, 0xffc6, 0x01000038},
    {109, 0xffc7, 0x01000039}, {103, 0xffc8, 0x0100003a}, {111, 0xffc9, 0x0100003b},
    // US punctuation: - = [ ] \ ; ' ` , . /
    {27, 0x2d, 0x2d}, {24, 0x3d, 0x3d}, {33, 0x5b, 0x5b}, {30, 0x5d, 0x5d}, {42, 0x5c, 0x5c},
    {41, 0x3b, 0x3b}, {39, 0x27, 0x27}, {50, 0x60, 0x60}, {43, 0x2c, 0x2c}, {47, 0x2e, 0x2e},
    {44, 0x2f, 0x2f},
};

// What the same keys produce with Shift held on a US layout (upper-case letter keysyms, ! @ # ...,
// the left-tab keysym, Qt's Backtab). A key event reports these, yet the combination is still the
// key's own code plus Shift, so they are read back to that key code; they are never produced.
inline constexpr KeyCodeMapping kShiftedKeyAliases[] = {
    {0, 0x41, 0x41}, {11, 0x42, 0x42}, {8, 0x43, 0x43}, {2, 0x44, 0x44}, {14, 0x45, 0x45},
    {3, 0x46, 0x46}, {5, 0x47, 0x47}, {4, 0x48, 0x48}, {34, 0x49, 0x49}, {38, 0x4a, 0x4a},
    {40, 0x4b, 0x4b}, {37, 0x4c, 0x4c}, {46, 0x4d, 0x4d}, {45, 0x4e, 0x4e}, {31, 0x4f, 0x4f},
    {35, 0x50, 0x50}, {12, 0x51, 0x51}, {15, 0x52, 0x52}, {1, 0x53, 0x53}, {17, 0x54, 0x54},
    {32, 0x55, 0x55}, {9, 0x56, 0x56}, {13, 0x57, 0x57}, {7, 0x58, 0x58}, {16, 0x59, 0x59},
    {6, 0x5a, 0x5a},
    // ) ! @ # $ % ^ & * (
    {29, 0x29, 0x29}, {18, 0x21, 0x21}, {19, 0x40, 0x40}, {20, 0x23, 0x23}, {21, 0x24, 0x24},
    {23, 0x25, 0x25}, {22, 0x5e, 0x5e}, {26, 0x26, 0x26}, {28, 0x2a, 0x2a}, {25, 0x28, 0x28},
    // Shift+Tab: ISO_Left_Tab and Qt::Key_Backtab.
    {48, 0xfe20, 0x01000002},
    // _ + { } | : " ~ < > ?
    {27, 0x5f, 0x5f}, {24, 0x2b, 0x2b}, {33, 0x7b, 0x7b}, {30, 0x7d, 0x7d}, {42, 0x7c, 0x7c},
    {41, 0x3a, 0x3a}, {39, 0x22, 0x22}, {50, 0x7e, 0x7e}, {43, 0x3c, 0x3c}, {47, 0x3e, 0x3e},
    {44, 0x3f, 0x3f},
};

constexpr std::span<const KeyCodeMapping> keyCodeMappings() { return kKeyCodeMappings; }

constexpr std::optional<uint32_t> keysymForKeyCode(uint32_t keyCode) {
    for (const auto& m : kKeyCodeMappings)
        if (m.keyCode == keyCode) return m.keysym;
    return std::nullopt;
}

constexpr std::optional<int> qtKeyForKeyCode(uint32_t keyCode) {
    for (const auto& m : kKeyCodeMappings)
        if (m.keyCode == keyCode) return m.qtKey;
    return std::nullopt;
}

constexpr std::optional<uint32_t> keyCodeForKeysym(uint32_t keysym) {
    for (const auto& m : kKeyCodeMappings)
        if (m.keysym == keysym) return m.keyCode;
    for (const auto& m : kShiftedKeyAliases)
        if (m.keysym == keysym) return m.keyCode;
    return std::nullopt;
}

constexpr std::optional<uint32_t> keyCodeForQtKey(int qtKey) {
    for (const auto& m : kKeyCodeMappings)
        if (m.qtKey == qtKey) return m.keyCode;
    for (const auto& m : kShiftedKeyAliases)
        if (m.qtKey == qtKey) return m.keyCode;
    return std::nullopt;
}

// X modifier bits (the core protocol's key-button mask). Command is the Super key, which the
// usual X keymaps put on Mod4; Option is Alt on Mod1.
inline constexpr uint32_t kXShiftMask = 1u << 0;
inline constexpr uint32_t kXLockMask = 1u << 1;
inline constexpr uint32_t kXControlMask = 1u << 2;
inline constexpr uint32_t kXMod1Mask = 1u << 3;
inline constexpr uint32_t kXMod2Mask = 1u << 4;
inline constexpr uint32_t kXMod4Mask = 1u << 6;

// Qt::KeyboardModifier bits on Linux: Meta is the Super key.
inline constexpr uint32_t kQtShiftModifier = 0x02000000;
inline constexpr uint32_t kQtControlModifier = 0x04000000;
inline constexpr uint32_t kQtAltModifier = 0x08000000;
inline constexpr uint32_t kQtMetaModifier = 0x10000000;

struct ModifierMapping {
    uint32_t carbon;
    uint32_t x;
    uint32_t qt;
};

// Carbon command, shift, option, control bits as X and Qt modifiers.
inline constexpr ModifierMapping kModifierMappings[] = {
    {0x100, kXMod4Mask, kQtMetaModifier},
    {0x200, kXShiftMask, kQtShiftModifier},
    {0x800, kXMod1Mask, kQtAltModifier},
    {0x1000, kXControlMask, kQtControlModifier},
};

// Other bits on either side (Caps Lock, Num Lock, keypad, ...) are dropped.
constexpr uint32_t xModifierMask(uint32_t carbonModifiers) {
    uint32_t mask = 0;
    for (const auto& m : kModifierMappings)
        if (carbonModifiers & m.carbon) mask |= m.x;
    return mask;
}

constexpr uint32_t carbonModifiersFromXMask(uint32_t xMask) {
    uint32_t carbon = 0;
    for (const auto& m : kModifierMappings)
        if (xMask & m.x) carbon |= m.carbon;
    return carbon;
}

constexpr uint32_t qtModifiers(uint32_t carbonModifiers) {
    uint32_t mask = 0;
    for (const auto& m : kModifierMappings)
        if (carbonModifiers & m.carbon) mask |= m.qt;
    return mask;
}

constexpr uint32_t carbonModifiersFromQtModifiers(uint32_t qtModifierMask) {
    uint32_t carbon = 0;
    for (const auto& m : kModifierMappings)
        if (qtModifierMask & m.qt) carbon |= m.carbon;
    return carbon;
}

}  // namespace quillet

#include <gtest/gtest.h>

#include <set>

#include "platform/KeyCodeMapping.h"
#include "app/keys/QuickCreateShortcut.h"

using namespace quillet;

TEST(KeyCodeMapping, EveryMappedKeyRoundTripsBothWays) {
    std::set<uint32_t> codes, keysyms;
    std::set<int> qtKeys;
    for (const auto& m : keyCodeMappings()) {
        codes.insert(m.keyCode);
        keysyms.insert(m.keysym);
        qtKeys.insert(m.qtKey);
        EXPECT_EQ(keysymForKeyCode(m.keyCode), m.keysym) << m.keyCode;
        EXPECT_EQ(qtKeyForKeyCode(m.keyCode), m.qtKey) << m.keyCode;
        EXPECT_EQ(keyCodeForKeysym(*keysymForKeyCode(m.keyCode)), m.keyCode) << m.keyCode;
        EXPECT_EQ(keyCodeForQtKey(*qtKeyForKeyCode(m.keyCode)), m.keyCode) << m.keyCode;
    }
    // 58 named keys plus the 11 punctuation keys of a US layout, none listed twice on any side.
    EXPECT_EQ(keyCodeMappings().size(), 69u);
    EXPECT_EQ(codes.size(), 69u);
    EXPECT_EQ(keysyms.size(), 69u);
    EXPECT_EQ(qtKeys.size(), 69u);
}

TEST(KeyCodeMapping, EveryNamedKeyIsMappedAndOnlyPunctuationBesides) {
    std::set<uint32_t> named;
    for (const auto& [code, name] : keyNameTable()) {
        named.insert(code);
        EXPECT_TRUE(keysymForKeyCode(code).has_value()) << name;
    }
    std::set<uint32_t> unnamed;
    for (const auto& m : keyCodeMappings())
        if (!named.count(m.keyCode)) unnamed.insert(m.keyCode);
    EXPECT_EQ(unnamed, (std::set<uint32_t>{24, 27, 30, 33, 39, 41, 42, 43, 44, 47, 50}));
}

TEST(KeyCodeMapping, SpotChecksAgainstKnownValues) {
    EXPECT_EQ(keysymForKeyCode(45), 0x6eu);           // n
    EXPECT_EQ(qtKeyForKeyCode(45), 0x4e);             // Qt::Key_N
    EXPECT_EQ(keysymForKeyCode(49), 0x20u);           // space
    EXPECT_EQ(keysymForKeyCode(51), 0xff08u);         // BackSpace
    EXPECT_EQ(keysymForKeyCode(117), 0xffffu);        // Delete
    EXPECT_EQ(keysymForKeyCode(122), 0xffbeu);        // F1
    EXPECT_EQ(qtKeyForKeyCode(111), 0x0100003b);      // Qt::Key_F12
    EXPECT_EQ(keysymForKeyCode(50), 0x60u);           // grave
    EXPECT_EQ(keysymForKeyCode(10), std::nullopt);    // the ISO section key is not on a US layout
    EXPECT_EQ(keysymForKeyCode(82), std::nullopt);    // keypad 0
    EXPECT_EQ(keysymForKeyCode(105), std::nullopt);   // F13
    EXPECT_EQ(keyCodeForKeysym(0xff8d), std::nullopt);  // KP_Enter
    EXPECT_EQ(keyCodeForQtKey(0x01000005), std::nullopt);  // Qt::Key_Enter (keypad)
    EXPECT_EQ(keyCodeForQtKey(0), std::nullopt);
}

TEST(KeyCodeMapping, ShiftedSymbolsReadBackAsTheirKey) {
    EXPECT_EQ(keyCodeForKeysym(0x4e), 45u);           // N
    EXPECT_EQ(keyCodeForKeysym(0x21), 18u);           // exclam on 1
    EXPECT_EQ(keyCodeForKeysym(0x29), 29u);           // parenright on 0
    EXPECT_EQ(keyCodeForKeysym(0x3f), 44u);           // question on slash
    EXPECT_EQ(keyCodeForKeysym(0x7e), 50u);           // asciitilde on grave
    EXPECT_EQ(keyCodeForKeysym(0xfe20), 48u);         // ISO_Left_Tab
    EXPECT_EQ(keyCodeForQtKey(0x01000002), 48u);      // Qt::Key_Backtab
    EXPECT_EQ(keyCodeForQtKey(0x40), 19u);            // Qt::Key_At on 2
    EXPECT_EQ(keyCodeForQtKey(0x5f), 27u);            // Qt::Key_Underscore on minus
    // The aliases are only read: the key's own symbol is what gets produced.
    for (const auto& alias : kShiftedKeyAliases) {
        EXPECT_EQ(keyCodeForKeysym(alias.keysym), alias.keyCode);
        EXPECT_EQ(keyCodeForQtKey(alias.qtKey), alias.keyCode);
        EXPECT_NE(keysymForKeyCode(alias.keyCode), alias.keysym);
    }
}

TEST(KeyCodeMapping, ModifiersMapToXAndQtAndBack) {
    EXPECT_EQ(xModifierMask(0x100), 0x40u);   // Command: Super on Mod4
    EXPECT_EQ(xModifierMask(0x200), 0x01u);   // Shift
    EXPECT_EQ(xModifierMask(0x800), 0x08u);   // Option: Alt on Mod1
    EXPECT_EQ(xModifierMask(0x1000), 0x04u);  // Control
    EXPECT_EQ(qtModifiers(0x100), 0x10000000u);
    EXPECT_EQ(qtModifiers(0x200), 0x02000000u);
    EXPECT_EQ(qtModifiers(0x800), 0x08000000u);
    EXPECT_EQ(qtModifiers(0x1000), 0x04000000u);
    for (uint32_t carbon = 0; carbon <= 0x1B00; carbon += 0x100) {
        uint32_t wanted = carbon & 0x1B00;
        EXPECT_EQ(carbonModifiersFromXMask(xModifierMask(carbon)), wanted) << carbon;
        EXPECT_EQ(carbonModifiersFromQtModifiers(qtModifiers(carbon)), wanted) << carbon;
    }
    // Caps Lock, Num Lock and the keypad flag are not part of a combination.
    EXPECT_EQ(carbonModifiersFromXMask(kXLockMask | kXMod2Mask | kXControlMask), 0x1000u);
    EXPECT_EQ(carbonModifiersFromQtModifiers(0x20000000 | 0x08000000), 0x800u);
    EXPECT_EQ(xModifierMask(0x1B00), 0x4du);
    EXPECT_EQ(xModifierMask(0x00ff), 0u);
}

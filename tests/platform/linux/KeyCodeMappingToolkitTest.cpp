#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <QKeyEvent>

#include "platform/KeyCodeMapping.h"
#include "platform/linux/QtKeyMapping.h"

// The core's key table holds keysyms and Qt keys as plain numbers; this pins each number to the
// constant the X and Qt headers give it, key by key, written out independently of the table.

using namespace quillet;

namespace {

struct Expected {
    uint32_t keyCode;
    uint32_t keysym;
    Qt::Key qtKey;
};

constexpr Expected kExpected[] = {
    {0, XK_a, Qt::Key_A}, {11, XK_b, Qt::Key_B}, {8, XK_c, Qt::Key_C}, {2, XK_d, Qt::Key_D},
    {14, XK_e, Qt::Key_E}, {3, XK_f, Qt::Key_F}, {5, XK_g, Qt::Key_G}, {4, XK_h, Qt::Key_H},
    {34, XK_i, Qt::Key_I}, {38, XK_j, Qt::Key_J}, {40, XK_k, Qt::Key_K}, {37, XK_l, Qt::Key_L},
    {46, XK_m, Qt::Key_M}, {45, XK_n, Qt::Key_N}, {31, XK_o, Qt::Key_O}, {35, XK_p, Qt::Key_P},
    {12, XK_q, Qt::Key_Q}, {15, XK_r, Qt::Key_R}, {1, XK_s, Qt::Key_S}, {17, XK_t, Qt::Key_T},
    {32, XK_u, Qt::Key_U}, {9, XK_v, Qt::Key_V}, {13, XK_w, Qt::Key_W}, {7, XK_x, Qt::Key_X},
    {16, XK_y, Qt::Key_Y}, {6, XK_z, Qt::Key_Z},
    {29, XK_0, Qt::Key_0}, {18, XK_1, Qt::Key_1}, {19, XK_2, Qt::Key_2}, {20, XK_3, Qt::Key_3},
    {21, XK_4, Qt::Key_4}, {23, XK_5, Qt::Key_5}, {22, XK_6, Qt::Key_6}, {26, XK_7, Qt::Key_7},
    {28, XK_8, Qt::Key_8}, {25, XK_9, Qt::Key_9},
    {49, XK_space, Qt::Key_Space}, {36, XK_Return, Qt::Key_Return}, {48, XK_Tab, Qt::Key_Tab},
    {53, XK_Escape, Qt::Key_Escape}, {51, XK_BackSpace, Qt::Key_Backspace},
    {117, XK_Delete, Qt::Key_Delete},
    {123, XK_Left, Qt::Key_Left}, {124, XK_Right, Qt::Key_Right}, {126, XK_Up, Qt::Key_Up},
    {125, XK_Down, Qt::Key_Down},
    {122, XK_F1, Qt::Key_F1}, {120, XK_F2, Qt::Key_F2}, {99, XK_F3, Qt::Key_F3},
    {118, XK_F4, Qt::Key_F4}, {96, XK_F5, Qt::Key_F5}, {97, XK_F6, Qt::Key_F6},
    {98, XK_F7, Qt::Key_F7}, {100, XK_F8, Qt::Key_F8}, {101, XK_F9, Qt::Key_F9},
    {109, XK_F10, Qt::Key_F10}, {103, XK_F11, Qt::Key_F11}, {111, XK_F12, Qt::Key_F12},
    {27, XK_minus, Qt::Key_Minus}, {24, XK_equal, Qt::Key_Equal},
    {33, XK_bracketleft, Qt::Key_BracketLeft}, {30, XK_bracketright, Qt::Key_BracketRight},
    {42, XK_backslash, Qt::Key_Backslash}, {41, XK_semicolon, Qt::Key_Semicolon},
    {39, XK_apostrophe, Qt::Key_Apostrophe}, {50, XK_grave, Qt::Key_QuoteLeft},
    {43, XK_comma, Qt::Key_Comma}, {47, XK_period, Qt::Key_Period}, {44, XK_slash, Qt::Key_Slash},
};

constexpr Expected kExpectedShifted[] = {
    {18, XK_exclam, Qt::Key_Exclam}, {19, XK_at, Qt::Key_At}, {20, XK_numbersign, Qt::Key_NumberSign},
    {21, XK_dollar, Qt::Key_Dollar}, {23, XK_percent, Qt::Key_Percent},
    {22, XK_asciicircum, Qt::Key_AsciiCircum}, {26, XK_ampersand, Qt::Key_Ampersand},
    {28, XK_asterisk, Qt::Key_Asterisk}, {25, XK_parenleft, Qt::Key_ParenLeft},
    {29, XK_parenright, Qt::Key_ParenRight}, {48, XK_ISO_Left_Tab, Qt::Key_Backtab},
    {27, XK_underscore, Qt::Key_Underscore}, {24, XK_plus, Qt::Key_Plus},
    {33, XK_braceleft, Qt::Key_BraceLeft}, {30, XK_braceright, Qt::Key_BraceRight},
    {42, XK_bar, Qt::Key_Bar}, {41, XK_colon, Qt::Key_Colon}, {39, XK_quotedbl, Qt::Key_QuoteDbl},
    {50, XK_asciitilde, Qt::Key_AsciiTilde}, {43, XK_less, Qt::Key_Less},
    {47, XK_greater, Qt::Key_Greater}, {44, XK_question, Qt::Key_Question},
    {0, XK_A, Qt::Key_A}, {45, XK_N, Qt::Key_N}, {6, XK_Z, Qt::Key_Z},
};

constexpr bool tableMatchesHeaders() {
    if (std::size(kExpected) != std::size(kKeyCodeMappings)) return false;
    for (const auto& e : kExpected) {
        if (keysymForKeyCode(e.keyCode) != e.keysym) return false;
        if (qtKeyForKeyCode(e.keyCode) != static_cast<int>(e.qtKey)) return false;
        if (keyCodeForKeysym(e.keysym) != e.keyCode) return false;
        if (keyCodeForQtKey(static_cast<int>(e.qtKey)) != e.keyCode) return false;
    }
    for (const auto& e : kExpectedShifted) {
        if (keyCodeForKeysym(e.keysym) != e.keyCode) return false;
        if (keyCodeForQtKey(static_cast<int>(e.qtKey)) != e.keyCode) return false;
    }
    return true;
}

static_assert(tableMatchesHeaders(), "the key table's numbers differ from the X or Qt headers");
static_assert(kXShiftMask == 1u << 0 && kXLockMask == 1u << 1 && kXControlMask == 1u << 2 &&
              kXMod1Mask == 1u << 3 && kXMod2Mask == 1u << 4 && kXMod4Mask == 1u << 6);
static_assert(kQtShiftModifier == static_cast<uint32_t>(Qt::ShiftModifier) &&
              kQtControlModifier == static_cast<uint32_t>(Qt::ControlModifier) &&
              kQtAltModifier == static_cast<uint32_t>(Qt::AltModifier) &&
              kQtMetaModifier == static_cast<uint32_t>(Qt::MetaModifier));

}  // namespace

// The same comparison at run time, so a mismatch names the key.
TEST(KeyCodeMappingToolkit, NumbersAreTheHeadersConstants) {
    for (const auto& e : kExpected) {
        EXPECT_EQ(keysymForKeyCode(e.keyCode), e.keysym) << e.keyCode;
        EXPECT_EQ(qtKey(e.keyCode), e.qtKey) << e.keyCode;
        EXPECT_EQ(keyCodeFromQt(e.qtKey), e.keyCode) << e.keyCode;
    }
    for (const auto& e : kExpectedShifted) EXPECT_EQ(keyCodeFromQt(e.qtKey), e.keyCode) << e.keysym;
    EXPECT_EQ(qtKey(82), std::nullopt);
}

// What a recorder sees: a key event with Qt's own modifiers becomes the stored combination.
TEST(KeyCodeMappingToolkit, QtKeyEventsBecomeStoredCombinations) {
    QKeyEvent controlOptionN(QEvent::KeyPress, Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(keyCodeFromQt(static_cast<Qt::Key>(controlOptionN.key())), 45u);
    EXPECT_EQ(carbonModifiersFromQt(controlOptionN.modifiers()), 0x1800u);

    QKeyEvent superShiftExclam(QEvent::KeyPress, Qt::Key_Exclam,
                               Qt::MetaModifier | Qt::ShiftModifier | Qt::KeypadModifier);
    EXPECT_EQ(keyCodeFromQt(static_cast<Qt::Key>(superShiftExclam.key())), 18u);
    EXPECT_EQ(carbonModifiersFromQt(superShiftExclam.modifiers()), 0x300u);

    EXPECT_EQ(qtKeyboardModifiers(0x1B00),
              Qt::MetaModifier | Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(qtKeyboardModifiers(0), Qt::NoModifier);
}

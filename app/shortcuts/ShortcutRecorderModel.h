#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/keys/QuickCreateShortcut.h"
#include "shared/text/LinuxTexts.h"
#include "shared/text/Translation.h"

namespace quillet {

// One key press as a recorder sees it, already in the stored form.
struct RecorderKeyPress {
    // Absent for a key the key table has no code for (keypad, F13 and above, media keys).
    std::optional<uint32_t> keyCode;
    uint32_t carbonModifiers = 0;
    // Shift, Control, Alt, Super or a lock key pressed on its own.
    bool isModifierKey = false;
};

// The field in which the user sets a key combination: what a click, a key press and the loss of
// the keyboard do to it, and what it shows. It only records: conflicts and registration are
// decided elsewhere. Focus alone never records: a keyboard user tabs through it like any other
// control, starts recording with Return or Space, and can always leave with Escape, Tab or
// Shift+Tab.
class ShortcutRecorderModel {
public:
    static constexpr const char* kPlaceholder = N_("Set Shortcut");
    static constexpr const char* kPrompt = N_("Press shortcut");
    static constexpr const char* kModifierHint = linuxtexts::kRecorderModifierHint;
    static constexpr uint32_t kEscapeKeyCode = 53;
    static constexpr uint32_t kTabKeyCode = 48;
    static constexpr uint32_t kReturnKeyCode = 36;
    static constexpr uint32_t kSpaceKeyCode = 49;

    enum class PressResult {
        passed,          // not recording: the key is not the field's (Tab moves on, menus work)
        started,         // not recording: Return or Space starts recording, as a click does
        movesOn,         // recording: Tab or Shift+Tab ends it unchanged and the focus moves on
        ignored,         // a modifier on its own: nothing changes
        cancelled,       // Escape: back to idle with the old shortcut
        needsModifier,   // no Ctrl, Alt or Super held: the hint shows, recording goes on (beep)
        unsupportedKey,  // a modifier with a key no shortcut can hold: recording goes on (beep)
        recorded,        // the new shortcut is stored and handed to onChange
    };

    std::optional<QuickCreateShortcut> shortcut = defaultQuickCreateShortcut;
    std::string placeholder = kPlaceholder;
    std::function<void(const QuickCreateShortcut&)> onChange;
    bool isRecording = false;
    std::optional<std::string> message;

    // A click on the field starts recording and clears the hint.
    void click();
    // The field lost the keyboard: idle again, the shortcut unchanged.
    void resignFocus();
    // Whether the field takes this press before any shortcut of the window may: every press
    // while recording, only Return and Space while idle.
    bool takesKey(const RecorderKeyPress& press) const;
    // Every press the focused field receives, recording or not.
    PressResult keyDown(const RecorderKeyPress& press);

    struct Appearance {
        std::string text;
        bool usesLabelColor = false;  // else the secondary colour
        bool isRecording = false;     // accent fill and border
        bool operator==(const Appearance&) const = default;
    };
    // The hint, else "Press shortcut" while recording, else the shortcut, else the placeholder.
    Appearance appearance() const;
};

}  // namespace quillet

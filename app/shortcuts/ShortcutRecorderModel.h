#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/keys/QuickCreateShortcut.h"
#include "shared/text/LinuxTexts.h"

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
// decided elsewhere.
class ShortcutRecorderModel {
public:
    static constexpr const char* kPlaceholder = "Set Shortcut";
    static constexpr const char* kPrompt = "Press shortcut";
    static constexpr const char* kModifierHint = linuxtexts::kRecorderModifierHint;
    static constexpr uint32_t kEscapeKeyCode = 53;

    enum class PressResult {
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
    // Every press the focused field receives, recording or not: a field reached by keyboard
    // navigation records all the same.
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

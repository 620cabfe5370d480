#include "app/shortcuts/ShortcutRecorderModel.h"

namespace quillet {

void ShortcutRecorderModel::click() {
    isRecording = true;
    message.reset();
}

void ShortcutRecorderModel::resignFocus() {
    isRecording = false;
    message.reset();
}

ShortcutRecorderModel::PressResult ShortcutRecorderModel::keyDown(const RecorderKeyPress& press) {
    if (press.isModifierKey) return PressResult::ignored;
    // Escape always cancels, whatever is held, so it can never become a shortcut.
    if (press.keyCode == kEscapeKeyCode) {
        isRecording = false;
        message.reset();
        return PressResult::cancelled;
    }
    const uint32_t modifiers = press.carbonModifiers & kCarbonModifierBits;
    if (!hasSystemWideModifier(modifiers)) {
        message = kModifierHint;
        return PressResult::needsModifier;
    }
    if (!press.keyCode) return PressResult::unsupportedKey;
    const QuickCreateShortcut recorded{*press.keyCode, modifiers};
    shortcut = recorded;
    if (onChange) onChange(recorded);
    isRecording = false;
    message.reset();
    return PressResult::recorded;
}

ShortcutRecorderModel::Appearance ShortcutRecorderModel::appearance() const {
    Appearance result;
    result.isRecording = isRecording;
    result.usesLabelColor = !message && shortcut.has_value();
    if (message)
        result.text = *message;
    else if (isRecording)
        result.text = kPrompt;
    else if (shortcut)
        result.text = shortcut->displayString();
    else
        result.text = placeholder;
    return result;
}

}  // namespace quillet

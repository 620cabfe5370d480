#include "app/shortcuts/ShortcutRecorderModel.h"

#include "shared/text/Translation.h"

namespace quillet {

void ShortcutRecorderModel::click() {
    isRecording = true;
    message.reset();
}

void ShortcutRecorderModel::resignFocus() {
    isRecording = false;
    message.reset();
}

namespace {

// Return or Space with at most Shift: what presses a button.
bool pressesField(const RecorderKeyPress& press) {
    return !press.isModifierKey && !hasSystemWideModifier(press.carbonModifiers) &&
           (press.keyCode == ShortcutRecorderModel::kReturnKeyCode ||
            press.keyCode == ShortcutRecorderModel::kSpaceKeyCode);
}

}  // namespace

bool ShortcutRecorderModel::takesKey(const RecorderKeyPress& press) const {
    return isRecording || pressesField(press);
}

ShortcutRecorderModel::PressResult ShortcutRecorderModel::keyDown(const RecorderKeyPress& press) {
    if (!isRecording) {
        if (!pressesField(press)) return PressResult::passed;
        click();
        return PressResult::started;
    }
    if (press.isModifierKey) return PressResult::ignored;
    const uint32_t modifiers = press.carbonModifiers & kCarbonModifierBits;
    // Escape always cancels, whatever is held, so it can never become a shortcut; plain Tab and
    // Shift+Tab leave the field, so a keyboard user is never held in it.
    if (press.keyCode == kEscapeKeyCode || (press.keyCode == kTabKeyCode && !hasSystemWideModifier(modifiers))) {
        isRecording = false;
        message.reset();
        return press.keyCode == kEscapeKeyCode ? PressResult::cancelled : PressResult::movesOn;
    }
    if (!hasSystemWideModifier(modifiers)) {
        message = translate(kModifierHint);
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
        result.text = translate(kPrompt);
    else if (shortcut)
        result.text = shortcut->displayString();
    else
        result.text = placeholder;
    return result;
}

}  // namespace quillet

#include "platform/linux/KeyBindingText.h"

#include "platform/KeyCodeMapping.h"

namespace quillet {

namespace {

constexpr uint32_t kCommand = 0x100, kShift = 0x200, kOption = 0x800, kControl = 0x1000;

// The keysym names of the keys a shortcut can hold (the X and xkbcommon names, which both
// desktops parse), lower-case letters for letters.
std::optional<std::string> keysymName(uint32_t keysym) {
    if ((keysym >= 'a' && keysym <= 'z') || (keysym >= '0' && keysym <= '9')) return std::string(1, char(keysym));
    switch (keysym) {
        case 0x20: return "space";
        case 0xff0d: return "Return";
        case 0xff09: return "Tab";
        case 0xff1b: return "Escape";
        case 0xff08: return "BackSpace";
        case 0xffff: return "Delete";
        case 0xff51: return "Left";
        case 0xff52: return "Up";
        case 0xff53: return "Right";
        case 0xff54: return "Down";
        case 0x2d: return "minus";
        case 0x3d: return "equal";
        case 0x5b: return "bracketleft";
        case 0x5d: return "bracketright";
        case 0x5c: return "backslash";
        case 0x3b: return "semicolon";
        case 0x27: return "apostrophe";
        case 0x60: return "grave";
        case 0x2c: return "comma";
        case 0x2e: return "period";
        case 0x2f: return "slash";
        default: break;
    }
    if (keysym >= 0xffbe && keysym <= 0xffc9) return "F" + std::to_string(keysym - 0xffbe + 1);
    return std::nullopt;
}

std::optional<std::string> keyName(uint32_t keyCode, uint32_t carbonModifiers) {
    if ((carbonModifiers & (kCommand | kShift | kOption | kControl)) == 0) return std::nullopt;
    const auto keysym = keysymForKeyCode(keyCode);
    return keysym ? keysymName(*keysym) : std::nullopt;
}

}  // namespace

std::optional<std::string> portalShortcutTrigger(uint32_t keyCode, uint32_t carbonModifiers) {
    auto key = keyName(keyCode, carbonModifiers);
    if (!key) return std::nullopt;
    if (key->size() == 1 && (*key)[0] >= 'a' && (*key)[0] <= 'z') (*key)[0] = char((*key)[0] - 'a' + 'A');
    std::string trigger;
    if (carbonModifiers & kControl) trigger += "CTRL+";
    if (carbonModifiers & kOption) trigger += "ALT+";
    if (carbonModifiers & kShift) trigger += "SHIFT+";
    if (carbonModifiers & kCommand) trigger += "LOGO+";
    return trigger + *key;
}

std::optional<std::string> gnomeAccelerator(uint32_t keyCode, uint32_t carbonModifiers) {
    const auto key = keyName(keyCode, carbonModifiers);
    if (!key) return std::nullopt;
    std::string accelerator;
    if (carbonModifiers & kControl) accelerator += "<Control>";
    if (carbonModifiers & kOption) accelerator += "<Alt>";
    if (carbonModifiers & kShift) accelerator += "<Shift>";
    if (carbonModifiers & kCommand) accelerator += "<Super>";
    return accelerator + *key;
}

}  // namespace quillet

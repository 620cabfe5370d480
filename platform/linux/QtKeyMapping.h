#pragma once

#include <Qt>

#include <cstdint>
#include <optional>

#include "platform/KeyCodeMapping.h"

// Qt-typed faces of the key table, for the recorder and anything else that holds Qt key events.

namespace quillet {

inline std::optional<Qt::Key> qtKey(uint32_t keyCode) {
    if (auto key = qtKeyForKeyCode(keyCode)) return static_cast<Qt::Key>(*key);
    return std::nullopt;
}

inline std::optional<uint32_t> keyCodeFromQt(Qt::Key key) { return keyCodeForQtKey(static_cast<int>(key)); }

inline Qt::KeyboardModifiers qtKeyboardModifiers(uint32_t carbonModifiers) {
    return Qt::KeyboardModifiers::fromInt(static_cast<int>(qtModifiers(carbonModifiers)));
}

// Named apart from carbonModifiers(cocoaFlags): a bare Qt::KeyboardModifier converts to an integer.
inline uint32_t carbonModifiersFromQt(Qt::KeyboardModifiers modifiers) {
    return carbonModifiersFromQtModifiers(static_cast<uint32_t>(modifiers.toInt()));
}

}  // namespace quillet

// A shortcut is stored as a small JSON object that other programs may have written. Every text
// must decode or be refused with ShortcutDecodingError (no other exception, no crash); a decoded
// shortcut written again is exactly {"keyCode":k,"carbonModifiers":m} and reads back the same; and
// its display text can always be made.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <nlohmann/json.hpp>

#include "app/keys/QuickCreateShortcut.h"

using namespace quillet;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    QuickCreateShortcut shortcut;
    try {
        shortcut = decodeQuickCreateShortcut(input);
    } catch (const ShortcutDecodingError& error) {
        require(error.what()[0] != '\0');
        return 0;
    }
    const std::string encoded = encodeQuickCreateShortcut(shortcut);
    require(encoded == "{\"keyCode\":" + std::to_string(shortcut.keyCode) +
                           ",\"carbonModifiers\":" + std::to_string(shortcut.carbonModifiers) + "}");
    require(decodeQuickCreateShortcut(encoded) == shortcut);
    require(quickCreateShortcutFromJSON(quickCreateShortcutJSON(shortcut)) == shortcut);
    require(!shortcut.displayString().empty());
    return 0;
}

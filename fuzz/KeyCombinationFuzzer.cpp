// A combination typed on the command line ("Ctrl+Alt+M") is read by name. Every text must be
// read or refused with KeyCombinationError and a reason (no other exception, no crash); what is
// read is always usable, and its display text reads back as the same combination.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/keys/QuickCreateShortcut.h"

using namespace quillet;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    QuickCreateShortcut shortcut;
    try {
        shortcut = parseKeyCombination(input);
    } catch (const KeyCombinationError& error) {
        require(!error.description().empty());
        return 0;
    }
    require(shortcut.isUsable());
    require(parseKeyCombination(shortcut.displayString()) == shortcut);
    return 0;
}

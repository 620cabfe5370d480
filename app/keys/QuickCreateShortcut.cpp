#include "app/keys/QuickCreateShortcut.h"

#include <limits>
#include <optional>
#include <nlohmann/json.hpp>

#include "platform/KeyCodeMapping.h"
#include "shared/text/LinuxTexts.h"
#include "shared/text/Translation.h"

namespace quillet {

bool QuickCreateShortcut::isUsable() const {
    return hasSystemWideModifier(carbonModifiers) && keyCode != std::numeric_limits<uint32_t>::max();
}

bool hasSystemWideModifier(uint32_t carbonModifiers) {
    return (carbonModifiers & (kCarbonControlKey | kCarbonOptionKey | kCarbonCommandKey)) != 0;
}

std::string QuickCreateShortcut::displayString() const {
    std::string text;
    auto append = [&text](std::string_view part) {
        if (!text.empty()) text += linuxtexts::kKeySeparator;
        text += part;
    };
    if (carbonModifiers & kCarbonControlKey) append(linuxtexts::kControlKeyName);
    if (carbonModifiers & kCarbonOptionKey) append(linuxtexts::kOptionKeyName);
    if (carbonModifiers & kCarbonShiftKey) append(linuxtexts::kShiftKeyName);
    if (carbonModifiers & kCarbonCommandKey) append(linuxtexts::kCommandKeyName);
    append(keyName(keyCode));
    return text;
}

namespace {

std::string asciiLowercased(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return result;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::optional<uint32_t> modifierNamed(const std::string& lowercased) {
    if (lowercased == asciiLowercased(linuxtexts::kControlKeyName) || lowercased == "control") return kCarbonControlKey;
    if (lowercased == asciiLowercased(linuxtexts::kOptionKeyName)) return kCarbonOptionKey;
    if (lowercased == asciiLowercased(linuxtexts::kShiftKeyName)) return kCarbonShiftKey;
    if (lowercased == asciiLowercased(linuxtexts::kCommandKeyName) || lowercased == "meta") return kCarbonCommandKey;
    return std::nullopt;
}

// A key by its name in the table, or "Key <code>" for a key that can be registered but has no
// name of its own.
std::optional<uint32_t> keyNamed(const std::string& lowercased) {
    for (const auto& [code, name] : keyNameTable())
        if (asciiLowercased(name) == lowercased) return code;
    constexpr std::string_view prefix = "key ";
    if (!lowercased.starts_with(prefix) || lowercased.size() == prefix.size() || lowercased.size() > prefix.size() + 3)
        return std::nullopt;
    uint32_t code = 0;
    for (char c : std::string_view(lowercased).substr(prefix.size())) {
        if (c < '0' || c > '9') return std::nullopt;
        code = code * 10 + static_cast<uint32_t>(c - '0');
    }
    if (!keysymForKeyCode(code)) return std::nullopt;
    return code;
}

}  // namespace

QuickCreateShortcut parseKeyCombination(std::string_view text) {
    uint32_t modifiers = 0;
    std::optional<uint32_t> key;
    std::string_view rest = text;
    for (;;) {
        const size_t separator = rest.find(linuxtexts::kKeySeparator);
        const std::string_view part = trimmed(rest.substr(0, separator));
        if (part.empty())
            throw KeyCombinationError(
                formatText(translate("\"%1\" is not a key combination (write it as Ctrl+Alt+N)"), {text}));
        const std::string name = asciiLowercased(part);
        if (const auto modifier = modifierNamed(name)) {
            modifiers |= *modifier;
        } else if (const auto code = keyNamed(name)) {
            if (key) throw KeyCombinationError(formatText(translate("\"%1\" names more than one key"), {text}));
            key = code;
        } else {
            throw KeyCombinationError(formatText(translate("\"%1\" is not the name of a key"), {part}));
        }
        if (separator == std::string_view::npos) break;
        rest.remove_prefix(separator + 1);
    }
    if (!key) throw KeyCombinationError(formatText(translate("\"%1\" names no key, only modifiers"), {text}));
    if (!hasSystemWideModifier(modifiers))
        // TRANSLATORS: %1 is "Add Ctrl, Alt, or Super", %2 the combination given ("Shift+N").
        throw KeyCombinationError(formatText(translate("%1: \"%2\" would take the key from every program"),
                                             {translate(linuxtexts::kRecorderModifierHint), text}));
    return QuickCreateShortcut{*key, modifiers};
}

const std::vector<std::pair<uint32_t, std::string>>& keyNameTable() {
    static const std::vector<std::pair<uint32_t, std::string>> table{
        {0, "A"}, {11, "B"}, {8, "C"}, {2, "D"}, {14, "E"}, {3, "F"}, {5, "G"},
        {4, "H"}, {34, "I"}, {38, "J"}, {40, "K"}, {37, "L"}, {46, "M"}, {45, "N"},
        {31, "O"}, {35, "P"}, {12, "Q"}, {15, "R"}, {1, "S"}, {17, "T"}, {32, "U"},
        {9, "V"}, {13, "W"}, {7, "X"}, {16, "Y"}, {6, "Z"},
        {29, "0"}, {18, "1"}, {19, "2"}, {20, "3"}, {21, "4"}, {23, "5"}, {22, "6"},
        {26, "7"}, {28, "8"}, {25, "9"},
        {49, "Space"},
        {36, linuxtexts::kReturnKeyName}, {48, linuxtexts::kTabKeyName}, {53, linuxtexts::kEscapeKeyName},
        {51, linuxtexts::kBackspaceKeyName}, {117, linuxtexts::kDeleteKeyName},
        {123, linuxtexts::kLeftKeyName}, {124, linuxtexts::kRightKeyName}, {126, linuxtexts::kUpKeyName},
        {125, linuxtexts::kDownKeyName},
        {122, "F1"}, {120, "F2"}, {99, "F3"}, {118, "F4"}, {96, "F5"}, {97, "F6"},
        {98, "F7"}, {100, "F8"}, {101, "F9"}, {109, "F10"}, {103, "F11"}, {111, "F12"},
    };
    return table;
}

std::string keyName(uint32_t keyCode) {
    for (const auto& [code, name] : keyNameTable())
        if (code == keyCode) return name;
    return "Key " + std::to_string(keyCode);
}

uint32_t carbonModifiers(uint64_t cocoaModifierFlags) {
    uint32_t mask = 0;
    if (cocoaModifierFlags & kCocoaCommandFlag) mask |= kCarbonCommandKey;
    if (cocoaModifierFlags & kCocoaControlFlag) mask |= kCarbonControlKey;
    if (cocoaModifierFlags & kCocoaOptionFlag) mask |= kCarbonOptionKey;
    if (cocoaModifierFlags & kCocoaShiftFlag) mask |= kCarbonShiftKey;
    return mask;
}

nlohmann::json quickCreateShortcutJSON(const QuickCreateShortcut& shortcut) {
    return nlohmann::json{{"keyCode", shortcut.keyCode}, {"carbonModifiers", shortcut.carbonModifiers}};
}

std::string encodeQuickCreateShortcut(const QuickCreateShortcut& shortcut) {
    // Written in field order so stored data reads the same everywhere.
    nlohmann::ordered_json j;
    j["keyCode"] = shortcut.keyCode;
    j["carbonModifiers"] = shortcut.carbonModifiers;
    return j.dump();
}

QuickCreateShortcut quickCreateShortcutFromJSON(const nlohmann::json& value) {
    if (!value.is_object()) throw ShortcutDecodingError("Expected a shortcut object.");
    auto field = [&value](const char* key) -> uint32_t {
        auto it = value.find(key);
        if (it == value.end()) throw ShortcutDecodingError(std::string("Missing key \"") + key + "\".");
        // Fractions, exponents, booleans and negative numbers are not key codes or masks.
        if (!it->is_number_unsigned() || it->get<uint64_t>() > std::numeric_limits<uint32_t>::max())
            throw ShortcutDecodingError(std::string("Key \"") + key +
                                        "\" is not an unsigned 32-bit integer.");
        return static_cast<uint32_t>(it->get<uint64_t>());
    };
    return QuickCreateShortcut{field("keyCode"), field("carbonModifiers")};
}

QuickCreateShortcut decodeQuickCreateShortcut(const std::string& json) {
    nlohmann::json j = nlohmann::json::parse(json, nullptr, false);
    if (j.is_discarded()) throw ShortcutDecodingError("The data is not valid JSON.");
    return quickCreateShortcutFromJSON(j);
}

size_t hashValue(const QuickCreateShortcut& shortcut) {
    size_t seed = 0;
    auto combine = [&seed](uint32_t v) {
        seed ^= std::hash<uint32_t>{}(v) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
    };
    combine(shortcut.keyCode);
    combine(shortcut.carbonModifiers);
    return seed;
}

}  // namespace quillet

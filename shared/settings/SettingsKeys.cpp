#include "shared/settings/SettingsKeys.h"

#include <optional>

#include "shared/settings/DefaultsSuite.h"
#include "shared/catalog/FileTypeCatalog.h"

namespace quillet {

namespace {

// The stored value as a list of strings; nothing when it is missing, not an array, or holds
// anything but strings.
std::optional<std::vector<std::string>> stringArray(const DefaultsSuite& defaults, const char* key) {
    auto value = defaults.get(key);
    if (!value || !value->array()) return std::nullopt;
    std::vector<std::string> out;
    out.reserve(value->array()->size());
    for (const auto& element : *value->array()) {
        if (!element.string()) return std::nullopt;
        out.push_back(*element.string());
    }
    return out;
}

}  // namespace

std::set<std::string> loadEnabledFileTypeIDs(const DefaultsSuite& defaults) {
    auto stored = stringArray(defaults, settingsKey::enabledFileTypeIDs);
    if (!stored) return allIDs();
    return std::set<std::string>(stored->begin(), stored->end());
}

std::vector<std::string> loadFileTypeOrder(const DefaultsSuite& defaults) {
    auto stored = stringArray(defaults, settingsKey::fileTypeOrder);
    if (!stored || stored->empty()) return defaultOrder();
    std::vector<std::string> order;
    std::set<std::string> present;
    for (const auto& id : *stored) {
        if (!fileType(id)) continue;
        order.push_back(id);
        present.insert(id);
    }
    for (const auto& id : defaultOrder())
        if (!present.count(id)) order.push_back(id);
    return order;
}

}  // namespace quillet

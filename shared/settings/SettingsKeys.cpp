#include "shared/settings/SettingsKeys.h"

#include <optional>

#include "shared/settings/DefaultsSuite.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "shared/catalog/UserTemplates.h"

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

std::set<std::string> loadKnownTemplateIDs(const DefaultsSuite& defaults) {
    auto stored = stringArray(defaults, settingsKey::knownTemplateIDs);
    if (!stored) return {};
    return std::set<std::string>(stored->begin(), stored->end());
}

std::set<std::string> loadEnabledFileTypeIDs(const DefaultsSuite& defaults,
                                             const std::vector<std::string>& templateIDs) {
    auto stored = stringArray(defaults, settingsKey::enabledFileTypeIDs);
    std::set<std::string> enabled = allIDs();
    if (stored) {
        const std::set<std::string> present(templateIDs.begin(), templateIDs.end());
        enabled.clear();
        for (auto& id : *stored)
            if (!isTemplateTypeID(id) || present.count(id)) enabled.insert(std::move(id));
    }
    const std::set<std::string> known = stored ? loadKnownTemplateIDs(defaults) : std::set<std::string>{};
    for (const auto& id : templateIDs)
        if (!known.count(id)) enabled.insert(id);
    return enabled;
}

std::vector<std::string> loadFileTypeOrder(const DefaultsSuite& defaults, const std::vector<std::string>& templateIDs) {
    auto stored = stringArray(defaults, settingsKey::fileTypeOrder);
    const std::set<std::string> templates(templateIDs.begin(), templateIDs.end());
    std::vector<std::string> order;
    std::set<std::string> present;
    if (stored) {
        for (const auto& id : *stored) {
            if (!fileType(id) && !templates.count(id)) continue;
            order.push_back(id);
            present.insert(id);
        }
    }
    for (const auto& id : defaultOrder())
        if (!present.count(id)) order.push_back(id);
    for (const auto& id : templateIDs)
        if (present.insert(id).second) order.push_back(id);
    return order;
}

}  // namespace quillet

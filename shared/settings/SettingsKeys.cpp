#include "shared/settings/SettingsKeys.h"

#include <optional>
#include <string_view>
#include <unordered_set>

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

// The file manager asks for these on every right click, with up to hundreds of templates: the
// lookups go through hashed views of strings that outlive them, not copies.
using IDViews = std::unordered_set<std::string_view>;

IDViews viewsOf(const std::vector<std::string>& ids) {
    IDViews views(ids.size());
    for (const auto& id : ids) views.insert(id);
    return views;
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
    std::set<std::string> enabled;
    if (stored) {
        const IDViews present = viewsOf(templateIDs);
        for (auto& id : *stored)
            if (!isTemplateTypeID(id) || present.count(id)) enabled.insert(std::move(id));
    } else {
        enabled = allIDs();
    }
    const auto known = stored ? stringArray(defaults, settingsKey::knownTemplateIDs) : std::nullopt;
    const IDViews knownViews = known ? viewsOf(*known) : IDViews{};
    for (const auto& id : templateIDs)
        if (!knownViews.count(id)) enabled.insert(enabled.end(), id);
    return enabled;
}

std::vector<std::string> loadFileTypeOrder(const DefaultsSuite& defaults, const std::vector<std::string>& templateIDs) {
    const auto stored = stringArray(defaults, settingsKey::fileTypeOrder);
    const IDViews templates = viewsOf(templateIDs);
    std::vector<std::string> order;
    order.reserve(defaultOrder().size() + templateIDs.size() + (stored ? stored->size() : 0));
    // Views into `stored`, the catalog and `templateIDs`, which all outlive it.
    IDViews present(order.capacity());
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

#pragma once

#include <set>
#include <string>
#include <vector>

namespace quillet {

class DefaultsSuite;

// The keys of the shared settings suite. The file-manager extension reads the first two.
namespace settingsKey {
inline constexpr const char* enabledFileTypeIDs = "enabledFileTypeIDs";
inline constexpr const char* fileTypeOrder = "fileTypeOrder";
inline constexpr const char* appPresence = "appPresence";
inline constexpr const char* quickCreateShortcut = "quickCreateShortcut";
inline constexpr const char* fileTypeShortcuts = "fileTypeShortcuts";
inline constexpr const char* directShortcutDestination = "directShortcutDestination";
inline constexpr const char* hasCompletedOnboarding = "hasCompletedOnboarding";
// The ids of the user's templates that were in the Templates folder when "enabledFileTypeIDs"
// was last written. A template not among them is new to the settings and counts as enabled.
inline constexpr const char* knownTemplateIDs = "knownTemplateIDs";
}  // namespace settingsKey

// The load rules of the two file type keys, shared by the application and the extension so the
// two always agree on what is offered. Neither writes anything back.
//
// `templateIDs` are the ids of the templates in the Templates folder now, in the order the
// folder lists them; the rules for built-in ids do not depend on them.
//
// An array of strings as stored (unknown built-in ids kept, [] is "none"), without the ids of
// templates that are gone, with every template missing from "knownTemplateIDs" (a template
// added since the set was written, with no choice of the user's about it yet); anything else:
// every catalog id and every template.
std::set<std::string> loadEnabledFileTypeIDs(const DefaultsSuite& defaults,
                                             const std::vector<std::string>& templateIDs = {});
// Known stored ids in stored order (repeats kept; a template counts as known while it is in
// the folder), then every missing catalog id in catalog order, then every missing template in
// folder order; the catalog order and the templates when the value is missing, empty or not an
// array of strings.
std::vector<std::string> loadFileTypeOrder(const DefaultsSuite& defaults,
                                           const std::vector<std::string>& templateIDs = {});
// The ids of templates stored in "knownTemplateIDs"; empty when missing or not an array of strings.
std::set<std::string> loadKnownTemplateIDs(const DefaultsSuite& defaults);

}  // namespace quillet

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
}  // namespace settingsKey

// The load rules of the two file type keys, shared by the application and the extension so the
// two always agree on what is offered. Neither writes anything back.
//
// An array of strings as stored (unknown ids kept, [] is "none"); anything else: every catalog id.
std::set<std::string> loadEnabledFileTypeIDs(const DefaultsSuite& defaults);
// Known stored ids in stored order (repeats kept), then every missing catalog id in catalog
// order; the catalog order when the value is missing, empty or not an array of strings.
std::vector<std::string> loadFileTypeOrder(const DefaultsSuite& defaults);

}  // namespace quillet

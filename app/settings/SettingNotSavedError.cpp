#include "app/settings/SettingNotSavedError.h"

#include <map>

#include "shared/settings/SettingsKeys.h"

namespace quillet {

std::string settingTitle(const std::string& key) {
    static const std::map<std::string, std::string, std::less<>> titles{
        {settingsKey::enabledFileTypeIDs, "the file types to offer"},
        {settingsKey::fileTypeOrder, "the order of the file types"},
        {settingsKey::appPresence, "App Presence"},
        {settingsKey::quickCreateShortcut, "the Quick Create shortcut"},
        {settingsKey::fileTypeShortcuts, "the direct file shortcuts"},
        {settingsKey::directShortcutDestination, "where direct shortcuts create files"},
        {settingsKey::hasCompletedOnboarding, "the state of the welcome walkthrough"},
    };
    const auto found = titles.find(key);
    return found != titles.end() ? found->second : key;
}

SettingNotSavedError::SettingNotSavedError(std::string key, const std::string& reason)
    : UserFacingError("Your change to " + settingTitle(key) + " was not saved. " + reason),
      key_(std::move(key)) {}

Alert settingNotSavedAlert(const SettingNotSavedError& error) {
    return Alert{SettingNotSavedError::kAlertMessage, error.description(), AlertStyle::warning};
}

}  // namespace quillet

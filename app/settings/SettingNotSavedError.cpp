#include "app/settings/SettingNotSavedError.h"

#include <map>

#include "shared/settings/SettingsKeys.h"
#include "shared/text/Translation.h"

namespace quillet {

std::string settingTitle(const std::string& key) {
    static const std::map<std::string, std::string, std::less<>> titles{
        {settingsKey::enabledFileTypeIDs, N_("the file types to offer")},
        {settingsKey::fileTypeOrder, N_("the order of the file types")},
        {settingsKey::appPresence, N_("App Presence")},
        {settingsKey::quickCreateShortcut, N_("the Quick Create shortcut")},
        {settingsKey::fileTypeShortcuts, N_("the direct file shortcuts")},
        {settingsKey::directShortcutDestination, N_("where direct shortcuts create files")},
        {settingsKey::hasCompletedOnboarding, N_("the state of the welcome walkthrough")},
    };
    const auto found = titles.find(key);
    return found != titles.end() ? translate(found->second.c_str()) : key;
}

SettingNotSavedError::SettingNotSavedError(std::string key, const std::string& reason)
    : UserFacingError(
          // TRANSLATORS: %1 names the setting ("the Quick Create shortcut"), %2 says why ("There is no room left
          // on the disk.").
          formatText(translate("Your change to %1 was not saved. %2"), {settingTitle(key), translate(reason.c_str())})),
      key_(std::move(key)) {}

Alert settingNotSavedAlert(const SettingNotSavedError& error) {
    return Alert{SettingNotSavedError::kAlertMessage, error.description(), AlertStyle::warning};
}

}  // namespace quillet

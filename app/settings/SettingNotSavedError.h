#pragma once

#include <string>

#include "platform/ModalAlert.h"
#include "shared/errors/UserFacingError.h"
#include "shared/text/Translation.h"

namespace quillet {

// A setting the user changed that could not be written: the earlier value stays, on disk and in
// every window, and this says which setting and why.
class SettingNotSavedError : public UserFacingError {
public:
    static constexpr const char* kAlertMessage = N_("The setting stays as it was");

    // `key`: the settings key; `reason`: one sentence saying why ("There is no room left on the disk.").
    SettingNotSavedError(std::string key, const std::string& reason);

    const std::string& key() const { return key_; }

private:
    std::string key_;
};

// How the setting of a key is named to the user ("App Presence", "the Quick Create shortcut").
std::string settingTitle(const std::string& key);

// The one way every window tells of a change that was not saved.
Alert settingNotSavedAlert(const SettingNotSavedError& error);

}  // namespace quillet

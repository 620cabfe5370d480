#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/ModalAlert.h"

namespace quillet {

// What the user is offered: the version found, the one running, and the release notes (plain
// text or HTML from the feed's description, or an address to read them at).
struct UpdateOffer {
    std::string displayVersion;  // shortVersionString, else version
    std::string currentDisplayVersion;
    std::string releaseNotes;
    std::string releaseNotesURL;
    std::uint64_t archiveLength = 0;

    bool operator==(const UpdateOffer&) const = default;
};

// The dialogs of an update check. Every call comes on the main thread.
class UpdateUserDriver {
public:
    virtual ~UpdateUserDriver() = default;
    // A message with an OK button: up to date, failures, updates come from the package manager.
    virtual void showAlert(const Alert& alert) = 0;
    // Asks whether to install; true for "Install", false for "Not Now". Returns once answered.
    virtual bool offerUpdate(const UpdateOffer& offer) = 0;
    // A progress window whose Cancel button calls onCancel (once); stays until hideProgress().
    virtual void showProgress(const std::string& title, std::function<void()> onCancel) = 0;
    virtual void setProgress(std::uint64_t received, std::optional<std::uint64_t> expected) = 0;
    virtual void hideProgress() = 0;
};

}  // namespace quillet

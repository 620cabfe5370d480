#pragma once

#include <functional>
#include <memory>

#include "platform/UpdateUserDriver.h"
#include "platform/linux/QtModalAlert.h"

class QDialog;
class QLabel;
class QProgressBar;
class QPushButton;

namespace quillet {

// The update dialogs as Qt widgets. Alerts are QtModalAlert's message boxes; the offer is an
// application-modal dialog, answered like them by its buttons (found by the names below, so a
// test answers it as a user would); the progress is a window of its own with a Cancel button,
// shown without blocking the event loop the download runs on.
class QtUpdateUserDriver final : public UpdateUserDriver {
public:
    static constexpr const char* kOfferDialogName = "quilletUpdateOffer";
    static constexpr const char* kOfferTitleName = "quilletUpdateOfferTitle";
    static constexpr const char* kOfferTextName = "quilletUpdateOfferText";
    static constexpr const char* kReleaseNotesName = "quilletUpdateReleaseNotes";
    static constexpr const char* kReleaseNotesLinkName = "quilletUpdateReleaseNotesLink";
    static constexpr const char* kInstallButtonName = "quilletUpdateInstall";
    static constexpr const char* kNotNowButtonName = "quilletUpdateNotNow";
    static constexpr const char* kProgressWindowName = "quilletUpdateProgress";
    static constexpr const char* kProgressLabelName = "quilletUpdateProgressLabel";
    static constexpr const char* kProgressBarName = "quilletUpdateProgressBar";
    static constexpr const char* kCancelButtonName = "quilletUpdateCancel";

    QtUpdateUserDriver();
    ~QtUpdateUserDriver() override;

    void showAlert(const Alert& alert) override;
    bool offerUpdate(const UpdateOffer& offer) override;
    void showProgress(const std::string& title, std::function<void()> onCancel) override;
    void setProgress(std::uint64_t received, std::optional<std::uint64_t> expected) override;
    void hideProgress() override;

private:
    QtModalAlert alert_;
    std::unique_ptr<QDialog> progress_;
    QProgressBar* progressBar_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    std::function<void()> onCancel_;
};

}  // namespace quillet

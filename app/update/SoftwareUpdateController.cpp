#include "app/update/SoftwareUpdateController.h"

#include <chrono>

#include "app/update/QuilletSelfUpdateConfiguration.h"
#include "app/update/BundleInstaller.h"
#include "app/update/UpdateMessages.h"
#include "platform/ApplicationLifecycle.h"
#include "platform/MainQueue.h"
#include "platform/UpdateSignatureVerifier.h"
#include "platform/UpdateUserDriver.h"

namespace quillet {

namespace {

constexpr std::chrono::milliseconds kFeedTimeout{30000};

}  // namespace

SoftwareUpdateController::SoftwareUpdateController(SoftwareUpdateEnvironment environment)
    : environment_(std::move(environment)) {}

SoftwareUpdateController::~SoftwareUpdateController() {
    // Stops a transfer in flight; queued steps see the controller gone.
    *alive_ = false;
    transfer_.reset();
    if (showingProgress_) environment_.userDriver.hideProgress();
}

void SoftwareUpdateController::later(std::function<void()> step) {
    std::weak_ptr<bool> alive = alive_;
    environment_.mainQueue.async([alive, step = std::move(step)] {
        if (const auto token = alive.lock(); token && *token) step();
    });
}

void SoftwareUpdateController::checkForUpdates() {
    if (!canCheckForUpdates.get()) {
        log_.log("An update check is already running");
        return;
    }
    if (!environment_.installedBundle) {
        log_.log("Not checking for updates: this copy is not an application folder of its own");
        environment_.userDriver.showAlert(UpdateMessages::notFromBundle());
        return;
    }
    canCheckForUpdates.set(false);
    log_.log("Checking for updates at %{public}s (running %{public}s)", environment_.feedURL,
             environment_.currentVersion);
    // The transport calls back after get() returned; the step itself runs from the main queue so
    // the finished transfer is let go outside its own callback.
    transfer_ = environment_.transport.get(
        TransferRequest{environment_.feedURL, kFeedTimeout, kMaximumFeedBytes}, nullptr,
        [this](TransferResponse response) {
            later([this, response = std::move(response)]() mutable { feedArrived(std::move(response)); });
        });
}

void SoftwareUpdateController::feedArrived(TransferResponse response) {
    transfer_.reset();
    if (response.error) {
        log_.error("The update feed could not be fetched: %{public}s", *response.error);
        return finish(UpdateMessages::checkFailed(UpdateMessages::transferFailed(N_("update feed"), *response.error)));
    }
    if (response.httpStatus != 200) {
        log_.error("The update feed answered with HTTP status %d", response.httpStatus);
        return finish(UpdateMessages::checkFailed(UpdateMessages::httpStatus(N_("update feed"), response.httpStatus)));
    }
    std::optional<AppcastItem> newest;
    try {
        newest = newestItemNewerThan(Appcast::parse(response.body), environment_.currentVersion);
    } catch (const AppcastError& error) {
        log_.error("The update feed is not valid: %{public}s", error.description());
        return finish(UpdateMessages::checkFailed(error.description()));
    }
    if (!newest) {
        log_.log("No update newer than %{public}s", environment_.currentVersion);
        return finish(UpdateMessages::upToDate(environment_.currentVersion));
    }
    offer(*newest);
}

void SoftwareUpdateController::offer(const AppcastItem& item) {
    log_.log("Offering the update to %{public}s", item.displayVersion());
    const UpdateOffer offer{item.displayVersion(), environment_.currentVersion, item.description,
                            item.releaseNotesLink, item.enclosureLength};
    if (!environment_.userDriver.offerUpdate(offer)) {
        log_.log("The update to %{public}s was declined", item.displayVersion());
        return finish(std::nullopt);
    }
    // Refused before a byte is fetched: a plain-text download or one that cannot be verified.
    if (urlScheme(item.enclosureURL) != "https") {
        log_.error("Refusing the update archive at %{public}s: not https", item.enclosureURL);
        return finish(UpdateMessages::installFailed(UpdateMessages::insecureArchiveURL()));
    }
    if (!item.edSignature) {
        log_.error("Refusing the update archive at %{public}s: no signature", item.enclosureURL);
        return finish(UpdateMessages::installFailed(UpdateMessages::missingSignature()));
    }

    log_.log("Downloading %{public}s", item.enclosureURL);
    environment_.userDriver.showProgress(UpdateMessages::downloadingTitle(item.displayVersion()),
                                         [this] { cancelDownload(); });
    showingProgress_ = true;
    // A longer body than announced is refused by the transport already.
    const auto limit = item.enclosureLength > 0 ? item.enclosureLength : kMaximumArchiveBytes;
    transfer_ = environment_.transport.get(
        TransferRequest{item.enclosureURL, environment_.archiveTimeout, limit},
        [this](std::uint64_t received, std::optional<std::uint64_t> expected) {
            environment_.userDriver.setProgress(received, expected);
        },
        [this, item](TransferResponse response) {
            later([this, item, response = std::move(response)]() mutable { archiveArrived(item, std::move(response)); });
        });
}

void SoftwareUpdateController::cancelDownload() {
    if (!transfer_) return;
    log_.log("The update download was cancelled");
    transfer_->cancel();
    transfer_.reset();
    finish(std::nullopt);
}

void SoftwareUpdateController::archiveArrived(const AppcastItem& item, TransferResponse response) {
    transfer_.reset();
    if (showingProgress_) {
        environment_.userDriver.hideProgress();
        showingProgress_ = false;
    }
    if (response.error) {
        log_.error("The update archive could not be fetched: %{public}s", *response.error);
        return finish(UpdateMessages::installFailed(UpdateMessages::transferFailed(N_("update"), *response.error)));
    }
    if (response.httpStatus != 200) {
        log_.error("The update archive answered with HTTP status %d", response.httpStatus);
        return finish(UpdateMessages::installFailed(UpdateMessages::httpStatus(N_("update"), response.httpStatus)));
    }
    if (item.enclosureLength > 0 && response.body.size() != item.enclosureLength) {
        log_.error("The update archive has %lu bytes, the feed announced %lu",
                   static_cast<unsigned long>(response.body.size()), static_cast<unsigned long>(item.enclosureLength));
        return finish(UpdateMessages::installFailed(
            UpdateMessages::incompleteArchive(item.enclosureLength, response.body.size())));
    }
    switch (environment_.signatureVerifier.verify(environment_.publicEDKey, *item.edSignature, response.body)) {
        case UpdateSignatureVerifier::Outcome::valid: break;
        case UpdateSignatureVerifier::Outcome::invalid:
            log_.error("The update archive's signature is not valid");
            return finish(UpdateMessages::installFailed(UpdateMessages::invalidSignature()));
        case UpdateSignatureVerifier::Outcome::malformedKey:
            log_.error("The update key is malformed");
            return finish(UpdateMessages::installFailed(UpdateMessages::malformedPublicKey()));
        case UpdateSignatureVerifier::Outcome::malformedSignature:
            log_.error("The update archive's signature is malformed");
            return finish(UpdateMessages::installFailed(UpdateMessages::malformedSignature()));
    }

    BundleInstaller installer(environment_.unpacker, *environment_.installedBundle);
    try {
        installer.install(response.body, item.displayVersion());
    } catch (const UpdateInstallError& error) {
        log_.error("The update was not installed: %{public}s", error.description());
        return finish(UpdateMessages::installFailed(error.description()));
    }
    // The flag stays false: this instance ends and the new version starts in its place.
    log_.log("Relaunching %{public}s", installer.executable().string());
    environment_.lifecycle.relaunch(installer.executable());
}

void SoftwareUpdateController::finish(std::optional<Alert> alert) {
    if (showingProgress_) {
        environment_.userDriver.hideProgress();
        showingProgress_ = false;
    }
    if (alert) environment_.userDriver.showAlert(*alert);
    canCheckForUpdates.set(true);
}

}  // namespace quillet

#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/observation/Published.h"
#include "app/update/Appcast.h"
#include "platform/ModalAlert.h"
#include "platform/UpdateTransport.h"
#include "shared/logging/Logger.h"

namespace quillet {

class ApplicationLifecycle;
class ArchiveUnpacker;
class MainQueue;
class UpdateSignatureVerifier;
class UpdateUserDriver;

// What an update check needs: the ports it talks through and the deployment's values.
struct SoftwareUpdateEnvironment {
    UpdateTransport& transport;
    UpdateSignatureVerifier& signatureVerifier;
    ArchiveUnpacker& unpacker;
    UpdateUserDriver& userDriver;
    ApplicationLifecycle& lifecycle;
    MainQueue& mainQueue;
    std::string feedURL;      // https
    std::string publicEDKey;  // base64 Ed25519 key the archives are signed with
    std::string currentVersion;  // the running CFBundleShortVersionString
    // The running application folder (".../Quillet+.app"); absent for a system install or the
    // build tree, which are never replaced.
    std::optional<std::filesystem::path> installedBundle;
    // How long the archive's download may go without a byte before it fails.
    std::chrono::milliseconds archiveTimeout{60000};
};

// Checks the feed for a newer release and, when the user accepts it, downloads, verifies and
// installs it and relaunches the application. Every step after a transfer runs from the main
// queue, so nothing waits; every failure ends in one alert, with the installed application
// untouched.
class SoftwareUpdateController {
public:
    static constexpr const char* kLogCategory = "SelfUpdate";

    // The largest feed and archive fetched.
    static constexpr std::uint64_t kMaximumFeedBytes = 4u << 20;
    static constexpr std::uint64_t kMaximumArchiveBytes = 1024u << 20;

    explicit SoftwareUpdateController(SoftwareUpdateEnvironment environment);
    ~SoftwareUpdateController();
    SoftwareUpdateController(const SoftwareUpdateController&) = delete;
    SoftwareUpdateController& operator=(const SoftwareUpdateController&) = delete;

    // True when no check or installation runs, so a user-initiated check can start.
    Published<bool> canCheckForUpdates{true};

    // Starts a user-initiated check; does nothing while one runs.
    void checkForUpdates();

private:
    void feedArrived(TransferResponse response);
    void offer(const AppcastItem& item);
    void archiveArrived(const AppcastItem& item, TransferResponse response);
    void cancelDownload();
    // Ends the check with an alert (or quietly without one) and lets the next one start.
    void finish(std::optional<Alert> alert);
    // Runs `step` from the main queue, unless this controller is gone by then.
    void later(std::function<void()> step);

    SoftwareUpdateEnvironment environment_;
    std::unique_ptr<Transfer> transfer_;
    bool showingProgress_ = false;
    Logger log_{kAppSubsystem, kLogCategory};
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quillet

#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "shared/errors/UserFacingError.h"
#include "shared/text/LinuxTexts.h"

namespace quillet {

// Why Quillet+ could not remove itself; description() is the text the user sees, and every case
// shares one recovery suggestion: the way to do by hand what the uninstaller could not.
class AppUninstallError : public UserFacingError {
public:
    enum class Kind {
        notRunningFromAppBundle,
        trashMoveFailed,
        trashMoveReportedNoResult,
        allTrashAttemptsFailed,
        appleScriptFailed,
        appleScriptCreationFailed,
    };

    static constexpr const char* kRecoverySuggestion = linuxtexts::kUninstallRecoverySuggestion;

    static AppUninstallError notRunningFromAppBundle(std::filesystem::path bundle);
    // The underlying error's description, when there is one.
    static AppUninstallError trashMoveFailed(std::optional<std::string> underlyingDescription);
    static AppUninstallError trashMoveReportedNoResult(std::filesystem::path bundle);
    // The failure texts of the attempts, in the order they were tried.
    static AppUninstallError allTrashAttemptsFailed(std::vector<std::string> failures);
    static AppUninstallError appleScriptFailed(std::string message);
    static AppUninstallError appleScriptCreationFailed();

    Kind kind() const { return kind_; }
    std::string recoverySuggestion() const { return kRecoverySuggestion; }
    // The bundle of notRunningFromAppBundle and trashMoveReportedNoResult.
    const std::filesystem::path& bundle() const { return bundle_; }
    // The collected texts of allTrashAttemptsFailed.
    const std::vector<std::string>& failures() const { return failures_; }

private:
    AppUninstallError(Kind kind, std::string description);
    Kind kind_;
    std::filesystem::path bundle_;
    std::vector<std::string> failures_;
};

}  // namespace quillet

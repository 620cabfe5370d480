#include "app/uninstall/AppUninstallError.h"

#include "shared/text/LinuxTexts.h"
#include "shared/text/Translation.h"

namespace quillet {

AppUninstallError::AppUninstallError(Kind kind, std::string description)
    : UserFacingError(std::move(description)), kind_(kind) {}

AppUninstallError AppUninstallError::notRunningFromAppBundle(std::filesystem::path bundle) {
    AppUninstallError error(Kind::notRunningFromAppBundle,
                            translate(linuxtexts::kNotRunningFromBundlePrefix) + bundle.string());
    error.bundle_ = std::move(bundle);
    return error;
}

AppUninstallError AppUninstallError::trashMoveFailed(std::optional<std::string> underlyingDescription) {
    if (!underlyingDescription)
        return AppUninstallError(Kind::trashMoveFailed, translate(linuxtexts::kTrashMoveFailedNoLocation));
    return AppUninstallError(Kind::trashMoveFailed,
                             translate(linuxtexts::kTrashMoveFailedPrefix) + *underlyingDescription);
}

AppUninstallError AppUninstallError::trashMoveReportedNoResult(std::filesystem::path bundle) {
    AppUninstallError error(Kind::trashMoveReportedNoResult,
                            translate(linuxtexts::kTrashMoveReportedNoResultPrefix) + bundle.string() + ".");
    error.bundle_ = std::move(bundle);
    return error;
}

AppUninstallError AppUninstallError::allTrashAttemptsFailed(std::vector<std::string> failures) {
    std::string description = std::string(translate("Quillet+ could not be moved to the Trash.")) + "\n\n";
    for (size_t i = 0; i < failures.size(); ++i) {
        if (i > 0) description += '\n';
        description += failures[i];
    }
    AppUninstallError error(Kind::allTrashAttemptsFailed, std::move(description));
    error.failures_ = std::move(failures);
    return error;
}

AppUninstallError AppUninstallError::appleScriptFailed(std::string message) {
    return AppUninstallError(Kind::appleScriptFailed, std::move(message));
}

AppUninstallError AppUninstallError::appleScriptCreationFailed() {
    return AppUninstallError(Kind::appleScriptCreationFailed, translate(linuxtexts::kFileManagerRequestFailed));
}

}  // namespace quillet

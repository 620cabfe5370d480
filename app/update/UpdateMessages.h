#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ModalAlert.h"
#include "shared/text/Translation.h"

namespace quillet {

// Every text an update check shows the user, in one place.
namespace UpdateMessages {

inline constexpr const char* kCheckFailedTitle = N_("Update Error");
inline constexpr const char* kInstallFailedTitle = N_("Could not install the update");
inline constexpr const char* kUpToDateTitle = N_("You're up to date.");
inline constexpr const char* kPackageManagerTitle = N_("Updates come from your package manager.");

Alert upToDate(std::string_view currentVersion);
Alert notFromBundle();
// The feed could not be fetched or read; `reason` says why.
Alert checkFailed(std::string_view reason);
// The offered update was not downloaded, verified or installed; `reason` says why.
Alert installFailed(std::string_view reason);
std::string downloadingTitle(std::string_view version);

// The reasons, completed into sentences.
std::string transferFailed(std::string_view what, std::string_view error);
std::string httpStatus(std::string_view what, int status);
std::string invalidFeed(std::string_view reason);
std::string insecureArchiveURL();
std::string missingSignature();
std::string incompleteArchive(std::uint64_t expected, std::uint64_t received);
std::string invalidSignature();
std::string malformedPublicKey();
std::string malformedSignature();
std::string stagingFailed(std::string_view reason);
std::string unpackFailed(std::string_view reason);
std::string notAnApplication(std::string_view reason);
std::string versionMismatch(std::string_view found, std::string_view offered);
std::string replaceFailed(std::string_view reason);

}  // namespace UpdateMessages

}  // namespace quillet

#include "app/update/UpdateMessages.h"

namespace quillet::UpdateMessages {

namespace {

std::string text(std::string_view s) { return std::string(s); }

// A reason ends the sentence it completes. Those from the adapters come with or without their
// own full stop ("Connection closed", "… was refused: “x”."), and either way it ends in one.
std::string sentenceEnd(std::string_view reason) {
    const bool ended = !reason.empty() && (reason.back() == '.' || reason.back() == '!' || reason.back() == '?');
    return text(reason) + (ended ? "" : ".");
}

}  // namespace

Alert upToDate(std::string_view currentVersion) {
    return {kUpToDateTitle, "Quillet+ " + text(currentVersion) + " is currently the newest version available.",
            AlertStyle::warning};
}

Alert notFromBundle() {
    return {kPackageManagerTitle,
            "This copy of Quillet+ was installed for the whole system. Install updates with the system's "
            "package manager; nothing was downloaded or changed.",
            AlertStyle::warning};
}

Alert checkFailed(std::string_view reason) { return {kCheckFailedTitle, text(reason), AlertStyle::warning}; }

Alert installFailed(std::string_view reason) {
    return {kInstallFailedTitle, text(reason) + " The installed Quillet+ was not changed.", AlertStyle::critical};
}

std::string downloadingTitle(std::string_view version) { return "Downloading Quillet+ " + text(version); }

std::string transferFailed(std::string_view what, std::string_view error) {
    return "The " + text(what) + " could not be downloaded: " + sentenceEnd(error);
}

std::string httpStatus(std::string_view what, int status) {
    return "The server answered the request for the " + text(what) + " with HTTP status " +
           std::to_string(status) + ".";
}

std::string invalidFeed(std::string_view reason) {
    return "The update feed is not a valid update feed: " + sentenceEnd(reason);
}

std::string insecureArchiveURL() {
    return "The update is not offered over https, so it was not downloaded.";
}

std::string missingSignature() {
    return "The update has no signature, so it cannot be verified and was not downloaded.";
}

std::string incompleteArchive(std::uint64_t expected, std::uint64_t received) {
    return "The downloaded update is incomplete: the feed announced " + std::to_string(expected) +
           " bytes, " + std::to_string(received) + " arrived.";
}

std::string invalidSignature() {
    return "The signature of the downloaded update is not valid: it was not made with this "
           "application's update key, or the archive was changed.";
}

std::string malformedPublicKey() { return "This application's update key is malformed, so no update can be verified."; }

std::string malformedSignature() { return "The signature of the downloaded update is malformed."; }

std::string stagingFailed(std::string_view reason) {
    return "No folder for the update could be made beside the installed application: " + sentenceEnd(reason);
}

std::string unpackFailed(std::string_view reason) {
    return "The update archive could not be unpacked: " + sentenceEnd(reason);
}

std::string notAnApplication(std::string_view reason) {
    return "The update archive does not hold a Quillet+ application: " + sentenceEnd(reason);
}

std::string versionMismatch(std::string_view found, std::string_view offered) {
    return "The update archive holds version " + text(found) + ", not the offered version " + text(offered) + ".";
}

std::string replaceFailed(std::string_view reason) {
    return "The new version could not take the place of the installed one: " + sentenceEnd(reason);
}

}  // namespace quillet::UpdateMessages

#include "app/update/UpdateMessages.h"

#include "shared/text/Translation.h"

namespace quillet::UpdateMessages {

namespace {

std::string text(std::string_view s) { return std::string(s); }

std::string format(const char* english, std::initializer_list<std::string_view> values) {
    return formatText(translate(english), values);
}

// A reason ends the sentence it completes. Those from the adapters come with or without their
// own full stop ("Connection closed", "… was refused: “x”."), and either way it ends in one.
std::string sentenceEnd(std::string_view reason) {
    const bool ended = !reason.empty() && (reason.back() == '.' || reason.back() == '!' || reason.back() == '?');
    return text(reason) + (ended ? "" : ".");
}

}  // namespace

Alert upToDate(std::string_view currentVersion) {
    return {kUpToDateTitle, format("Quillet+ %1 is currently the newest version available.", {currentVersion}),
            AlertStyle::warning};
}

Alert notFromBundle() {
    return {kPackageManagerTitle,
            translate("This copy of Quillet+ was installed for the whole system. Install updates with the system's "
                      "package manager; nothing was downloaded or changed."),
            AlertStyle::warning};
}

Alert checkFailed(std::string_view reason) { return {kCheckFailedTitle, text(reason), AlertStyle::warning}; }

Alert installFailed(std::string_view reason) {
    // TRANSLATORS: %1 is the reason, a sentence of its own.
    return {kInstallFailedTitle, format("%1 The installed Quillet+ was not changed.", {reason}), AlertStyle::critical};
}

std::string downloadingTitle(std::string_view version) { return format("Downloading Quillet+ %1", {version}); }

std::string transferFailed(std::string_view what, std::string_view error) {
    // TRANSLATORS: %1 is "update feed" or "update", %2 the reason.
    return format("The %1 could not be downloaded: %2", {translate(text(what).c_str()), sentenceEnd(error)});
}

std::string httpStatus(std::string_view what, int status) {
    // TRANSLATORS: %1 is "update feed" or "update", %2 a number.
    return format("The server answered the request for the %1 with HTTP status %2.",
                  {translate(text(what).c_str()), std::to_string(status)});
}

std::string invalidFeed(std::string_view reason) {
    return format("The update feed is not a valid update feed: %1", {sentenceEnd(reason)});
}

std::string insecureArchiveURL() {
    return translate("The update is not offered over https, so it was not downloaded.");
}

std::string missingSignature() {
    return translate("The update has no signature, so it cannot be verified and was not downloaded.");
}

std::string incompleteArchive(std::uint64_t expected, std::uint64_t received) {
    return format("The downloaded update is incomplete: the feed announced %1 bytes, %2 arrived.",
                  {std::to_string(expected), std::to_string(received)});
}

std::string invalidSignature() {
    return translate("The signature of the downloaded update is not valid: it was not made with this "
                     "application's update key, or the archive was changed.");
}

std::string malformedPublicKey() {
    return translate("This application's update key is malformed, so no update can be verified.");
}

std::string malformedSignature() { return translate("The signature of the downloaded update is malformed."); }

std::string stagingFailed(std::string_view reason) {
    return format("No folder for the update could be made beside the installed application: %1", {sentenceEnd(reason)});
}

std::string unpackFailed(std::string_view reason) {
    return format("The update archive could not be unpacked: %1", {sentenceEnd(reason)});
}

std::string notAnApplication(std::string_view reason) {
    return format("The update archive does not hold a Quillet+ application: %1", {sentenceEnd(reason)});
}

std::string versionMismatch(std::string_view found, std::string_view offered) {
    return format("The update archive holds version %1, not the offered version %2.", {found, offered});
}

std::string replaceFailed(std::string_view reason) {
    return format("The new version could not take the place of the installed one: %1", {sentenceEnd(reason)});
}

}  // namespace quillet::UpdateMessages

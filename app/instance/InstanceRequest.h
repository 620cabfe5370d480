#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "app/creation/CreationDestination.h"
#include "platform/posix/InstanceSocket.h"

namespace quillet {

// What a later launch asks of the running instance.
struct InstanceRequest {
    enum class Kind {
        activate,     // "quillet" again: bring the application forward (its main window)
        quickCreate,  // "quillet quick-create": show the Quick Create panel
        checkForUpdates,  // "quillet check-for-updates": a user-initiated update check
        openURL,      // "quillet URL": the URL the desktop hands over, handled as if opened here
        createFile,   // "quillet create TYPE --destination D": a direct file shortcut's creation
    };
    Kind kind = Kind::activate;
    std::string url;  // openURL only: the text exactly as given
    std::string typeID{};  // createFile only: a type of the catalog
    CreationDestinationMode destination = CreationDestinationMode::desktop;  // createFile only
    // openURL only: the file manager process the link came from (see desktopLaunchRequester), 0
    // when unknown; the new file is shown in that one.
    std::int64_t requester = 0;
    // openURL and createFile: the launch waits (kInstanceResultWait at the most) to print what
    // became of it, as the same command does in its own process.
    bool wantsResult = false;

    bool operator==(const InstanceRequest&) const = default;
};

// Whether a launch of this kind can wait for its result: the creations (openURL, createFile).
bool canWaitForResult(InstanceRequest::Kind kind);

// What became of a request whose launch waits for it.
struct InstanceResult {
    enum class Kind {
        done,     // carried out; nothing to print (a link that was no create request)
        created,  // `output` is what the command prints: the new file's path, and its status line
        failed,   // `output` says why
        pending,  // still under way when the wait ended: the instance shows an alert, say
    };
    Kind kind = Kind::pending;
    std::string output{};

    bool operator==(const InstanceResult&) const = default;
};

// "done", "created\n<output>", "failed\n<output>" or "pending".
std::string encodeInstanceResult(const InstanceResult& result);
std::optional<InstanceResult> decodeInstanceResult(std::string_view answer);

// The exit status of a launch whose request is still under way in the instance when the wait
// ended (kExitOK and kExitFailure otherwise).
inline constexpr int kExitStillPending = 3;
// What a launch prints for the instance's answer to its forwarded request (the result, or nothing
// for a request that waits for none) and the exit status it ends with.
int reportForwardedAnswer(const instance_socket::SendResult& sent, std::ostream& out, std::ostream& err);

// How long an instance lets a launch wait for a result before it answers "pending": an alert
// about the request would otherwise hold the launch until the user closes it.
inline constexpr std::chrono::milliseconds kInstanceResultWait{3000};

// The request's verb in messages and log lines: "activate", "quick-create", "check-for-updates",
// "open-url", "create".
std::string_view instanceRequestVerb(InstanceRequest::Kind kind);

// One request per message: a version line, the verb, and for a URL the rest of the message as
// it was given (any bytes but NUL), so nothing of it is re-encoded on the way; for a creation a
// line with the type and one with the destination's stored form. A URL with a requester has a
// verb of its own ("open-url-from") and the process on a line before the URL. A request whose
// launch waits for its result starts with the version line of the format's second version.
std::string encodeInstanceRequest(const InstanceRequest& request);
// Nothing for anything that is not exactly such a message.
std::optional<InstanceRequest> decodeInstanceRequest(std::string_view message);

// The words after "quillet" that a running instance carries out in place of a new process:
// none, "quick-create", "check-for-updates", a single URL, or "create TYPE --destination D" with a
// known type and destination (what a key binding of the desktop runs). Nothing for every other
// command, so its mistakes are reported by the command itself.
std::optional<InstanceRequest> forwardableRequest(int argc, const char* const* argv);

// How long a launch waits for the running instance's answer.
inline constexpr std::chrono::milliseconds kInstanceAnswerTimeout{5000};

// Hands the request to the instance listening at `socket`. An instance of an earlier version
// refuses a URL's requester and the wish for a result: the request is sent again without them.
instance_socket::SendResult forwardToRunningInstance(const std::filesystem::path& socket,
                                                     const InstanceRequest& request);

}  // namespace quillet

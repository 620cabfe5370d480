#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
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

    bool operator==(const InstanceRequest&) const = default;
};

// The request's verb in messages and log lines: "activate", "quick-create", "check-for-updates",
// "open-url", "create".
std::string_view instanceRequestVerb(InstanceRequest::Kind kind);

// One request per message: a version line, the verb, and for a URL the rest of the message as
// it was given (any bytes but NUL), so nothing of it is re-encoded on the way; for a creation a
// line with the type and one with the destination's stored form. A URL with a requester has a
// verb of its own ("open-url-from") and the process on a line before the URL.
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
// refuses a URL's requester: it is sent again without.
instance_socket::SendResult forwardToRunningInstance(const std::filesystem::path& socket,
                                                     const InstanceRequest& request);

}  // namespace quillet

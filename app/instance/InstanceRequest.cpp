#include "app/instance/InstanceRequest.h"

#include <ostream>
#include <utility>

#include "app/instance/DesktopLaunchRequester.h"
#include "app/requests/URLComponents.h"
#include "shared/catalog/FileTypeCatalog.h"

namespace quillet {

namespace {

constexpr std::string_view kHeader = "quillet-request 1\n";
// The same requests, whose launch waits for the result.
constexpr std::string_view kResultHeader = "quillet-request 2\n";
constexpr std::string_view kActivate = "activate";
constexpr std::string_view kQuickCreate = "quick-create";
constexpr std::string_view kCheckForUpdates = "check-for-updates";
constexpr std::string_view kOpenURLVerb = "open-url";
constexpr std::string_view kOpenURL = "open-url\n";
constexpr std::string_view kOpenURLFrom = "open-url-from\n";
constexpr std::string_view kCreateVerb = "create";
constexpr std::string_view kCreate = "create\n";
constexpr std::string_view kDestinationOption = "--destination";

// A creation request for a type of the catalog (or a template) and a destination's stored form.
std::optional<InstanceRequest> creationRequest(std::string_view typeID, std::string_view destination) {
    const auto mode = creationDestinationModeFromRawValue(destination);
    // A template's id is only checked for form here; the instance that creates the file looks
    // for it in the Templates folder.
    if (!mode || !fileTypeForID(std::string(typeID))) return std::nullopt;
    InstanceRequest request{InstanceRequest::Kind::createFile, {}};
    request.typeID = std::string(typeID);
    request.destination = *mode;
    return request;
}

std::optional<InstanceRequest> urlRequest(std::string_view url, std::int64_t requester) {
    if (url.empty() || url.find('\0') != std::string_view::npos) return std::nullopt;
    InstanceRequest request{InstanceRequest::Kind::openURL, std::string(url)};
    request.requester = requester;
    return request;
}

}  // namespace

bool canWaitForResult(InstanceRequest::Kind kind) {
    return kind == InstanceRequest::Kind::openURL || kind == InstanceRequest::Kind::createFile;
}

std::string_view instanceRequestVerb(InstanceRequest::Kind kind) {
    switch (kind) {
        case InstanceRequest::Kind::activate: return kActivate;
        case InstanceRequest::Kind::quickCreate: return kQuickCreate;
        case InstanceRequest::Kind::checkForUpdates: return kCheckForUpdates;
        case InstanceRequest::Kind::openURL: return kOpenURLVerb;
        case InstanceRequest::Kind::createFile: return kCreateVerb;
    }
    return kActivate;
}

std::string encodeInstanceRequest(const InstanceRequest& request) {
    const bool waits = request.wantsResult && canWaitForResult(request.kind);
    std::string message(waits ? kResultHeader : kHeader);
    message += instanceRequestVerb(request.kind);
    if (request.kind == InstanceRequest::Kind::openURL) {
        if (request.requester > 0) {
            message += "-from\n";
            message += std::to_string(request.requester);
        }
        message += '\n';
        message += request.url;
    }
    if (request.kind == InstanceRequest::Kind::createFile) {
        message += '\n';
        message += request.typeID;
        message += '\n';
        message += rawValue(request.destination);
    }
    return message;
}

std::optional<InstanceRequest> decodeInstanceRequest(std::string_view message) {
    if (message.size() > instance_socket::kMaximumMessageSize) return std::nullopt;
    if (message.starts_with(kResultHeader)) {
        auto request = decodeInstanceRequest(std::string(kHeader) + std::string(message.substr(kResultHeader.size())));
        if (!request || !canWaitForResult(request->kind))
            return std::nullopt;
        request->wantsResult = true;
        return request;
    }
    if (!message.starts_with(kHeader)) return std::nullopt;
    const std::string_view body = message.substr(kHeader.size());
    if (body == kActivate) return InstanceRequest{InstanceRequest::Kind::activate, {}};
    if (body == kQuickCreate) return InstanceRequest{InstanceRequest::Kind::quickCreate, {}};
    if (body == kCheckForUpdates) return InstanceRequest{InstanceRequest::Kind::checkForUpdates, {}};
    if (body.starts_with(kOpenURL)) return urlRequest(body.substr(kOpenURL.size()), 0);
    if (body.starts_with(kOpenURLFrom)) {
        const std::string_view rest = body.substr(kOpenURLFrom.size());
        const size_t lineEnd = rest.find('\n');
        if (lineEnd == std::string_view::npos) return std::nullopt;
        const std::int64_t requester = processIdentifierFromText(rest.substr(0, lineEnd));
        if (requester == 0) return std::nullopt;
        return urlRequest(rest.substr(lineEnd + 1), requester);
    }
    if (body.starts_with(kCreate)) {
        const std::string_view rest = body.substr(kCreate.size());
        const size_t lineEnd = rest.find('\n');
        if (lineEnd == std::string_view::npos) return std::nullopt;
        return creationRequest(rest.substr(0, lineEnd), rest.substr(lineEnd + 1));
    }
    return std::nullopt;
}

std::optional<InstanceRequest> forwardableRequest(int argc, const char* const* argv) {
    if (argc <= 1) return InstanceRequest{InstanceRequest::Kind::activate, {}};
    // The folder form ("create TYPE FOLDER") and every other spelling run in their own process.
    if (argc == 5 && argv[1] && argv[2] && argv[3] && argv[4] && std::string_view(argv[1]) == kCreateVerb &&
        std::string_view(argv[3]) == kDestinationOption)
        return creationRequest(argv[2], argv[4]);
    if (argc != 2 || argv[1] == nullptr) return std::nullopt;
    const std::string_view word = argv[1];
    if (word == kQuickCreate) return InstanceRequest{InstanceRequest::Kind::quickCreate, {}};
    if (word == kCheckForUpdates) return InstanceRequest{InstanceRequest::Kind::checkForUpdates, {}};
    // The form the desktop uses for the links it hands over ("quillet %u").
    if (urlScheme(word)) return InstanceRequest{InstanceRequest::Kind::openURL, std::string(word)};
    return std::nullopt;
}

instance_socket::SendResult forwardToRunningInstance(const std::filesystem::path& socket,
                                                     const InstanceRequest& request) {
    auto result = instance_socket::send(socket, encodeInstanceRequest(request), kInstanceAnswerTimeout);
    if (result.status == instance_socket::SendResult::Status::refused && (request.requester > 0 || request.wantsResult)) {
        InstanceRequest plain = request;
        plain.requester = 0;
        plain.wantsResult = false;
        result = instance_socket::send(socket, encodeInstanceRequest(plain), kInstanceAnswerTimeout);
    }
    return result;
}

namespace {

constexpr std::pair<InstanceResult::Kind, std::string_view> kResultWords[] = {
    {InstanceResult::Kind::done, "done"},
    {InstanceResult::Kind::created, "created"},
    {InstanceResult::Kind::failed, "failed"},
    {InstanceResult::Kind::pending, "pending"},
};

}  // namespace

std::string encodeInstanceResult(const InstanceResult& result) {
    for (const auto& [kind, word] : kResultWords) {
        if (kind != result.kind) continue;
        const bool hasOutput = kind == InstanceResult::Kind::created || kind == InstanceResult::Kind::failed;
        return hasOutput ? std::string(word) + "\n" + result.output : std::string(word);
    }
    return "pending";
}

std::optional<InstanceResult> decodeInstanceResult(std::string_view answer) {
    const size_t lineEnd = answer.find('\n');
    const std::string_view word = answer.substr(0, lineEnd);
    for (const auto& [kind, known] : kResultWords) {
        if (word != known) continue;
        const bool hasOutput = kind == InstanceResult::Kind::created || kind == InstanceResult::Kind::failed;
        if (hasOutput != (lineEnd != std::string_view::npos)) return std::nullopt;
        return InstanceResult{kind, hasOutput ? std::string(answer.substr(lineEnd + 1)) : std::string()};
    }
    return std::nullopt;
}

}  // namespace quillet

namespace quillet {

int reportForwardedAnswer(const instance_socket::SendResult& sent, std::ostream& out, std::ostream& err) {
    if (sent.answer.empty()) return 0;
    const auto result = decodeInstanceResult(sent.answer);
    if (!result) {
        err << "quillet: The running Quillet+ gave an answer this version does not know\n";
        return 1;
    }
    switch (result->kind) {
        case InstanceResult::Kind::done: return 0;
        case InstanceResult::Kind::created: out << result->output << std::flush; return 0;
        case InstanceResult::Kind::failed: err << "quillet: " << result->output << "\n"; return 1;
        case InstanceResult::Kind::pending:
            err << "quillet: The running Quillet+ is still at it (it may be showing a message about it)\n";
            return kExitStillPending;
    }
    return 1;
}

}  // namespace quillet

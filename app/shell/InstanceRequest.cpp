#include "app/shell/InstanceRequest.h"

#include "app/requests/URLComponents.h"

namespace quillet {

namespace {

constexpr std::string_view kHeader = "quillet-request 1\n";
constexpr std::string_view kActivate = "activate";
constexpr std::string_view kQuickCreate = "quick-create";
constexpr std::string_view kCheckForUpdates = "check-for-updates";
constexpr std::string_view kOpenURLVerb = "open-url";
constexpr std::string_view kOpenURL = "open-url\n";

}  // namespace

std::string_view instanceRequestVerb(InstanceRequest::Kind kind) {
    switch (kind) {
        case InstanceRequest::Kind::activate: return kActivate;
        case InstanceRequest::Kind::quickCreate: return kQuickCreate;
        case InstanceRequest::Kind::checkForUpdates: return kCheckForUpdates;
        case InstanceRequest::Kind::openURL: return kOpenURLVerb;
    }
    return kActivate;
}

std::string encodeInstanceRequest(const InstanceRequest& request) {
    std::string message(kHeader);
    message += instanceRequestVerb(request.kind);
    if (request.kind == InstanceRequest::Kind::openURL) {
        message += '\n';
        message += request.url;
    }
    return message;
}

std::optional<InstanceRequest> decodeInstanceRequest(std::string_view message) {
    if (message.size() > instance_socket::kMaximumMessageSize || !message.starts_with(kHeader)) return std::nullopt;
    const std::string_view body = message.substr(kHeader.size());
    if (body == kActivate) return InstanceRequest{InstanceRequest::Kind::activate, {}};
    if (body == kQuickCreate) return InstanceRequest{InstanceRequest::Kind::quickCreate, {}};
    if (body == kCheckForUpdates) return InstanceRequest{InstanceRequest::Kind::checkForUpdates, {}};
    if (body.starts_with(kOpenURL)) {
        const std::string_view url = body.substr(kOpenURL.size());
        if (url.empty() || url.find('\0') != std::string_view::npos) return std::nullopt;
        return InstanceRequest{InstanceRequest::Kind::openURL, std::string(url)};
    }
    return std::nullopt;
}

std::optional<InstanceRequest> forwardableRequest(int argc, const char* const* argv) {
    if (argc <= 1) return InstanceRequest{InstanceRequest::Kind::activate, {}};
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
    return instance_socket::send(socket, encodeInstanceRequest(request), kInstanceAnswerTimeout);
}

}  // namespace quillet

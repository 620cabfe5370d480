#include "app/instance/InstanceRequest.h"

#include "app/requests/URLComponents.h"
#include "shared/catalog/FileTypeCatalog.h"

namespace quillet {

namespace {

constexpr std::string_view kHeader = "quillet-request 1\n";
constexpr std::string_view kActivate = "activate";
constexpr std::string_view kQuickCreate = "quick-create";
constexpr std::string_view kCheckForUpdates = "check-for-updates";
constexpr std::string_view kOpenURLVerb = "open-url";
constexpr std::string_view kOpenURL = "open-url\n";
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

}  // namespace

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
    std::string message(kHeader);
    message += instanceRequestVerb(request.kind);
    if (request.kind == InstanceRequest::Kind::openURL) {
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
    return instance_socket::send(socket, encodeInstanceRequest(request), kInstanceAnswerTimeout);
}

}  // namespace quillet

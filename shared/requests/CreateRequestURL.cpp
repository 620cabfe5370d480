#include "shared/requests/CreateRequestURL.h"

#include "shared/requests/PercentEncoding.h"

namespace quillet {

std::optional<std::string> createRequestURL(std::string_view typeID, std::string_view directoryPath) {
    if (typeID.empty() || directoryPath.empty()) return std::nullopt;
    if (typeID.find('\0') != std::string_view::npos) return std::nullopt;
    if (directoryPath.find('\0') != std::string_view::npos) return std::nullopt;

    std::string url;
    url.reserve(kCreateRequestScheme.size() + kCreateRequestHost.size() + typeID.size() +
                directoryPath.size() * 3 + 32);
    url.append(kCreateRequestScheme).append("://").append(kCreateRequestHost);
    url.append("?").append(kCreateRequestTypeItem).append("=");
    url.append(percentEncodeQueryComponent(typeID));
    url.append("&").append(kCreateRequestDirectoryItem).append("=");
    url.append(percentEncodeQueryComponent(directoryPath));
    return url;
}

}  // namespace quillet

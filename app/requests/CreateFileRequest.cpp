#include "app/requests/CreateFileRequest.h"

#include "shared/requests/CreateRequestURL.h"
#include "app/requests/URLComponents.h"
#include "shared/text/Translation.h"

namespace quillet {

CreateFileRequestError::CreateFileRequestError(Kind kind, std::string directoryPath,
                                               std::string description)
    : UserFacingError(std::move(description)), kind_(kind), directoryPath_(std::move(directoryPath)) {}

CreateFileRequestError CreateFileRequestError::relativeDirectory(std::string directoryPath) {
    return CreateFileRequestError(Kind::relativeDirectory, std::move(directoryPath),
                                  translate("The folder path must be an absolute path."));
}

CreateFileRequestError CreateFileRequestError::directoryContainsNUL(std::string directoryPath) {
    return CreateFileRequestError(Kind::directoryContainsNUL, std::move(directoryPath),
                                  translate("The folder path contains a NUL character."));
}

std::optional<CreateFileRequest> CreateFileRequest::parse(std::string_view url) {
    const auto parts = URLComponents::split(url);
    if (!parts || parts->scheme != kCreateRequestScheme) return std::nullopt;
    if (!parts->host || *parts->host != kCreateRequestHost) return std::nullopt;

    // Outer: the item was seen; inner: it carried a value. A valueless first item still wins.
    std::optional<std::optional<std::string>> type;
    std::optional<std::optional<std::string>> directory;
    for (auto& item : parts->queryItems()) {
        if (!type && item.name == kCreateRequestTypeItem) type.emplace(std::move(item.value));
        else if (!directory && item.name == kCreateRequestDirectoryItem)
            directory.emplace(std::move(item.value));
    }
    if (!type || !*type || (*type)->empty()) return std::nullopt;
    if (!directory || !*directory || (*directory)->empty()) return std::nullopt;
    return CreateFileRequest{std::move(**type), std::move(**directory)};
}

FolderPath CreateFileRequest::folderURL() const {
    if (directoryPath.find('\0') != std::string::npos)
        throw CreateFileRequestError::directoryContainsNUL(directoryPath);
    auto folder = FolderPath::fromAbsolute(directoryPath);
    if (!folder) throw CreateFileRequestError::relativeDirectory(directoryPath);
    return *folder;
}

}  // namespace quillet

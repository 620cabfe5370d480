#pragma once

#include <optional>
#include <string>
#include <string_view>

// Standard library only: the file-manager extension builds its requests with this file.
namespace quillet {

// The one format the extension and the application share:
//   quillaxe://create?type=<type id>&directory=<absolute folder path>
// with both values encoded by percentEncodeQueryComponent.
inline constexpr std::string_view kCreateRequestScheme = "quillaxe";
inline constexpr std::string_view kCreateRequestHost = "create";
inline constexpr std::string_view kCreateRequestTypeItem = "type";
inline constexpr std::string_view kCreateRequestDirectoryItem = "directory";

// The create-request URL for a type ID and a standardized folder path. Nothing when either is
// empty or holds a NUL byte: the application would refuse such a request, so it is not sent.
std::optional<std::string> createRequestURL(std::string_view typeID, std::string_view directoryPath);

}  // namespace quillet

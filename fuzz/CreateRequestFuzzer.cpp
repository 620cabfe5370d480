// The create-request URL arrives from anywhere a link can be clicked. Every input must parse
// without a crash; a parsed request must survive rebuilding; built requests must parse back to
// exactly what went in; and a folder either comes out absolute, NUL-free and standardized, or
// is refused with CreateFileRequestError.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/requests/CreateFileRequest.h"
#include "shared/requests/CreateRequestURL.h"
#include "shared/requests/PercentEncoding.h"

using namespace quillet;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

void checkFolder(const CreateFileRequest& request) {
    try {
        const std::string folder = request.folderURL().string();
        require(!folder.empty() && folder.front() == '/');
        require(folder.find('\0') == std::string::npos);
        require(folder == "/" || folder.back() != '/');
        require(folder.find("/./") == std::string::npos && folder.find("/../") == std::string::npos);
        require(!folder.ends_with("/.") && !folder.ends_with("/.."));
        require(folder.find("//") == std::string::npos);
    } catch (const CreateFileRequestError& error) {
        require(!error.description().empty());
    }
}

void checkRoundTrip(std::string_view type, std::string_view directory) {
    const auto url = createRequestURL(type, directory);
    if (!url) {
        require(type.empty() || directory.empty() || type.find('\0') != std::string_view::npos ||
                directory.find('\0') != std::string_view::npos);
        return;
    }
    const auto parsed = CreateFileRequest::parse(*url);
    require(parsed.has_value());
    require(parsed->typeID == type && parsed->directoryPath == directory);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    // The input as a URL.
    if (const auto request = CreateFileRequest::parse(input)) {
        require(!request->typeID.empty() && !request->directoryPath.empty());
        checkFolder(*request);
        if (request->typeID.find('\0') == std::string::npos &&
            request->directoryPath.find('\0') == std::string::npos)
            checkRoundTrip(request->typeID, request->directoryPath);
    }

    // The input as a type and a folder, split at the first newline.
    const auto newline = input.find('\n');
    const std::string_view type = input.substr(0, newline);
    const std::string_view directory = newline == std::string_view::npos ? std::string_view{} : input.substr(newline + 1);
    checkRoundTrip(type, directory);

    // The codec alone: encoding is undone exactly; decoding arbitrary text never reads past
    // its end and keeps every "+" a plus.
    const auto decoded = percentDecode(percentEncodeQueryComponent(input));
    require(decoded && *decoded == input);
    if (const auto raw = percentDecode(input)) {
        require(raw->size() <= input.size());
        require(std::count(raw->begin(), raw->end(), '+') >= std::count(input.begin(), input.end(), '+'));
    }
    return 0;
}

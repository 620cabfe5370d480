// Messages on the instance socket come from any process of the user. Every input must decode
// without a crash; what decodes must encode back to exactly the input; a decoded link is never
// empty and holds no NUL; and a decoded creation names a type of the catalog, or has the form of a
// template's id.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/instance/InstanceRequest.h"
#include "shared/catalog/FileTypeCatalog.h"

using namespace quillet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (const auto request = decodeInstanceRequest(input)) {
        if (encodeInstanceRequest(*request) != input) std::abort();
        if (request->kind == InstanceRequest::Kind::openURL &&
            (request->url.empty() || request->url.find('\0') != std::string_view::npos))
            std::abort();
        // A built-in type, or an id of the form a template has (the instance looks for the file).
        if (request->kind == InstanceRequest::Kind::createFile && !fileTypeForID(request->typeID)) std::abort();
    }
    return 0;
}

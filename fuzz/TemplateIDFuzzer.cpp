// Template ids come from requests, the command line and stored settings: whatever one accepts
// names a path that stays inside the Templates folder, and the type it gives keeps its id.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "shared/catalog/UserTemplates.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto relative = quillet::templateRelativePath(input);
    const auto type = quillet::templateTypeFromID(input);
    if (relative.has_value() != type.has_value()) std::abort();
    if (!relative) return 0;
    if (relative->empty() || relative->front() == '/' || relative->find('\0') != std::string::npos) std::abort();
    for (size_t start = 0;;) {
        const size_t slash = relative->find('/', start);
        const std::string_view part = std::string_view(*relative).substr(start, slash - start);
        if (part.empty() || part.front() == '.' || part.back() == '~') std::abort();
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    if (type->id != input || type->category != quillet::FileTypeCategory::templates) std::abort();
    if (quillet::templateFileName(*type).empty()) std::abort();
    return 0;
}

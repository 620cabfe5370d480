// The update feed comes from the network. Every input must parse or be refused with
// AppcastError and a text; every item kept has a version and an enclosure address; the chosen
// item is strictly newer than the version it was chosen against; and the version order is
// antisymmetric for any two texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/update/Appcast.h"
#include "app/update/VersionComparison.h"

using namespace quillet;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

int sign(int value) { return (value > 0) - (value < 0); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    try {
        const auto appcast = Appcast::parse(input);
        for (const auto& item : appcast.items) {
            require(!item.version.empty() && !item.enclosureURL.empty());
            require(!item.shortVersionString || !item.shortVersionString->empty());
            require(!item.edSignature || !item.edSignature->empty());
        }
        for (const std::string_view current : {"0", "1.0", "99999"}) {
            if (const auto newest = newestItemNewerThan(appcast, current)) {
                require(compareVersions(newest->displayVersion(), current) > 0);
                for (const auto& item : appcast.items)
                    require(compareVersions(item.displayVersion(), newest->displayVersion()) <= 0);
            }
        }
    } catch (const AppcastError& error) {
        require(!error.description().empty());
    }

    // The input as two versions, split at the first newline.
    const auto newline = input.find('\n');
    const std::string_view a = input.substr(0, newline);
    const std::string_view b = newline == std::string_view::npos ? std::string_view{} : input.substr(newline + 1);
    require(sign(compareVersions(a, b)) == -sign(compareVersions(b, a)));
    require(compareVersions(a, a) == 0);
    return 0;
}

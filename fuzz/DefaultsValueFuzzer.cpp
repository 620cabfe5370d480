// The bytes of a stored setting are decoded on every read, whatever wrote them. Every input
// must decode or be refused without a crash, a huge allocation or deep recursion; what decodes
// is the one form it has (writing it again gives exactly the input), nests no deeper than a
// suite accepts, and stored in a suite reads back exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "shared/logging/Logger.h"
#include "shared/settings/DefaultsSuite.h"
#include "shared/settings/DefaultsValue.h"

using namespace quillet;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

class NoLog : public LogSink {
public:
    void write(const LogRecord&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    installLogSink(std::make_shared<NoLog>());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto value = decodeDefaultsValue(data, size);
    if (!value) return 0;
    const auto encoded = encodeDefaultsValue(*value);
    require(encoded.size() == size && std::equal(encoded.begin(), encoded.end(), data));
    require(value->depth() <= kMaximumDefaultsValueDepth);
    require(decodeDefaultsValue(encoded) == value);

    static const auto suite = DefaultsSuite::openInMemory("fuzz");
    require(suite->set("k", *value));
    require(suite->get("k") == value);
    require(suite->dictionaryRepresentation().at("k") == *value);
    return 0;
}

#include "shared/settings/DefaultsValue.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace quillet {

namespace {

constexpr std::string_view kTypeNames[] = {"string", "boolean", "integer", "real",
                                           "data",   "array",   "dictionary"};

// Type tags of the stored form. They are part of the file format: never renumber.
enum Tag : std::uint8_t {
    kTagString = 's',
    kTagBoolean = 'b',
    kTagInteger = 'i',
    kTagReal = 'r',
    kTagData = 'd',
    kTagArray = 'a',
    kTagDictionary = 'D',
};

void putWord(std::vector<std::uint8_t>& out, std::uint64_t word) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(word >> (8 * i)));
}

void putBytes(std::vector<std::uint8_t>& out, const void* bytes, std::size_t size) {
    putWord(out, size);
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    out.insert(out.end(), p, p + size);
}

void encodeInto(std::vector<std::uint8_t>& out, const DefaultsValue& value) {
    switch (value.type()) {
        case DefaultsValueType::string:
            out.push_back(kTagString);
            putBytes(out, value.string()->data(), value.string()->size());
            break;
        case DefaultsValueType::boolean:
            out.push_back(kTagBoolean);
            out.push_back(*value.boolean() ? 1 : 0);
            break;
        case DefaultsValueType::integer:
            out.push_back(kTagInteger);
            putWord(out, static_cast<std::uint64_t>(*value.integer()));
            break;
        case DefaultsValueType::real:
            out.push_back(kTagReal);
            putWord(out, std::bit_cast<std::uint64_t>(*value.real()));
            break;
        case DefaultsValueType::data:
            out.push_back(kTagData);
            putBytes(out, value.data()->data(), value.data()->size());
            break;
        case DefaultsValueType::array:
            out.push_back(kTagArray);
            putWord(out, value.array()->size());
            for (const auto& element : *value.array()) encodeInto(out, element);
            break;
        case DefaultsValueType::dictionary:
            out.push_back(kTagDictionary);
            putWord(out, value.dictionary()->size());
            for (const auto& [key, element] : *value.dictionary()) {
                putBytes(out, key.data(), key.size());
                encodeInto(out, element);
            }
            break;
    }
}

// Reads the stored form defensively: every length is checked against what is left, so damaged
// bytes end in "not a value" rather than a huge allocation or a read past the end.
class Decoder {
public:
    Decoder(const std::uint8_t* bytes, std::size_t size) : p_(bytes), end_(bytes + size) {}

    bool atEnd() const { return p_ == end_; }
    bool byte(std::uint8_t& out) {
        if (p_ == end_) return false;
        out = *p_++;
        return true;
    }
    bool word(std::uint64_t& out) {
        if (static_cast<std::size_t>(end_ - p_) < 8) return false;
        out = 0;
        for (int i = 0; i < 8; ++i) out |= static_cast<std::uint64_t>(p_[i]) << (8 * i);
        p_ += 8;
        return true;
    }
    bool bytes(std::string& out) {
        std::uint64_t size = 0;
        if (!word(size) || size > static_cast<std::uint64_t>(end_ - p_)) return false;
        out.assign(reinterpret_cast<const char*>(p_), static_cast<std::size_t>(size));
        p_ += size;
        return true;
    }
    bool data(DefaultsValue::Data& out) {
        std::uint64_t size = 0;
        if (!word(size) || size > static_cast<std::uint64_t>(end_ - p_)) return false;
        out.assign(p_, p_ + size);
        p_ += size;
        return true;
    }
    // A count of elements, each at least one byte long.
    bool count(std::uint64_t& out) { return word(out) && out <= static_cast<std::uint64_t>(end_ - p_); }

    std::optional<DefaultsValue> value(std::size_t depth) {
        if (depth > kMaximumDefaultsValueDepth) return std::nullopt;
        std::uint8_t tag = 0;
        if (!byte(tag)) return std::nullopt;
        switch (tag) {
            case kTagString: {
                std::string s;
                if (!bytes(s)) return std::nullopt;
                return DefaultsValue(std::move(s));
            }
            case kTagBoolean: {
                std::uint8_t b = 0;
                if (!byte(b) || b > 1) return std::nullopt;
                return DefaultsValue(b == 1);
            }
            case kTagInteger: {
                std::uint64_t w = 0;
                if (!word(w)) return std::nullopt;
                return DefaultsValue(static_cast<std::int64_t>(w));
            }
            case kTagReal: {
                std::uint64_t w = 0;
                if (!word(w)) return std::nullopt;
                return DefaultsValue(std::bit_cast<double>(w));
            }
            case kTagData: {
                DefaultsValue::Data d;
                if (!data(d)) return std::nullopt;
                return DefaultsValue(std::move(d));
            }
            case kTagArray: {
                std::uint64_t n = 0;
                if (!count(n)) return std::nullopt;
                DefaultsValue::Array array;
                array.reserve(static_cast<std::size_t>(n));
                for (std::uint64_t i = 0; i < n; ++i) {
                    auto element = value(depth + 1);
                    if (!element) return std::nullopt;
                    array.push_back(std::move(*element));
                }
                return DefaultsValue(std::move(array));
            }
            case kTagDictionary: {
                std::uint64_t n = 0;
                if (!count(n)) return std::nullopt;
                DefaultsValue::Dictionary dictionary;
                for (std::uint64_t i = 0; i < n; ++i) {
                    std::string key;
                    if (!bytes(key)) return std::nullopt;
                    // Keys were written in ascending order, each once; anything else is damage.
                    if (!dictionary.empty() && !(dictionary.rbegin()->first < key)) return std::nullopt;
                    auto element = value(depth + 1);
                    if (!element) return std::nullopt;
                    dictionary.emplace_hint(dictionary.end(), std::move(key), std::move(*element));
                }
                return DefaultsValue(std::move(dictionary));
            }
            default:
                return std::nullopt;
        }
    }

private:
    const std::uint8_t* p_;
    const std::uint8_t* end_;
};

}  // namespace

std::string_view rawValue(DefaultsValueType type) {
    return kTypeNames[static_cast<std::size_t>(type)];
}

std::optional<DefaultsValueType> defaultsValueTypeFromRawValue(std::string_view raw) {
    for (std::size_t i = 0; i < std::size(kTypeNames); ++i)
        if (kTypeNames[i] == raw) return static_cast<DefaultsValueType>(i);
    return std::nullopt;
}

std::optional<bool> DefaultsValue::boolean() const {
    if (const bool* b = std::get_if<bool>(&storage_)) return *b;
    return std::nullopt;
}

std::optional<std::int64_t> DefaultsValue::integer() const {
    if (const std::int64_t* i = std::get_if<std::int64_t>(&storage_)) return *i;
    return std::nullopt;
}

std::optional<double> DefaultsValue::real() const {
    if (const double* r = std::get_if<double>(&storage_)) return *r;
    return std::nullopt;
}

std::size_t DefaultsValue::depth() const {
    std::size_t deepest = 0;
    if (const Array* a = array()) {
        for (const auto& element : *a) deepest = std::max(deepest, element.depth());
    } else if (const Dictionary* d = dictionary()) {
        for (const auto& [key, element] : *d) deepest = std::max(deepest, element.depth());
    }
    return deepest + 1;
}

bool operator==(const DefaultsValue& a, const DefaultsValue& b) {
    if (a.type() != b.type()) return false;
    switch (a.type()) {
        case DefaultsValueType::real:
            return std::bit_cast<std::uint64_t>(*a.real()) == std::bit_cast<std::uint64_t>(*b.real());
        case DefaultsValueType::array:
            return *a.array() == *b.array();
        case DefaultsValueType::dictionary:
            return *a.dictionary() == *b.dictionary();
        default:
            return a.storage_ == b.storage_;
    }
}

std::vector<std::uint8_t> encodeDefaultsValue(const DefaultsValue& value) {
    std::vector<std::uint8_t> out;
    out.push_back(kDefaultsValueEncodingVersion);
    encodeInto(out, value);
    return out;
}

std::optional<DefaultsValue> decodeDefaultsValue(const std::uint8_t* bytes, std::size_t size) {
    Decoder decoder(bytes, size);
    std::uint8_t version = 0;
    if (!decoder.byte(version) || version != kDefaultsValueEncodingVersion) return std::nullopt;
    auto value = decoder.value(1);
    if (!value || !decoder.atEnd()) return std::nullopt;
    return value;
}

}  // namespace quillet

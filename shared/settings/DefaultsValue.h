#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace quillet {

// The kinds of value a settings suite holds. The raw values name them in messages.
enum class DefaultsValueType { string, boolean, integer, real, data, array, dictionary };

std::string_view rawValue(DefaultsValueType type);
std::optional<DefaultsValueType> defaultsValueTypeFromRawValue(std::string_view raw);

// One value of a settings suite. Arrays may mix kinds and everything nests, so a reader can tell
// ["txt", 5] from ["txt", "5"] and reject what it does not expect.
class DefaultsValue {
public:
    using Data = std::vector<std::uint8_t>;
    using Array = std::vector<DefaultsValue>;
    using Dictionary = std::map<std::string, DefaultsValue>;

    DefaultsValue(std::string value) : storage_(std::move(value)) {}
    DefaultsValue(const char* value) : storage_(std::string(value)) {}
    DefaultsValue(bool value) : storage_(value) {}
    // Any signed integer is an integer; unsigned ones are left out because they may not fit.
    template <typename T>
        requires(std::is_integral_v<T> && std::is_signed_v<T> && !std::is_same_v<T, bool>)
    DefaultsValue(T value) : storage_(static_cast<std::int64_t>(value)) {}
    DefaultsValue(double value) : storage_(value) {}
    DefaultsValue(Data value) : storage_(std::move(value)) {}
    DefaultsValue(Array value) : storage_(std::move(value)) {}
    DefaultsValue(Dictionary value) : storage_(std::move(value)) {}

    DefaultsValueType type() const { return static_cast<DefaultsValueType>(storage_.index()); }

    // Each accessor answers only for its own kind: an integer is not a real, data is not a string.
    const std::string* string() const { return std::get_if<std::string>(&storage_); }
    std::optional<bool> boolean() const;
    std::optional<std::int64_t> integer() const;
    std::optional<double> real() const;
    const Data* data() const { return std::get_if<Data>(&storage_); }
    const Array* array() const { return std::get_if<Array>(&storage_); }
    const Dictionary* dictionary() const { return std::get_if<Dictionary>(&storage_); }

    // How deeply arrays and dictionaries nest; a scalar has depth 1.
    std::size_t depth() const;

    // Exact equality: same kinds throughout, reals compared by their bits (so -0.0 differs from
    // 0.0 and a NaN equals itself), which is what "reads back exactly" means.
    friend bool operator==(const DefaultsValue& a, const DefaultsValue& b);

private:
    // Alternative order matches DefaultsValueType.
    std::variant<std::string, bool, std::int64_t, double, Data, Array, Dictionary> storage_;
};

// Deeper values are refused on writing and treated as damaged on reading, so neither walks
// far enough to exhaust the stack.
inline constexpr std::size_t kMaximumDefaultsValueDepth = 256;

// The stored form, version 1: a version byte, then the value as a type tag and its payload.
// Lengths and numbers are 8 bytes little-endian; reals keep their IEEE bits; dictionary keys
// are stored in ascending order, each once.
inline constexpr std::uint8_t kDefaultsValueEncodingVersion = 1;

std::vector<std::uint8_t> encodeDefaultsValue(const DefaultsValue& value);
// Nothing when the bytes are not a complete, well-formed value of a known version.
std::optional<DefaultsValue> decodeDefaultsValue(const std::uint8_t* bytes, std::size_t size);
inline std::optional<DefaultsValue> decodeDefaultsValue(const std::vector<std::uint8_t>& bytes) {
    return decodeDefaultsValue(bytes.data(), bytes.size());
}

}  // namespace quillet

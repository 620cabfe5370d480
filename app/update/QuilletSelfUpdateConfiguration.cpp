#include "app/update/QuilletSelfUpdateConfiguration.h"

#include <nlohmann/json.hpp>

#include "shared/text/CaseFolding.h"

namespace quillet {

namespace {

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// The value of `key` trimmed, when it is text and not empty after trimming.
std::optional<std::string> trimmedText(const nlohmann::json& dictionary, const char* key) {
    if (!dictionary.is_object()) return std::nullopt;
    const auto found = dictionary.find(key);
    if (found == dictionary.end() || !found->is_string()) return std::nullopt;
    auto text = trimmedWhitespaceAndNewlines(found->get_ref<const std::string&>());
    if (text.empty()) return std::nullopt;
    return text;
}

}  // namespace

std::optional<std::string> urlScheme(std::string_view url) {
    const auto colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 == url.size()) return std::nullopt;
    if (!isAsciiLetter(url[0])) return std::nullopt;
    std::string scheme;
    for (char c : url.substr(0, colon)) {
        if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '+' && c != '-' && c != '.') return std::nullopt;
        scheme.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    }
    for (unsigned char c : url)
        if (c <= 0x20 || c == 0x7F) return std::nullopt;
    return scheme;
}

QuilletSelfUpdateConfiguration QuilletSelfUpdateConfiguration::fromInfoDictionary(const nlohmann::json& infoDictionary) {
    QuilletSelfUpdateConfiguration configuration;
    if (auto feed = trimmedText(infoDictionary, "SUFeedURL"); feed && urlScheme(*feed))
        configuration.feedURL = std::move(feed);
    configuration.publicEDKey = trimmedText(infoDictionary, "SUPublicEDKey");
    return configuration;
}

bool QuilletSelfUpdateConfiguration::isConfigured() const {
    if (!feedURL || urlScheme(*feedURL) != "https") return false;
    if (!publicEDKey) return false;
    // A key left as "$(NAME)" is a build setting nobody filled in.
    const auto key = trimmedWhitespaceAndNewlines(*publicEDKey);
    return !key.empty() && !key.starts_with("$(") && !key.ends_with(")");
}

}  // namespace quillet

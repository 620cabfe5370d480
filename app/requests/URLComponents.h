#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

struct URLQueryItem {
    std::string name;
    std::optional<std::string> value;  // nothing for an item without "="

    bool operator==(const URLQueryItem&) const = default;
};

// The parts of an absolute URL, split as written and never resolved against a base URL.
// Scheme and host keep their case: callers that want a scheme or host compare them exactly.
struct URLComponents {
    std::string scheme;
    std::optional<std::string> host;  // present when the URL has an authority ("//"), raw
    std::string path;                 // raw
    std::optional<std::string> query;  // raw, without the "?"
    std::optional<std::string> fragment;

    // Nothing unless the text is a well-formed absolute URL: a scheme, then only URL characters
    // (no spaces, controls or raw non-ASCII bytes), every "%" starting a two-digit hex escape,
    // and a numeric port if there is one. Such text can come from any web page, so it is
    // checked, never trusted.
    static std::optional<URLComponents> split(std::string_view url);

    // The query split at "&", each name and value percent-decoded ("+" stays "+"), in order.
    // Empty when there is no query.
    std::vector<URLQueryItem> queryItems() const;
};

// The scheme the text starts with, as written, whether or not the rest is a well-formed URL.
std::optional<std::string_view> urlScheme(std::string_view url);

}  // namespace quillet

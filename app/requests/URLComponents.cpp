#include "app/requests/URLComponents.h"

#include <algorithm>

#include "shared/requests/PercentEncoding.h"

namespace quillet {

namespace {

bool isAlpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// Unreserved, general and sub-delimiters; "%" is checked separately.
bool isURLCharacter(char c) {
    if (isAlpha(c) || isDigit(c)) return true;
    switch (c) {
        case '-': case '.': case '_': case '~':
        case ':': case '/': case '?': case '#': case '[': case ']': case '@':
        case '!': case '$': case '&': case '\'': case '(': case ')':
        case '*': case '+': case ',': case ';': case '=':
            return true;
        default:
            return false;
    }
}

bool hasOnlyURLCharacters(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%') {
            if (text.size() - i < 3 || !isHex(text[i + 1]) || !isHex(text[i + 2])) return false;
            i += 2;
        } else if (!isURLCharacter(text[i])) {
            return false;
        }
    }
    return true;
}

// The host of an authority: after any user info, before any port. Nothing for a bad port.
std::optional<std::string> hostOfAuthority(std::string_view authority) {
    if (auto at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
    std::string_view host = authority;
    std::string_view port;
    if (!host.empty() && host.front() == '[') {
        const auto close = host.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        port = host.substr(close + 1);
        host = host.substr(0, close + 1);
        if (!port.empty() && port.front() != ':') return std::nullopt;
    } else if (auto colon = host.find(':'); colon != std::string_view::npos) {
        port = host.substr(colon);
        host = host.substr(0, colon);
    }
    if (!port.empty()) {
        port.remove_prefix(1);
        if (!std::all_of(port.begin(), port.end(), isDigit)) return std::nullopt;
    }
    if (host.find_first_of("[]") != std::string_view::npos && host.front() != '[') return std::nullopt;
    return std::string(host);
}

}  // namespace

std::optional<std::string_view> urlScheme(std::string_view url) {
    const auto colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0 || !isAlpha(url[0])) return std::nullopt;
    const std::string_view scheme = url.substr(0, colon);
    for (char c : scheme)
        if (!(isAlpha(c) || isDigit(c) || c == '+' || c == '-' || c == '.')) return std::nullopt;
    return scheme;
}

std::optional<URLComponents> URLComponents::split(std::string_view url) {
    const auto scheme = urlScheme(url);
    if (!scheme || !hasOnlyURLCharacters(url)) return std::nullopt;

    URLComponents parts;
    parts.scheme = std::string(*scheme);
    std::string_view rest = url.substr(scheme->size() + 1);

    if (auto hash = rest.find('#'); hash != std::string_view::npos) {
        parts.fragment = std::string(rest.substr(hash + 1));
        rest = rest.substr(0, hash);
    }
    if (auto question = rest.find('?'); question != std::string_view::npos) {
        parts.query = std::string(rest.substr(question + 1));
        rest = rest.substr(0, question);
    }
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        const auto slash = rest.find('/');
        const std::string_view authority = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash);
        parts.host = hostOfAuthority(authority);
        if (!parts.host) return std::nullopt;
    }
    parts.path = std::string(rest);
    return parts;
}

std::vector<URLQueryItem> URLComponents::queryItems() const {
    std::vector<URLQueryItem> items;
    if (!query || query->empty()) return items;
    std::string_view rest = *query;
    while (true) {
        const auto amp = rest.find('&');
        const std::string_view item = rest.substr(0, amp);
        const auto equals = item.find('=');
        URLQueryItem decoded;
        // A malformed escape (possible only in components not made by split) leaves the name
        // empty or the value absent, so the item matches nothing.
        decoded.name = percentDecode(item.substr(0, equals)).value_or(std::string{});
        if (equals != std::string_view::npos) decoded.value = percentDecode(item.substr(equals + 1));
        items.push_back(std::move(decoded));
        if (amp == std::string_view::npos) break;
        rest.remove_prefix(amp + 1);
    }
    return items;
}

}  // namespace quillet

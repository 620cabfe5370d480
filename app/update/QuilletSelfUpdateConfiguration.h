#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

namespace quillet {

// Where updates come from and the key they are signed with, read once from the information
// dictionary. Updating is offered exactly when both are usable; no setting switches it.
struct QuilletSelfUpdateConfiguration {
    // The feed address as text, kept only when it parses as an absolute URL.
    std::optional<std::string> feedURL;
    std::optional<std::string> publicEDKey;

    bool operator==(const QuilletSelfUpdateConfiguration&) const = default;

    // "SUFeedURL" and "SUPublicEDKey", each trimmed of white space and line breaks; a missing,
    // non-text or empty value (or a dictionary that is no object) leaves the field absent.
    static QuilletSelfUpdateConfiguration fromInfoDictionary(const nlohmann::json& infoDictionary);

    // An https feed and a key that is not empty and not an unexpanded build-setting reference.
    bool isConfigured() const;
};

// The scheme of an absolute URL in lower case ("https" of "HTTPS://host/"), or nothing when the
// text does not start with a valid scheme followed by ":" and more, or holds a space or a
// control character.
std::optional<std::string> urlScheme(std::string_view url);

}  // namespace quillet

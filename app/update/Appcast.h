#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/errors/UserFacingError.h"

namespace quillet {

// The namespace of the feed's update elements and attributes, whatever prefix a feed binds it to.
inline constexpr std::string_view kSparkleNamespaceURI = "http://www.andymatuschak.org/xml-namespaces/sparkle";

// A feed that cannot be read as one: not XML, or no rss channel.
class AppcastError : public UserFacingError {
public:
    explicit AppcastError(const std::string& reason);
};

// One release the feed offers for Linux.
struct AppcastItem {
    std::string title;
    std::string version;                            // the update element or attribute "version"
    std::optional<std::string> shortVersionString;  // what people are shown
    std::string enclosureURL;
    std::uint64_t enclosureLength = 0;  // 0 when the feed gives none (or nothing readable)
    std::string enclosureType;
    std::optional<std::string> edSignature;  // base64 Ed25519 signature of the archive
    std::string releaseNotesLink;
    std::string description;

    bool operator==(const AppcastItem&) const = default;

    // The short version when there is one, else the version: the one compared with the running
    // version and with the version inside the archive.
    const std::string& displayVersion() const { return shortVersionString ? *shortVersionString : version; }
};

// An RSS 2.0 update feed. Items without a version or an enclosure address, and items for
// another operating system, are left out; elements of other namespaces are ignored.
struct Appcast {
    std::vector<AppcastItem> items;

    // Throws AppcastError for text that is not XML or has no rss/channel.
    static Appcast parse(std::string_view xml);
};

// The newest item strictly newer than `currentVersion`, in whatever order the feed lists them;
// of items with equal versions, the first listed.
std::optional<AppcastItem> newestItemNewerThan(const Appcast& appcast, std::string_view currentVersion);

}  // namespace quillet

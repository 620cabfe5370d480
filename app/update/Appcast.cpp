#include "app/update/Appcast.h"

#include <charconv>

#include <pugixml.hpp>

#include "app/update/UpdateMessages.h"
#include "app/update/VersionComparison.h"
#include "shared/text/CaseFolding.h"

namespace quillet {

namespace {

// An element or attribute name split at its prefix, and the namespace the prefix stands for.
struct ExpandedName {
    std::string_view namespaceURI;
    std::string_view localName;
};

// The namespace `prefix` is bound to where `element` stands (an empty prefix: the default
// namespace), found on the element or its nearest ancestor that declares it.
std::string_view namespaceFor(pugi::xml_node element, std::string_view prefix) {
    const std::string attribute = prefix.empty() ? std::string("xmlns") : "xmlns:" + std::string(prefix);
    for (auto node = element; node && node.type() == pugi::node_element; node = node.parent())
        if (const auto declaration = node.attribute(attribute.c_str())) return declaration.value();
    return {};
}

ExpandedName expand(pugi::xml_node scope, std::string_view name, bool isAttribute) {
    const auto colon = name.find(':');
    if (colon == std::string_view::npos)
        // Attributes without a prefix are in no namespace; elements are in the default one.
        return {isAttribute ? std::string_view{} : namespaceFor(scope, {}), name};
    return {namespaceFor(scope, name.substr(0, colon)), name.substr(colon + 1)};
}

bool isRSS(pugi::xml_node element, std::string_view localName) {
    const auto name = expand(element, element.name(), false);
    return name.namespaceURI.empty() && name.localName == localName;
}

bool isSparkle(pugi::xml_node element, std::string_view localName) {
    const auto name = expand(element, element.name(), false);
    return name.namespaceURI == kSparkleNamespaceURI && name.localName == localName;
}

pugi::xml_node rssChild(pugi::xml_node parent, std::string_view localName) {
    for (auto child : parent.children())
        if (child.type() == pugi::node_element && isRSS(child, localName)) return child;
    return {};
}

pugi::xml_node sparkleChild(pugi::xml_node parent, std::string_view localName) {
    for (auto child : parent.children())
        if (child.type() == pugi::node_element && isSparkle(child, localName)) return child;
    return {};
}

std::optional<std::string> sparkleAttribute(pugi::xml_node element, std::string_view localName) {
    for (auto attribute : element.attributes()) {
        const auto name = expand(element, attribute.name(), true);
        if (name.namespaceURI == kSparkleNamespaceURI && name.localName == localName)
            return std::string(attribute.value());
    }
    return std::nullopt;
}

std::optional<std::string> plainAttribute(pugi::xml_node element, const char* name) {
    if (const auto attribute = element.attribute(name)) return std::string(attribute.value());
    return std::nullopt;
}

// The element's text (character data and CDATA sections alike), trimmed.
std::string textOf(pugi::xml_node element) {
    std::string text;
    for (auto child : element.children())
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) text += child.value();
    return trimmedWhitespaceAndNewlines(text);
}

std::optional<std::string> nonEmpty(std::optional<std::string> text) {
    if (!text) return std::nullopt;
    auto trimmed = trimmedWhitespaceAndNewlines(*text);
    if (trimmed.empty()) return std::nullopt;
    return trimmed;
}

std::optional<std::string> sparkleText(pugi::xml_node item, pugi::xml_node enclosure, std::string_view localName) {
    if (const auto element = sparkleChild(item, localName))
        if (auto text = nonEmpty(textOf(element))) return text;
    return nonEmpty(sparkleAttribute(enclosure, localName));
}

std::uint64_t lengthOf(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return 0;
    return value;
}

std::optional<AppcastItem> readItem(pugi::xml_node element) {
    const auto enclosure = rssChild(element, "enclosure");
    if (!enclosure) return std::nullopt;
    if (const auto os = sparkleAttribute(enclosure, "os"); os && trimmedWhitespaceAndNewlines(*os) != "linux")
        return std::nullopt;

    AppcastItem item;
    auto version = sparkleText(element, enclosure, "version");
    auto url = nonEmpty(plainAttribute(enclosure, "url"));
    if (!version || !url) return std::nullopt;
    item.version = std::move(*version);
    item.enclosureURL = std::move(*url);
    item.shortVersionString = sparkleText(element, enclosure, "shortVersionString");
    item.enclosureLength = lengthOf(trimmedWhitespaceAndNewlines(enclosure.attribute("length").value()));
    item.enclosureType = trimmedWhitespaceAndNewlines(enclosure.attribute("type").value());
    item.edSignature = nonEmpty(sparkleAttribute(enclosure, "edSignature"));
    if (const auto title = rssChild(element, "title")) item.title = textOf(title);
    if (const auto notes = sparkleChild(element, "releaseNotesLink")) item.releaseNotesLink = textOf(notes);
    if (const auto description = rssChild(element, "description")) item.description = textOf(description);
    return item;
}

}  // namespace

AppcastError::AppcastError(const std::string& reason) : UserFacingError(UpdateMessages::invalidFeed(reason)) {}

Appcast Appcast::parse(std::string_view xml) {
    pugi::xml_document document;
    // pugixml expands only XML's predefined and character entities, never ones a document type
    // declares, so no feed can make the parse grow without end.
    const auto result = document.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_auto);
    if (!result)
        throw AppcastError(std::string("it is not XML (") + result.description() + " at byte " +
                           std::to_string(result.offset) + ")");
    const auto rss = document.document_element();
    if (!rss || !isRSS(rss, "rss")) throw AppcastError("it has no rss element");
    const auto channel = rssChild(rss, "channel");
    if (!channel) throw AppcastError("it has no channel");

    Appcast appcast;
    for (auto element : channel.children())
        if (element.type() == pugi::node_element && isRSS(element, "item"))
            if (auto item = readItem(element)) appcast.items.push_back(std::move(*item));
    return appcast;
}

std::optional<AppcastItem> newestItemNewerThan(const Appcast& appcast, std::string_view currentVersion) {
    const AppcastItem* newest = nullptr;
    for (const auto& item : appcast.items) {
        if (compareVersions(item.displayVersion(), currentVersion) <= 0) continue;
        if (!newest || compareVersions(item.displayVersion(), newest->displayVersion()) > 0) newest = &item;
    }
    if (!newest) return std::nullopt;
    return *newest;
}

}  // namespace quillet

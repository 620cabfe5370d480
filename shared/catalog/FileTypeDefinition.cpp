#include "shared/catalog/FileTypeDefinition.h"

#include <functional>
#include <nlohmann/json.hpp>

#include "shared/text/Translation.h"

namespace quillet {

std::string encodeFileTypeDefinition(const FileTypeDefinition& type) {
    nlohmann::ordered_json j;
    j["id"] = type.id;
    j["displayName"] = type.displayName;
    j["fileExtension"] = type.fileExtension;
    j["category"] = std::string(rawValue(type.category));
    j["sfSymbolName"] = type.sfSymbolName;
    return j.dump();
}

FileTypeDefinition decodeFileTypeDefinition(const std::string& json) {
    nlohmann::json j = nlohmann::json::parse(json, nullptr, false);
    if (j.is_discarded()) throw FileTypeDecodingError("The data is not valid JSON.");
    if (!j.is_object()) throw FileTypeDecodingError("Expected an object.");
    auto field = [&](const char* key) -> std::string {
        auto it = j.find(key);
        if (it == j.end()) throw FileTypeDecodingError(std::string("Missing key \"") + key + "\".");
        if (!it->is_string())
            throw FileTypeDecodingError(std::string("Key \"") + key + "\" is not a string.");
        return it->get<std::string>();
    };
    FileTypeDefinition type{field("id"), field("displayName"), field("fileExtension"),
                            FileTypeCategory::plainText, field("sfSymbolName")};
    std::string category = field("category");
    auto parsed = fileTypeCategoryFromRawValue(category);
    if (!parsed)
        throw FileTypeDecodingError("Cannot initialize FileTypeCategory from invalid value \"" +
                                    category + "\".");
    type.category = *parsed;
    return type;
}

std::string localizedName(const FileTypeDefinition& type) {
    if (type.category == FileTypeCategory::templates) return type.displayName;
    return translate(type.displayName.c_str());
}

size_t hashValue(const FileTypeDefinition& type) {
    size_t seed = 0;
    auto combine = [&seed](std::string_view s) {
        seed ^= std::hash<std::string_view>{}(s) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
    };
    combine(type.id);
    combine(type.displayName);
    combine(type.fileExtension);
    combine(rawValue(type.category));
    combine(type.sfSymbolName);
    return seed;
}

}  // namespace quillet

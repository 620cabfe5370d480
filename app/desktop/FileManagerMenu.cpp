#include "app/desktop/FileManagerMenu.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "app/desktop/BundleRegistration.h"
#include "shared/paths/FilePaths.h"

namespace quillet {

namespace {

bool isPlainByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
}

}  // namespace

std::string menuActionWord(const std::string& typeID) {
    std::string word;
    for (const char c : typeID) {
        if (isPlainByte(c)) {
            word += c;
            continue;
        }
        char escaped[4];
        std::snprintf(escaped, sizeof escaped, "_%02X", static_cast<unsigned char>(c));
        word += escaped;
    }
    return word;
}

std::string menuNameValue(const std::string& text) {
    std::string value;
    for (const char c : text) {
        switch (c) {
            case '\\': value += "\\\\"; break;
            case '\n': value += "\\n"; break;
            case '\t': value += "\\t"; break;
            case '\r': value += "\\r"; break;
            default: value += c;
        }
    }
    if (value.starts_with(' ')) value.replace(0, 1, "\\s");
    return value;
}

std::optional<std::string> execTypeArgument(const std::string& typeID) {
    if (!typeID.empty() &&
        std::all_of(typeID.begin(), typeID.end(), [](char c) { return isPlainByte(c) || c == '_'; }))
        return typeID;
    return desktopEntryExecArgument(typeID);
}

std::filesystem::path folderForClickedItem(const std::filesystem::path& item) {
    std::error_code error;
    if (std::filesystem::is_directory(item, error)) return standardizedPath(item);
    return containingFolder(item);
}

}  // namespace quillet

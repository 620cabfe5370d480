#include "app/windows/DisplayVersion.h"
#include "shared/text/Translation.h"

#include <algorithm>
#include <vector>

namespace quillet {

namespace {

bool isWhitespaceOrNewline(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

std::string displayVersion(const std::optional<std::string>& shortVersion) {
    if (!shortVersion) return "1.0.0";
    std::string_view text = *shortVersion;
    while (!text.empty() && isWhitespaceOrNewline(text.front())) text.remove_prefix(1);
    while (!text.empty() && isWhitespaceOrNewline(text.back())) text.remove_suffix(1);

    std::vector<std::string_view> pieces;
    for (size_t start = 0; start <= text.size();) {
        const size_t dot = std::min(text.find('.', start), text.size());
        if (dot > start) pieces.push_back(text.substr(start, dot - start));
        start = dot + 1;
    }
    const bool allDigits = std::all_of(pieces.begin(), pieces.end(), [](std::string_view piece) {
        return std::all_of(piece.begin(), piece.end(), [](char c) { return c >= '0' && c <= '9'; });
    });
    if (pieces.size() != 4 || !allDigits) return std::string(text);
    return std::string(pieces[0]) + "." + std::string(pieces[1]) + "." + std::string(pieces[2]);
}

std::string versionLine(const std::optional<std::string>& shortVersion) {
    // TRANSLATORS: %1 is the version number, "1.4.2".
    return formatText(translate("Version %1"), {displayVersion(shortVersion)});
}

}  // namespace quillet

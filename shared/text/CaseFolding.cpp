#include "shared/text/CaseFolding.h"

#include <cstdint>
#include <optional>

namespace quillet {

namespace {

struct Decoded {
    char32_t codePoint;
    size_t length;
};

// One well-formed UTF-8 sequence at `i`, or nothing (the byte is then copied as it is).
std::optional<Decoded> decode(std::string_view s, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return Decoded{lead, 1};
    size_t length = 0;
    char32_t cp = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
    } else {
        return std::nullopt;
    }
    if (i + length > s.size()) return std::nullopt;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not text.
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    return Decoded{cp, length};
}

void encode(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t lowercase(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 0x20;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;  // À..Þ, not ×
    if (c == 0x130) return U'i';                                // İ
    if (c == 0x178) return 0xFF;                                // Ÿ
    // Latin Extended-A pairs capitals with the next code point; two runs start on odd ones.
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c % 2 == 1) ? c + 1 : c;
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c % 2 == 0) ? c + 1 : c;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;  // Greek
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;                // Cyrillic
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;                // Ѐ..Џ
    return c;
}

bool isWhitespaceOrNewline(char32_t c) {
    return c == U' ' || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

}  // namespace

std::string caseFoldedForSearch(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        if (auto d = decode(utf8, i)) {
            encode(lowercase(d->codePoint), out);
            i += d->length;
        } else {
            out += utf8[i++];
        }
    }
    return out;
}

bool containsIgnoringCase(std::string_view haystack, std::string_view needle) {
    return caseFoldedForSearch(haystack).find(caseFoldedForSearch(needle)) != std::string::npos;
}

std::string trimmedWhitespaceAndNewlines(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end) {
        auto d = decode(text, begin);
        if (!d || !isWhitespaceOrNewline(d->codePoint)) break;
        begin += d->length;
    }
    // Walk back to the start of each trailing sequence before judging it.
    while (end > begin) {
        size_t start = end - 1;
        while (start > begin && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
        auto d = decode(text, start);
        if (!d || start + d->length != end || !isWhitespaceOrNewline(d->codePoint)) break;
        end = start;
    }
    return std::string(text.substr(begin, end - begin));
}

}  // namespace quillet

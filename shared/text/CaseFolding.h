#pragma once

#include <string>
#include <string_view>

namespace quillet {

// Lower-cases UTF-8 text for searching: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic
// capitals map to their small letters, so "ÉTÉ" finds "été" and "JS" finds "js". Other code
// points and malformed bytes pass through unchanged. Language-specific rules (Turkish dotless i,
// German ß against "SS") are not applied: file type names are English words.
std::string caseFoldedForSearch(std::string_view utf8);

// Whether `needle` occurs in `haystack` once both are case-folded; an empty needle occurs
// everywhere.
bool containsIgnoringCase(std::string_view haystack, std::string_view needle);

// `text` without white space and line breaks at either end (ASCII white space, the no-break
// space, the line and paragraph separators and the ideographic space).
std::string trimmedWhitespaceAndNewlines(std::string_view text);

}  // namespace quillet

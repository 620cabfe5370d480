#pragma once

#include <string_view>

namespace quillet {

// The order a file manager lists names in: letters compared without regard to case, runs of
// digits compared by their value ("Folder 2" before "Folder 10"). Names that differ only in case
// or leading zeros are then ordered by their bytes, so the order is total and stable.
// Negative, zero or positive, like strcmp.
int localizedStandardCompare(std::string_view a, std::string_view b);

inline bool localizedStandardLess(std::string_view a, std::string_view b) {
    return localizedStandardCompare(a, b) < 0;
}

}  // namespace quillet

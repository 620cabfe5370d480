#pragma once

#include <string_view>

namespace quillet {

// Orders version texts the way people read them. Each text is cut into runs of digits and runs
// of letters; everything else (dots, dashes, spaces) only separates runs. Runs are compared in
// order: numbers by value ("1.10" is newer than "1.9"), letters by their bytes, and a number is
// newer than letters at the same place ("1.0.1" is newer than "1.0b1"). Where one text has run
// out, it counts as a zero against a number ("1.0" equals "1.0.0", "1.0.1" is newer than "1.0")
// and as a release against letters, so a pre-release is older ("1.0b1" is older than "1.0").
// Returns less than, equal to or greater than zero as `a` is older than, equal to or newer
// than `b`.
int compareVersions(std::string_view a, std::string_view b);

}  // namespace quillet

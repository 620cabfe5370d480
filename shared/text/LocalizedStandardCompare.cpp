#include "shared/text/LocalizedStandardCompare.h"

namespace quillet {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

unsigned char folded(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

// The digit run starting at i, without its leading zeros; i moves past the run.
std::string_view digitRun(std::string_view s, size_t& i) {
    size_t start = i;
    while (i < s.size() && isDigit(s[i])) ++i;
    std::string_view run = s.substr(start, i - start);
    while (run.size() > 1 && run.front() == '0') run.remove_prefix(1);
    return run;
}

}  // namespace

int localizedStandardCompare(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            std::string_view x = digitRun(a, i);
            std::string_view y = digitRun(b, j);
            // Without leading zeros, the longer run is the larger number.
            if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
            if (int c = x.compare(y)) return c < 0 ? -1 : 1;
            continue;
        }
        unsigned char x = folded(a[i++]);
        unsigned char y = folded(b[j++]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace quillet

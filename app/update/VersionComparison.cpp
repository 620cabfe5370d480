#include "app/update/VersionComparison.h"

#include <optional>

namespace quillet {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) {
    // Bytes of multi-byte UTF-8 characters count as letters, so "1.0β" has a pre-release run.
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || static_cast<unsigned char>(c) >= 0x80;
}

struct Run {
    std::string_view text;
    bool isNumber = false;
};

// Walks the runs of a version text one at a time.
class Runs {
public:
    explicit Runs(std::string_view text) : text_(text) {}
    std::optional<Run> next() {
        while (position_ < text_.size() && !isDigit(text_[position_]) && !isLetter(text_[position_])) ++position_;
        if (position_ == text_.size()) return std::nullopt;
        const bool number = isDigit(text_[position_]);
        const size_t start = position_;
        while (position_ < text_.size() && (number ? isDigit(text_[position_]) : isLetter(text_[position_])))
            ++position_;
        return Run{text_.substr(start, position_ - start), number};
    }

private:
    std::string_view text_;
    size_t position_ = 0;
};

int sign(int value) { return (value > 0) - (value < 0); }

// Numbers of any length, by value: leading zeros dropped, then the longer is larger, then by digit.
int compareNumbers(std::string_view a, std::string_view b) {
    while (a.size() > 1 && a.front() == '0') a.remove_prefix(1);
    while (b.size() > 1 && b.front() == '0') b.remove_prefix(1);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return sign(a.compare(b));
}

int compareRuns(const std::optional<Run>& a, const std::optional<Run>& b) {
    if (a && b) {
        if (a->isNumber && b->isNumber) return compareNumbers(a->text, b->text);
        if (a->isNumber != b->isNumber) return a->isNumber ? 1 : -1;
        return sign(a->text.compare(b->text));
    }
    // One side has run out: a zero against a number, a release against letters.
    if (a) return a->isNumber ? compareNumbers(a->text, "0") : -1;
    return b->isNumber ? compareNumbers("0", b->text) : 1;
}

}  // namespace

int compareVersions(std::string_view a, std::string_view b) {
    Runs left(a);
    Runs right(b);
    for (;;) {
        const auto x = left.next();
        const auto y = right.next();
        if (!x && !y) return 0;
        if (const int order = compareRuns(x, y); order != 0) return order;
    }
}

}  // namespace quillet

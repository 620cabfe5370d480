#include "shared/text/Translation.h"

#include <libintl.h>

#include <clocale>
#include <cstring>
#include <mutex>

namespace quillet {

namespace {

// What bindTranslations recorded, applied once by the first look-up.
struct Binding {
    std::once_flag once;
    std::string localeDirectory;
    bool followSession = false;
};

Binding& binding() {
    static Binding instance;
    return instance;
}

void applyBinding() {
    Binding& b = binding();
    std::call_once(b.once, [&b] {
        // The program's own language; numbers, dates and character classes stay as they were.
        if (b.followSession) std::setlocale(LC_MESSAGES, "");
        if (!b.localeDirectory.empty()) bindtextdomain(kTextDomain, b.localeDirectory.c_str());
        bind_textdomain_codeset(kTextDomain, "UTF-8");
    });
}

}  // namespace

void bindTranslations(const std::filesystem::path& localeDirectory, bool followSession) {
    Binding& b = binding();
    b.localeDirectory = localeDirectory.string();
    b.followSession = followSession;
}

std::filesystem::path localeDirectoryBeside(const std::filesystem::path& resourceDirectory) {
    return (resourceDirectory / ".." / "locale").lexically_normal();
}

const char* translate(const char* english) {
    if (english == nullptr || *english == '\0') return english;
    applyBinding();
    return dgettext(kTextDomain, english);
}

const char* translateIn(const char* context, const char* english) {
    if (english == nullptr || *english == '\0') return english;
    applyBinding();
    // gettext's convention for a text with a context: "context\004text".
    std::string key;
    key.reserve(std::strlen(context) + 1 + std::strlen(english));
    key.append(context).push_back('\004');
    key.append(english);
    const char* found = dgettext(kTextDomain, key.c_str());
    return found == key.c_str() ? english : found;
}

const char* translatePlural(const char* singular, const char* plural, unsigned long count) {
    applyBinding();
    return dngettext(kTextDomain, singular, plural, count);
}

std::string formatText(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string out;
    out.reserve(pattern.size() + 32);
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size()) {
            const char next = pattern[i + 1];
            if (next == '%') {
                out.push_back('%');
                ++i;
                continue;
            }
            if (next >= '1' && next <= '9' && static_cast<size_t>(next - '1') < values.size()) {
                out.append(values.begin()[next - '1']);
                ++i;
                continue;
            }
        }
        out.push_back(c);
    }
    return out;
}

}  // namespace quillet

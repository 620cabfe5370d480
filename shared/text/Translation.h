#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

// The one way a text a person sees is marked for translation, in the core, the Qt code and the
// file-manager modules alike: GNU gettext with Quillet+'s own text domain, read with dgettext so
// a module loaded into a file manager takes that process's language without changing it.
//
// translate("Create File") looks the English text up in the catalogue of the session's language
// (LANGUAGE, LC_ALL, LC_MESSAGES, LANG) and returns it unchanged when there is none. A text kept
// in a constant is marked with N_ where it is written and translated where it is shown.
// Log lines are never translated.

// Marks a text for the catalogue without translating it here.
#define N_(text) text

namespace quillet {

inline constexpr const char* kTextDomain = "quillet";

// Where the catalogues are (<prefix>/share/locale). Binding only records the folder: no
// catalogue is read before the first text is looked up. With `followSession`, that first look-up
// also takes the session's LC_MESSAGES for this process (a program's own choice, never a module's:
// the file manager chose its process's language). Without a call, gettext's default folder.
void bindTranslations(const std::filesystem::path& localeDirectory, bool followSession);

// <prefix>/share/locale beside <prefix>/share/quillet, given the resource folder.
std::filesystem::path localeDirectoryBeside(const std::filesystem::path& resourceDirectory);

// The text in the session's language, or `english` itself. The result lives as long as the
// process (it points into the catalogue or at `english`).
const char* translate(const char* english);
// The same for a word whose meaning its `context` settles ("Open" a file or a folder that "is
// open"); translators see the context beside it.
const char* translateIn(const char* context, const char* english);
// The singular or plural form for `count`, by the language's own plural rule.
const char* translatePlural(const char* singular, const char* plural, unsigned long count);

// `pattern` with %1 … %9 replaced by the values in order, so a translation may move them;
// "%%" is a percent sign.
std::string formatText(std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace quillet

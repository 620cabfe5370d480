#include "shared/text/DesktopWords.h"

#include <array>
#include <utility>

#include "shared/text/Translation.h"

namespace quillet {

namespace {

// Each desktop's file manager, by the names desktops put in XDG_CURRENT_DESKTOP. Unity and the
// Ubuntu and Pop sessions run GNOME's; Budgie too.
constexpr std::array<std::pair<std::string_view, std::string_view>, 11> kFileManagers{{
    {"GNOME", "Files"},
    {"Unity", "Files"},
    {"ubuntu", "Files"},
    {"pop", "Files"},
    {"Budgie", "Files"},
    {"KDE", "Dolphin"},
    {"X-Cinnamon", "Nemo"},
    {"Cinnamon", "Nemo"},
    {"XFCE", "Thunar"},
    {"MATE", "Caja"},
    {"LXQt", "PCManFM-Qt"},
}};

std::optional<std::string> fileManagerOf(std::string_view desktop) {
    for (const auto& [name, fileManager] : kFileManagers) {
        if (desktop.size() != name.size()) continue;
        bool same = true;
        for (size_t i = 0; i < name.size() && same; ++i) {
            const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
            same = lower(desktop[i]) == lower(name[i]);
        }
        if (same) return std::string(fileManager);
    }
    return std::nullopt;
}

}  // namespace

DesktopWords DesktopWords::forDesktop(std::string_view currentDesktop) {
    // The first entry the list names that is known wins ("ubuntu:GNOME" → Files).
    while (!currentDesktop.empty()) {
        const size_t colon = currentDesktop.find(':');
        const std::string_view entry = currentDesktop.substr(0, colon);
        if (auto fileManager = fileManagerOf(entry)) return {std::move(fileManager)};
        if (colon == std::string_view::npos) break;
        currentDesktop.remove_prefix(colon + 1);
    }
    return {};
}

// GNOME's file manager is named in the session's language ("Dateien", "Fichiers"); the others
// keep their names.
std::string DesktopWords::localName() const {
    // TRANSLATORS: the name GNOME gives its file manager (Nautilus) in your language.
    if (fileManagerName && *fileManagerName == "Files") return translateIn("GNOME file manager", "Files");
    return fileManagerName.value_or(std::string());
}

std::string DesktopWords::theFileManager() const {
    // TRANSLATORS: mid-sentence, where the desktop's file manager is unknown ("Right-click in the file manager").
    return fileManagerName ? localName() : translate("the file manager");
}

std::string DesktopWords::theFileManagerCapitalized() const {
    // TRANSLATORS: at the start of a sentence, where the desktop's file manager is unknown.
    return fileManagerName ? localName() : translate("The file manager");
}

std::string DesktopWords::fileManagerModifier() const {
    // TRANSLATORS: before a noun, as in "the front file manager window".
    return fileManagerName ? localName() : translate("file manager");
}

std::string DesktopWords::fileManagerFolder() const {
    // TRANSLATORS: a destination: the folder of the front window of the file manager named by %1
    // ("Files Folder", "Dolphin Folder").
    if (fileManagerName) return formatText(translate("%1 Folder"), {localName()});
    // TRANSLATORS: a destination: the folder of the front file manager window, when the desktop's
    // file manager is unknown.
    return translate("Open Folder");
}

std::string DesktopWords::fill(std::string_view english) const {
    // The text in the session's language first; its placeholders are the same in every language.
    const std::string translated = translate(std::string(english).c_str());
    std::string_view text = translated;
    const std::array<std::pair<std::string_view, std::string>, 4> words{{
        {kTheFileManager, theFileManager()},
        {kTheFileManagerCapitalized, theFileManagerCapitalized()},
        {kFileManagerModifier, fileManagerModifier()},
        {kFileManagerFolder, fileManagerFolder()},
    }};
    std::string filled;
    filled.reserve(text.size());
    while (!text.empty()) {
        const size_t brace = text.find('{');
        filled.append(text.substr(0, brace));
        if (brace == std::string_view::npos) break;
        text.remove_prefix(brace);
        bool replaced = false;
        for (const auto& [placeholder, word] : words) {
            if (text.substr(0, placeholder.size()) == placeholder) {
                filled += word;
                text.remove_prefix(placeholder.size());
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            filled += '{';
            text.remove_prefix(1);
        }
    }
    return filled;
}

}  // namespace quillet

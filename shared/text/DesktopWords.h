#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// The names the running desktop gives the things Quillet+'s texts mention: above all its file
// manager, which the session names ("Files" on GNOME, "Dolphin" on KDE…), and whether it shows a
// tray at all. The root reads the session once and hands this value to whatever builds a text;
// texts that name the file manager carry the placeholders below and are filled in where they are
// shown.
struct DesktopWords {
    // Mid-sentence, with its article: "Files", "Dolphin"; "the file manager" when unknown.
    static constexpr std::string_view kTheFileManager = "{the file manager}";
    // The same at the start of a sentence: "Files"; "The file manager".
    static constexpr std::string_view kTheFileManagerCapitalized = "{The file manager}";
    // As a word before a noun ("the front {file manager} window"): "Files"; "file manager".
    static constexpr std::string_view kFileManagerModifier = "{file manager}";
    // The destination "the folder of the front file manager window", as a picker or menu names
    // it: "Files Folder", "Dolphin Folder"; "Open Folder" when the file manager is unknown.
    static constexpr std::string_view kFileManagerFolder = "{File Manager Folder}";

    // "Files", "Dolphin", "Nemo", "Thunar", "Caja", "PCManFM-Qt"; nothing when the session names no
    // desktop whose file manager is known.
    std::optional<std::string> fileManagerName;
    // Whether the session shows a tray (GNOME without an extension shows none): without one, the
    // walkthrough and the cards send the user to the application's own icon instead.
    bool hasTray = true;

    // The file manager of the desktop $XDG_CURRENT_DESKTOP names (a colon-separated list, the
    // most specific first: "ubuntu:GNOME", "X-Cinnamon").
    static DesktopWords forDesktop(std::string_view currentDesktop);

    std::string theFileManager() const;
    std::string theFileManagerCapitalized() const;
    std::string fileManagerModifier() const;
    std::string fileManagerFolder() const;

    // `english` in the session's language, with every placeholder above replaced by this
    // desktop's words.
    std::string fill(std::string_view english) const;

private:
    std::string localName() const;
};

}  // namespace quillet

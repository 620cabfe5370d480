#include <gtest/gtest.h>

#include "shared/text/DesktopWords.h"

using namespace quillet;

namespace {

// The session's list names the desktop, the most specific entry first; the first known one wins.
TEST(DesktopWordsTest, NamesTheFileManagerOfTheSessionsDesktop) {
    const std::pair<const char*, const char*> known[] = {
        {"GNOME", "Files"},         {"ubuntu:GNOME", "Files"}, {"Unity", "Files"},      {"KDE", "Dolphin"},
        {"X-Cinnamon", "Nemo"},     {"Cinnamon", "Nemo"},      {"XFCE", "Thunar"},      {"MATE", "Caja"},
        {"LXQt", "PCManFM-Qt"},     {"kde", "Dolphin"},        {"Foo:XFCE", "Thunar"},  {"KDE:GNOME", "Dolphin"},
    };
    for (const auto& [desktop, fileManager] : known) {
        EXPECT_EQ(DesktopWords::forDesktop(desktop).fileManagerName, std::optional<std::string>(fileManager)) << desktop;
    }
    for (const char* unknown : {"", ":", "sway", "Hyprland:wlroots", "GNOMEish", "XF"}) {
        EXPECT_EQ(DesktopWords::forDesktop(unknown).fileManagerName, std::nullopt) << unknown;
    }
}

TEST(DesktopWordsTest, FillsEveryPlaceholderWithTheSessionsWordsOrTheGenericOnes) {
    const std::string text =
        "{The file manager} shows it; right-click in {the file manager}; the front {file manager} window; "
        "Create in {File Manager Folder}.";
    EXPECT_EQ(DesktopWords::forDesktop("KDE").fill(text),
              "Dolphin shows it; right-click in Dolphin; the front Dolphin window; Create in Dolphin Folder.");
    EXPECT_EQ(DesktopWords{}.fill(text),
              "The file manager shows it; right-click in the file manager; the front file manager window; "
              "Create in Open Folder.");
    // Other braces and text without placeholders pass unchanged.
    EXPECT_EQ(DesktopWords{}.fill("{\"a\": {x}} {"), "{\"a\": {x}} {");
    EXPECT_EQ(DesktopWords{}.fill(""), "");
}

}  // namespace

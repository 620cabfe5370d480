#pragma once

#include <string_view>

// The file managers Quillet+ adds its "Create File" menu to, and how: spelled once for the
// uninstaller (which restarts those that have a module loaded) and the extension card (which says
// where the menu is on this machine).
namespace quillet {

struct FileManagerMenuKind {
    std::string_view displayName;  // as its desktop names it
    std::string_view program;      // its executable, and its process's name
    // The module file, in <library folder>/<moduleFolder>; empty for a file manager that reads its
    // menu from the user's data folder, kept by the running application instead.
    std::string_view moduleFolder;
    std::string_view moduleFile;
};

inline constexpr FileManagerMenuKind kFileManagerMenuKinds[] = {
    {"Files", "nautilus", "nautilus/extensions-4", "quillet-nautilus.so"},
    {"Nemo", "nemo", "nemo/extensions-3.0", "quillet-nemo.so"},
    {"Caja", "caja", "caja/extensions-2.0", "quillet-caja.so"},
    {"Thunar", "thunar", "thunarx-3", "quillet-thunar.so"},
    {"Dolphin", "dolphin", "", ""},
    {"PCManFM-Qt", "pcmanfm-qt", "", ""},
};

}  // namespace quillet
